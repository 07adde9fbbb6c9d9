// The native window layer worked from outside: names, slider and spin edit input, drop-down
// boxes, keyboard order, pointer routing, label sizes and the stacking style.
#include <string>

#include "E2eDriver.h"
#include "WineRegistry.h"
#include "WineTest.h"
#include "form/ControlIds.h"

namespace lumora::winetest {
namespace {

using driver::App;
using namespace driver::pages;

// The control that holds the program's keyboard focus, by name.
std::string Focused(const App& app)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(app.Window(), nullptr), &info)) return "";
    return driver::ControlName(info.hwndFocus);
}

int Width(const RECT& r)
{
    return r.right - r.left;
}

TEST(ToolkitE2e, EveryControlWindowCarriesItsModelNameAndKind)
{
    App app;
    driver::Launch(app);
    const struct {
        const char* name;
        const char* windowClass;
    } controls[] = {
        {"PageControl1", "SysTabControl32"},
        {"TabSheet1", "LumoraTabSheet"},
        {"TabSheet3", "LumoraTabSheet"},
        {"Button2", "Button"},
        {"GroupBox5", "Button"},
        {"Label8", "Static"},
        {"RxSlider1", "LumoraSlider"},
        {"RxSlider7", "LumoraSlider"},
        {"RxSpinEdit7", "Edit"},
        {"ComboBox2", "ComboBox"},
        {"ProgressBar2", "msctls_progress32"},
        {"Edit1", "Edit"},
        {"SpeedButton1", "Button"},
        {"Image1", "Static"},
        {"RxLabel1", "Static"},
    };
    // A page's controls get their windows when the page is first shown, and keep them.
    EXPECT_TRUE(app.Find("RxSlider1") != nullptr);
    for (const char* later : {"CheckBox7", "RxSlider7", "Image1", "RxLabel1"}) {
        SCOPED_TRACE(std::string(later) + " before its page was shown");
        EXPECT_TRUE(app.Find(later) == nullptr);
    }
    for (int page = kPageCount - 1; page >= 0; --page) app.SelectTab("PageControl1", page);
    for (const auto& c : controls) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(app.Find(c.name) != nullptr);
        EXPECT_EQ(app.ClassOf(c.name), std::string(c.windowClass));
    }
    // Every control of the shared table has its window, under its own ID, once every page was shown.
    const auto found = app.Controls();
    for (const std::string_view name : kControlNames) {
        SCOPED_TRACE(std::string(name) + " by its ID");
        EXPECT_TRUE(found.count(std::string(name)) == 1);
    }
    // The pictures are sized to what they show.
    EXPECT_EQ(Width(app.Bounds("Image1")), 125);
    EXPECT_EQ(Width(app.Bounds("Image2")), 32);
}

TEST(ToolkitE2e, SliderKeysAndTrackClicksStepFromTheNearestMultiple)
{
    App app;
    driver::Launch(app);
    app.SelectTab("PageControl1", kFileCachePage);
    app.Focus("RxSlider6");  // 0 to 12, step 2
    app.Key("RxSlider6", VK_END);
    EXPECT_EQ(app.Text("RxSlider6"), std::string("12"));
    app.Key("RxSlider6", VK_HOME);
    EXPECT_EQ(app.Text("RxSlider6"), std::string("0"));
    app.Key("RxSlider6", VK_RIGHT);
    EXPECT_EQ(app.Text("RxSlider6"), std::string("2"));
    EXPECT_EQ(app.Text("Label4"), std::string("1024"));
    app.ClickAt("RxSlider6", 370, 12);  // on the track, right of the thumb
    EXPECT_EQ(app.Text("RxSlider6"), std::string("4"));
    app.ClickAt("RxSlider6", 2, 12);  // left of it
    EXPECT_EQ(app.Text("RxSlider6"), std::string("2"));
    EXPECT_EQ(app.Text("ComboBox2"), std::string("User Defined"));
}

TEST(ToolkitE2e, DraggingTheThumbReachesAnyPositionAndStopsAtTheEnds)
{
    App app;
    driver::Launch(app);
    app.SelectTab("PageControl1", kFileCachePage);
    app.Focus("RxSlider7");  // 0 to 16, step 2, 377 pixels wide
    app.Key("RxSlider7", VK_HOME);
    const RECT slider = app.Bounds("RxSlider7");
    const int y = 12;
    // With the real pointer and button, as a user drags.
    app.Pointer("RxSlider7", 6, y);  // on the thumb at 0
    app.PressButton();
    app.Pointer("RxSlider7", Width(slider) / 2, y);
    EXPECT_EQ(app.Text("RxSlider7"), std::string("8"));
    app.Pointer("RxSlider7", Width(slider) / 2 + 22, y);
    EXPECT_EQ(app.Text("RxSlider7"), std::string("9"));  // not only multiples of the step
    app.Pointer("RxSlider7", Width(slider) + 200, y);
    EXPECT_EQ(app.Text("RxSlider7"), std::string("16"));
    app.ReleaseButton();
    EXPECT_EQ(app.Text("Label5"), std::string("128"));
    // Released: moves no longer drag.
    app.Pointer("RxSlider7", 6, y);
    EXPECT_EQ(app.Text("RxSlider7"), std::string("16"));
}

TEST(ToolkitE2e, SpinEditStepsByKeysAndArrowsAndTakesAnyText)
{
    App app;
    driver::Launch(app);
    app.Focus("RxSpinEdit2");  // minutes, 1 to 60
    app.SetText("RxSpinEdit2", "59");
    app.Key("RxSpinEdit2", VK_UP);
    EXPECT_EQ(app.Text("RxSpinEdit2"), std::string("60"));
    app.Key("RxSpinEdit2", VK_UP);
    EXPECT_EQ(app.Text("RxSpinEdit2"), std::string("60"));
    app.Key("RxSpinEdit2", VK_DOWN);
    EXPECT_EQ(app.Text("RxSpinEdit2"), std::string("59"));
    const RECT arrows = app.Bounds("RxSpinEdit2.Arrows");
    const int height = arrows.bottom - arrows.top;
    app.ClickAt("RxSpinEdit2.Arrows", 5, height - 3);  // the lower arrow
    EXPECT_EQ(app.Text("RxSpinEdit2"), std::string("58"));
    app.ClickAt("RxSpinEdit2.Arrows", 5, 2);  // the upper arrow
    EXPECT_EQ(app.Text("RxSpinEdit2"), std::string("59"));
    EXPECT_TRUE(app.Enabled("Button2"));

    app.SelectAll("RxSpinEdit2");
    app.Type("RxSpinEdit2", "ab");
    EXPECT_EQ(app.Text("RxSpinEdit2"), std::string("ab"));
    app.SelectAll("RxSpinEdit2");
    app.Type("RxSpinEdit2", "75");
    app.Focus("RxSpinEdit1");  // leaving brings the number into the range
    EXPECT_EQ(app.Text("RxSpinEdit2"), std::string("60"));
}

TEST(ToolkitE2e, ProfileBoxRunsItsChoiceAndTypingSelectsNothing)
{
    App app;
    driver::Launch(app);
    app.SelectTab("PageControl1", kDiskCachePage);
    ASSERT_EQ(app.Text("ComboBox1"), std::string("User Defined"));
    app.Focus("ComboBox1");
    app.Key("ComboBox1.Edit", VK_DOWN);
    EXPECT_EQ(app.Text("ComboBox1"), std::string("Standard System"));
    EXPECT_EQ(app.Text("RxSlider3"), std::string("2"));
    EXPECT_EQ(app.Text("RxSlider4"), std::string("8"));
    EXPECT_EQ(app.Text("RxSlider5"), std::string("16"));
    EXPECT_EQ(app.Text("Label30"), std::string("512 kb"));
    app.SelectAll("ComboBox1");
    app.Type("ComboBox1", "Mine");
    EXPECT_EQ(app.Text("ComboBox1"), std::string("Mine"));
    EXPECT_EQ(app.Send("ComboBox1", CB_GETCURSEL, 0, 0), LRESULT{CB_ERR});
    EXPECT_EQ(app.Text("RxSlider3"), std::string("2"));
}

TEST(ToolkitE2e, TabKeyVisitsTheControlsInTabOrderAndSkipsDisabledOnes)
{
    App app;
    driver::Launch(app);
    app.Focus("RxSpinEdit5");
    const char* const expected[] = {"RxSlider2", "RxSpinEdit7",  "Button5",    "CheckBox6",
                                    "Button3",   "PageControl1", "RxSpinEdit1"};  // Apply is disabled after start-up
    for (const char* name : expected) {
        SCOPED_TRACE(std::string("Tab to ") + name);
        const std::string before = Focused(app);
        // Through the message queue, where the program turns Tab into a move of the focus.
        PostMessageA(app.Find(before), WM_KEYDOWN, VK_TAB, 1);
        EXPECT_TRUE(driver::WaitUntil([&] { return Focused(app) != before; }, 3000));
        EXPECT_EQ(Focused(app), std::string(name));
    }
}

TEST(ToolkitE2e, PointerOverDisabledControlsReachesThePageAndTheDescriptionBoxKeepsIt)
{
    App app;
    driver::Launch(app);
    app.Pointer("RxSlider1", 20, 10);
    ASSERT_TRUE(driver::WaitUntil([&] { return !app.Text("Label8").empty(); }));
    const std::string shown = app.Text("Label8");
    // The box itself takes the pointer: what it shows stays.
    app.Pointer("GroupBox5", 300, 55);
    EXPECT_EQ(app.Text("Label8"), shown);
    // A label sized to a long line, then to an empty one.
    EXPECT_GT(Width(app.Bounds("Label8")), 200);

    app.Click("CheckBox6");  // greys the CPU limit row
    ASSERT_TRUE(!app.Enabled("CPUFree"));
    app.Pointer("CPUFree", 40, 5);
    EXPECT_TRUE(driver::WaitUntil([&] { return app.Text("Label8").empty(); }));
    EXPECT_LE(Width(app.Bounds("Label8")), 8);
}

TEST(ToolkitE2e, StoredStayOnTopMakesTheWindowTopmostFromTheStart)
{
    driver::ResetMachine();
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, driver::kAgentKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        const Bytes on = Le32(1);
        RegSetValueExA(key, "Always on Top", 0, REG_DWORD, on.data(), static_cast<DWORD>(on.size()));
        RegCloseKey(key);
    }
    App app;
    driver::Launch(app, false);
    EXPECT_TRUE((GetWindowLongA(app.Window(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0);
    app.SelectTab("PageControl1", kOptionsPage);
    EXPECT_TRUE(app.Checked("CheckBox7"));
    app.Stop();
    driver::ResetMachine();

    App plain;
    driver::Launch(plain);
    EXPECT_TRUE((GetWindowLongA(plain.Window(), GWL_EXSTYLE) & WS_EX_TOPMOST) == 0);
}

// Drivers find the controls by their child-window IDs: the program puts no names into the global
// atom table or the windows' property lists, where on Windows 9x they would outlive a process
// that died, and none is left once it ends.
TEST(ToolkitE2e, ControlNamesLeaveNothingInSharedStorage)
{
    {
        App app;
        driver::Launch(app);
        ASSERT_TRUE(app.Find("RxSlider1") != nullptr);
        EXPECT_EQ(GetDlgCtrlID(app.Find("RxSlider1")), ControlIdOf("RxSlider1"));
        EXPECT_EQ(GlobalFindAtomA("RxSlider1"), ATOM{0});
        for (const auto& [name, window] : app.Controls()) {
            SCOPED_TRACE(name);
            EXPECT_TRUE(GetPropA(window, "Name") == nullptr);
        }
        app.Stop();
        EXPECT_TRUE(app.WaitForExit(10000));
    }
    EXPECT_EQ(GlobalFindAtomA("RxSlider1"), ATOM{0});
    EXPECT_EQ(GlobalFindAtomA("TabSheet4"), ATOM{0});
}

}  // namespace
}  // namespace lumora::winetest
