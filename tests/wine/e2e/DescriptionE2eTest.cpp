// The Description box driven by the real pointer: every kind of native control shows its
// setting's two lines, buttons, drop-down boxes and the box itself keep them, page backgrounds
// and disabled controls empty them, and the RAM page's background describes its two slider rows.
#include <string>
#include <vector>

#include "E2eDriver.h"
#include "WineTest.h"
#include "common/DescriptionTexts.h"

namespace lumora::winetest {
namespace {

using driver::App;
using namespace driver::pages;
using namespace testing::descriptions;

bool Same(const Lines& a, const Lines& b)
{
    return std::string(a.line1) == b.line1 && std::string(a.line2) == b.line2;
}

const char* PageName(int page)
{
    static const char* const names[] = {"TabSheet1", "TabSheet2", "TabSheet4", "TabSheet7",
                                        "TabSheet8", "TabSheet5", "TabSheet3"};
    return names[page];
}

bool Shows(const App& app, const Lines& entry)
{
    return app.Text("Label8") == entry.line1 && app.Text("Label9") == entry.line2;
}

// A move changes the box as soon as the program has handled it; give it that long.
void ExpectShows(const App& app, const Lines& entry)
{
    driver::WaitUntil([&] { return Shows(app, entry); }, 2000);
    EXPECT_EQ(app.Text("Label8"), std::string(entry.line1));
    EXPECT_EQ(app.Text("Label9"), std::string(entry.line2));
}

// For a move that must change nothing there is no change to wait for. Changing moves are
// handled within the driver's pointer wait (a few milliseconds after it here); allow a margin.
void ExpectStillShows(const App& app, const Lines& entry)
{
    Sleep(50);
    EXPECT_EQ(app.Text("Label8"), std::string(entry.line1));
    EXPECT_EQ(app.Text("Label9"), std::string(entry.line2));
}

// A spot of bare page on every settings page: left of all controls, between two rows, and
// outside the RAM page's bands.
void PointAtBackground(App& app, int page)
{
    app.Pointer(PageName(page), 4, 150);
}

POINT Middle(const App& app, const std::string& name)
{
    RECT client{};
    GetClientRect(app.Control(name), &client);
    return {client.right / 2, client.bottom / 2};
}

void PointAtMiddle(App& app, const std::string& name)
{
    const POINT middle = Middle(app, name);
    app.Pointer(name, middle.x, middle.y);
}

// A window that opens under the pointer gets a move from it; a pointer parked in the screen's
// corner, away from the centred window, leaves the box as start-up left it.
void LaunchWithPointerAway(App& app)
{
    SetCursorPos(0, 0);
    driver::Launch(app);
}

struct Hover {
    int page;
    const char* control;
    int x, y;  // in the control's client area; negative: its middle
    Lines entry;
    const char* why;
};

void PointAt(App& app, const Hover& hover)
{
    if (hover.x < 0) {
        PointAtMiddle(app, hover.control);
    } else {
        app.Pointer(hover.control, hover.x, hover.y);
    }
}

TEST(DescriptionE2e, PointerOverEachDescribedControlShowsItsSettingsTwoLines)
{
    App app;
    LaunchWithPointerAway(app);
    const Hover hovers[] = {
        {kRamPage, "Target", -1, -1, kTargetRowText, "static label"},
        {kRamPage, "RxSlider1", 20, 10, kTargetSliderText, "our slider window says 1/4"},
        {kRamPage, "Label18", -1, -1, kTargetRowText, "value label says 1/6"},
        {kRamPage, "Minimum", -1, -1, kMinimumRowText, "static label"},
        {kRamPage, "RxSlider2", 200, 20, kMinimumRowText, "slider"},
        {kRamPage, "Label31", -1, -1, kMinimumRowText, "value label"},
        {kRamPage, "CheckBox6", 40, 8, kCpuDetectionText, "check box"},
        {kRamPage, "CPUFree", 20, 5, kCpuRowText, "row label"},
        {kRamPage, "CPUFree", 268, 5, kCpuRowText, "row label's blanks between spin edit and % label"},
        {kRamPage, "RxSpinEdit7", 5, 5, kCpuLimitText, "spin edit's EDIT"},
        {kRamPage, "RxSpinEdit7.Arrows", 4, 4, kCpuLimitText, "spin edit's up-down arrows"},
        {kRamPage, "Label23", 2, 5, kCpuLimitText, "unit label"},
        {kRamPage, "TimeFree", 10, 5, kTimedFreeUpText, "row label"},
        {kRamPage, "TimeFree", 92, 5, kTimedFreeUpText, "row label's blanks between spin edit and MB every"},
        {kRamPage, "RxSpinEdit1", 5, 5, kTimedFreeUpText, "spin edit"},
        {kRamPage, "Label14", -1, -1, kTimedFreeUpText, "unit label"},
        {kRamPage, "RxSpinEdit2.Arrows", 4, 12, kTimedFreeUpText, "lower arrow"},
        {kRamPage, "Label15", -1, -1, kTimedFreeUpText, "unit label"},
        {kRamPage, "PopMenu", 10, 5, kMenuFreeUpsText, "row label"},
        {kRamPage, "PopMenu", 187, 5, kMenuFreeUpsText, "row label's blanks between MB and the second amount"},
        {kRamPage, "RxSpinEdit3", 5, 5, kMenuFreeUpsText, "spin edit"},
        {kRamPage, "Label20", -1, -1, kMenuFreeUpsText, "unit label"},
        {kRamPage, "RxSpinEdit4.Arrows", 4, 4, kMenuFreeUpsText, "upper arrow"},
        {kRamPage, "RxSpinEdit5", 5, 5, kMenuFreeUpsText, "spin edit"},
        {kRamPage, "Label21", -1, -1, kMenuFreeUpsText, "unit label"},
        {kOptionsPage, "CheckBox7", 40, 8, kAlwaysOnTopText, "check box"},
        {kOptionsPage, "CheckBox2", 40, 8, kAutoStartText, "check box"},
        {kOptionsPage, "CheckBox3", 40, 8, kTrayIconText, "check box, line 1 ends in a blank"},
        {kOptionsPage, "CheckBox5", 4, 8, kClearClipboardText, "check box's square"},
        {kOptionsPage, "CheckBox1", 40, 8, kPlaySoundText, "check box"},
        {kDiskCachePage, "RxSlider3", 5, 10, kMinimumCacheText, "slider's thumb"},
        {kDiskCachePage, "RxSlider4", 300, 20, kMaximumCacheText, "slider's track"},
        {kDiskCachePage, "RxSlider5", 100, 30, kChunkSizeText, "slider's ticks"},
        {kFileCachePage, "RxSlider6", 100, 10, kNameCacheText, "slider, line 2 empty"},
        {kFileCachePage, "RxSlider7", 100, 10, kDirectoryCacheText, "slider, line 2 empty"},
        {kTweakPage, "CheckBox8", 40, 8, kContiguousText, "check box"},
        {kTweakPage, "CheckBox9", 40, 8, kDiskBuffersText, "check box"},
        {kTweakPage, "CheckBox10", 40, 8, kConservativeSwapText, "check box"},
    };
    int page = -1;
    Lines shown = kEmpty;
    for (const Hover& hover : hovers) {
        SCOPED_TRACE(std::string(hover.control) + " (" + hover.why + ") at " + std::to_string(hover.x) + "," +
                     std::to_string(hover.y));
        if (hover.page != page) {
            page = hover.page;
            app.SelectTab("PageControl1", page);
            shown = kEmpty;
        }
        // A move that would show what is already shown proves nothing: clear the box first.
        if (Same(shown, hover.entry)) {
            PointAtBackground(app, page);
            ExpectShows(app, kEmpty);
        }
        PointAt(app, hover);
        ExpectShows(app, hover.entry);
        shown = hover.entry;
    }
}

TEST(DescriptionE2e, ButtonsDropDownsAndTheBoxKeepTheLinesAndBarePageEmptiesThem)
{
    App app;
    LaunchWithPointerAway(app);
    struct Spot {
        const char* control;
        int x, y;  // negative: the control's middle
    };
    struct Page {
        int page;
        const char* describer;
        Lines entry;
        std::vector<Spot> keepers;
    };
    // The drop-down boxes are pointed at on their arrow (the right end) and on their edit box;
    // the Description box beside its lines, and on each line.
    const Page pages[] = {
        {kRamPage,
         "CheckBox6",
         kCpuDetectionText,
         {{"Button5", -1, -1},
          {"Button3", -1, -1},
          {"GroupBox5", 5, 55},
          {"GroupBox5", 350, 30},
          {"Label8", 20, 5},
          {"Label9", 20, 5},
          {"PageControl1", 2, 2}}},
        {kOptionsPage,
         "CheckBox7",
         kAlwaysOnTopText,
         {{"Edit1", -1, -1}, {"SpeedButton1", -1, -1}, {"Button3", -1, -1}}},
        {kDiskCachePage,
         "RxSlider4",
         kMaximumCacheText,
         {{"ComboBox1", 178, 8},
          {"ComboBox1.Edit", 5, 5},
          {"Button4", -1, -1},
          {"Label3", -1, -1},
          {"Label16", -1, -1},
          {"Label10", -1, -1},
          {"Label30", -1, -1},
          {"Label49", -1, -1}}},
        {kFileCachePage,
         "RxSlider6",
         kNameCacheText,
         {{"ComboBox2", 178, 8},
          {"ComboBox2.Edit", 5, 5},
          {"Button6", -1, -1},
          {"Label55", -1, -1},
          {"Label4", -1, -1},
          {"Label54", -1, -1}}},
        {kTweakPage, "CheckBox9", kDiskBuffersText, {{"Button2", -1, -1}, {"GroupBox5", 5, 55}}},
    };
    // Apply is pointed at once enabled, by the sound box's click, on the Tweak page.
    for (const Page& p : pages) {
        SCOPED_TRACE(std::string("page ") + PageName(p.page));
        app.SelectTab("PageControl1", p.page);
        if (p.page == kOptionsPage) {
            app.Click("CheckBox1");  // enables the sound file box and its button
            ASSERT_TRUE(app.Enabled("Edit1"));
        }
        PointAtMiddle(app, p.describer);
        ExpectShows(app, p.entry);
        for (const Spot& keeper : p.keepers) {
            SCOPED_TRACE(std::string(keeper.control) + " at " + std::to_string(keeper.x) + "," +
                         std::to_string(keeper.y));
            if (keeper.x < 0) {
                PointAtMiddle(app, keeper.control);
            } else {
                app.Pointer(keeper.control, keeper.x, keeper.y);
            }
            ExpectStillShows(app, p.entry);
        }
        PointAtBackground(app, p.page);
        ExpectShows(app, kEmpty);
    }
}

TEST(DescriptionE2e, DisabledControlsHandThePointerToThePageWhichEmptiesTheLines)
{
    App app;
    LaunchWithPointerAway(app);
    const char* const cpuRow[] = {"CPUFree", "RxSpinEdit7", "RxSpinEdit7.Arrows", "Label23"};
    // Apply, disabled after start-up, lies over the page too.
    ASSERT_TRUE(!app.Enabled("Button2"));
    PointAtMiddle(app, "CheckBox6");
    ExpectShows(app, kCpuDetectionText);
    PointAtMiddle(app, "Button2");
    ExpectShows(app, kEmpty);

    app.Click("CheckBox6");
    ASSERT_TRUE(!app.Enabled("RxSpinEdit7"));
    for (const char* control : cpuRow) {
        SCOPED_TRACE(std::string(control) + " disabled");
        PointAtMiddle(app, "CheckBox6");
        ExpectShows(app, kCpuDetectionText);
        PointAtMiddle(app, control);
        ExpectShows(app, kEmpty);
    }
    app.Click("CheckBox6");
    ASSERT_TRUE(app.Enabled("RxSpinEdit7"));
    PointAtMiddle(app, "RxSpinEdit7");
    ExpectShows(app, kCpuLimitText);

    app.SelectTab("PageControl1", kOptionsPage);
    ASSERT_TRUE(!app.Checked("CheckBox1"));
    ASSERT_TRUE(!app.Enabled("Edit1"));
    for (const char* control : {"Edit1", "SpeedButton1"}) {
        SCOPED_TRACE(std::string(control) + " disabled");
        PointAtMiddle(app, "CheckBox1");
        ExpectShows(app, kPlaySoundText);
        PointAtMiddle(app, control);
        ExpectShows(app, kEmpty);
    }
}

TEST(DescriptionE2e, RamPageBackgroundDescribesASliderRowOnlyInsideItsBand)
{
    App app;
    LaunchWithPointerAway(app);
    // Short value labels ("0 MB"), so that bare page lies right of them up to the bands' end.
    for (const char* slider : {"RxSlider1", "RxSlider2"}) {
        app.Focus(slider);
        app.Key(slider, VK_HOME);
    }
    ASSERT_EQ(app.Text("Label31"), std::string("0 MB"));
    const RECT target = app.Bounds("Target");
    const RECT slider = app.Bounds("RxSlider1");
    ASSERT_TRUE(target.right < slider.left);
    const int labelGap = (target.right + slider.left) / 2;
    const RECT value = app.Bounds("Label18");
    const int valueEnd = value.right + 1;
    ASSERT_TRUE(valueEnd < 384);
    const struct {
        int x, y;
        Lines entry;
        const char* where;
    } points[] = {
        {labelGap, 38, kTargetRowText, "gap between the target label and its slider"},
        {340, 38, kTargetRowText, "gap between the target slider and its value"},
        {340, 33, kTargetRowText, "first line of the target band"},
        {340, 44, kTargetRowText, "last line of the target band"},
        {17, 58, kEmpty, "below the target label, under its slider's row"},
        {340, 32, kEmpty, "just above the target band"},
        {340, 45, kEmpty, "just below the target band"},
        {384, 38, kTargetRowText, "last column of the target band"},
        {valueEnd, 38, kTargetRowText, "right of the target value"},
        {340, 60, kEmpty, "between the two bands"},
        {labelGap, 78, kMinimumRowText, "gap between the minimum label and its slider"},
        {340, 73, kMinimumRowText, "first line of the minimum band"},
        {340, 84, kMinimumRowText, "last line of the minimum band"},
        {340, 85, kEmpty, "just below the minimum band"},
        {4, 78, kEmpty, "left of the minimum band"},
        {385, 78, kEmpty, "right of the minimum band"},
    };
    Lines shown = kEmpty;
    for (const auto& point : points) {
        SCOPED_TRACE(std::string(point.where) + " (" + std::to_string(point.x) + "," + std::to_string(point.y) + ")");
        if (Same(shown, point.entry)) {
            // Something else first, so that the move below has to change the box.
            PointAtMiddle(app, Same(point.entry, kEmpty) ? "RxSlider1" : "CheckBox6");
            ExpectShows(app, Same(point.entry, kEmpty) ? kTargetSliderText : kCpuDetectionText);
        }
        app.Pointer("TabSheet1", point.x, point.y);
        ExpectShows(app, point.entry);
        shown = point.entry;
    }
}

TEST(DescriptionE2e, ChangingPagesEmptiesTheBoxAndOnlyTheAboutPageHidesIt)
{
    App app;
    LaunchWithPointerAway(app);
    EXPECT_TRUE(app.Visible("GroupBox5"));
    ExpectShows(app, kEmpty);  // after start-up

    // Neither a click nor the keyboard focus moves the description.
    PointAtMiddle(app, "CheckBox6");
    ExpectShows(app, kCpuDetectionText);
    app.Click("Button5");
    app.Focus("RxSpinEdit3");
    ExpectStillShows(app, kCpuDetectionText);

    // The pointer rests on the tab row, where the user clicks the tabs.
    app.Pointer("PageControl1", 2, 2);
    app.SelectTab("PageControl1", kPromotionPage);
    EXPECT_TRUE(app.Visible("GroupBox5"));
    ExpectShows(app, kEmpty);
    for (const char* control : {"Image1", "Label50", "Label52", "Label53", "TabSheet5"}) {
        SCOPED_TRACE(control);
        PointAtMiddle(app, control);
        ExpectStillShows(app, kEmpty);
    }

    app.SelectTab("PageControl1", kTweakPage);
    PointAtMiddle(app, "CheckBox10");
    ExpectShows(app, kConservativeSwapText);
    app.Pointer("PageControl1", 2, 2);
    app.SelectTab("PageControl1", kAboutPage);
    EXPECT_TRUE(!app.Visible("GroupBox5"));
    ExpectShows(app, kEmpty);
    app.SelectTab("PageControl1", kFileCachePage);
    EXPECT_TRUE(app.Visible("GroupBox5"));
    ExpectShows(app, kEmpty);
}

}  // namespace
}  // namespace lumora::winetest
