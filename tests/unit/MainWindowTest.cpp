// The main window: memory figures, start-up, Apply with its restart offer, Cancel, page switch.
#include <gtest/gtest.h>

#include "unit/FormHarness.h"

namespace lumora {
namespace {

using testing::FormHarness;
using testing::kAgentKey;

TEST(MainWindow, MemoryFiguresRoundTheTotalAndTruncatePercentages)
{
    struct Case {
        std::uint64_t totalPhys, availPhys, totalPage, availPage;
        int totalMB, freeMB, freePercent, totalSwapMB, freeSwapPercent;
    } cases[] = {
        {64ull << 20, 23ull << 20, 100ull << 20, 50ull << 20, 64, 23, 35, 100, 50},
        {(64ull << 20) + 5, 0, 0, 0, 64, 0, 0, 0, 0},  // no page file: percentage 0
        {(64ull << 20) + 6, 64ull << 20, 1ull << 20, (1ull << 20) + 5, 65, 64, 98, 1, 100},
        {0, 0, 0, 0, 0, 0, 0, 0, 0},  // zero total: no division
        // Beyond 65,535 MB the 16-bit figures stay at their largest value instead of wrapping.
        {128ull << 30, 16ull << 30, 200ull << 30, 100ull << 30, 65535, 16384, 25, 65535, 100},
        {(65535ull << 20) + 6, 65536ull << 20, 65536ull << 20, 65535ull << 20, 65535, 65535, 100, 65535, 100},
    };
    for (const auto& c : cases) {
        FormHarness h;
        h.machine.system.memory = {};
        h.machine.system.memory.totalPhys = c.totalPhys;
        h.machine.system.memory.availPhys = c.availPhys;
        h.machine.system.memory.totalPageFile = c.totalPage;
        h.machine.system.memory.availPageFile = c.availPage;
        TForm1& f = h.Start();
        SCOPED_TRACE(c.totalPhys);
        EXPECT_EQ(f.TotalPhysMB, c.totalMB);
        EXPECT_EQ(f.FreePhysMB, c.freeMB);
        EXPECT_EQ(f.FreePhysPercent, c.freePercent);
        EXPECT_EQ(f.TotalSwapMB, c.totalSwapMB);
        EXPECT_EQ(f.FreeSwapPercent, c.freeSwapPercent);
        EXPECT_EQ(f.About.Label24.Caption(), std::to_string(c.totalMB) + " MB");
        EXPECT_EQ(f.About.Label25.Caption(), std::to_string(c.freeMB) + " MB");
        EXPECT_EQ(f.About.ProgressBar1.Position(), c.freePercent);
        EXPECT_EQ(f.About.Label27.Caption(), std::to_string(c.totalSwapMB) + " MB");
        EXPECT_EQ(f.Ram.RxSlider1.MaxValue(), c.totalMB);
        EXPECT_EQ(f.Ram.RxSpinEdit1.MaxValue(), c.totalMB / 2);
        EXPECT_EQ(f.DiskCache.RxSlider5.MaxValue(), 128);
        EXPECT_TRUE(h.machine.dialogs.errors.empty());
    }
}

TEST(MainWindow, ApplyOffersTheRestartOnlyWhenPendingAndOnceAfterNo)
{
    struct Case {
        bool pending;
        bool yes;
        std::vector<std::string> questions;
        std::vector<std::string> power;
    } cases[] = {
        {false, true, {}, {}},
        {true, false, {"Confirm: Do you want to restart your computer now?"}, {}},
        {true,
         true,
         {"Confirm: Do you want to restart your computer now?"},
         {"open", "lookup", "enable", "close", "exit 2", "open", "lookup", "disable", "close"}},
    };
    for (const auto& c : cases) {
        FormHarness h;
        TForm1& f = h.Start();
        h.machine.dialogs.answerYes = c.yes;
        f.RestartPending = c.pending;
        h.Apply();
        EXPECT_EQ(h.machine.dialogs.questions, c.questions);
        EXPECT_EQ(h.machine.power.calls, c.power);
        EXPECT_FALSE(f.RestartPending);
        EXPECT_EQ(h.machine.registry.Dword(kAgentKey, "Update"), 1u);
        h.Apply();
        EXPECT_EQ(h.machine.dialogs.questions, c.questions) << "a second Apply asks nothing";
    }
}

TEST(MainWindow, ARefusedWriteInApplyWritesNoUpdateAndAsksNothing)
{
    FormHarness h;
    TForm1& f = h.Start();
    f.RestartPending = true;
    f.Button2.SetEnabled(true);
    h.machine.registry.refuseSet.insert("hkcu\\software\\lumora\\update");
    h.Apply();
    EXPECT_EQ(h.machine.dialogs.errors, (std::vector<std::string>{"Failed to set data for 'Update'"}));
    EXPECT_TRUE(f.Button2.Enabled());
    EXPECT_TRUE(h.machine.dialogs.questions.empty());
    EXPECT_TRUE(f.RestartPending) << "the offer is still due at the next Apply";
}

TEST(MainWindow, AFailedStartUpStepShowsTheErrorAndTheRestOfTheStartUpRuns)
{
    FormHarness h;
    h.machine.registry.refuseOpen.insert("hkcu\\software\\lumora");
    TForm1& f = h.Start();
    EXPECT_EQ(h.machine.dialogs.errors, (std::vector<std::string>{"Failed to set data for 'CurrentDir'"}));
    EXPECT_TRUE(f.Timer1.Enabled()) << "the live figures run whatever the load met";
    EXPECT_FALSE(f.Button2.Enabled());
    EXPECT_FALSE(f.RestartPending);
}

TEST(MainWindow, CancelClosesWithoutWritingAnything)
{
    FormHarness h;
    TForm1& f = h.Start();
    const std::string before = h.machine.registry.Dump();
    const auto profileWrites = h.machine.profile.log.size();
    f.Options.CheckBox3.Click();
    f.Ram.RxSlider1.KeyDown(SliderKey::End);
    f.Button3.Click();
    EXPECT_EQ(h.closes, 1);
    EXPECT_EQ(h.machine.registry.Dump(), before);
    EXPECT_EQ(h.machine.profile.log.size(), profileWrites);
}

TEST(MainWindow, PageSwitchEmptiesTheDescriptionAndHidesItOnAbout)
{
    FormHarness h;
    TForm1& f = h.Start();
    for (int page : {6, 5, 6, 0, 3}) {
        f.Label8.SetCaption("one");
        f.Label9.SetCaption("two");
        f.PageControl1.UserSelect(page);
        EXPECT_EQ(f.Label8.Caption(), "") << page;
        EXPECT_EQ(f.Label9.Caption(), "") << page;
        EXPECT_EQ(f.GroupBox5.Visible(), page != 6) << page;
    }
}

TEST(MainWindow, FrameHasItsPagesAndButtonsInPlace)
{
    FormHarness h;
    TForm1& f = h.Start();
    EXPECT_EQ(f.Caption(), "Lumora Manager");
    std::vector<std::string> captions;
    for (const auto* page : f.PageControl1.Pages()) captions.push_back(page->Caption());
    EXPECT_EQ(captions, (std::vector<std::string>{"Lumora", "Options", "Disk Cache", "File Cache", "Tweak",
                                                  "Brisko v1.8", "About"}));
    EXPECT_EQ(f.Button2.Caption(), "Apply");
    EXPECT_EQ(f.Button2.GetBounds().left, 232);
    EXPECT_EQ(f.Button3.Caption(), "Cancel");
    EXPECT_EQ(f.Button3.GetBounds().left, 312);
    EXPECT_EQ(f.GroupBox5.Caption(), "Description");
    EXPECT_EQ(f.GroupBox5.GetBounds().top, 296);
}

}  // namespace
}  // namespace lumora
