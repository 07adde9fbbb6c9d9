// The Description box: every described control's two lines, the RAM page's bands, disabled
// controls, controls without a description and page changes.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>

#include "form/TForm1.h"
#include "fakes/FakePorts.h"
#include "monitor/CpuUsage.h"

namespace lumora {
namespace {

void ForEachControl(TControl& root, const std::function<void(TControl&)>& visit)
{
    visit(root);
    for (TControl* child : root.Children()) ForEachControl(*child, visit);
}

TControl* FindControl(TControl& root, const std::string& name)
{
    TControl* found = nullptr;
    ForEachControl(root, [&](TControl& control) {
        if (control.Name() == name) found = &control;
    });
    return found;
}

struct Lines {
    std::string line1, line2;
};

const Lines kTargetRowText{"Define amounts of RAM that Lumora will try to recover when the",
                           "minimum level is reached. Usually, it is about 1/6 of your RAM"};
const Lines kMinimumRowText{"Define the minimum level whitch Lumora will start recover your",
                            "RAM when it is reached. Usually, it is about 1/16 of your RAM"};
const Lines kCpuLimitText{"Lumora will recover and defragment your RAM if only the CPU", "usage below ... %."};
const Lines kTimedText{"This feature allows Lumora to recover and defragment your RAM",
                       "automatically every ... minutes. Usually it is about 3 minutes."};
const Lines kMenuText{"Use this feature to manually recover and defragment amount of RAM",
                      "by clicking the popup menu."};
const Lines kEmpty{"", ""};

struct Described {
    const char* control;
    Lines text;
};

// Typed from the table of hover texts, not from the code.
const Described kDescribed[] = {
    {"Target", kTargetRowText},
    {"Label18", kTargetRowText},
    {"RxSlider1",
     {"Define amounts of RAM that Lumora will try to recover when the",
      "minimum level is reached. Usually, it is about 1/4 of your RAM"}},
    {"Minimum", kMinimumRowText},
    {"RxSlider2", kMinimumRowText},
    {"Label31", kMinimumRowText},
    {"CheckBox6",
     {"Use this option to disable the CPU usage detection. You only need to",
      "do this if your CPU usage always shows 100%."}},
    {"CPUFree",
     {"Lumora will recover and defragment your RAM if only the CPU", "usage below ... %. Usually it is about 90%"}},
    {"RxSpinEdit7", kCpuLimitText},
    {"Label23", kCpuLimitText},
    {"TimeFree", kTimedText},
    {"RxSpinEdit1", kTimedText},
    {"Label14", kTimedText},
    {"RxSpinEdit2", kTimedText},
    {"Label15", kTimedText},
    {"PopMenu", kMenuText},
    {"RxSpinEdit3", kMenuText},
    {"Label19", kMenuText},
    {"RxSpinEdit4", kMenuText},
    {"Label20", kMenuText},
    {"RxSpinEdit5", kMenuText},
    {"Label21", kMenuText},
    {"CheckBox7", {"When enabled, Lumora Manager will appear on the top of other", "application windows."}},
    {"CheckBox2", {"By checking this checkbox, Lumora will run automatically each", "time you start Windows."}},
    {"CheckBox3",
     {"When enabled, Lumora will show available RAM level in the tray ",
      "icon. Note: this feature will take about 200 kb of memory."}},
    {"CheckBox5", {"When enabled, Lumora will also clear the clipboard when freeing", "up RAM."}},
    {"CheckBox1", {"When enabled, Lumora will play a confirmation sound when freeing", "up RAM."}},
    {"RxSlider3",
     {"Use this slide bar to define the minimum cache size. Usually, you can",
      "set it up to 1/8 of total RAM installed."}},
    {"RxSlider4",
     {"Use this slide bar to define the maximum cache size. Usually, you can",
      "set it up to 1/4 of total RAM installed."}},
    {"RxSlider5",
     {"If you frequantly use multimedia application which require large",
      "amounts of RAM, you can try to set it to 1024 kb, else try 512 kb."}},
    {"RxSlider6", {"Use this slide bar to define the name cache size.", ""}},
    {"RxSlider7", {"Use this slide bar to define the directory cache size.", ""}},
    {"CheckBox8", {"Try this option to increase your system performance when running", "multimedia applications."}},
    {"CheckBox9", {"Try this option to increase your harddisk performance when Windows", "access swap file."}},
    {"CheckBox10",
     {"When enabled, Windows will use the phisycal RAM as much as possible", "before using the virtual memory."}},
    {"TabSheet2", kEmpty},
    {"TabSheet4", kEmpty},
    {"TabSheet7", kEmpty},
    {"TabSheet8", kEmpty},
};

class DescriptionBox : public ::testing::Test {
protected:
    fakes::FakeMachine machine;
    CpuUsageMeter meter{machine.ports};
    TForm1 form{machine.ports, meter};

    TControl& Control(const std::string& name)
    {
        TControl* control = FindControl(form, name);
        if (!control) throw std::runtime_error("no control " + name);
        return *control;
    }
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
    ExpectLines({"Use this slide bar to define the name cache size.", ""}, "chunk size, then name cache");
    form.Tweak.CheckBox10.MouseMove(3, 3);
    form.FileCache.RxSlider7.MouseMove(3, 3);
    ExpectLines({"Use this slide bar to define the directory cache size.", ""}, "tweak, then directory cache");
}

struct BandCase {
    int x, y;
    const Lines* expected;
};

TEST_F(DescriptionBox, RamPageBackgroundDescribesARowOnlyWithinItsBand)
{
    const BandCase cases[] = {
        {16, 38, &kEmpty},           {17, 38, &kTargetRowText},   {384, 38, &kTargetRowText},
        {385, 38, &kEmpty},          {200, 32, &kEmpty},          {200, 33, &kTargetRowText},
        {200, 44, &kTargetRowText},  {200, 45, &kEmpty},          {16, 78, &kEmpty},
        {17, 78, &kMinimumRowText},  {384, 78, &kMinimumRowText}, {385, 78, &kEmpty},
        {200, 72, &kEmpty},          {200, 73, &kMinimumRowText}, {200, 84, &kMinimumRowText},
        {200, 85, &kEmpty},          {200, 60, &kEmpty},          {0, 0, &kEmpty},
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
    form.Ram.CheckBox6.Click();
    ASSERT_TRUE(form.Ram.CheckBox6.Checked());
    for (TControl* control : {static_cast<TControl*>(&form.Ram.CPUFree), static_cast<TControl*>(&form.Ram.RxSpinEdit7),
                              static_cast<TControl*>(&form.Ram.Label23)}) {
        for (int x : {0, 5, 40}) {
            FillWithStaleText();
            control->MouseMove(x, 2);
            ExpectLines(kEmpty, control->Name() + " disabled, x " + std::to_string(x));
        }
    }
    form.Ram.CheckBox6.MouseMove(1, 1);
    EXPECT_EQ(form.Label9.Caption(), "do this if your CPU usage always shows 100%.") << "the switch stays described";

    form.Ram.CheckBox6.Click();
    form.Ram.CPUFree.MouseMove(1, 1);
    ExpectLines({"Lumora will recover and defragment your RAM if only the CPU",
                 "usage below ... %. Usually it is about 90%"},
                "CPUFree enabled again");
    form.Ram.Label23.MouseMove(1, 1);
    EXPECT_EQ(form.Label9.Caption(), "usage below ... %.") << "Label23 enabled again";
}

TEST_F(DescriptionBox, SoundFileControlsKeepTheLinesWhileEnabledAndEmptyThemWhileDisabled)
{
    const Lines playSound{"When enabled, Lumora will play a confirmation sound when freeing", "up RAM."};
    form.Options.CheckBox1.SetChecked(true);
    ASSERT_TRUE(form.Options.Edit1.Enabled());
    for (TControl* control : {static_cast<TControl*>(&form.Options.Edit1), static_cast<TControl*>(&form.Options.SpeedButton1)}) {
        form.Options.CheckBox1.MouseMove(1, 1);
        control->MouseMove(4, 4);
        ExpectLines(playSound, control->Name() + " enabled");
    }

    form.Options.CheckBox1.Click();
    ASSERT_FALSE(form.Options.Edit1.Enabled());
    ASSERT_FALSE(form.Options.SpeedButton1.Enabled());
    for (TControl* control : {static_cast<TControl*>(&form.Options.Edit1), static_cast<TControl*>(&form.Options.SpeedButton1)}) {
        form.Options.CheckBox1.MouseMove(1, 1);
        control->MouseMove(4, 4);
        ExpectLines(kEmpty, control->Name() + " disabled");
    }
}

TEST_F(DescriptionBox, ControlsWithoutDescriptionKeepWhatTheBoxShows)
{
    std::set<std::string> described{"TabSheet1"};
    for (const auto& entry : kDescribed) described.insert(entry.control);
    const Lines shown{"Define amounts of RAM that Lumora will try to recover when the",
                      "minimum level is reached. Usually, it is about 1/4 of your RAM"};

    std::set<std::string> visited;
    ForEachControl(form, [&](TControl& control) {
        if (described.count(control.Name()) || !control.Enabled()) return;
        visited.insert(control.Name());
        form.Ram.RxSlider1.MouseMove(1, 1);
        control.MouseMove(2, 2);
        ExpectLines(shown, "pointer over " + control.Name());
    });
    for (const char* name : {"Button2", "Button3", "Button4", "Button5", "Button6", "ComboBox1", "ComboBox2",
                             "Label16", "Label4", "GroupBox5", "Label8", "TabSheet5", "TabSheet3", "Image1"}) {
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
