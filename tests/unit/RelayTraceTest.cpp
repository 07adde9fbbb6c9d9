// The reader of Wine's relay trace over traces captured from the Windows 98 tests of the x86_64
// build (tests/data): a program that read the planted CPU statistic for a few ticks and was
// closed, and the SYSTEM.INI calls of three Applies. The first keeps that run's lines whole
// except for the window-procedure calls of messages other than WM_TIMER, of which it keeps the
// first 20; the second keeps only the WritePrivateProfileStringA lines.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "wine/RelayTrace.h"

namespace lumora::relaytrace {
namespace {

// The captured program's main window, and where its image lay (base and SizeOfImage of the
// x86_64 build's lumora-manager.exe).
constexpr std::uint64_t kWindow = 0x70070;
const Image kImage{0x140000000, 0x47000};

std::string Captured(const char* name)
{
    std::ifstream in(std::string(LUMORA_TEST_DATA) + "/" + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(RelayTrace, ClosedProgramShowsItsTicksTheStatisticItStartedAndTheStopItRead)
{
    const std::string text = Captured("relay-trace-win98-x86_64-close.txt");
    ASSERT_FALSE(text.empty());
    const Trace trace = ParseRelayTrace(text, kWindow, kImage);

    ASSERT_EQ(trace.ticks.size(), std::size_t{3});
    EXPECT_EQ(CompleteTicks(trace), std::size_t{2});
    // StartStat opened once, on the first tick, and found (the statistic was planted).
    EXPECT_TRUE(trace.beforeTicks.startStatResults.empty());
    EXPECT_EQ(trace.ticks[0].startStatResults, std::vector<std::uint64_t>{0});
    EXPECT_TRUE(trace.ticks[1].startStatResults.empty());
    EXPECT_EQ(StartStatResults(trace), std::vector<std::uint64_t>{0});
    // Closing opened StopStat once and read the CPU figure through it.
    ASSERT_EQ(trace.stopStatOpens.size(), std::size_t{1});
    EXPECT_EQ(trace.stopStatOpens.front().result, std::uint64_t{0});
    EXPECT_TRUE(trace.stopStatOpens.front().read);

    EXPECT_EQ(trace.windowsCreated, 67);
    EXPECT_EQ(trace.perfDataQueries, 0);
    EXPECT_EQ(trace.krnl386Calls, 0);
    // The atoms in the trace are comctl32's and the theme's own, for no control's name.
    EXPECT_TRUE(trace.namingCalls.empty());
    EXPECT_TRUE(trace.systemIniCalls.empty());
    // 64-bit code makes no 16-bit round.
    for (const Tick& tick : trace.ticks) EXPECT_TRUE(tick.rounds.empty());
}

TEST(RelayTrace, OnlyTheProgramsOwnWindowAndImageCount)
{
    const std::string text = Captured("relay-trace-win98-x86_64-close.txt");
    struct Row {
        const char* what;
        std::uint64_t window;
        Image image;
        std::size_t ticks;
        int windowsCreated;
    } rows[] = {
        {"another window's timer", 0x70072, kImage, 0, 67},
        {"an image elsewhere", kWindow, Image{0x10000000, 0x47000}, 3, 0},
        // The program's windows are made from two places, 0x140012b04 (6) and 0x140015e9d (61).
        {"an image that ends where the first call returns", kWindow, Image{0x140000000, 0x12b04}, 3, 0},
        {"an image that holds only the first call's return", kWindow, Image{0x140000000, 0x12b05}, 3, 6},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const Trace trace = ParseRelayTrace(text, row.window, row.image);
        EXPECT_EQ(trace.ticks.size(), row.ticks);
        EXPECT_EQ(trace.windowsCreated, row.windowsCreated);
        // The statistic's keys count whoever opened them: they are the program's own here.
        EXPECT_EQ(StartStatResults(trace).size(), std::size_t{1});
        EXPECT_EQ(trace.stopStatOpens.size(), std::size_t{1});
    }
}

TEST(RelayTrace, ApplysSystemIniCallsReadAsWritesDeletesAndFlushes)
{
    const std::string text = Captured("relay-trace-win98-x86_64-apply.txt");
    const std::vector<std::string> expected = {
        "write 386Enh.PageBuffers",
        "write 386Enh.ConservativeSwapfileUsage",
        "delete vcache.MinFileCache",
        "delete vcache.MaxFileCache",
        "delete vcache.CHUNKSIZE",
        "flush",
        "delete 386Enh.PageBuffers",
        "write 386Enh.ConservativeSwapfileUsage",
        "delete vcache.MinFileCache",
        "delete vcache.MaxFileCache",
        "delete vcache.CHUNKSIZE",
        "flush",
        "write 386Enh.PageBuffers",
        "write 386Enh.ConservativeSwapfileUsage",
        "flush",
    };
    EXPECT_EQ(ParseRelayTrace(text, kWindow, kImage).systemIniCalls, expected);
    // Calls from outside the image are another module's.
    EXPECT_TRUE(ParseRelayTrace(text, kWindow, Image{0x10000000, 0x47000}).systemIniCalls.empty());
}

TEST(RelayTrace, ProfileCallsAboutOtherFilesAndCaseOfTheFileName)
{
    const std::string prefix = "0184:Call KERNEL32.WritePrivateProfileStringA(";
    const struct {
        const char* arguments;
        std::vector<std::string> calls;
    } rows[] = {
        {"00217098 \"386Enh\",002170b8 \"PageBuffers\",00217100 \"32\",002170e0 \"system.ini\")",
         {"write 386Enh.PageBuffers"}},
        {"00217098 \"386Enh\",002170b8 \"PageBuffers\",00217100 \"32\",002170e0 \"WIN.INI\")", {}},
        {"00217098 \"386Enh\",002170b8 \"PageBuffers\",00217100 \"32\")", {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.arguments);
        const std::string line = prefix + row.arguments + " ret=14000d041\n";
        EXPECT_EQ(ParseRelayTrace(line, kWindow, kImage).systemIniCalls, row.calls);
    }
}

}  // namespace
}  // namespace lumora::relaytrace
