// The About page's live figures under Wine: free memory that follows the machine, the CPU and
// resource figures of an NT platform without processor data, and the stored CPU switch.
#include <windows.h>
#include <winperf.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "E2eDriver.h"
#include "WineTest.h"

namespace lumora::winetest {
namespace {

using driver::App;
using namespace driver::pages;

constexpr DWORD kTickWaitMs = 5000;  // a few 800 ms ticks
// On a busy machine the free count can keep moving for seconds, so a label that trails it by a
// tick may take a while to be caught agreeing.
constexpr DWORD kAgreeWaitMs = 20000;

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
        FAIL() << "no tick rewrote Label25: " + app.Text("Label25");
    }
}

// Reads a free figure and checks its share against the start-up total it is computed from.
FreeFigure ReadFree(App& app, const char* label, const char* totalLabel)
{
    const std::string text = app.Text(label);
    FreeFigure figure;
    if (!ParseFree(text, figure)) {
        ADD_FAILURE() << std::string(label) + " reads " + Show(text);
        return figure;
    }
    const unsigned total = ParseTotal(app.Text(totalLabel));
    const unsigned share = total == 0 ? 0 : figure.megabytes * 100 / total;
    SCOPED_TRACE(std::string(label) + " " + text + " of " + std::to_string(total) + " MB");
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

// The free figure the manager is given, read through the same call in this process: the
// machine's count in whole megabytes, saturated at the 16 bits the page keeps.
unsigned MachineFreeMB()
{
    MEMORYSTATUS status;
    ZeroMemory(&status, sizeof status);
    status.dwLength = sizeof status;
    GlobalMemoryStatus(&status);
    return static_cast<unsigned>(std::min<SIZE_T>(status.dwAvailPhys >> 20, 0xFFFF));
}

// Label25 read between two reads of the machine's figure.
struct FreeSample {
    unsigned label = 0;
    unsigned machineLow = 0;
    unsigned machineHigh = 0;
};

FreeSample TakeFreeSample(App& app)
{
    const unsigned first = MachineFreeMB();
    FreeSample sample;
    sample.label = ReadFree(app, "Label25", "Label24").megabytes;
    const unsigned second = MachineFreeMB();
    sample.machineLow = std::min(first, second);
    sample.machineHigh = std::max(first, second);
    return sample;
}

// The label is written by the last 800 ms tick, so it may trail the machine by what the machine
// moved since: other programs keep taking and returning memory meanwhile.
constexpr unsigned kTickLagMB = 64;

bool Agrees(const FreeSample& sample)
{
    return sample.label + kTickLagMB >= sample.machineLow && sample.label <= sample.machineHigh + kTickLagMB;
}

std::string Describe(const FreeSample& sample)
{
    return "[label " + Show(sample.label) + ", machine " + Show(sample.machineLow) + "-" + Show(sample.machineHigh) +
           "]";
}

TEST(LiveFiguresE2e, FreePhysicalMemoryFollowsAnotherProcessTakingAndReturningMemory)
{
    App app;
    driver::Launch(app);
    app.SelectTab("PageControl1", kAboutPage);
    WaitForFirstTick(app);
    ReadFree(app, "Label28", "Label27");

    // This test's own process takes the memory, every page touched so that it is resident, and
    // the label must agree with the machine's own figure while it is held and once it is
    // returned. The machine's figure is the yardstick, not the amount taken: the kernel's count
    // moves by less than was touched, and on a shared machine other programs move it too.
    constexpr std::size_t kTaken = std::size_t{1} << 30;
    constexpr unsigned kSeenMB = 256;
    if (sizeof(void*) == 4) {
        // GlobalMemoryStatus gives a 32-bit program without the large-address flag (the i686
        // build, as Windows 9x programs are) at most 2 GB of physical memory, free or in all;
        // Wine's cap is 2 GB - 1. With more than that free beyond what is taken, the figure sits
        // at the cap.
        constexpr std::uint64_t kCap = 0x7fffffff;
        MEMORYSTATUSEX whole;
        ZeroMemory(&whole, sizeof whole);
        whole.dwLength = sizeof whole;
        GlobalMemoryStatusEx(&whole);
        if (whole.ullAvailPhys > kCap + 2 * kTaken) {
            const FreeFigure figure = ReadFree(app, "Label25", "Label24");
            EXPECT_LE(figure.megabytes, 2048u);
            WINE_EXPECT_EQ(static_cast<unsigned>(kCap >> 20), figure.megabytes);
            GTEST_SKIP()
                << "i686: the machine has " + Show(whole.ullAvailPhys >> 20) +
                       " MB free, above the 2 GB a 32-bit program is shown, so taking 1 GiB cannot move the figure";
        }
    }
    std::vector<FreeSample> agreed;
    const auto agree = [&](const char* moment) {
        FreeSample last;
        if (driver::WaitUntil([&] { return Agrees(last = TakeFreeSample(app)); }, kAgreeWaitMs)) {
            agreed.push_back(last);
            return;
        }
        FAIL() << std::string(moment) + ": Label25 never came within " + Show(kTickLagMB) +
                      " MB of the machine's free figure; last " + Describe(last);
    };
    // Every sample agreed with the machine, so a stuck label has already failed; the spread shows
    // the samples were taken over a real move and not a machine standing still.
    const auto followed = [&] {
        unsigned low = ~0u;
        unsigned high = 0;
        for (const FreeSample& sample : agreed) {
            low = std::min(low, sample.label);
            high = std::max(high, sample.label);
        }
        return !agreed.empty() && high >= low + kSeenMB;
    };
    for (int round = 0; round < 3; ++round) {
        agree("before taking");
        const unsigned before = agreed.back().machineLow;
        if (before < 2 * (kTaken >> 20)) GTEST_SKIP() << "too little free memory to take 1 GiB: " + Show(before);
        auto* block =
            static_cast<volatile char*>(VirtualAlloc(nullptr, kTaken, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        ASSERT_TRUE(block != nullptr);
        for (std::size_t offset = 0; offset < kTaken; offset += 4096) block[offset] = 1;
        driver::WaitUntil([&] { return MachineFreeMB() + kSeenMB <= before; }, kTickWaitMs);
        agree("while 1 GiB is held");
        const unsigned held = agreed.back().machineHigh;
        VirtualFree(const_cast<char*>(block), 0, MEM_RELEASE);
        driver::WaitUntil([&] { return MachineFreeMB() >= held + kSeenMB; }, kTickWaitMs);
        agree("once it is returned");
        if (followed()) return;
    }
    std::string seen;
    for (const FreeSample& sample : agreed) seen += " " + Describe(sample);
    GTEST_SKIP() << "the machine's free figure did not move by " + Show(kSeenMB) +
                        " MB in three rounds of taking 1 GiB:" + seen;
}

TEST(LiveFiguresE2e, NtCpuAndResourceFiguresReadZeroWithoutProcessorData)
{
    if (!ProcessorDataIsEmpty())
        GTEST_SKIP() << "this Wine delivers processor data: the CPU figure is a measurement, not 0";

    App app;
    driver::Launch(app);
    app.SelectTab("PageControl1", kAboutPage);
    WaitForFirstTick(app);
    for (const char* label : {"Label48", "Label60", "Label61", "Label62"}) {
        SCOPED_TRACE(label);
        EXPECT_EQ(app.Text(label), std::string("0 %"));
    }
    // Later ticks keep them there.
    Sleep(1700);
    for (const char* label : {"Label48", "Label60", "Label61", "Label62"}) {
        SCOPED_TRACE(std::string(label) + " after two more ticks");
        EXPECT_EQ(app.Text(label), std::string("0 %"));
    }
}

TEST(LiveFiguresE2e, CpuLabelFollowsTheStoredDetectionSwitch)
{
    struct Row {
        DWORD stored;
        const char* label48;
        bool boxChecked;
    };
    // Only 1 switches detection off; any other value leaves the last figure, 0 when nothing
    // was measured, as under a Wine without processor data.
    const Row rows[] = {{1, "...%", true}, {0, "0 %", false}, {2, "0 %", false}};
    const bool measured = !ProcessorDataIsEmpty();
    for (const Row& row : rows) {
        SCOPED_TRACE("Disable_CPU_Detect stored as DWORD " + std::to_string(row.stored));
        // With processor data, detection on shows a measurement.
        if (row.stored != 1 && measured) continue;
        driver::ResetMachine();
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, driver::kAgentKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
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
