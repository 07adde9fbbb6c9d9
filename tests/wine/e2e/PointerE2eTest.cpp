// The real pointer moved over the window: the description box follows it.
#include "E2eDriver.h"
#include "WineTest.h"

namespace lumora::winetest {
namespace {

using driver::App;

TEST(PointerE2e, PointerOverASettingDescribesItAndThePageBackgroundClearsIt)
{
    App app;
    driver::Launch(app);
    app.Pointer("RxSlider1", 20, 10);
    EXPECT_TRUE(driver::WaitUntil([&] { return !app.Text("Label8").empty(); }));
    EXPECT_TRUE(!app.Text("Label9").empty());
    app.Pointer("TabSheet1", 5, 100);
    EXPECT_TRUE(driver::WaitUntil([&] { return app.Text("Label8").empty(); }));
}

}  // namespace
}  // namespace lumora::winetest
