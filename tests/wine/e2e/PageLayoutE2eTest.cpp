// Where the pages sit in the window: their places are relative to the page area, which must
// start where Windows 9x starts it for the pages' controls to line up with the window's own; and
// the tab row above them.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "E2eDriver.h"
#include "WineTest.h"

namespace lumora::winetest {
namespace {

using driver::App;
using namespace driver::pages;

// TCM_SETMINTABWIDTH: comctl32 4.71 and later.
constexpr UINT kSetMinTabWidth = TCM_FIRST + 49;

RECT OnScreen(const App& app, const std::string& name)
{
    RECT rect{};
    GetWindowRect(app.Control(name), &rect);
    return rect;
}

TEST(PageLayoutE2e, AutomaticButtonsStandInOneRowWithApplyAndCancel)
{
    App app;
    driver::Launch(app);
    const struct {
        int page;
        const char* button;
    } pages[] = {{0, "Button5"}, {2, "Button4"}, {3, "Button6"}};
    const RECT apply = OnScreen(app, "Button2");
    const RECT cancel = OnScreen(app, "Button3");
    for (const auto& p : pages) {
        SCOPED_TRACE(p.button);
        app.SelectTab("PageControl1", p.page);
        const RECT automatic = OnScreen(app, p.button);
        EXPECT_EQ(automatic.top, apply.top);
        // The same 5-pixel gap as between Apply and Cancel.
        EXPECT_EQ(apply.left - automatic.right, cancel.left - apply.right);
    }
}

// The seven tabs in one row, inside the control, without scroll arrows: as the program lays them
// out, and again with comctl32's default minimum tab width in force, which the comctl32 of
// Windows 95 and NT 4.0 (4.00) keeps whatever a program asks.
TEST(PageLayoutE2e, TabRowHoldsEveryTabWithComctl32sDefaultMinimumTabWidth)
{
    App app;
    driver::Launch(app);
    const HWND tabs = app.Control("PageControl1");
    RECT client{};
    GetClientRect(tabs, &client);
    for (const bool defaultMinimum : {false, true}) {
        SCOPED_TRACE(defaultMinimum ? "default minimum tab width set" : "as laid out");
        // -1 asks for the default minimum; 4.71 and later take the message.
        if (defaultMinimum) app.Send("PageControl1", kSetMinTabWidth, 0, -1);
        EXPECT_EQ(app.Send("PageControl1", TCM_GETROWCOUNT, 0, 0), LRESULT{1});
        const HWND arrows = FindWindowExA(tabs, nullptr, UPDOWN_CLASSA, nullptr);
        EXPECT_FALSE(arrows != nullptr && IsWindowVisible(arrows));
        const std::vector<RECT> rects = app.TabRects("PageControl1");
        EXPECT_EQ(rects.size(), std::size_t{kPageCount});
        LONG left = 0;
        for (std::size_t i = 0; i < rects.size(); ++i) {
            const RECT& r = rects[i];
            SCOPED_TRACE("tab " + Show(i) + " at " + Show(r.left) + ".." + Show(r.right));
            EXPECT_LE(left, r.left);
            EXPECT_GT(r.right, r.left);
            EXPECT_LE(r.right, client.right);
            left = r.right;
        }
    }
}

}  // namespace
}  // namespace lumora::winetest
