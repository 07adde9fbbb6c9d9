// The About page's live figures under Wine: free memory that follows the machine, the CPU and
// resource figures of an NT platform without processor data, and the stored CPU switch.
#include <windows.h>
#include <winperf.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "E2eDriver.h"
#include "Harness.h"

namespace lumora::winetest {
namespace {

using driver::App;
using namespace driver::pages;

constexpr DWORD kTickWaitMs = 5000;  // a few 800 ms ticks
// On a busy machine the kernel's free count can take several seconds to show a gigabyte
// taken or given back; a round that gives up sooner spoils the next one's starting figure.
constexpr DWORD kMemoryMoveWaitMs = 20000;

struct FreeFigure {
    unsigned megabytes = 0;
    unsigned percent = 0;
};

// "N MB (P %)", as a tick writes it; false for anything else (the start-up text has no share).
bool ParseFree(const std::string& text, FreeFigure& out)
{
    char tail = 0;
    return std::sscanf(text.c_str(), "%u MB (%u %%%c", &out.megabytes, &out.percent, &tail) == 3 && tail == ')' &&
           text == std::to_string(out.megabytes) + " MB (" + std::to_string(out.percent) + " %)";
}

unsigned ParseTotal(const std::string& text)
{
    unsigned total = 0;
    std::sscanf(text.c_str(), "%u MB", &total);
    return total;
}

// Waits for the first tick: it gives the free figures their share.
void WaitForFirstTick(App& app)
{
    FreeFigure ignored;
    if (!driver::WaitUntil([&] { return ParseFree(app.Text("Label25"), ignored); }, kTickWaitMs)) {
        Fail(__FILE__, __LINE__, "no tick rewrote Label25: " + app.Text("Label25"));
        Abort();
    }
}

// Reads a free figure and checks its share against the start-up total it is computed from.
FreeFigure ReadFree(App& app, const char* label, const char* totalLabel)
{
    const std::string text = app.Text(label);
    FreeFigure figure;
    if (!ParseFree(text, figure)) {
        Fail(__FILE__, __LINE__, std::string(label) + " reads " + Show(text));
        return figure;
    }
    const unsigned total = ParseTotal(app.Text(totalLabel));
    const unsigned share = total == 0 ? 0 : figure.megabytes * 100 / total;
    Context context(std::string(label) + " " + text + " of " + std::to_string(total) + " MB");
    EXPECT_EQ(figure.percent, share);
    return figure;
}

// Wine answers the processor data with a block of no objects, so the meter's search fails and
// every tick shows 0; a Wine that delivers the object would show a real figure.
bool ProcessorDataIsEmpty()
{
    HKEY perf = HKEY_PERFORMANCE_DATA;
    std::vector<BYTE> data(1 << 16);
    DWORD size = static_cast<DWORD>(data.size());
    const LONG rc = RegQueryValueExA(perf, "238", nullptr, nullptr, data.data(), &size);
    RegCloseKey(perf);
    return rc == ERROR_SUCCESS && size >= sizeof(PERF_DATA_BLOCK) &&
           reinterpret_cast<const PERF_DATA_BLOCK*>(data.data())->NumObjectTypes == 0;
}

// One round of taking and returning memory: the free figure before, its lowest while the memory
// is held, and its highest once it is returned.
struct MemoryRound {
    unsigned before = 0;
    unsigned low = 0;
    unsigned high = 0;
};

WINE_TEST(FreePhysicalMemoryFollowsAnotherProcessTakingAndReturningMemory)
{
    App app;
    driver::Launch(app);
    app.SelectTab("PageControl1", kAboutPage);
    WaitForFirstTick(app);
    ReadFree(app, "Label28", "Label27");

    // This test's own process takes the memory: every page touched, so it is resident. A quarter
    // of it must show each way: the kernel's count moves by less than was touched, and the rest
    // of the machine keeps taking and returning memory meanwhile, so a round that other programs
    // spoiled is tried again.
    constexpr std::size_t kTaken = std::size_t{1} << 30;
    constexpr unsigned kSeenMB = 256;
    if (sizeof(void*) == 4) {
        // Wine's GlobalMemoryStatus gives a 32-bit program without the large-address flag (the
        // i686 build, as Windows 9x programs are) at most 2 GB - 1 of physical memory, free or in
        // all. With more than that free beyond what is taken, the figure sits at the cap.
        constexpr std::uint64_t kCap = 0x7fffffff;
        MEMORYSTATUSEX whole;
        ZeroMemory(&whole, sizeof whole);
        whole.dwLength = sizeof whole;
        GlobalMemoryStatusEx(&whole);
        if (whole.ullAvailPhys > kCap + 2 * kTaken) {
            const FreeFigure figure = ReadFree(app, "Label25", "Label24");
            EXPECT_EQ(figure.megabytes, static_cast<unsigned>(kCap >> 20));
            SKIP("i686: the machine has " + Show(whole.ullAvailPhys >> 20) +
                 " MB free, above the 2 GB a 32-bit program is shown, so taking 1 GiB cannot move the figure");
        }
    }
    std::vector<MemoryRound> rounds;
    for (int attempt = 0; attempt < 3; ++attempt) {
        MemoryRound round;
        round.before = ReadFree(app, "Label25", "Label24").megabytes;
        if (round.before < 2 * (kTaken >> 20)) SKIP("too little free memory to take 1 GiB: " + Show(round.before));
        auto* block =
            static_cast<volatile char*>(VirtualAlloc(nullptr, kTaken, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        REQUIRE_TRUE(block != nullptr);
        for (std::size_t offset = 0; offset < kTaken; offset += 4096) block[offset] = 1;
        round.low = round.before;
        const bool fell = driver::WaitUntil(
            [&] {
                round.low = std::min(round.low, ReadFree(app, "Label25", "Label24").megabytes);
                return round.low + kSeenMB <= round.before;
            },
            kMemoryMoveWaitMs);
        VirtualFree(const_cast<char*>(block), 0, MEM_RELEASE);
        round.high = round.low;
        const bool rose = driver::WaitUntil(
            [&] {
                round.high = std::max(round.high, ReadFree(app, "Label25", "Label24").megabytes);
                return round.high >= round.low + kSeenMB;
            },
            kMemoryMoveWaitMs);
        rounds.push_back(round);
        if (fell && rose) return;
    }
    std::string seen;
    for (const MemoryRound& round : rounds) {
        seen += " [before " + Show(round.before) + ", lowest taken " + Show(round.low) + ", highest returned " +
                Show(round.high) + "]";
    }
    Fail(__FILE__, __LINE__, "free MB did not fall and rise by " + Show(kSeenMB) + " in any round:" + seen);
}

WINE_TEST(CpuAndResourceFiguresReadZeroWithoutProcessorDataOnNt)
{
    if (!ProcessorDataIsEmpty()) SKIP("this Wine delivers processor data: the CPU figure is a measurement, not 0");

    App app;
    driver::Launch(app);
    app.SelectTab("PageControl1", kAboutPage);
    WaitForFirstTick(app);
    for (const char* label : {"Label48", "Label60", "Label61", "Label62"}) {
        Context context(label);
        EXPECT_EQ(app.Text(label), std::string("0 %"));
    }
    // Later ticks keep them there.
    Sleep(1700);
    for (const char* label : {"Label48", "Label60", "Label61", "Label62"}) {
        Context context(std::string(label) + " after two more ticks");
        EXPECT_EQ(app.Text(label), std::string("0 %"));
    }
}

WINE_TEST(CpuLabelFollowsTheStoredDetectionSwitch)
{
    struct Row {
        DWORD stored;
        const char* label48;
        bool boxChecked;
    };
    // Only 1 switches detection off; any other value leaves the last figure, 0 when nothing
    // was measured.
    const Row rows[] = {{1, "...%", true}, {0, "0 %", false}, {2, "0 %", false}};
    const bool measured = !ProcessorDataIsEmpty();
    for (const Row& row : rows) {
        Context context("Disable_CPU_Detect stored as DWORD " + std::to_string(row.stored));
        // With processor data, detection on shows a measurement.
        if (row.stored == 0 && measured) continue;
        driver::ResetMachine();
        HKEY key = nullptr;
        REQUIRE_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, driver::kAgentKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                   nullptr),
                   ERROR_SUCCESS);
        RegSetValueExA(key, "Disable_CPU_Detect", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&row.stored),
                       sizeof row.stored);
        RegCloseKey(key);

        App app;
        driver::Launch(app, false);
        EXPECT_EQ(app.Checked("CheckBox6"), row.boxChecked);
        app.SelectTab("PageControl1", kAboutPage);
        WaitForFirstTick(app);
        EXPECT_EQ(app.Text("Label48"), std::string(row.label48));
        Sleep(900);
        EXPECT_EQ(app.Text("Label48"), std::string(row.label48));
    }
}

}  // namespace
}  // namespace lumora::winetest
