// The About page's live figures on each tick of the status timer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FormHarness.h"
#include "fakes/PerfDataBuilder.h"
#include "monitor/SystemProbe.h"

namespace lumora {
namespace {

using testing::FormHarness;

constexpr std::int64_t kSecond = 10000000;

struct StatusDisplay : ::testing::Test {
    FormHarness h{64};
    TForm1& Start() { return h.Start(); }
    void Tick() { h.form->Timer1.OnTimer(); }
    std::vector<std::string> Resources() const
    {
        return {h.form->About.Label60.Caption(), h.form->About.Label61.Caption(), h.form->About.Label62.Caption()};
    }
};

TEST_F(StatusDisplay, TickWritesMemoryResourcesCpuAndBars)
{
    TForm1& f = Start();
    h.machine.system.memory.availPhys = 23ull << 20;
    h.machine.system.memory.availPageFile = 40ull << 20;
    h.machine.SetCpuPercent(37);
    Tick();
    EXPECT_EQ(f.About.Label25.Caption(), "23 MB (35 %)") << "percentages truncate";
    EXPECT_EQ(f.About.Label27.Caption(), "64 MB");
    EXPECT_EQ(f.About.Label28.Caption(), "40 MB (62 %)");
    EXPECT_EQ(Resources(), (std::vector<std::string>{"80 %", "70 %", "90 %"})) << "GDI, System, User";
    EXPECT_EQ(f.About.Label48.Caption(), "37 %");
    EXPECT_EQ(f.About.ProgressBar1.Position(), 35);
    EXPECT_EQ(f.About.ProgressBar2.Position(), 62);
    EXPECT_EQ(f.CpuUsagePercent, 37.0);
    EXPECT_EQ(f.SystemProbe1->Status, "Ready");
    EXPECT_TRUE(h.machine.dialogs.errors.empty());
}

TEST_F(StatusDisplay, TotalsStayThoseOfStartUp)
{
    TForm1& f = Start();
    h.machine.system.memory.totalPhys = 256ull << 20;
    h.machine.system.memory.totalPageFile = 128ull << 20;
    h.machine.system.memory.availPageFile = 96ull << 20;
    f.About.Label24.SetCaption("start-up text");
    Tick();
    EXPECT_EQ(f.TotalPhysMB, 64);
    EXPECT_EQ(f.About.Label24.Caption(), "start-up text") << "written at start-up only";
    EXPECT_EQ(f.About.Label27.Caption(), "64 MB");
    EXPECT_EQ(f.About.Label28.Caption(), "96 MB (150 %)");
    EXPECT_EQ(f.About.ProgressBar2.Position(), 150) << "a grown page file goes to the bar unchanged";
}

TEST(StatusDisplayLargeMachine, FreeFiguresStopAt65535)
{
    FormHarness h(128 * 1024);
    TForm1& f = h.Start();
    h.machine.system.memory.availPhys = 100ull << 30;
    h.machine.system.memory.availPageFile = 70000ull << 20;
    f.Timer1.OnTimer();
    EXPECT_EQ(f.About.Label25.Caption(), "65535 MB (100 %)");
    // 65,535 MB free of a 64 MB page file at start-up: a share beyond 16 bits stops too.
    EXPECT_EQ(f.About.Label28.Caption(), "65535 MB (65535 %)");
}

TEST_F(StatusDisplay, ZeroTotalsShowZeroPercent)
{
    h.machine.system.memory.totalPageFile = 0;
    h.machine.system.memory.availPageFile = 0;
    TForm1& f = Start();
    f.TotalPhysMB = 0;
    Tick();
    EXPECT_EQ(f.FreePhysPercent, 0);
    EXPECT_EQ(f.About.Label28.Caption(), "0 MB (0 %)");
    EXPECT_TRUE(h.machine.dialogs.errors.empty());
}

TEST_F(StatusDisplay, CpuFigureRoundsHalvesToEvenAndIsNotClamped)
{
    h.machine.system.os.platformId = kPlatformNt;
    const struct {
        std::int64_t idleDelta;
        const char* shown;
    } cases[] = {
        {kSecond * 625 / 1000, "38 %"},  // 37.5
        {kSecond * 375 / 1000, "62 %"},  // 62.5
        {kSecond * 1003 / 1000, "0 %"},  // -0.3
        {kSecond * 103 / 100, "-3 %"},
    };
    TForm1& f = Start();
    std::int64_t idle = 0;
    std::uint16_t second = 0;
    auto tickWith = [&](std::int64_t newIdle) {
        idle = newIdle;
        h.machine.performance.blocks.assign(
            1, fakes::PerfDataBuilder().SystemTime(2001, 6, 15, 12, 0, second++).Processor({idle, 0}).Build());
        Tick();
    };
    tickWith(0);
    EXPECT_EQ(f.About.Label48.Caption(), "0 %") << "first reading";
    for (const auto& c : cases) {
        tickWith(idle + c.idleDelta);
        EXPECT_EQ(f.About.Label48.Caption(), c.shown) << "idle delta " << c.idleDelta;
    }
    EXPECT_EQ(Resources(), (std::vector<std::string>{"0 %", "0 %", "0 %"})) << "NT reads no resources";
}

TEST_F(StatusDisplay, CpuFigureOfAFractionJustOffAHalfIsNotRoundedAsTheHalf)
{
    h.machine.system.os.platformId = kPlatformNt;
    // Fractions whose products with 100 lie just off a half; in double they land on the half.
    const struct {
        std::int64_t idle;  // of one second
        double fraction;
        const char* shown;
    } cases[] = {
        {kSecond * 985 / 1000, 0.01499999999999999944, "1 %"},
        {kSecond * 505 / 1000, 0.49499999999999999556, "49 %"},
        {kSecond * 995 / 1000, 0.005000000000000000104, "1 %"},
    };
    for (const auto& c : cases) {
        FormHarness harness(64);
        harness.machine.system.os.platformId = kPlatformNt;
        TForm1& f = harness.Start();
        for (std::uint16_t second : {0, 1}) {
            harness.machine.performance.blocks.assign(1, fakes::PerfDataBuilder()
                                                             .SystemTime(2001, 6, 15, 12, 0, second)
                                                             .Processor({second == 0 ? 0 : c.idle})
                                                             .Build());
            f.Timer1.OnTimer();
        }
        ASSERT_EQ(f.cpuMeter.CpuUsageFraction(0), c.fraction) << c.shown;
        EXPECT_EQ(f.About.Label48.Caption(), c.shown) << c.fraction;
    }
}

TEST_F(StatusDisplay, CpuMeterErrorsShowZeroAndTheNextTickTriesAgain)
{
    TForm1& f = Start();
    h.machine.SetCpuPercent(55);
    Tick();
    for (const char* key : {fakes::kStartStatKey, fakes::kStatDataKey, fakes::kStopStatKey}) {
        h.machine.registry.refuseOpen.insert(fakes::Lower(key));
    }
    f.cpuMeter.StopCpuSampling();  // the next sample starts the statistic again, and fails
    Tick();
    EXPECT_EQ(f.About.Label48.Caption(), "0 %");
    EXPECT_TRUE(h.machine.dialogs.errors.empty());
    h.machine.registry.refuseOpen.clear();
    Tick();
    EXPECT_EQ(f.About.Label48.Caption(), "55 %");
}

TEST_F(StatusDisplay, DisabledDetectionTakesNoSample)
{
    const struct {
        std::uint16_t disabled;
        const char* shown;
    } cases[] = {{1, "...%"}, {2, "12 %"}};
    for (const auto& c : cases) {
        FormHarness harness(64);
        TForm1& f = harness.Start();
        harness.machine.SetCpuPercent(12);
        f.Timer1.OnTimer();
        harness.machine.registry.fixedCalls.clear();
        harness.machine.SetCpuPercent(99);
        f.Agent.CpuDetectDisabled = c.disabled;
        f.Timer1.OnTimer();
        EXPECT_TRUE(harness.machine.registry.fixedCalls.empty()) << "disabled " << c.disabled;
        EXPECT_EQ(f.About.Label48.Caption(), c.shown) << "disabled " << c.disabled;
    }
}

TEST_F(StatusDisplay, ProbeErrorsShowZeroResourcesAndLeaveTheProbeRefreshing)
{
    TForm1& f = Start();
    Tick();
    h.machine.module16.address = 0;
    Tick();
    EXPECT_EQ(Resources(), (std::vector<std::string>{"0 %", "0 %", "0 %"}));
    EXPECT_EQ(f.SystemProbe1->Status, "Refreshing...");
    EXPECT_TRUE(h.machine.dialogs.errors.empty());
}

TEST_F(StatusDisplay, MainWindowProbeKeepsItsOwnTimerOff)
{
    TForm1& f = Start();
    EXPECT_FALSE(f.SystemProbe1->Timer().Enabled());
    EXPECT_EQ(f.SystemProbe1->RefreshInterval(), 1000);
    EXPECT_EQ(f.SystemProbe1->RefreshTime, -1);
}

}  // namespace
}  // namespace lumora
