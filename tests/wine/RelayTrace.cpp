// Reads Wine's relay trace of the program (see RelayTrace.h).
#include "RelayTrace.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string_view>

#include "form/ControlIds.h"

namespace lumora::relaytrace {
namespace {

constexpr std::uint64_t kSuccess = 0;  // ERROR_SUCCESS

// Case aside, the same letters: Wine prints some names in capitals, the program others.
bool SameLetters(const std::string& text, const char* other)
{
    const std::size_t length = std::strlen(other);
    if (text.size() != length) return false;
    for (std::size_t i = 0; i < length; ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != std::tolower(static_cast<unsigned char>(other[i]))) {
            return false;
        }
    }
    return true;
}

std::uint64_t HexAt(const std::string& text, std::size_t at)
{
    return at == std::string::npos ? 0 : std::strtoull(text.c_str() + at, nullptr, 16);
}

// The hexadecimal number after "key" in line; 0 when there is none.
std::uint64_t HexAfter(const std::string& line, const char* key)
{
    const std::size_t at = line.find(key);
    return at == std::string::npos ? 0 : HexAt(line, at + std::strlen(key));
}

// The first argument of a traced call: "Call module.Function(ARG,...".
std::uint64_t FirstArgument(const std::string& line)
{
    return HexAfter(line, "(");
}

bool Has(const std::string& line, const char* text)
{
    return line.find(text) != std::string::npos;
}

// A traced WritePrivateProfileStringA call: "(SECTION,KEY,VALUE,FILE)", each pointer followed
// by its text in quotes unless it is null. "" when the call is not about SYSTEM.INI.
std::string SystemIniCall(const std::string& body)
{
    std::vector<std::string> arguments;
    std::size_t at = body.find('(');
    while (at != std::string::npos && body[at] != ')' && arguments.size() < 4) {
        const std::size_t end = body.find_first_of(",)", at + 1);
        const std::string argument = body.substr(at + 1, end == std::string::npos ? end : end - at - 1);
        const std::size_t open = argument.find('"');
        const std::size_t close = argument.rfind('"');
        arguments.push_back(open == close ? "" : argument.substr(open + 1, close - open - 1));
        at = end;
    }
    if (arguments.size() != 4 || !SameLetters(arguments[3], "SYSTEM.INI")) return "";
    if (arguments[0].empty() && arguments[1].empty() && arguments[2].empty()) return "flush";
    return (arguments[2].empty() ? "delete " : "write ") + arguments[0] + "." + arguments[1];
}

// A traced call of module.function (a prefix of it will do). Wine prints some modules' names in
// capitals (KERNEL32), others not (user32).
bool IsCallOf(const std::string& line, const char* function)
{
    const std::size_t length = std::strlen(function);
    return line.rfind("Call ", 0) == 0 && line.size() >= 5 + length && SameLetters(line.substr(5, length), function);
}

// A traced call that carries a control's name, or "Name", as a text argument.
bool NamesAControl(const std::string& line)
{
    if (Has(line, "\"Name\"")) return true;
    for (const std::string_view name : kControlNames) {
        if (Has(line, ("\"" + std::string(name) + "\"").c_str())) return true;
    }
    return false;
}

}  // namespace

// Every StartStat opening, before the ticks and in them.
std::vector<std::uint64_t> StartStatResults(const Trace& trace)
{
    std::vector<std::uint64_t> results = trace.beforeTicks.startStatResults;
    for (const Tick& tick : trace.ticks) {
        results.insert(results.end(), tick.startStatResults.begin(), tick.startStatResults.end());
    }
    return results;
}

// The ticks the trace shows whole: the last one may still be running when it is read.
std::size_t CompleteTicks(const Trace& trace)
{
    return trace.ticks.empty() ? 0 : trace.ticks.size() - 1;
}

Trace ParseRelayTrace(const std::string& text, std::uint64_t window, const Image& image)
{
    Trace trace;
    Tick* tick = &trace.beforeTicks;
    bool startStatPending = false;
    bool stopStatPending = false;
    bool stopStatReadable = false;
    // A traced call of the program waits for its "Ret" line, found by its return address.
    std::map<std::string, std::uint64_t*> pending;
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = text.find('\n', begin);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(begin, end - begin);
        begin = end + 1;
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos) continue;
        const std::string body = line.substr(colon + 1);
        const std::uint64_t ret = HexAfter(body, " ret=");

        if (body.rfind("Call window proc ", 0) == 0) {
            if (Has(body, "msg=WM_TIMER,wp=00000001,") && HexAfter(body, "(hwnd=") == window) {
                trace.ticks.emplace_back();
                tick = &trace.ticks.back();
            }
        } else if (body.rfind("Call advapi32.RegOpenKeyExA(", 0) == 0) {
            stopStatReadable = false;
            if (Has(body, "\"PerfStats\\\\StartStat\"")) {
                tick->startStatResults.push_back(~0ull);
                startStatPending = true;
            } else if (Has(body, "\"PerfStats\\\\StopStat\"")) {
                trace.stopStatOpens.emplace_back();
                stopStatPending = true;
            }
        } else if (body.rfind("Ret  advapi32.RegOpenKeyExA()", 0) == 0) {
            if (startStatPending) tick->startStatResults.back() = HexAfter(body, "retval=");
            if (stopStatPending) {
                trace.stopStatOpens.back().result = HexAfter(body, "retval=");
                stopStatReadable = trace.stopStatOpens.back().result == kSuccess;
            }
            startStatPending = false;
            stopStatPending = false;
        } else if (body.rfind("Call advapi32.RegQueryValueExA(", 0) == 0) {
            if ((FirstArgument(body) & 0xffffffffu) == 0x80000004u) ++trace.perfDataQueries;
            if (stopStatReadable && Has(body, "\"KERNEL\\\\CPUUsage\"")) {
                trace.stopStatOpens.back().read = true;
                stopStatReadable = false;
            }
        } else if (body.rfind("Call KERNEL32.WritePrivateProfileStringA(", 0) == 0) {
            if (!image.Holds(ret)) continue;
            const std::string call = SystemIniCall(body);
            if (!call.empty()) trace.systemIniCalls.push_back(call);
        } else if (IsCallOf(body, "kernel32.GlobalAddAtom") || IsCallOf(body, "user32.SetProp")) {
            if (image.Holds(ret) || NamesAControl(body)) trace.namingCalls.push_back(body);
        } else if (IsCallOf(body, "user32.CreateWindowExA(")) {
            if (image.Holds(ret)) ++trace.windowsCreated;
        } else if (body.rfind("Call krnl386.exe16.", 0) == 0) {
            ++trace.krnl386Calls;
            if (!image.Holds(ret)) continue;  // the 16-bit kernel's own loads at its start
            if (Has(body, ".LoadLibrary16(") && Has(body, "\"user.exe\"")) {
                tick->rounds.emplace_back();
                pending["LoadLibrary16" + std::to_string(ret)] = &tick->rounds.back().loaded;
            } else if (!tick->rounds.empty() && Has(body, ".FreeLibrary16(")) {
                tick->rounds.back().freed.push_back(FirstArgument(body));
            } else if (!tick->rounds.empty() && Has(body, ".GetProcAddress16(") &&
                       Has(body, "\"GetFreeSystemResources\"")) {
                tick->rounds.back().askedOf = FirstArgument(body);
                pending["GetProcAddress16" + std::to_string(ret)] = &tick->rounds.back().address;
            }
        } else if (body.rfind("Ret  krnl386.exe16.", 0) == 0) {
            const std::size_t from = std::strlen("Ret  krnl386.exe16.");
            const std::string name = body.substr(from, body.find('(') - from);
            const auto found = pending.find(name + std::to_string(ret));
            if (found != pending.end()) {
                *found->second = HexAfter(body, "retval=");
                pending.erase(found);
            }
        } else if (body.rfind("CallTo16(func=", 0) == 0 && !tick->rounds.empty()) {
            // "CallTo16(func=SSSS:OOOO,words...) ss:sp=... ax=..." with registers is the call
            // QT_Thunk makes; the last word listed is the one on top of the 16-bit stack.
            Call16 call;
            const std::size_t func = body.find("func=");
            call.target = HexAt(body, func + 5) << 16 | HexAt(body, func + 10);
            const std::size_t close = body.find(')');
            const std::size_t last = body.rfind(',', close);
            if (close != std::string::npos && last != std::string::npos && Has(body, " ax=")) {
                call.argument = HexAt(body, last + 1);
            }
            tick->rounds.back().calls.push_back(call);
        } else if (body.rfind("Call USER.284: GETFREESYSTEMRESOURCES(", 0) == 0 && !tick->rounds.empty() &&
                   !tick->rounds.back().calls.empty()) {
            tick->rounds.back().calls.back().userArgument = HexAfter(body, "GETFREESYSTEMRESOURCES(");
        } else if (body.rfind("Ret  USER.284: GETFREESYSTEMRESOURCES()", 0) == 0 && !tick->rounds.empty() &&
                   !tick->rounds.back().calls.empty()) {
            tick->rounds.back().calls.back().userResult = HexAfter(body, "retval=");
        } else if (body.rfind("RetFrom16()", 0) == 0 && !tick->rounds.empty() && !tick->rounds.back().calls.empty()) {
            tick->rounds.back().calls.back().ax = HexAfter(body, " ax=");
        }
    }
    return trace;
}

}  // namespace lumora::relaytrace
