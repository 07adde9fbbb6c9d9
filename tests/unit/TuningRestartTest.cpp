// The restart mark: which handlers set it, and when Apply offers the restart.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "unit/TuningHarness.h"

namespace lumora {
namespace {

using testing::FormHarness;
using testing::kTemplatesKey;
using testing::Raw;
using testing::TemplateKey;

const std::string kQuestion = "Confirm: Do you want to restart your computer now?";

// Every settings control's own change is held to the restart rule in ControlRulesTest.cpp; these
// are the other ways in: the keyboard and the track on a slider, text typed into a profile box,
// the "Automatic" buttons, a page switch and the timer.
TEST(TuningRestart, OnlyTheTuningPagesHandlersMarkTheRestart)
{
    struct Case {
        const char* name;
        std::function<void(TForm1&)> act;
        bool marks;
    };
    const std::vector<Case> cases = {
        {"RxSlider3 key", [](TForm1& f) { f.DiskCache.RxSlider3.KeyDown(SliderKey::Right); }, true},
        {"RxSlider5 track", [](TForm1& f) { f.DiskCache.RxSlider5.TrackStep(true); }, true},
        {"ComboBox1 typed", [](TForm1& f) { f.DiskCache.ComboBox1.UserType("x"); }, true},
        {"Button4", [](TForm1& f) { f.DiskCache.Button4.Click(); }, true},
        {"RxSlider7 key", [](TForm1& f) { f.FileCache.RxSlider7.KeyDown(SliderKey::End); }, true},
        {"ComboBox2 typed", [](TForm1& f) { f.FileCache.ComboBox2.UserType("x"); }, true},
        {"Button6", [](TForm1& f) { f.FileCache.Button6.Click(); }, true},
        {"RxSlider1 key", [](TForm1& f) { f.Ram.RxSlider1.KeyDown(SliderKey::Right); }, false},
        {"RxSpinEdit3 arrow", [](TForm1& f) { f.Ram.RxSpinEdit3.Step(false); }, false},
        {"Button5", [](TForm1& f) { f.Ram.Button5.Click(); }, false},
        {"page switch", [](TForm1& f) { f.PageControl1.UserSelect(4); }, false},
        {"timer tick", [](TForm1& f) { f.Timer1.OnTimer(); }, false},
    };
    for (const auto& c : cases) {
        FormHarness h(64);
        h.machine.registry.PutDword(testing::kAgentKey, "Target Fre RAM", 5);
        h.machine.registry.PutDword(testing::kAgentKey, "Minimum Free RAM", 5);
        TForm1& f = h.Start();
        ASSERT_FALSE(f.RestartPending) << c.name;
        c.act(f);
        EXPECT_EQ(f.RestartPending, c.marks) << c.name;
        h.Apply();
        EXPECT_TRUE(h.machine.dialogs.errors.empty()) << c.name;
        EXPECT_EQ(h.machine.dialogs.questions.size(), c.marks ? 1u : 0u) << c.name;
        EXPECT_FALSE(f.RestartPending) << c.name;
    }
}

TEST(TuningRestart, ApplyAsksOnceAfterATuningChangeAndNotAgainAfterNo)
{
    FormHarness h(64);
    TForm1& f = h.Start();
    f.Tweak.CheckBox9.Click();
    h.Apply();
    EXPECT_EQ(h.machine.dialogs.questions, std::vector<std::string>{kQuestion});
    EXPECT_TRUE(h.machine.power.calls.empty()) << "No restarts nothing";
    EXPECT_EQ(h.machine.profile.Get("386Enh", "PageBuffers"), "32") << "the values stay written after No";
    h.Apply();
    f.Ram.RxSlider1.KeyDown(SliderKey::Right);
    h.Apply();
    EXPECT_EQ(h.machine.dialogs.questions.size(), 1u);
    h.machine.dialogs.answerYes = true;
    f.Tweak.CheckBox9.Click();
    h.Apply();
    EXPECT_EQ(h.machine.dialogs.questions.size(), 2u);
    EXPECT_NE(std::find(h.machine.power.calls.begin(), h.machine.power.calls.end(), "exit 2"),
              h.machine.power.calls.end())
        << "Yes restarts the computer";
}

// Stored values that the start-up load moves sliders or boxes for: once saved, the reload after
// an Apply finds the controls as they are and marks nothing.
TEST(TuningRestart, ApplyAfterAgentOnlyChangesNeverAsks)
{
    struct Case {
        const char* name;
        std::function<void(FormHarness&)> store;
    };
    const std::vector<Case> cases = {
        {"clean machine", [](FormHarness&) {}},
        {"cache texts off the grid and above the memory",
         [](FormHarness& h) {
             h.machine.profile.Put("vcache", "MinFileCache", "3000");
             h.machine.profile.Put("vcache", "MaxFileCache", "90000");
             h.machine.profile.Put("vcache", "CHUNKSIZE", "abc");
         }},
        {"tweaks on",
         [](FormHarness& h) {
             h.machine.registry.PutDword(testing::kFileSystemKey, "ContigFileAllocSize", 512);
             h.machine.profile.Put("386Enh", "PageBuffers", "32");
             h.machine.profile.Put("386Enh", "ConservativeSwapfileUsage", "1");
         }},
        {"Desktop whose template stores other sizes",
         [](FormHarness& h) {
             h.machine.registry.PutString(kTemplatesKey, "", "Desktop");
             h.machine.registry.Put(TemplateKey("Desktop"), "NameCache", kRegBinary, Raw({0x88, 0x13, 0, 0}));
             h.machine.registry.Put(TemplateKey("Desktop"), "PathCache", kRegBinary, Raw({100, 0, 0, 0}));
         }},
        {"Server", [](FormHarness& h) { h.machine.registry.PutString(kTemplatesKey, "", "Server"); }},
        {"Mobile with a two-byte size",
         [](FormHarness& h) {
             h.machine.registry.PutString(kTemplatesKey, "", "Mobile");
             h.machine.registry.Put(TemplateKey("Mobile"), "NameCache", kRegBinary, Raw({0x00, 0x0C}));
         }},
        {"unknown template", [](FormHarness& h) { h.machine.registry.PutString(kTemplatesKey, "", "Office"); }},
    };
    for (const auto& c : cases) {
        FormHarness h(64);
        c.store(h);
        TForm1& f = h.Start();
        for (int round = 0; round < 2; ++round) {
            f.Ram.RxSlider1.KeyDown(SliderKey::Right);
            f.Options.CheckBox3.Click();
            h.Apply();
        }
        EXPECT_TRUE(h.machine.dialogs.errors.empty()) << c.name;
        EXPECT_TRUE(h.machine.dialogs.questions.empty()) << c.name;
        EXPECT_FALSE(f.Button2.Enabled()) << c.name;
    }
}

}  // namespace
}  // namespace lumora
