// The main window's frame worked from outside: its place, pages, buttons, Cancel and the
// single-instance rule.
#include "E2eDriver.h"
#include "WineTest.h"

namespace lumora::winetest {
namespace {

using driver::App;

std::string ShowRect(const RECT& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
           std::to_string(r.bottom - r.top);
}

TEST(FrameE2e, WindowOpensAtItsFixedSizeAndPlacesOnTheFirstPage)
{
    App app;
    driver::Launch(app);
    EXPECT_EQ(app.Caption(), std::string("Lumora Manager"));
    EXPECT_EQ(ShowRect(app.ClientRect()), std::string("0,0 404x412"));
    const std::vector<std::string> expected = {"Lumora", "Options",     "Disk Cache", "File Cache",
                                               "Tweak",  "Brisko v1.8", "About"};
    const std::vector<std::string> captions = app.TabCaptions("PageControl1");
    EXPECT_EQ(captions.size(), expected.size());
    for (std::size_t i = 0; i < captions.size() && i < expected.size(); ++i) {
        SCOPED_TRACE("tab " + std::to_string(i));
        EXPECT_EQ(captions[i], expected[i]);
    }
    EXPECT_EQ(app.TabIndex("PageControl1"), 0);
    EXPECT_EQ(app.Text("Button2"), std::string("Apply"));
    EXPECT_EQ(ShowRect(app.Bounds("Button2")), std::string("232,368 75x25"));
    EXPECT_EQ(app.Text("Button3"), std::string("Cancel"));
    EXPECT_EQ(ShowRect(app.Bounds("Button3")), std::string("312,368 75x25"));
    EXPECT_TRUE(app.Visible("GroupBox5"));
    EXPECT_FALSE(app.Enabled("Button2"));
}

TEST(FrameE2e, AboutPageHidesTheDescriptionBoxAndEveryOtherPageShowsIt)
{
    App app;
    driver::Launch(app);
    for (const int page : {6, 1, 6, 2, 3, 4, 5, 6, 0}) {
        SCOPED_TRACE("page " + std::to_string(page));
        app.SelectTab("PageControl1", page);
        EXPECT_EQ(app.TabIndex("PageControl1"), page);
        EXPECT_EQ(app.Visible("GroupBox5"), page != 6);
    }
}

TEST(FrameE2e, CancelEndsTheProgram)
{
    App app;
    driver::Launch(app);
    app.PostClick("Button3");
    EXPECT_TRUE(app.WaitForExit(10000));
    EXPECT_EQ(driver::CountTopLevel("TForm1"), 0);
}

TEST(FrameE2e, SecondStartExitsAtOnceWithoutAWindow)
{
    App first;
    driver::Launch(first);
    App second;
    ASSERT_TRUE(second.Start());
    EXPECT_TRUE(second.WaitForExit(10000));
    EXPECT_EQ(driver::CountTopLevel("TForm1"), 1);
    EXPECT_TRUE(first.Running());
}

}  // namespace
}  // namespace lumora::winetest
