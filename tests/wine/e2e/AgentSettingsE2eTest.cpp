// The agent settings as the program leaves them in Wine's registry: first start, Apply, Cancel.
#include <cstring>

#include "E2eDriver.h"
#include "WineTest.h"

namespace lumora::winetest {
namespace {

using driver::App;
using namespace driver::pages;

const std::string kFolder = driver::kWorkFolder;

std::string Dword(std::uint32_t value)
{
    return ValueText(REG_DWORD, Le32(value));
}

std::string Number(double value)
{
    return ValueText(REG_BINARY, DoubleBytes(value));
}

std::string Text(const std::string& text)
{
    return ValueText(REG_SZ, StringBytes(text));
}

// TotalPhysMB as the program computes it from the same machine: whole MB, rounded up when
// more than 5 bytes remain, kept to 16 bits.
unsigned TotalPhysMB()
{
    MEMORYSTATUS status = {};
    status.dwLength = sizeof status;
    GlobalMemoryStatus(&status);
    std::uint64_t mb = status.dwTotalPhys >> 20;
    if ((status.dwTotalPhys & 0xFFFFF) > 5) ++mb;
    return static_cast<std::uint16_t>(mb);
}

unsigned Clamp(unsigned value, unsigned low, unsigned high)
{
    return value < low ? low : value > high ? high : value;
}

TEST(AgentSettingsE2e, FirstStartRegistersTheAgentAndStoresCurrentDir)
{
    App app;
    driver::Launch(app);
    const auto agent = driver::KeyValues(HKEY_CURRENT_USER, driver::kAgentKey);
    EXPECT_EQ(agent.size(), std::size_t{1});
    EXPECT_EQ(agent.count("CurrentDir") ? agent.at("CurrentDir") : "missing", Text(kFolder));
    const RawValue run = QueryRaw(HKEY_LOCAL_MACHINE, driver::kRunKey, "Lumora");
    EXPECT_EQ(run.rc, ERROR_SUCCESS);
    EXPECT_EQ(ValueText(run.type, run.data), Text(kFolder + "\\Lumora.exe"));
}

TEST(AgentSettingsE2e, ApplyWritesEveryAgentValueWithItsType)
{
    App app;
    driver::Launch(app);
    EXPECT_FALSE(app.Checked("CheckBox6"));
    app.Click("CheckBox6");
    EXPECT_TRUE(app.Checked("CheckBox6"));
    EXPECT_TRUE(app.Enabled("Button2"));
    app.PostClick("Button2");
    EXPECT_TRUE(driver::WaitUntil([&] { return !app.Enabled("Button2"); }));
    driver::ExpectNoBox(app, "Apply", 500);
    app.PostClick("Button3");
    EXPECT_TRUE(app.WaitForExit());

    const unsigned total = TotalPhysMB();
    const std::pair<const char*, std::string> expected[] = {
        {"Disable_CPU_Detect", Dword(1)},
        {"Always on Top", Dword(0)},
        {"Target Fre RAM", Dword(total / 4)},
        {"Minimum Free RAM", Dword(total / 16)},
        {"FreeValue1", Number(Clamp(2, 0, total / 2))},
        {"FreeTime", Number(3)},
        {"FreeCPU", Number(90)},
        {"Menu1", Number(Clamp(total / 4, 1, total))},
        {"Menu2", Number(Clamp(total / 8, 1, total))},
        {"Menu3", Number(Clamp(total / 16, 1, total))},
        {"AutoClearClipboard", Dword(0)},
        {"RAMIcon", Dword(0)},
        {"PlaySound", Dword(0)},
        {"Music", Text(kFolder + "\\confirmation.wav")},
        {"AutoStart", Dword(1)},
        {"CurrentDir", Text(kFolder)},
        {"Update", Dword(1)},
    };
    // A value added later is checked by its control's own test and held to its row of the
    // control map; these are the agent's values as it has always found them.
    const auto agent = driver::KeyValues(HKEY_CURRENT_USER, driver::kAgentKey);
    for (const auto& [name, value] : expected) {
        SCOPED_TRACE(std::string("value ") + name + " with TotalPhysMB " + std::to_string(total));
        EXPECT_EQ(agent.count(name) ? agent.at(name) : std::string("missing"), value);
    }
    const RawValue run = QueryRaw(HKEY_LOCAL_MACHINE, driver::kRunKey, "Lumora");
    EXPECT_EQ(ValueText(run.type, run.data), Text(kFolder + "\\Lumora.exe"));
}

TEST(AgentSettingsE2e, CancelAfterChangesLeavesTheMachineUnchanged)
{
    App app;
    driver::Launch(app);
    const std::string before = driver::MachineSnapshot();
    app.Click("CheckBox6");
    app.SelectTab("PageControl1", kOptionsPage);
    app.Click("CheckBox2");
    EXPECT_TRUE(app.Enabled("Button2"));
    app.PostClick("Button3");
    EXPECT_TRUE(app.WaitForExit());
    const std::string after = driver::MachineSnapshot();
    EXPECT_TRUE(after == before);
    if (after != before) std::printf("before:\n%s\nafter:\n%s\n", before.c_str(), after.c_str());
}

TEST(AgentSettingsE2e, KeyboardSliderAndClickedBoxAreAppliedAndAnUnchangedReapplyRewritesTheSame)
{
    App app;
    driver::Launch(app);
    const unsigned total = TotalPhysMB();
    app.Focus("RxSlider2");
    app.Key("RxSlider2", VK_HOME);
    app.Key("RxSlider2", VK_RIGHT);  // from 0: one step of 10
    EXPECT_EQ(app.Text("Label31"), std::string(total >= 10 ? "10 MB" : std::to_string(total) + " MB"));
    app.SelectTab("PageControl1", kOptionsPage);
    app.Click("CheckBox3");
    app.PostClick("Button2");
    EXPECT_TRUE(driver::WaitUntil([&] { return !app.Enabled("Button2"); }));
    EXPECT_TRUE(app.WaitForDialog("", 500) == nullptr);
    const auto first = driver::KeyValues(HKEY_CURRENT_USER, driver::kAgentKey);
    const auto stored = [&](const char* name) { return first.count(name) ? first.at(name) : "missing"; };
    EXPECT_EQ(stored("Minimum Free RAM"), Dword(total >= 10 ? 10 : total));
    EXPECT_EQ(stored("RAMIcon"), Dword(1));
    const std::string applied = driver::MachineSnapshot();

    // Checking and unchecking a box enables Apply although nothing changed.
    app.Click("CheckBox5");
    app.Click("CheckBox5");
    EXPECT_TRUE(app.Enabled("Button2"));
    app.PostClick("Button2");
    EXPECT_TRUE(driver::WaitUntil([&] { return !app.Enabled("Button2"); }));
    driver::ExpectNoBox(app, "the Apply of an unchanged box", 500);
    EXPECT_TRUE(driver::MachineSnapshot() == applied);
    app.PostClick("Button3");
    EXPECT_TRUE(app.WaitForExit());
}

}  // namespace
}  // namespace lumora::winetest
