// Machines the program must not spoil: a start-up step that meets a missing key, an Apply of
// agent settings beside file-system templates the program did not choose, and the NT family,
// which has no templates at all. Each checks what Apply leaves, byte for byte.
#include <cstdio>
#include <string>
#include <vector>

#include "E2eDriver.h"
#include "WineRegistry.h"
#include "WineTest.h"

namespace lumora::winetest {
namespace {

using driver::App;
using namespace driver::pages;

// A value of the agent key as ValueText shows it.
std::string AgentValue(const char* name)
{
    return ValueText(QueryRaw(HKEY_CURRENT_USER, driver::kAgentKey, name));
}

void Put(HKEY root, const std::string& path, const std::string& name, DWORD type, const Bytes& data)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        FAIL() << "cannot prepare " + path;
    }
    RegSetValueExA(key, name.c_str(), 0, type, data.data(), static_cast<DWORD>(data.size()));
    RegCloseKey(key);
}

bool KeyExists(HKEY root, const std::string& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// Settings a user saved earlier, which every Apply below must carry through.
void StoreAgentSettings()
{
    Put(HKEY_CURRENT_USER, driver::kAgentKey, "CurrentDir", REG_SZ, StringBytes(driver::kWorkFolder));
    Put(HKEY_CURRENT_USER, driver::kAgentKey, "Target Fre RAM", REG_DWORD, Le32(40));
    Put(HKEY_CURRENT_USER, driver::kAgentKey, "PlaySound", REG_DWORD, Le32(1));
    Put(HKEY_CURRENT_USER, driver::kAgentKey, "FreeTime", REG_BINARY, DoubleBytes(7));
}

void ExpectAgentSettingsKept()
{
    EXPECT_EQ(AgentValue("Target Fre RAM"), ValueText(REG_DWORD, Le32(40)));
    EXPECT_EQ(AgentValue("PlaySound"), ValueText(REG_DWORD, Le32(1)));
    EXPECT_EQ(AgentValue("FreeTime"), ValueText(REG_BINARY, DoubleBytes(7)));
}

// The FS Templates key with everything below it, as one comparable text; "missing" without it.
std::string TemplatesTree()
{
    if (!KeyExists(HKEY_LOCAL_MACHINE, driver::kFsTemplatesKey)) return "missing";
    const std::string snapshot = driver::MachineSnapshot();
    const std::string from = std::string("[HKLM\\") + driver::kFsTemplatesKey;
    const std::size_t begin = snapshot.find(from);
    const std::size_t end = snapshot.find(std::string("[HKLM\\") + driver::kFileSystemKey);
    if (begin == std::string::npos || end == std::string::npos || end < begin) return "unreadable snapshot";
    return snapshot.substr(begin, end - begin);
}

// An error box shows at once: one that has not come within this long does not come.
constexpr DWORD kBoxWaitMs = 1500;

// Ticks "Clear the clipboard when freeing up RAM" and presses Apply: an agent change alone.
void ApplyClipboardChange(App& app)
{
    app.SelectTab("PageControl1", kOptionsPage);
    app.Click("CheckBox5");
    EXPECT_TRUE(app.Checked("CheckBox5"));
    app.PostClick("Button2");
    EXPECT_TRUE(driver::WaitUntil([&] { return !app.Enabled("Button2"); }));
    driver::ExpectNoBox(app, "the agent-only Apply", kBoxWaitMs);
    EXPECT_EQ(AgentValue("AutoClearClipboard"), ValueText(REG_DWORD, Le32(1)));
    EXPECT_EQ(AgentValue("Update"), ValueText(REG_DWORD, Le32(1)));
}

// Starts the program on the prepared machine with the saved settings and without the key at
// path under HKEY_LOCAL_MACHINE; the start-up must show no box.
void LaunchWithoutKey(App& app, const char* path)
{
    driver::ResetMachine();
    DeleteTree(HKEY_LOCAL_MACHINE, path);
    StoreAgentSettings();
    driver::Launch(app, false);
    driver::ExpectNoBox(app, "the start-up", kBoxWaitMs);
}

TEST(StoredSettingsE2e, MissingRunKeyStartsWithoutAnErrorShowsTheSettingsAndApplyCreatesTheKey)
{
    App app;
    LaunchWithoutKey(app, driver::kRunKey);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, driver::kRunKey));
    EXPECT_EQ(ValueText(QueryRaw(HKEY_LOCAL_MACHINE, "", "Lumora")), std::string("missing"));
    EXPECT_EQ(app.Text("Label18"), std::string("40 MB"));
    EXPECT_EQ(app.Text("RxSpinEdit2"), std::string("7"));
    EXPECT_FALSE(app.Enabled("Button2"));
    app.SelectTab("PageControl1", kOptionsPage);
    EXPECT_TRUE(app.Checked("CheckBox1"));
    EXPECT_TRUE(app.Checked("CheckBox2"));

    ApplyClipboardChange(app);
    ExpectAgentSettingsKept();
    EXPECT_EQ(ValueText(QueryRaw(HKEY_LOCAL_MACHINE, driver::kRunKey, "Lumora")),
              ValueText(REG_SZ, StringBytes(std::string(driver::kWorkFolder) + "\\Lumora.exe")));
}

TEST(StoredSettingsE2e, AgentOnlyApplyLeavesTemplatesItDidNotChooseByteForByte)
{
    const struct {
        const char* name;
        void (*prepare)();
    } machines[] = {
        {"no template selected", [] {}},
        {"an unknown template selected",
         [] {
             const std::string custom = std::string(driver::kFsTemplatesKey) + "\\Custom";
             Put(HKEY_LOCAL_MACHINE, driver::kFsTemplatesKey, "", REG_SZ, StringBytes("Custom"));
             Put(HKEY_LOCAL_MACHINE, custom, "NameCache", REG_BINARY, Bytes{0x00, 0x08});
             Put(HKEY_LOCAL_MACHINE, custom, "PathCache", REG_BINARY, Le32(16));
         }},
    };
    for (const auto& machine : machines) {
        SCOPED_TRACE(machine.name);
        driver::ResetMachine();
        machine.prepare();
        StoreAgentSettings();
        const std::string before = TemplatesTree();
        App app;
        driver::Launch(app, false);
        ApplyClipboardChange(app);
        ExpectAgentSettingsKept();
        const std::string after = TemplatesTree();
        EXPECT_TRUE(after == before);
        if (after != before) std::printf("before:\n%s\nafter:\n%s\n", before.c_str(), after.c_str());
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, std::string(driver::kFsTemplatesKey) + "\\Lumora"));
    }
}

// The Windows 9x half of this pair is Win98MissingTemplatesKeyStopsApplyAfterTheTweaksAreWritten.
TEST(StoredSettingsE2e, NtMissingTemplatesKeyIsSkippedAndApplySavesTheRest)
{
    // Named Nt...: the Windows 98 layers leave it out.
    ASSERT_TRUE(driver::NtPlatform()) << "Windows 9x stops the save at a missing FS Templates key";
    App app;
    LaunchWithoutKey(app, driver::kFsTemplatesKey);
    app.SelectTab("PageControl1", kTweakPage);
    app.Click("CheckBox9");
    app.SelectTab("PageControl1", kOptionsPage);
    app.Click("CheckBox5");
    app.PostClick("Button2");
    // The tweak asks for the restart; any other box is the failure this test is about.
    driver::DeclineRestart(app, "");
    EXPECT_TRUE(driver::WaitUntil([&] { return !app.Enabled("Button2"); }));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, driver::kFsTemplatesKey));
    EXPECT_EQ(driver::IniValue("386Enh", "PageBuffers", "missing"), std::string("32"));
    ExpectAgentSettingsKept();
    EXPECT_EQ(AgentValue("AutoClearClipboard"), ValueText(REG_DWORD, Le32(1)));
    EXPECT_EQ(AgentValue("Update"), ValueText(REG_DWORD, Le32(1)));
}

}  // namespace
}  // namespace lumora::winetest
