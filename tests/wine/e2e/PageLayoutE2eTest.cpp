// Where the pages sit in the window: their places are relative to the page area, which must
// start where Windows 9x starts it for the pages' controls to line up with the window's own.
#include <string>

#include "E2eDriver.h"
#include "Harness.h"

namespace lumora::winetest {
namespace {

using driver::App;

RECT OnScreen(const App& app, const std::string& name)
{
    RECT rect{};
    GetWindowRect(app.Control(name), &rect);
    return rect;
}

WINE_TEST(AutomaticButtonsStandInOneRowWithApplyAndCancel)
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
        Context row(p.button);
        app.SelectTab("PageControl1", p.page);
        const RECT automatic = OnScreen(app, p.button);
        EXPECT_EQ(automatic.top, apply.top);
        // The same 5-pixel gap as between Apply and Cancel.
        EXPECT_EQ(apply.left - automatic.right, cancel.left - apply.right);
    }
}

}  // namespace
}  // namespace lumora::winetest
