// The Description box: every described control's two lines, the RAM page's bands, disabled
// controls, controls without a description and page changes.
#include <gtest/gtest.h>

#include <initializer_list>
#include <set>
#include <string>

#include "common/DescriptionTexts.h"
#include "unit/FormHarness.h"

namespace lumora {
namespace {

using testing::ForEachControl;
using namespace testing::descriptions;

struct Described {
    const char* control;
    Lines text;
};

// The lines each described control shows, in the order of the table of hover texts.
const Described kDescribed[] = {
    {"Target", kTargetRowText},
    {"Label18", kTargetRowText},
    {"RxSlider1", kTargetSliderText},
    {"Minimum", kMinimumRowText},
    {"RxSlider2", kMinimumRowText},
    {"Label31", kMinimumRowText},
    {"CheckBox6", kCpuDetectionText},
    {"CPUFree", kCpuRowText},
    {"RxSpinEdit7", kCpuLimitText},
    {"Label23", kCpuLimitText},
    {"TimeFree", kTimedFreeUpText},
    {"RxSpinEdit1", kTimedFreeUpText},
    {"Label14", kTimedFreeUpText},
    {"RxSpinEdit2", kTimedFreeUpText},
    {"Label15", kTimedFreeUpText},
    {"PopMenu", kMenuFreeUpsText},
    {"RxSpinEdit3", kMenuFreeUpsText},
    {"Label19", kMenuFreeUpsText},
    {"RxSpinEdit4", kMenuFreeUpsText},
    {"Label20", kMenuFreeUpsText},
    {"RxSpinEdit5", kMenuFreeUpsText},
    {"Label21", kMenuFreeUpsText},
    {"CheckBox7", kAlwaysOnTopText},
    {"CheckBox2", kAutoStartText},
    {"CheckBox3", kTrayIconText},
    {"CheckBox5", kClearClipboardText},
    {"CheckBox1", kPlaySoundText},
    {"RxSlider3", kMinimumCacheText},
    {"RxSlider4", kMaximumCacheText},
    {"RxSlider5", kChunkSizeText},
    {"RxSlider6", kNameCacheText},
    {"RxSlider7", kDirectoryCacheText},
    {"CheckBox8", kContiguousText},
    {"CheckBox9", kDiskBuffersText},
    {"CheckBox10", kConservativeSwapText},
    {"TabSheet2", kEmpty},
    {"TabSheet4", kEmpty},
    {"TabSheet7", kEmpty},
    {"TabSheet8", kEmpty},
};

class DescriptionBox : public ::testing::Test, protected testing::DesignedForm {
protected:
    // Text no entry holds, so that an entry that leaves a line alone shows.
    void FillWithStaleText()
    {
        form.Label8.SetCaption("stale line 1");
        form.Label9.SetCaption("stale line 2");
    }
    void ExpectLines(const Lines& expected, const std::string& where)
    {
        EXPECT_EQ(form.Label8.Caption(), expected.line1) << where;
        EXPECT_EQ(form.Label9.Caption(), expected.line2) << where;
    }
};

TEST_F(DescriptionBox, ShowsEachDescribedControlsOwnLinesReplacingBoth)
{
    for (const auto& entry : kDescribed) {
        FillWithStaleText();
        Control(entry.control).MouseMove(1, 1);
        ExpectLines(entry.text, std::string("pointer over ") + entry.control);
    }
}

TEST_F(DescriptionBox, OneLineEntryEmptiesTheSecondLineOfThePreviousEntry)
{
    form.DiskCache.RxSlider5.MouseMove(3, 3);
    form.FileCache.RxSlider6.MouseMove(3, 3);
    ExpectLines(kNameCacheText, "chunk size, then name cache");
    form.Tweak.CheckBox10.MouseMove(3, 3);
    form.FileCache.RxSlider7.MouseMove(3, 3);
    ExpectLines(kDirectoryCacheText, "tweak, then directory cache");
}

struct BandCase {
    int x, y;
    const Lines* expected;
};

TEST_F(DescriptionBox, RamPageBackgroundDescribesARowOnlyWithinItsBand)
{
    const BandCase cases[] = {
        {16, 38, &kEmpty},          {17, 38, &kTargetRowText},   {384, 38, &kTargetRowText},
        {385, 38, &kEmpty},         {200, 32, &kEmpty},          {200, 33, &kTargetRowText},
        {200, 44, &kTargetRowText}, {200, 45, &kEmpty},          {16, 78, &kEmpty},
        {17, 78, &kMinimumRowText}, {384, 78, &kMinimumRowText}, {385, 78, &kEmpty},
        {200, 72, &kEmpty},         {200, 73, &kMinimumRowText}, {200, 84, &kMinimumRowText},
        {200, 85, &kEmpty},         {200, 60, &kEmpty},          {0, 0, &kEmpty},
        {200, 161, &kEmpty},
    };
    for (const auto& c : cases) {
        FillWithStaleText();
        form.TabSheet1.MouseMove(c.x, c.y);
        ExpectLines(*c.expected, "RAM page background at " + std::to_string(c.x) + "," + std::to_string(c.y));
    }
}

TEST_F(DescriptionBox, DisabledCpuRowEmptiesTheLinesAndDescribesAgainWhenEnabled)
{
    auto& ram = form.Ram;
    ram.CheckBox6.Click();
    ASSERT_TRUE(ram.CheckBox6.Checked());
    for (TControl* control : std::initializer_list<TControl*>{&ram.CPUFree, &ram.RxSpinEdit7, &ram.Label23}) {
        for (int x : {0, 5, 40}) {
            FillWithStaleText();
            control->MouseMove(x, 2);
            ExpectLines(kEmpty, control->Name() + " disabled, x " + std::to_string(x));
        }
    }
    ram.CheckBox6.MouseMove(1, 1);
    EXPECT_EQ(form.Label9.Caption(), kCpuDetectionText.line2) << "the switch stays described";

    ram.CheckBox6.Click();
    ram.CPUFree.MouseMove(1, 1);
    ExpectLines(kCpuRowText, "CPUFree enabled again");
    ram.Label23.MouseMove(1, 1);
    EXPECT_EQ(form.Label9.Caption(), kCpuLimitText.line2) << "Label23 enabled again";
}

TEST_F(DescriptionBox, SoundFileControlsKeepTheLinesWhileEnabledAndEmptyThemWhileDisabled)
{
    auto& options = form.Options;
    const std::initializer_list<TControl*> soundFile{&options.Edit1, &options.SpeedButton1};
    options.CheckBox1.SetChecked(true);
    ASSERT_TRUE(options.Edit1.Enabled());
    for (TControl* control : soundFile) {
        options.CheckBox1.MouseMove(1, 1);
        control->MouseMove(4, 4);
        ExpectLines(kPlaySoundText, control->Name() + " enabled");
    }

    options.CheckBox1.Click();
    ASSERT_FALSE(options.Edit1.Enabled());
    ASSERT_FALSE(options.SpeedButton1.Enabled());
    for (TControl* control : soundFile) {
        options.CheckBox1.MouseMove(1, 1);
        control->MouseMove(4, 4);
        ExpectLines(kEmpty, control->Name() + " disabled");
    }
}

// Check boxes, sliders and spin edits each describe themselves (ControlRulesTest.cpp holds every
// one to it); any other control not in the table keeps what the box shows.
TEST_F(DescriptionBox, ControlsWithoutDescriptionKeepWhatTheBoxShows)
{
    std::set<std::string> described{"TabSheet1"};
    for (const auto& entry : kDescribed) described.insert(entry.control);
    const Lines& shown = kTargetSliderText;

    std::set<std::string> visited;
    ForEachControl(form, [&](TControl& control) {
        const ControlKind kind = control.Kind();
        if (kind == ControlKind::CheckBox || kind == ControlKind::Slider || kind == ControlKind::SpinEdit) return;
        if (described.count(control.Name()) || !control.Enabled()) return;
        visited.insert(control.Name());
        form.Ram.RxSlider1.MouseMove(1, 1);
        control.MouseMove(2, 2);
        ExpectLines(shown, "pointer over " + control.Name());
    });
    for (const char* name : {"Button2", "Button3", "Button4", "Button5", "Button6", "ComboBox1", "ComboBox2", "Label16",
                             "Label4", "GroupBox5", "Label8", "TabSheet5", "TabSheet3", "Image1"}) {
        EXPECT_TRUE(visited.count(name)) << name << " was not checked";
    }
}

TEST_F(DescriptionBox, EveryPageChangeEmptiesTheBoxWhichHidesOnlyOnTheAboutPage)
{
    const int order[] = {5, 6, 1, 6, 0, 2, 3, 4, 5};
    for (int page : order) {
        FillWithStaleText();
        form.PageControl1.UserSelect(page);
        ASSERT_EQ(form.PageControl1.ActivePageIndex(), page);
        ExpectLines(kEmpty, "after switching to page " + std::to_string(page));
        EXPECT_EQ(form.GroupBox5.Visible(), page != 6) << "page " << page;
    }
}

TEST_F(DescriptionBox, RowLabelsArePaddedToReachAcrossTheirRows)
{
    const struct {
        TLabel* label;
        const char* text;
        std::size_t blanks;
    } rows[] = {
        {&form.Ram.TimeFree, "Free up", 69},
        {&form.Ram.PopMenu, "Pop up menu free ups", 81},
        {&form.Ram.CPUFree, "Recover RAM if only the CPU usage below", 26},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.label->Caption(), std::string(row.text) + std::string(row.blanks, ' ')) << row.label->Name();
    }
}

}  // namespace
}  // namespace lumora
