// The program as Windows 98 runs it, proved from outside in a prefix where Wine reports
// Windows 98: Wine's relay trace of the program (the calls it made, counted tick by tick), the
// window's captions, the CPU statistic planted as Windows 98 publishes it, and what Apply left
// in the registry and SYSTEM.INI.
//
// These tests need a prefix prepared with `prefix.sh --win98` and the file that the standard
// error of the programs they start goes to, named by LUMORA_TRACE (scripts/test.sh provides
// both in its win98 layers); anywhere else they fail.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "E2eDriver.h"
#include "RelayTrace.h"
#include "WineRegistry.h"
#include "WineTest.h"
#include "form/ControlIds.h"

// The root of Windows 9x's dynamic statistics; headers for the NT family may leave it out.
#ifndef HKEY_DYN_DATA
#define HKEY_DYN_DATA ((HKEY)(ULONG_PTR)((LONG)0x80000006))
#endif

namespace lumora::winetest {
namespace {

using driver::App;
using namespace driver::pages;
using relaytrace::Call16;
using relaytrace::CompleteTicks;
using relaytrace::Image;
using relaytrace::Round;
using relaytrace::StartStatResults;
using relaytrace::Tick;
using relaytrace::Trace;

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
    // The NT layers leave these out by name; anywhere else they prove nothing, and fail.
    ASSERT_FALSE(driver::NtPlatform()) << "the prefix reports the NT family: make it with prefix.sh --win98";
    ASSERT_FALSE(TracePath().empty()) << "LUMORA_TRACE names no file for the programs' Wine trace";
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
    Trace Read(const App& app, const Image& image) const
    {
        return relaytrace::ParseRelayTrace(ReadFrom(path_, start_), reinterpret_cast<std::uintptr_t>(app.Window()),
                                           image);
    }

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
    if (!round.freed.empty()) {
        EXPECT_EQ(round.freed.front(), round.loaded);
    }
    EXPECT_EQ(round.askedOf, round.loaded);
    EXPECT_NE(round.address, std::uint64_t{0});
    ASSERT_EQ(round.calls.size(), std::size_t{3});
    for (std::size_t i = 0; i < round.calls.size(); ++i) {
        const Call16& call = round.calls[i];
        SCOPED_TRACE("16-bit call " + Show(i));
        EXPECT_EQ(call.target, round.address);
        EXPECT_EQ(call.argument, std::uint64_t{i});
        EXPECT_EQ(call.userArgument, std::uint64_t{i});
        EXPECT_TRUE(call.userResult <= 100);
        EXPECT_EQ(call.ax, call.userResult);
    }
}

// Whether the machine publishes the CPU statistic to start: Windows 98 does, Wine has no
// PerfStats\StartStat (unless a test planted one).
bool StartStatExists()
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_DYN_DATA, "PerfStats\\StartStat", 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// Checks the ticks of a watched stretch: the CPU meter's start attempts and the 16-bit rounds.
// Where the statistic can be started, the meter starts it once and a tick after that reads it
// without starting it again; where it cannot (Wine), every tick with the meter on tries once, and
// fails.
void CheckTicks(const Trace& trace, bool cpuDetection)
{
    const bool startable = StartStatExists();
    const std::size_t complete = CompleteTicks(trace);
    EXPECT_TRUE(complete >= kMinTicks);
    SCOPED_TRACE(Show(complete) + " complete ticks");
    for (std::size_t i = 0; i < complete; ++i) {
        const Tick& tick = trace.ticks[i];
        SCOPED_TRACE("tick " + Show(i));
        if (cpuDetection && startable) {
            const std::vector<std::uint64_t>& starts = tick.startStatResults;
            EXPECT_TRUE(starts.empty() || (starts.size() == 1 && starts.front() == ERROR_SUCCESS));
        } else if (cpuDetection) {
            EXPECT_EQ(tick.startStatResults.size(), std::size_t{1});
            for (const std::uint64_t result : tick.startStatResults) EXPECT_EQ(result, std::uint64_t{kFileNotFound});
        } else {
            EXPECT_EQ(tick.startStatResults.size(), std::size_t{0});
        }
        if (!k32BitBuild) {
            // 64-bit code cannot call 16-bit code: the port reports the services missing.
            EXPECT_EQ(tick.rounds.size(), std::size_t{0});
        } else {
            ASSERT_EQ(tick.rounds.size(), std::size_t{1});
            CheckRound(tick.rounds.front());
        }
    }
    EXPECT_EQ(trace.perfDataQueries, 0);
    if (!k32BitBuild) {
        EXPECT_EQ(trace.krnl386Calls, 0);
    }
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
// CPU caption holds expected, and no box opens. Returns the trace of that stretch.
Trace Watch(App& app, const std::string& cpuCaption)
{
    const TraceWindow window;
    const DWORD start = GetTickCount();
    bool reported = false;
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= 3 * kWatchMs) break;
        if (elapsed >= kWatchMs && CompleteTicks(window.Read(app)) >= kMinTicks) break;
        const std::string text = app.Text("Label48");
        if (text != cpuCaption && !reported) {
            reported = true;
            SCOPED_TRACE("Label48 after " + Show(GetTickCount() - start) + " ms");
            EXPECT_EQ(text, cpuCaption);
        }
        const HWND box = app.WaitForDialog("", 0);
        // In a function of its own, as this one returns a value; the failure ends the test.
        if (box != nullptr) [&] { FAIL() << "a box opened: " + app.DialogText(box); }();
        Sleep(200);
    }
    EXPECT_TRUE(app.Running());
    return window.Read(app);
}

// Wine 8.0 hands the 16-bit function's result to QT_Thunk's register frame, then leaves QT_Thunk
// through NtSetContextThread on its own thread, which restores the stack and the callee-saved
// registers but not EAX, ECX and EDX: EAX comes back as that call's own status, 0, and the
// figures read 0 %. Wine 10.0 carries AX back, as Windows 98 does.
bool WineDropsThunkAnswer()
{
    return WineUpTo(8);
}

// The free-resource captions against the 16-bit function's answers in the trace's last complete
// tick: each caption is AX as the 16-bit code returned it, carried back to the program
// (GetFreeSystemResources 0 is the System figure, 1 GDI, 2 User). The 64-bit build cannot call
// 16-bit code and shows 0 %.
void CheckResourceCaptions(const App& app, const Trace& trace)
{
    const char* const labels[] = {"Label61", "Label60", "Label62"};
    const std::size_t complete = CompleteTicks(trace);
    const Round* round = nullptr;
    if (complete > 0 && !trace.ticks[complete - 1].rounds.empty()) round = &trace.ticks[complete - 1].rounds.front();
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(std::string(labels[i]) + ", GetFreeSystemResources(" + Show(i) + ")");
        std::string expected = "0 %";
        if (k32BitBuild) {
            ASSERT_TRUE(round != nullptr && round->calls.size() == 3) << "no complete 16-bit round in the trace";
            const Call16& call = round->calls[i];
            EXPECT_EQ(call.ax, call.userResult);
            if (WineDropsThunkAnswer()) {
                SCOPED_TRACE("Wine " + WineVersion() + " drops QT_Thunk's result: the 16-bit function answered " +
                             Show(call.userResult));
            } else {
                expected = Show(call.ax) + " %";
            }
        }
        EXPECT_EQ(app.Text(labels[i]), expected);
    }
}

// The first tick rewrites the CPU caption of the window's start ("100%").
void WaitForFirstTick(App& app, const std::string& cpuCaption)
{
    if (!driver::WaitUntil([&] { return app.Text("Label48") == cpuCaption; }, 5000)) {
        FAIL() << "no tick set Label48 to " + cpuCaption + ": " + app.Text("Label48");
    }
}

TEST(Windows98E2e, Win98AboutAndRamPagesTickOnTheWindows98Paths)
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
        SCOPED_TRACE(std::string("on the ") + page.name + " page");
        app.SelectTab("PageControl1", page.index);
        WaitForFirstTick(app, "0 %");
        const Trace trace = Watch(app, "0 %");
        Report(page.name, trace);
        CheckTicks(trace, true);
        CheckResourceCaptions(app, trace);
    }
    // Not even start-up asked for the NT performance data.
    EXPECT_EQ(whole.Read(app).perfDataQueries, 0);
}

TEST(Windows98E2e, Win98CpuMeterIsNeverStartedWhenDetectionIsOff)
{
    RequireWindows98Prefix();
    const TracedPrograms traced;
    driver::ResetMachine();
    HKEY key = nullptr;
    ASSERT_EQ(
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
    CheckResourceCaptions(app, trace);
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

TEST(Windows98E2e, Win98ApplyRoundTripWritesTheBytesOfTheNtRun)
{
    RequireWindows98Prefix();
    const TracedPrograms traced;
    struct Restore {
        ~Restore() { ReportWindows98(true); }
    } restore;
    const RoundTrip win98 = ApplyRoundTrip(true);
    const RoundTrip nt = ApplyRoundTrip(false);
    {
        SCOPED_TRACE("the Windows 98 run took the 9x meter");
        EXPECT_GT(win98.startStatOpens, std::size_t{0});
        EXPECT_EQ(win98.perfDataQueries, 0);
    }
    {
        SCOPED_TRACE("the NT run took the NT meter");
        EXPECT_EQ(nt.startStatOpens, std::size_t{0});
        EXPECT_GT(nt.perfDataQueries, 0);
    }
    // Drivers find the controls by their IDs: neither start-up nor Apply names a window in the
    // global atom table or a window property, which on Windows 9x outlive a process that dies.
    for (const RoundTrip* run : {&win98, &nt}) {
        SCOPED_TRACE(std::string("the ") + (run == &win98 ? "Windows 98" : "NT") + " run names no control: " +
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
    SCOPED_TRACE("SYSTEM.INI calls: " + seen);
    std::vector<std::string> expected = changes;
    expected.push_back("flush");
    EXPECT_TRUE(calls == expected);
}

TEST(Windows98E2e, Win98ApplyFlushesSystemIniOnceAfterItsLastWrite)
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
        SCOPED_TRACE("Apply " + Show(i + 1));
        const TraceWindow window;
        app.Click("CheckBox9");
        app.PostClick("Button2");
        driver::DeclineRestart(app);
        EXPECT_TRUE(driver::WaitUntil([&] { return !app.Enabled("Button2"); }));
        CheckFlushedOnce(window.Read(app).systemIniCalls, saves[i]);
    }

    // Without the FS Templates key the save stops after the tweaks: what it wrote is flushed.
    SCOPED_TRACE("Apply stopped by the missing FS Templates key");
    DeleteTree(HKEY_LOCAL_MACHINE, driver::kFsTemplatesKey);
    const TraceWindow window;
    app.Click("CheckBox9");
    app.PostClick("Button2");
    const HWND error = app.WaitForDialog("Lumora Manager");
    ASSERT_TRUE(error != nullptr);
    EXPECT_EQ(app.DialogText(error), std::string("Failed to set data for ''"));
    ASSERT_TRUE(app.Answer(error, IDOK));
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
    ASSERT_TRUE(statistic.Complete());
    driver::Launch(app);
    app.SelectTab("PageControl1", kAboutPage);
}

// The CPU label shows caption within a few ticks.
bool CpuLabelShows(App& app, const std::string& caption)
{
    return driver::WaitUntil([&] { return app.Text("Label48") == caption; }, 5000);
}

TEST(Windows98E2e, Win98CpuLabelFollowsThePlantedStatistic)
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
    ASSERT_EQ(starts.size(), std::size_t{1});
    EXPECT_EQ(starts.front(), std::uint64_t{ERROR_SUCCESS});
    EXPECT_TRUE(trace.stopStatOpens.empty());
    EXPECT_TRUE(app.WaitForDialog("", 0) == nullptr);
}

TEST(Windows98E2e, Win98ClosingTheWindowReadsStopStatOnce)
{
    RequireWindows98Prefix();
    const TracedPrograms traced;
    PlantedCpuStatistic statistic(37);
    const TraceWindow whole;
    App app;
    LaunchOnPlantedStatistic(app, statistic);
    const Image image = ImageIn(app.Process());
    ASSERT_TRUE(CpuLabelShows(app, "37 %"));
    // A few ticks: each reads the running statistic, none stops it.
    Sleep(2000);
    {
        const Trace running = whole.Read(app, image);
        SCOPED_TRACE("while the window is open");
        EXPECT_TRUE(CompleteTicks(running) >= 2);
        EXPECT_EQ(running.stopStatOpens.size(), std::size_t{0});
    }
    app.Stop();
    ASSERT_TRUE(!app.Running());
    const Trace closed = whole.Read(app, image);
    ASSERT_EQ(closed.stopStatOpens.size(), std::size_t{1});
    EXPECT_EQ(closed.stopStatOpens.front().result, std::uint64_t{ERROR_SUCCESS});
    EXPECT_TRUE(closed.stopStatOpens.front().read);
    EXPECT_EQ(StartStatResults(closed).size(), std::size_t{1});
}

// The statistic is read straight into the last figure's 4 bytes, as many as the value holds: a
// shorter value replaces the low bytes (a percentage's others are 0), an empty one none.
TEST(Windows98E2e, Win98ShortStatisticReadsAsItsBytesAndNoBoxOpens)
{
    RequireWindows98Prefix();
    PlantedCpuStatistic statistic(81);
    App app;
    LaunchOnPlantedStatistic(app, statistic);
    ASSERT_TRUE(CpuLabelShows(app, "81 %"));
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
        SCOPED_TRACE(c.what);
        statistic.SetCurrent(c.stored);
        // Two ticks, so that a figure that stays has had its chance to change.
        Sleep(1800);
        CpuLabelShows(app, c.caption);
        EXPECT_EQ(app.Text("Label48"), std::string(c.caption));
        EXPECT_TRUE(app.Running());
        const HWND box = app.WaitForDialog("", 0);
        if (box != nullptr) {
            FAIL() << "a box opened: " + app.DialogText(box);
        }
    }
}

}  // namespace
}  // namespace lumora::winetest
