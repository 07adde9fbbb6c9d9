// The RAM and Options pages: handlers, labels, the CPU row, "Automatic" and the sound file.
#include <gtest/gtest.h>

#include "unit/FormHarness.h"

namespace lumora {
namespace {

using testing::FormHarness;
using testing::kAgentKey;

std::vector<std::string> RamValues(TForm1& f)
{
    return {std::to_string(f.Ram.RxSlider1.Value()),
            f.Ram.Label18.Caption(),
            std::to_string(f.Ram.RxSlider2.Value()),
            f.Ram.Label31.Caption(),
            f.Ram.RxSpinEdit1.Text(),
            f.Ram.RxSpinEdit2.Text(),
            f.Ram.RxSpinEdit7.Text(),
            f.Ram.RxSpinEdit3.Text(),
            f.Ram.RxSpinEdit4.Text(),
            f.Ram.RxSpinEdit5.Text()};
}

TEST(RamPage, AutomaticRecommendsValuesFromTheInstalledMemory)
{
    struct Case {
        unsigned totalMB;
        std::vector<std::string> shown;
    } cases[] = {
        {128, {"32", "32 MB", "8", "8 MB", "2", "3", "90", "32", "16", "8"}},
        {64, {"16", "16 MB", "4", "4 MB", "2", "3", "90", "16", "8", "4"}},
        {12, {"3", "3 MB", "0", "0 MB", "2", "3", "90", "3", "1", "1"}},  // menu 3 clamps to its minimum 1
        {2, {"0", "0 MB", "0", "0 MB", "1", "3", "90", "1", "1", "1"}},   // free-up clamps to 2 div 2
    };
    for (const auto& c : cases) {
        FormHarness h(c.totalMB);
        h.machine.registry.PutDword(kAgentKey, "Target Fre RAM", 1);
        h.machine.registry.PutDouble(kAgentKey, "FreeTime", 9);
        TForm1& f = h.Start();
        f.Ram.Button5.Click();
        EXPECT_EQ(RamValues(f), c.shown) << c.totalMB << " MB";
        EXPECT_TRUE(f.Button2.Enabled());
        EXPECT_FALSE(f.RestartPending);
    }
}

TEST(RamPage, AutomaticOnRecommendedValuesChangesNothing)
{
    FormHarness h(128);
    TForm1& f = h.Start();
    f.Ram.Button5.Click();
    EXPECT_FALSE(f.Button2.Enabled());
}

TEST(RamPage, SlidersFollowTheirLabelsAndFieldsAndEnableApply)
{
    FormHarness h(128);
    TForm1& f = h.Start();
    f.Ram.RxSlider1.DragTo(100);
    EXPECT_EQ(f.Ram.Label18.Caption(), "100 MB");
    EXPECT_EQ(f.Agent.TargetFreeMB, 100);
    EXPECT_TRUE(f.Button2.Enabled());
    f.Ram.RxSlider1.DragTo(32);
    EXPECT_TRUE(f.Button2.Enabled()) << "changing back keeps Apply enabled";
    f.Ram.RxSlider2.KeyDown(SliderKey::End);
    EXPECT_EQ(f.Ram.Label31.Caption(), "128 MB");
    EXPECT_EQ(f.Agent.MinimumFreeMB, 128);
}

TEST(RamPage, CpuDetectionSwitchGreysTheRowAndKeepsTheStoredSetting)
{
    FormHarness h;
    TForm1& f = h.Start();
    f.Ram.CheckBox6.Click();
    EXPECT_FALSE(f.Ram.CPUFree.Enabled());
    EXPECT_FALSE(f.Ram.RxSpinEdit7.Enabled());
    EXPECT_FALSE(f.Ram.Label23.Enabled());
    EXPECT_TRUE(f.Button2.Enabled());
    EXPECT_EQ(f.Agent.CpuDetectDisabled, 0) << "only a load changes it";
    f.Ram.CheckBox6.Click();
    EXPECT_TRUE(f.Ram.CPUFree.Enabled());
    EXPECT_TRUE(f.Ram.RxSpinEdit7.Enabled());
    EXPECT_TRUE(f.Ram.Label23.Enabled());
}

TEST(RamPage, TypedTextIsKeptInRangeAndSavedAsAWholeNumber)
{
    struct Case {
        const char* typed;
        bool leave;
        double saved;
    } cases[] = {{"75", true, 60},          {"", false, 1},   {"abc", true, 1}, {"1e3", false, 1}, {"-", false, 1},
                 {"99999999999", false, 1}, {"45", false, 45}};
    for (const auto& c : cases) {
        FormHarness h;
        TForm1& f = h.Start();
        f.Ram.RxSpinEdit2.SetText(c.typed);
        EXPECT_TRUE(f.Button2.Enabled()) << c.typed;
        if (c.leave) f.Ram.RxSpinEdit2.FocusLost();
        h.Apply();
        EXPECT_EQ(h.machine.registry.Double(kAgentKey, "FreeTime"), c.saved) << "typed \"" << c.typed << "\"";
    }
}

TEST(OptionsPage, SoundBoxFollowsTheSoundSwitch)
{
    FormHarness h;
    TForm1& f = h.Start();
    const std::string path = f.Options.Edit1.Text();
    f.Options.CheckBox1.Click();
    EXPECT_TRUE(f.Options.Edit1.Enabled());
    EXPECT_TRUE(f.Options.SpeedButton1.Enabled());
    f.Options.CheckBox1.Click();
    EXPECT_FALSE(f.Options.Edit1.Enabled());
    EXPECT_FALSE(f.Options.SpeedButton1.Enabled());
    EXPECT_EQ(f.Options.Edit1.Text(), path);
    EXPECT_TRUE(f.Options.Edit1.readOnly);
}

TEST(OptionsPage, TheFilePickerSetsTheSoundFileOnlyWhenConfirmed)
{
    FormHarness h;
    h.machine.registry.PutDword(kAgentKey, "PlaySound", 1);
    h.machine.registry.PutString(kAgentKey, "Music", "C:\\Sounds\\ding.wav");
    TForm1& f = h.Start();
    f.Options.SpeedButton1.Click();  // cancelled
    EXPECT_FALSE(f.Button2.Enabled());
    EXPECT_EQ(f.Agent.SoundFile, "C:\\Sounds\\ding.wav");
    ASSERT_EQ(h.machine.dialogs.fileRequests.size(), 1u);
    EXPECT_EQ(h.machine.dialogs.fileRequests[0], "Microsoft Waveform Audio (*.WAV)|*.wav|C:\\Sounds|");

    h.machine.dialogs.chosenFile = "D:\\none\\missing.wav";
    f.Options.SpeedButton1.Click();
    EXPECT_TRUE(f.Button2.Enabled());
    EXPECT_EQ(f.Agent.SoundFile, "D:\\none\\missing.wav");
    EXPECT_EQ(f.Options.Edit1.Text(), "D:\\none\\missing.wav");
    f.Options.SpeedButton1.Click();
    EXPECT_EQ(h.machine.dialogs.fileRequests[2],
              "Microsoft Waveform Audio (*.WAV)|*.wav|D:\\none|D:\\none\\missing.wav")
        << "the dialog remembers the last name";
    f.Options.CheckBox1.Click();  // sound off: the path is still saved
    h.Apply();
    EXPECT_EQ(h.machine.registry.String(kAgentKey, "Music"), "D:\\none\\missing.wav");
    EXPECT_EQ(h.machine.registry.Dword(kAgentKey, "PlaySound"), 0u);
}

}  // namespace
}  // namespace lumora
