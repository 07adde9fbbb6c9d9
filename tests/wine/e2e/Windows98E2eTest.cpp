// The program as Windows 98 runs it, proved from outside in a prefix where Wine reports
// Windows 98: Wine's relay trace of the program (the calls it made, counted tick by tick), the
// window's captions, the CPU statistic planted as Windows 98 publishes it, and what Apply left
// in the registry and SYSTEM.INI.
//
// These tests need a prefix prepared with `prefix.sh --win98` and the file that the standard
// error of the programs they start goes to, named by LUMORA_TRACE (scripts/test.sh provides
// both in its win98 layers); anywhere else they skip.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "E2eDriver.h"
#include "Harness.h"
#include "WineRegistry.h"
#include "form/ControlIds.h"

// The root of Windows 9x's dynamic statistics; headers for the NT family may leave it out.
#ifndef HKEY_DYN_DATA
#define HKEY_DYN_DATA ((HKEY)(ULONG_PTR)((LONG)0x80000006))
#endif

namespace lumora::winetest {
namespace {

using driver::App;
using namespace driver::pages;

constexpr DWORD kWatchMs = 10000;
// An 800 ms timer ticks 12 times in 10 s. A machine busy with other work can merge a few
// (Windows sends one WM_TIMER however many periods passed), so the watch goes on, up to three
// times as long, until this many complete ticks are in the trace.
constexpr std::size_t kMinTicks = 10;
constexpr bool k32BitBuild = sizeof(void*) == 4;
constexpr LONG kFileNotFound = ERROR_FILE_NOT_FOUND;

// The calls the trace shows: the registry calls of both meters, the 16-bit module services, the
// profile writes, the calls that would put a name into storage the system shares, and the
// creation of windows (to see that the trace holds the program's own calls at all). Window
// procedures are always traced; a WM_TIMER to the main window is a tick.
constexpr const char* kRelayInclude =
    "advapi32.RegOpenKeyExA;advapi32.RegQueryValueExA;"
    "krnl386.exe16.LoadLibrary16;krnl386.exe16.FreeLibrary16;krnl386.exe16.GetProcAddress16;"
    "USER.GetFreeSystemResources;kernel32.WritePrivateProfileStringA;"
    "kernel32.GlobalAddAtomA;kernel32.GlobalAddAtomW;user32.SetPropA;user32.SetPropW;user32.CreateWindowExA";
constexpr const char* kWineKey = "Software\\Wine";
constexpr const char* kWineDebugKey = "Software\\Wine\\Debug";

std::string TracePath()
{
    char path[MAX_PATH] = {};
    return GetEnvironmentVariableA("LUMORA_TRACE", path, MAX_PATH) > 0 ? path : "";
}

void RequireWindows98Prefix()
{
    if (driver::NtPlatform()) SKIP("the prefix reports the NT family (the win98 layers run these)");
    if (TracePath().empty()) SKIP("LUMORA_TRACE names no file for the programs' Wine trace");
}

std::string ReadFrom(const std::string& path, std::size_t offset)
{
    const HANDLE file =
        CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "";
    std::string text;
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    if (SetFilePointerEx(file, at, nullptr, FILE_BEGIN)) {
        char buffer[1 << 16];
        DWORD got = 0;
        while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
    }
    CloseHandle(file);
    return text;
}

std::size_t SizeOf(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<std::size_t>(data.nFileSizeHigh) << 16 << 16) | data.nFileSizeLow;
}

// The program's image, from its file: the i686 build has no relocations, so Windows (and Wine)
// load it at its preferred base.
struct Image {
    std::uint64_t base = 0;
    std::uint64_t size = 0;
    bool Holds(std::uint64_t address) const { return address >= base && address - base < size; }
};

// Where the program's image lies in its running process.
Image ImageIn(HANDLE process)
{
    Image image;
    HMODULE program = nullptr;
    DWORD needed = 0;
    MODULEINFO info{};
    if (EnumProcessModules(process, &program, sizeof program, &needed) &&
        GetModuleInformation(process, program, &info, sizeof info)) {
        image.base = reinterpret_cast<std::uintptr_t>(info.lpBaseOfDll);
        image.size = info.SizeOfImage;
    }
    return image;
}

Image ImageOf(const std::string& program)
{
    Image image;
    const std::string headers = ReadFrom(program, 0).substr(0, 4096);
    if (headers.size() < sizeof(IMAGE_DOS_HEADER)) return image;
    IMAGE_DOS_HEADER dos;
    std::memcpy(&dos, headers.data(), sizeof dos);
    if (static_cast<std::size_t>(dos.e_lfanew) + sizeof(IMAGE_NT_HEADERS) > headers.size()) return image;
    IMAGE_NT_HEADERS nt;
    std::memcpy(&nt, headers.data() + dos.e_lfanew, sizeof nt);
    image.base = nt.OptionalHeader.ImageBase;
    image.size = nt.OptionalHeader.SizeOfImage;
    return image;
}

// --- the trace, read as events

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

struct Call16 {
    std::uint64_t target = 0;        // the 16:16 address QT_Thunk's call to 16-bit code went to
    std::uint64_t argument = ~0ull;  // the word on top of the 16-bit stack
    std::uint64_t userArgument = ~0ull;
    std::uint64_t userResult = ~0ull;
    std::uint64_t ax = ~0ull;  // AX as the 16-bit code returned it to QT_Thunk
};

// One use of the 16-bit services by the program: load, release, look up, call.
struct Round {
    std::uint64_t loaded = 0;
    std::vector<std::uint64_t> freed;
    std::uint64_t askedOf = 0;
    std::uint64_t address = 0;
    std::vector<Call16> calls;
};

struct Tick {
    std::vector<std::uint64_t> startStatResults;
    std::vector<Round> rounds;
};

// One opening of the 9x statistic's StopStat key: its result, and whether the CPU figure was
// read through it before any other key was opened.
struct StopStatOpen {
    std::uint64_t result = ~0ull;
    bool read = false;
};

struct Trace {
    std::vector<Tick> ticks;
    Tick beforeTicks;
    int perfDataQueries = 0;
    int krnl386Calls = 0;
    // The program's profile writes to SYSTEM.INI, in order: "write SECTION.KEY",
    // "delete SECTION.KEY" or "flush".
    std::vector<std::string> systemIniCalls;
    std::vector<StopStatOpen> stopStatOpens;
    // Global atoms added and window properties set by the program's own code, or by anyone for a
    // control's name: the trace lines.
    std::vector<std::string> namingCalls;
    int windowsCreated = 0;  // by the program's own code
};

// Every StartStat opening, before the ticks and in them.
std::vector<std::uint64_t> StartStatResults(const Trace& trace)
{
    std::vector<std::uint64_t> results = trace.beforeTicks.startStatResults;
    for (const Tick& tick : trace.ticks) {
        results.insert(results.end(), tick.startStatResults.begin(), tick.startStatResults.end());
    }
    return results;
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
    if (arguments.size() != 4 || _stricmp(arguments[3].c_str(), "SYSTEM.INI") != 0) return "";
    if (arguments[0].empty() && arguments[1].empty() && arguments[2].empty()) return "flush";
    return (arguments[2].empty() ? "delete " : "write ") + arguments[0] + "." + arguments[1];
}

// A traced call of module.function (a prefix of it will do). Wine prints some modules' names in
// capitals (KERNEL32), others not (user32).
bool IsCallOf(const std::string& line, const char* function)
{
    const std::size_t length = std::strlen(function);
    return line.rfind("Call ", 0) == 0 && line.size() >= 5 + length &&
           _strnicmp(line.c_str() + 5, function, length) == 0;
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

// Reads the trace of the program's window and image. The registry handles print as 32-bit
// values in the i686 build and sign-extended in the x86_64 one; both end in the same digits.
Trace Parse(const std::string& text, HWND window, const Image& image)
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
            if (Has(body, "msg=WM_TIMER,wp=00000001,") &&
                HexAfter(body, "(hwnd=") == reinterpret_cast<std::uintptr_t>(window)) {
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
                stopStatReadable = trace.stopStatOpens.back().result == ERROR_SUCCESS;
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

// The environment and registry settings that make Wine trace the programs this process starts
// (not this process: its own channels were fixed when it started).
class TracedPrograms {
public:
    TracedPrograms()
    {
        char saved[256] = {};
        hadDebug_ = GetEnvironmentVariableA("WINEDEBUG", saved, sizeof saved) > 0;
        savedDebug_ = saved;
        HKEY key = nullptr;
        RegCreateKeyExA(HKEY_CURRENT_USER, kWineDebugKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        RegSetValueExA(key, "RelayInclude", 0, REG_SZ, reinterpret_cast<const BYTE*>(kRelayInclude),
                       static_cast<DWORD>(std::strlen(kRelayInclude) + 1));
        RegCloseKey(key);
        SetEnvironmentVariableA("WINEDEBUG", "-all,+relay");
    }
    ~TracedPrograms() { SetEnvironmentVariableA("WINEDEBUG", hadDebug_ ? savedDebug_.c_str() : nullptr); }
    TracedPrograms(const TracedPrograms&) = delete;
    TracedPrograms& operator=(const TracedPrograms&) = delete;

private:
    bool hadDebug_ = false;
    std::string savedDebug_;
};

// The trace written from now on.
class TraceWindow {
public:
    TraceWindow() : path_(TracePath()), start_(SizeOf(path_)) {}
    Trace Read(const App& app) const { return Read(app, ImageOf(driver::ProgramPath())); }
    // With the image where the running program has it (taken while it runs).
    Trace Read(const App& app, const Image& image) const { return Parse(ReadFrom(path_, start_), app.Window(), image); }

private:
    std::string path_;
    std::size_t start_;
};

// Checks one 16-bit round: user.exe loaded and released, its GetFreeSystemResources looked up
// and called through QT_Thunk with 0, 1 and 2, each call reaching the 16-bit function and
// handing its result back.
void CheckRound(const Round& round)
{
    EXPECT_TRUE(round.loaded >= 32);
    EXPECT_EQ(round.freed.size(), std::size_t{1});
    if (!round.freed.empty()) EXPECT_EQ(round.freed.front(), round.loaded);
    EXPECT_EQ(round.askedOf, round.loaded);
    EXPECT_NE(round.address, std::uint64_t{0});
    REQUIRE_EQ(round.calls.size(), std::size_t{3});
    for (std::size_t i = 0; i < round.calls.size(); ++i) {
        const Call16& call = round.calls[i];
        Context context("16-bit call " + Show(i));
        EXPECT_EQ(call.target, round.address);
        EXPECT_EQ(call.argument, std::uint64_t{i});
        EXPECT_EQ(call.userArgument, std::uint64_t{i});
        EXPECT_TRUE(call.userResult <= 100);
        EXPECT_EQ(call.ax, call.userResult);
    }
}

// Checks the ticks of a watched stretch: the CPU meter's start attempts (one per tick when it
// is on, failing because Wine has no PerfStats\StartStat) and the 16-bit rounds.
// The ticks the trace shows whole: the last one may still be running when it is read.
std::size_t CompleteTicks(const Trace& trace)
{
    return trace.ticks.empty() ? 0 : trace.ticks.size() - 1;
}

void CheckTicks(const Trace& trace, bool cpuDetection)
{
    const std::size_t complete = CompleteTicks(trace);
    EXPECT_TRUE(complete >= kMinTicks);
    Context seen(Show(complete) + " complete ticks");
    for (std::size_t i = 0; i < complete; ++i) {
        const Tick& tick = trace.ticks[i];
        Context context("tick " + Show(i));
        if (cpuDetection) {
            EXPECT_EQ(tick.startStatResults.size(), std::size_t{1});
            for (const std::uint64_t result : tick.startStatResults) EXPECT_EQ(result, std::uint64_t{kFileNotFound});
        } else {
            EXPECT_EQ(tick.startStatResults.size(), std::size_t{0});
        }
        if (!k32BitBuild) {
            // 64-bit code cannot call 16-bit code: the port reports the services missing.
            EXPECT_EQ(tick.rounds.size(), std::size_t{0});
        } else {
            REQUIRE_EQ(tick.rounds.size(), std::size_t{1});
            CheckRound(tick.rounds.front());
        }
    }
    EXPECT_EQ(trace.perfDataQueries, 0);
    if (!k32BitBuild) EXPECT_EQ(trace.krnl386Calls, 0);
}

// One line of what the trace showed, for the log.
void Report(const char* what, const Trace& trace)
{
    std::size_t starts = 0;
    std::size_t rounds = 0;
    std::size_t calls = 0;
    std::uint64_t answer = ~0ull;
    std::uint64_t ax = ~0ull;
    for (std::size_t i = 0; i < CompleteTicks(trace); ++i) {
        const Tick& tick = trace.ticks[i];
        starts += tick.startStatResults.size();
        rounds += tick.rounds.size();
        for (const Round& round : tick.rounds) {
            calls += round.calls.size();
            if (!round.calls.empty()) {
                answer = round.calls.front().userResult;
                ax = round.calls.front().ax;
            }
        }
    }
    std::printf("  %s: %u ticks, %u StartStat attempts, %u NT data queries, %u 16-bit rounds with %u calls", what,
                static_cast<unsigned>(CompleteTicks(trace)), static_cast<unsigned>(starts),
                static_cast<unsigned>(trace.perfDataQueries), static_cast<unsigned>(rounds),
                static_cast<unsigned>(calls));
    if (calls > 0) {
        std::printf(" (the 16-bit function answered %u, AX %u on its return)", static_cast<unsigned>(answer),
                    static_cast<unsigned>(ax));
    }
    std::printf("\n");
    std::fflush(stdout);
}

// Watches the window for kWatchMs, and on until the trace holds kMinTicks complete ticks: the
// CPU and resource captions hold expected, and no box opens. Returns the trace of that stretch.
Trace Watch(App& app, const std::string& cpuCaption)
{
    const TraceWindow window;
    const DWORD start = GetTickCount();
    bool reported = false;
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= 3 * kWatchMs) break;
        if (elapsed >= kWatchMs && CompleteTicks(window.Read(app)) >= kMinTicks) break;
        for (const char* label : {"Label48", "Label60", "Label61", "Label62"}) {
            const std::string expected = std::strcmp(label, "Label48") == 0 ? cpuCaption : "0 %";
            const std::string text = app.Text(label);
            if (text != expected && !reported) {
                reported = true;
                Context context(std::string(label) + " after " + Show(GetTickCount() - start) + " ms");
                EXPECT_EQ(text, expected);
            }
        }
        const HWND box = app.WaitForDialog("", 0);
        if (box != nullptr) {
            Fail(__FILE__, __LINE__, "a box opened: " + app.DialogText(box));
            Abort();
        }
        Sleep(200);
    }
    EXPECT_TRUE(app.Running());
    return window.Read(app);
}

// The first tick rewrites the CPU caption of the window's start ("100%").
void WaitForFirstTick(App& app, const std::string& cpuCaption)
{
    if (!driver::WaitUntil([&] { return app.Text("Label48") == cpuCaption; }, 5000)) {
        Fail(__FILE__, __LINE__, "no tick set Label48 to " + cpuCaption + ": " + app.Text("Label48"));
        Abort();
    }
}

// Wine 8.0 hands the 16-bit function's result to QT_Thunk's register frame, then leaves QT_Thunk
// through NtSetContextThread on its own thread, which restores the stack and the callee-saved
// registers but not EAX, ECX and EDX: EAX comes back as that call's own status, 0. So on Wine
// the resource figures read 0 % though the 16-bit function answered; Windows 98 returns AX.
WINE_TEST(Win98AboutAndRamPagesTickOnTheWindows98Paths)
{
    RequireWindows98Prefix();
    const TracedPrograms traced;
    const TraceWindow whole;
    App app;
    driver::Launch(app);
    struct Page {
        int index;
        const char* name;
    };
    for (const Page page : {Page{kAboutPage, "About"}, Page{kRamPage, "RAM"}}) {
        Context context(std::string("on the ") + page.name + " page");
        app.SelectTab("PageControl1", page.index);
        WaitForFirstTick(app, "0 %");
        const Trace trace = Watch(app, "0 %");
        Report(page.name, trace);
        CheckTicks(trace, true);
        if (k32BitBuild && !trace.ticks.empty() && !trace.ticks.front().rounds.empty()) {
            const Round& round = trace.ticks.front().rounds.front();
            Context wine("Wine drops QT_Thunk's result: the 16-bit function answered " +
                         Show(round.calls.empty() ? 0 : round.calls.front().userResult));
            EXPECT_EQ(app.Text("Label61"), std::string("0 %"));
        }
    }
    // Not even start-up asked for the NT performance data.
    EXPECT_EQ(whole.Read(app).perfDataQueries, 0);
}

WINE_TEST(Win98CpuMeterIsNeverStartedWhenDetectionIsOff)
{
    RequireWindows98Prefix();
    const TracedPrograms traced;
    driver::ResetMachine();
    HKEY key = nullptr;
    REQUIRE_EQ(
        RegCreateKeyExA(HKEY_CURRENT_USER, driver::kAgentKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    const DWORD off = 1;
    RegSetValueExA(key, "Disable_CPU_Detect", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&off), sizeof off);
    RegCloseKey(key);

    const TraceWindow whole;
    App app;
    driver::Launch(app, false);
    app.SelectTab("PageControl1", kAboutPage);
    WaitForFirstTick(app, "...%");
    const Trace trace = Watch(app, "...%");
    Report("detection off", trace);
    CheckTicks(trace, false);
    const Trace all = whole.Read(app);
    for (const Tick& tick : all.ticks) EXPECT_EQ(tick.startStatResults.size(), std::size_t{0});
    EXPECT_EQ(all.beforeTicks.startStatResults.size(), std::size_t{0});
}

// Sets or removes the Windows version Wine reports to programs started from now on.
void ReportWindows98(bool win98)
{
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, kWineKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    if (win98) {
        RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>("win98"), 6);
    } else {
        RegDeleteValueA(key, "Version");
    }
    RegCloseKey(key);
}

struct RoundTrip {
    std::string machine;
    std::size_t startStatOpens = 0;
    int perfDataQueries = 0;
    std::vector<std::string> namingCalls;
    int windowsCreated = 0;
};

// A slider moved, a Tweak box ticked, Apply, the restart offer answered No; then the program
// closes and the machine is read.
RoundTrip ApplyRoundTrip(bool win98)
{
    ReportWindows98(win98);
    RoundTrip result;
    const TraceWindow whole;
    {
        App app;
        driver::Launch(app);
        const Image image = ImageIn(app.Process());
        app.Focus("RxSlider2");
        app.Key("RxSlider2", VK_HOME);
        app.Key("RxSlider2", VK_RIGHT);
        app.SelectTab("PageControl1", kTweakPage);
        app.Click("CheckBox9");
        app.PostClick("Button2");
        driver::DeclineRestart(app);
        EXPECT_TRUE(driver::WaitUntil([&] { return !app.Enabled("Button2"); }));
        // A tick or two so that the trace shows which platform's meter ran.
        Sleep(2000);
        const Trace trace = whole.Read(app, image);
        for (const Tick& tick : trace.ticks) result.startStatOpens += tick.startStatResults.size();
        result.perfDataQueries = trace.perfDataQueries;
        result.namingCalls = trace.namingCalls;
        result.windowsCreated = trace.windowsCreated;
        app.Stop();
        EXPECT_FALSE(app.Running());
    }
    result.machine = driver::MachineSnapshot();
    return result;
}

WINE_TEST(Win98ApplyRoundTripWritesTheBytesOfTheNtRun)
{
    RequireWindows98Prefix();
    const TracedPrograms traced;
    struct Restore {
        ~Restore() { ReportWindows98(true); }
    } restore;
    const RoundTrip win98 = ApplyRoundTrip(true);
    const RoundTrip nt = ApplyRoundTrip(false);
    {
        Context context("the Windows 98 run took the 9x meter");
        EXPECT_GT(win98.startStatOpens, std::size_t{0});
        EXPECT_EQ(win98.perfDataQueries, 0);
    }
    {
        Context context("the NT run took the NT meter");
        EXPECT_EQ(nt.startStatOpens, std::size_t{0});
        EXPECT_GT(nt.perfDataQueries, 0);
    }
    // Drivers find the controls by their IDs: neither start-up nor Apply names a window in the
    // global atom table or a window property, which on Windows 9x outlive a process that dies.
    for (const RoundTrip* run : {&win98, &nt}) {
        Context context(std::string("the ") + (run == &win98 ? "Windows 98" : "NT") + " run names no control: " +
                        (run->namingCalls.empty() ? std::string("none") : run->namingCalls.front()));
        EXPECT_GT(run->windowsCreated, 0);  // the trace holds the program's own calls
        EXPECT_EQ(run->namingCalls.size(), std::size_t{0});
    }
    EXPECT_TRUE(win98.machine.find("\"Minimum Free RAM\"=") != std::string::npos);
    EXPECT_TRUE(win98.machine.find("PageBuffers=32") != std::string::npos);
    EXPECT_EQ(win98.machine, nt.machine);
    std::printf("  machine after the round trip:\n%s\n", win98.machine.c_str());
}

// One Apply's SYSTEM.INI calls: changes, then one flush after the last of them. Windows 9x
// keeps the changes in a cache until the flush; the flush itself answers FALSE there, so
// nothing but its place can be checked.
void CheckFlushedOnce(const std::vector<std::string>& calls, const std::vector<std::string>& changes)
{
    std::string seen;
    for (const std::string& call : calls) seen += (seen.empty() ? "" : ", ") + call;
    Context context("SYSTEM.INI calls: " + seen);
    std::vector<std::string> expected = changes;
    expected.push_back("flush");
    EXPECT_TRUE(calls == expected);
}

WINE_TEST(Win98ApplyFlushesSystemIniOnceAfterItsLastWrite)
{
    RequireWindows98Prefix();
    const TracedPrograms traced;
    driver::ResetMachine();
    App app;
    driver::Launch(app, false);
    app.SelectTab("PageControl1", kTweakPage);
    // A tweak changes on each Apply, so that the window offers a restart and Apply is enabled.
    const std::vector<std::string> saves[] = {
        {"write 386Enh.PageBuffers", "write 386Enh.ConservativeSwapfileUsage", "delete vcache.MinFileCache",
         "delete vcache.MaxFileCache", "delete vcache.CHUNKSIZE"},
        {"delete 386Enh.PageBuffers", "write 386Enh.ConservativeSwapfileUsage", "delete vcache.MinFileCache",
         "delete vcache.MaxFileCache", "delete vcache.CHUNKSIZE"},
    };
    for (std::size_t i = 0; i < 2; ++i) {
        Context context("Apply " + Show(i + 1));
        const TraceWindow window;
        app.Click("CheckBox9");
        app.PostClick("Button2");
        driver::DeclineRestart(app);
        EXPECT_TRUE(driver::WaitUntil([&] { return !app.Enabled("Button2"); }));
        CheckFlushedOnce(window.Read(app).systemIniCalls, saves[i]);
    }

    // Without the FS Templates key the save stops after the tweaks: what it wrote is flushed.
    Context context("Apply stopped by the missing FS Templates key");
    DeleteTree(HKEY_LOCAL_MACHINE, driver::kFsTemplatesKey);
    const TraceWindow window;
    app.Click("CheckBox9");
    app.PostClick("Button2");
    const HWND error = app.WaitForDialog("Lumora Manager");
    REQUIRE_TRUE(error != nullptr);
    EXPECT_EQ(app.DialogText(error), std::string("Failed to set data for ''"));
    REQUIRE_TRUE(app.Answer(error, IDOK));
    CheckFlushedOnce(window.Read(app).systemIniCalls,
                     {"write 386Enh.PageBuffers", "write 386Enh.ConservativeSwapfileUsage"});
    app.Stop();
    driver::ResetMachine();
}

// --- the CPU statistic planted as Windows 98 publishes it

constexpr const char* kCpuUsageValue = "KERNEL\\CPUUsage";
constexpr const char* kStartStatKey = "PerfStats\\StartStat";
constexpr const char* kStatDataKey = "PerfStats\\StatData";
constexpr const char* kStopStatKey = "PerfStats\\StopStat";

// Windows 98's CPU statistic under HKEY_DYN_DATA: "KERNEL\CPUUsage", a 4-byte little-endian
// binary percentage, under StartStat, StatData and StopStat. Wine publishes none of it but lets a
// program create the keys, which live in the memory of the prefix's server: the program started
// from here reads what this process plants. Everything planted goes again with this object, so
// the other tests find Wine's own keys (StatData without the value, no StartStat).
class PlantedCpuStatistic {
public:
    explicit PlantedCpuStatistic(std::uint32_t percent)
    {
        for (const char* path : {kStartStatKey, kStatDataKey, kStopStatKey}) {
            Planted key{path, nullptr, false, {}};
            DWORD disposition = 0;
            if (RegCreateKeyExA(HKEY_DYN_DATA, path, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key.key,
                                &disposition) != ERROR_SUCCESS) {
                continue;
            }
            key.created = disposition == REG_CREATED_NEW_KEY;
            key.before = QueryRaw(key.key, kCpuUsageValue);
            keys_.push_back(key);
        }
        for (const Planted& key : keys_) Put(key.key, Le32(percent));
    }
    ~PlantedCpuStatistic()
    {
        for (const Planted& key : keys_) {
            if (key.before.rc == ERROR_SUCCESS) {
                RegSetValueExA(key.key, kCpuUsageValue, 0, key.before.type, key.before.data.data(),
                               static_cast<DWORD>(key.before.data.size()));
            } else {
                RegDeleteValueA(key.key, kCpuUsageValue);
            }
            RegCloseKey(key.key);
            if (key.created) RegDeleteKeyA(HKEY_DYN_DATA, key.path);
        }
    }
    PlantedCpuStatistic(const PlantedCpuStatistic&) = delete;
    PlantedCpuStatistic& operator=(const PlantedCpuStatistic&) = delete;

    // All three keys hold the statistic.
    bool Complete() const { return keys_.size() == 3; }
    // The figure the program reads on each tick, as bytes of any length.
    void SetCurrent(const Bytes& bytes)
    {
        for (const Planted& key : keys_) {
            if (std::strcmp(key.path, kStatDataKey) == 0) Put(key.key, bytes);
        }
    }

private:
    struct Planted {
        const char* path;
        HKEY key;
        bool created;
        RawValue before;
    };
    static void Put(HKEY key, const Bytes& bytes)
    {
        static const BYTE kNothing = 0;
        RegSetValueExA(key, kCpuUsageValue, 0, REG_BINARY, bytes.empty() ? &kNothing : bytes.data(),
                       static_cast<DWORD>(bytes.size()));
    }

    std::vector<Planted> keys_;
};

// Starts the program on the planted statistic and shows the About page, where the CPU figure is.
void LaunchOnPlantedStatistic(App& app, const PlantedCpuStatistic& statistic)
{
    REQUIRE_TRUE(statistic.Complete());
    driver::Launch(app);
    app.SelectTab("PageControl1", kAboutPage);
}

// The CPU label shows caption within a few ticks.
bool CpuLabelShows(App& app, const std::string& caption)
{
    return driver::WaitUntil([&] { return app.Text("Label48") == caption; }, 5000);
}

WINE_TEST(Win98CpuLabelFollowsThePlantedStatistic)
{
    RequireWindows98Prefix();
    const TracedPrograms traced;
    PlantedCpuStatistic statistic(37);
    const TraceWindow whole;
    App app;
    LaunchOnPlantedStatistic(app, statistic);
    const Image image = ImageIn(app.Process());
    CpuLabelShows(app, "37 %");
    EXPECT_EQ(app.Text("Label48"), std::string("37 %"));
    statistic.SetCurrent(Le32(81));
    CpuLabelShows(app, "81 %");
    EXPECT_EQ(app.Text("Label48"), std::string("81 %"));
    // Started once, through StartStat, and not stopped while the window is open.
    const Trace trace = whole.Read(app, image);
    const std::vector<std::uint64_t> starts = StartStatResults(trace);
    REQUIRE_EQ(starts.size(), std::size_t{1});
    EXPECT_EQ(starts.front(), std::uint64_t{ERROR_SUCCESS});
    EXPECT_TRUE(trace.stopStatOpens.empty());
    EXPECT_TRUE(app.WaitForDialog("", 0) == nullptr);
}

WINE_TEST(Win98ClosingTheWindowReadsStopStatOnce)
{
    RequireWindows98Prefix();
    const TracedPrograms traced;
    PlantedCpuStatistic statistic(37);
    const TraceWindow whole;
    App app;
    LaunchOnPlantedStatistic(app, statistic);
    const Image image = ImageIn(app.Process());
    REQUIRE_TRUE(CpuLabelShows(app, "37 %"));
    // A few ticks: each reads the running statistic, none stops it.
    Sleep(2000);
    {
        const Trace running = whole.Read(app, image);
        Context context("while the window is open");
        EXPECT_TRUE(CompleteTicks(running) >= 2);
        EXPECT_EQ(running.stopStatOpens.size(), std::size_t{0});
    }
    app.Stop();
    REQUIRE_TRUE(!app.Running());
    const Trace closed = whole.Read(app, image);
    REQUIRE_EQ(closed.stopStatOpens.size(), std::size_t{1});
    EXPECT_EQ(closed.stopStatOpens.front().result, std::uint64_t{ERROR_SUCCESS});
    EXPECT_TRUE(closed.stopStatOpens.front().read);
    EXPECT_EQ(StartStatResults(closed).size(), std::size_t{1});
}

// The statistic is read straight into the last figure's 4 bytes, as many as the value holds: a
// shorter value replaces the low bytes (a percentage's others are 0), an empty one none.
WINE_TEST(Win98ShortStatisticReadsAsItsBytesAndNoBoxOpens)
{
    RequireWindows98Prefix();
    PlantedCpuStatistic statistic(81);
    App app;
    LaunchOnPlantedStatistic(app, statistic);
    REQUIRE_TRUE(CpuLabelShows(app, "81 %"));
    const struct {
        const char* what;
        Bytes stored;
        const char* caption;
    } cases[] = {
        {"two bytes 19 00", {0x19, 0x00}, "25 %"},
        {"one byte 2a", {0x2A}, "42 %"},
        {"no bytes: the last figure stays", {}, "42 %"},
        {"four bytes again", Le32(7), "7 %"},
    };
    for (const auto& c : cases) {
        Context context(c.what);
        statistic.SetCurrent(c.stored);
        // Two ticks, so that a figure that stays has had its chance to change.
        Sleep(1800);
        CpuLabelShows(app, c.caption);
        EXPECT_EQ(app.Text("Label48"), std::string(c.caption));
        EXPECT_TRUE(app.Running());
        const HWND box = app.WaitForDialog("", 0);
        if (box != nullptr) {
            Fail(__FILE__, __LINE__, "a box opened: " + app.DialogText(box));
            Abort();
        }
    }
}

}  // namespace
}  // namespace lumora::winetest
