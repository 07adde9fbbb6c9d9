// The Tweak page: layout and the three boxes' handlers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "unit/TuningHarness.h"

namespace lumora {
namespace {

using testing::EffectRecorder;
using testing::FormHarness;

TEST(TweakPage, LayoutFollowsTheDesign)
{
    testing::DesignedForm designed;
    const TForm1& f = designed.form;
    struct Row {
        const TCheckBox* box;
        int top, width, tabOrder;
        const char* caption;
    };
    const Row rows[] = {
        {&f.Tweak.CheckBox8, 24, 169, 0, "Contiguous file allocation size"},
        {&f.Tweak.CheckBox9, 48, 137, 1, "Add buffer for harddisk"},
        {&f.Tweak.CheckBox10, 72, 241, 2, "Make Windows use RAM as much as possible"},
    };
    for (const auto& row : rows) {
        const Bounds& b = row.box->GetBounds();
        EXPECT_EQ(std::vector<int>({b.left, b.top, b.width, b.height}), std::vector<int>({16, row.top, row.width, 17}))
            << row.box->Name();
        EXPECT_EQ(row.box->Caption(), row.caption);
        EXPECT_EQ(row.box->tabOrder, row.tabOrder) << row.box->Name();
        EXPECT_EQ(row.box->Parent(), &f.TabSheet8) << row.box->Name();
        EXPECT_FALSE(row.box->Checked()) << row.box->Name();
    }
    EXPECT_EQ(f.TabSheet8.Caption(), "Tweak");
}

TEST(TweakPage, EachBoxMarksTheRestartAndEnablesApplyAndNothingElse)
{
    for (TCheckBox TweakPage::*member : {&TweakPage::CheckBox8, &TweakPage::CheckBox9, &TweakPage::CheckBox10}) {
        FormHarness h(64);
        TForm1& f = h.Start();
        TCheckBox& box = f.Tweak.*member;
        const std::string before = h.machine.registry.Dump();
        EffectRecorder recorder(f, {&f.Button2, &f.Tweak.CheckBox8, &f.Tweak.CheckBox9, &f.Tweak.CheckBox10,
                                    &f.DiskCache.ComboBox1, &f.FileCache.ComboBox2});
        box.Click();
        EXPECT_EQ(recorder.effects, (std::vector<std::string>{"Button2=on R"})) << box.Name();
        EXPECT_TRUE(box.Checked()) << box.Name();
        box.Click();
        EXPECT_FALSE(box.Checked()) << box.Name();
        EXPECT_TRUE(f.RestartPending) << box.Name() << ": checking and unchecking still marks the restart";
        EXPECT_TRUE(f.Button2.Enabled()) << box.Name();
        EXPECT_EQ(h.machine.registry.Dump(), before) << box.Name() << ": nothing is written before Apply";
        h.Apply();
        EXPECT_EQ(h.machine.dialogs.questions.size(), 1u) << box.Name();
    }
}

}  // namespace
}  // namespace lumora
