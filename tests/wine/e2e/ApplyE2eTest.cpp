// Apply worked from outside: typed values reach the registry, a tuning change offers a restart
// once, and No keeps the program running with the values written.
#include "E2eDriver.h"
#include "WineTest.h"

namespace lumora::winetest {
namespace {

using driver::App;
using namespace driver::pages;

// Presses Apply without waiting for it: its handler may end in a modal box. Apply greys its
// button when it has run.
void PressApply(App& app)
{
    app.PostClick("Button2");
}

TEST(ApplyE2e, TypedMinutesAreSavedByApply)
{
    App app;
    driver::Launch(app);
    app.SelectAll("RxSpinEdit2");
    app.Type("RxSpinEdit2", "7");
    EXPECT_EQ(app.Text("RxSpinEdit2"), std::string("7"));
    EXPECT_TRUE(app.Enabled("Button2"));
    PressApply(app);
    EXPECT_TRUE(driver::WaitUntil([&] { return !app.Enabled("Button2"); }));
    const RawValue stored = QueryRaw(HKEY_CURRENT_USER, driver::kAgentKey, "FreeTime");
    EXPECT_EQ(stored.type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(Hex(stored.data.data(), stored.data.size()), Hex(DoubleBytes(7).data(), 8));
}

TEST(ApplyE2e, TuningChangeOffersARestartOnceAndNoKeepsTheValuesWritten)
{
    App app;
    driver::Launch(app);
    app.SelectTab("PageControl1", kTweakPage);
    EXPECT_FALSE(app.Checked("CheckBox9"));
    app.Click("CheckBox9");
    PressApply(app);
    driver::DeclineRestart(app);
    EXPECT_TRUE(app.Running());
    EXPECT_FALSE(app.Enabled("Button2"));
    EXPECT_EQ(driver::IniValue("386Enh", "PageBuffers", "missing"), std::string("32"));

    // An agent change alone asks nothing: the restart offer was used up.
    app.SelectTab("PageControl1", kRamPage);
    app.Click("CheckBox6");
    PressApply(app);
    EXPECT_TRUE(driver::WaitUntil([&] { return !app.Enabled("Button2"); }));
    EXPECT_TRUE(app.WaitForDialog("", 1000) == nullptr);
    EXPECT_EQ(QueryRaw(HKEY_CURRENT_USER, driver::kAgentKey, "Disable_CPU_Detect").data, Le32(1));
}

}  // namespace
}  // namespace lumora::winetest
