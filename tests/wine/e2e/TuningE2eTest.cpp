// The three tuning pages worked from outside: what they show of a prepared machine, choices by
// mouse and keyboard, and exactly what Apply leaves in SYSTEM.INI and the machine registry.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "E2eDriver.h"
#include "WineRegistry.h"
#include "WineTest.h"

namespace lumora::winetest {
namespace {

using driver::App;
using namespace driver::pages;

constexpr const char* kSystemIni = "SYSTEM.INI";

std::string Sz(const std::string& text)
{
    return ValueText(REG_SZ, StringBytes(text));
}

std::string Binary32(std::uint32_t value)
{
    return ValueText(REG_BINARY, Le32(value));
}

void PutValue(const std::string& path, const std::string& name, DWORD type, const Bytes& data)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        FAIL() << "cannot prepare " + path;
    }
    RegSetValueExA(key, name.c_str(), 0, type, data.data(), static_cast<DWORD>(data.size()));
    RegCloseKey(key);
}

// The machine the tests start from: a cache minimum off the slider's grid, a maximum that is no
// number, no chunk size; page buffers of another size, no swap file entry; the "Mobile"
// template selected; the allocation size stored as binary data, which does not count.
void PrepareMachine()
{
    driver::ResetMachine();
    WritePrivateProfileStringA("vcache", "MinFileCache", "3000", kSystemIni);
    WritePrivateProfileStringA("vcache", "MaxFileCache", "abc", kSystemIni);
    WritePrivateProfileStringA("386Enh", "PageBuffers", "16", kSystemIni);
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, kSystemIni);
    PutValue(driver::kFsTemplatesKey, "", REG_SZ, StringBytes("Mobile"));
    PutValue(driver::kFileSystemKey, "ContigFileAllocSize", REG_BINARY, Le32(512));
}

// The lines of one section of the SYSTEM.INI file as it lies on disk, header excluded; the
// header as found (its letter case) in header.
std::vector<std::string> SectionLines(const std::string& section, std::string* header = nullptr)
{
    const std::string text = ReadFileText(WindowsDirectory() + "\\system.ini");
    std::vector<std::string> lines;
    bool inside = false;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line.front() == '[') {
            const std::string name = line.substr(1, line.find(']') - 1);
            inside =
                CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, name.c_str(), -1, section.c_str(), -1) == CSTR_EQUAL;
            if (inside && header != nullptr) *header = line;
            continue;
        }
        if (inside && !line.empty()) lines.push_back(line);
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

std::string Joined(const std::vector<std::string>& lines)
{
    std::string out;
    for (const auto& line : lines) out += (out.empty() ? "" : " | ") + line;
    return out;
}

std::string SubKeyPath(const std::string& child)
{
    return std::string(driver::kFsTemplatesKey) + "\\" + child;
}

bool KeyExists(const std::string& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// --- real input: the pointer and the button go through Windows' input queue, so the window
// under the pointer gets the click, whichever window that is.

void PressLeftButton(POINT screen)
{
    SetCursorPos(screen.x, screen.y);
    Sleep(50);
    INPUT input[2] = {};
    input[0].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].type = INPUT_MOUSE;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, input, sizeof(INPUT));
}

void PressKey(int virtualKey)
{
    INPUT input[2] = {};
    input[0].type = INPUT_KEYBOARD;
    input[0].ki.wVk = static_cast<WORD>(virtualKey);
    input[1] = input[0];
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
}

void MouseClick(App& app, const std::string& name, int x, int y)
{
    POINT point{x, y};
    ClientToScreen(app.Control(name), &point);
    PressLeftButton(point);
}

// The drop-down list of a combo box of the program, while it is open.
HWND DroppedList(const App& app)
{
    HWND found = nullptr;
    DWORD program = 0;
    GetWindowThreadProcessId(app.Window(), &program);
    driver::ForEachWindow(nullptr, [&](HWND window) {
        char name[64] = {};
        GetClassNameA(window, name, sizeof name);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == program && std::string(name) == "ComboLBox" && IsWindowVisible(window)) found = window;
        return found == nullptr;
    });
    return found;
}

// Opens the box's list with a click on its arrow and clicks the item, as a user does.
void PickWithMouse(App& app, const std::string& name, int item)
{
    const RECT box = app.Bounds(name);
    MouseClick(app, name, box.right - box.left - 8, (box.bottom - box.top) / 2);
    ASSERT_TRUE(driver::WaitUntil([&] { return app.Send(name, CB_GETDROPPEDSTATE, 0, 0) != 0; }, 3000));
    HWND list = nullptr;
    ASSERT_TRUE(driver::WaitUntil([&] { return (list = DroppedList(app)) != nullptr; }, 3000));
    DWORD_PTR top = 0;
    DWORD_PTR height = 0;
    SendMessageTimeoutA(list, LB_GETTOPINDEX, 0, 0, SMTO_NORMAL, 5000, &top);
    SendMessageTimeoutA(list, LB_GETITEMHEIGHT, 0, 0, SMTO_NORMAL, 5000, &height);
    RECT client{};
    GetClientRect(list, &client);
    const int y = (item - static_cast<int>(top)) * static_cast<int>(height) + static_cast<int>(height) / 2;
    ASSERT_TRUE(y > 0 && y < client.bottom);
    POINT point{client.right / 2, y};
    ClientToScreen(list, &point);
    PressLeftButton(point);
    EXPECT_TRUE(driver::WaitUntil([&] { return app.Send(name, CB_GETDROPPEDSTATE, 0, 0) == 0; }, 3000));
}

struct Shown {
    const char* control;
    const char* text;
};

void ExpectShown(App& app, std::initializer_list<Shown> expected)
{
    for (const Shown& s : expected) {
        SCOPED_TRACE(std::string("control ") + s.control);
        EXPECT_EQ(app.Text(s.control), std::string(s.text));
    }
}

void ExpectLines(const std::string& section, const std::vector<std::string>& expected)
{
    SCOPED_TRACE("section " + section);
    EXPECT_EQ(Joined(SectionLines(section)), Joined(expected));
}

void ExpectValues(const std::string& path, const std::map<std::string, std::string>& expected)
{
    SCOPED_TRACE("key " + path);
    const auto values = driver::KeyValues(HKEY_LOCAL_MACHINE, path);
    EXPECT_EQ(values.size(), expected.size());
    for (const auto& [name, value] : expected) {
        SCOPED_TRACE("value \"" + name + "\"");
        EXPECT_EQ(values.count(name) ? values.at(name) : std::string("missing"), value);
    }
}

// Windows' three templates as the machine was prepared with them.
void ExpectWindowsTemplatesUntouched()
{
    ExpectValues(SubKeyPath("Desktop"), {{"NameCache", Binary32(677)}, {"PathCache", Binary32(32)}});
    ExpectValues(SubKeyPath("Mobile"), {{"NameCache", Binary32(337)}, {"PathCache", Binary32(16)}});
    ExpectValues(SubKeyPath("Server"), {{"NameCache", Binary32(2729)}, {"PathCache", Binary32(64)}});
}

// Everything the tuning pages own, as one comparable text.
std::string TuningSnapshot()
{
    std::string out = ReadFileText(WindowsDirectory() + "\\system.ini");
    for (const std::string& path :
         {std::string(driver::kFileSystemKey), std::string(driver::kFsTemplatesKey), SubKeyPath("Desktop"),
          SubKeyPath("Mobile"), SubKeyPath("Server"), SubKeyPath("Lumora")}) {
        out += "[" + path + "]\n";
        for (const auto& [name, value] : driver::KeyValues(HKEY_LOCAL_MACHINE, path)) out += name + "=" + value + "\n";
    }
    return out;
}

// Real keys reach the window that has the keyboard focus: the test makes sure it is the box.
void FocusForKeys(App& app, const std::string& name)
{
    app.Focus(name);
    ASSERT_TRUE(GetForegroundWindow() == app.Window());
}

// Presses Apply with the mouse and answers the restart question with No.
void ApplyAndDeclineTheRestart(App& app)
{
    const RECT apply = app.Bounds("Button2");
    MouseClick(app, "Button2", (apply.right - apply.left) / 2, (apply.bottom - apply.top) / 2);
    driver::DeclineRestart(app);
    EXPECT_TRUE(app.Running());
    EXPECT_FALSE(app.Enabled("Button2"));
}

void Tick(App& app, const std::string& box)
{
    const bool before = app.Checked(box);
    MouseClick(app, box, 6, 8);
    EXPECT_TRUE(driver::WaitUntil([&] { return app.Checked(box) != before; }, 3000));
}

TEST(TuningE2e, TuningPagesShowThePreparedMachineAndApplyStoresItAsShown)
{
    PrepareMachine();
    App app;
    driver::Launch(app, false);
    app.SelectTab("PageControl1", kDiskCachePage);
    ExpectShown(app, {
                         {"RxSlider3", "2"},
                         {"Label16", "2048 kb"},
                         {"RxSlider4", "0"},
                         {"Label17", "abc kb"},
                         {"RxSlider5", "0"},
                         {"Label30", "0 kb"},
                         {"ComboBox1", "User Defined"},
                     });
    app.SelectTab("PageControl1", kFileCachePage);
    ExpectShown(app, {
                         {"RxSlider6", "0"},
                         {"Label4", "337"},
                         {"RxSlider7", "2"},
                         {"Label5", "16"},
                         {"ComboBox2", "Mobile or docking system"},
                     });
    app.SelectTab("PageControl1", kTweakPage);
    EXPECT_FALSE(app.Checked("CheckBox8"));
    EXPECT_FALSE(app.Checked("CheckBox9"));
    EXPECT_FALSE(app.Checked("CheckBox10"));
    EXPECT_FALSE(app.Enabled("Button2"));

    Tick(app, "CheckBox10");
    ApplyAndDeclineTheRestart(app);

    // The minimum went back on its slider's grid, the odd maximum and the missing chunk size as
    // they were; the binary allocation size and the foreign page buffers are gone.
    ExpectLines("vcache", {"MaxFileCache=abc", "MinFileCache=2048"});
    ExpectLines("386Enh", {"ConservativeSwapfileUsage=1", "ebios=*ebios", "woafont=dosapp.fon"});
    ExpectValues(driver::kFileSystemKey, {});
    ExpectValues(driver::kFsTemplatesKey, {{"", Sz("Mobile")}});
    ExpectWindowsTemplatesUntouched();
    EXPECT_FALSE(KeyExists(SubKeyPath("Lumora")));
    ExpectShown(app, {{"Label16", "2048 kb"}, {"Label17", "abc kb"}, {"Label30", "0 kb"}});
    EXPECT_TRUE(app.Checked("CheckBox10"));
}

TEST(TuningE2e, TuningChoicesByMouseAndKeyboardAreWrittenExactly)
{
    PrepareMachine();
    App app;
    driver::Launch(app, false);
    // The cache sliders end at the installed memory (shown on the About page); the chosen
    // profile's positions need a few MB. A 16-bit memory figure can wrap to a small number.
    app.SelectTab("PageControl1", kAboutPage);
    if (std::atoi(app.Text("Label24").c_str()) < 8)
        GTEST_SKIP() << "the program sees less than 8 MB: " + app.Text("Label24");

    app.SelectTab("PageControl1", kDiskCachePage);
    PickWithMouse(app, "ComboBox1", 6);
    ExpectShown(app, {
                         {"ComboBox1", "Low Memory System"},
                         {"RxSlider3", "0"},
                         {"Label16", "0 kb"},
                         {"RxSlider4", "4"},
                         {"Label17", "4096 kb"},
                         {"RxSlider5", "8"},
                         {"Label30", "256 kb"},
                     });

    app.SelectTab("PageControl1", kFileCachePage);
    FocusForKeys(app, "ComboBox2");
    const struct {
        int key;
        const char* role;
        const char* namePosition;
        const char* names;
        const char* pathPosition;
        const char* paths;
    } steps[] = {
        {VK_DOWN, "Network Server", "5", "2729", "8", "64"},
        {VK_UP, "Mobile or docking system", "0", "337", "2", "16"},
        {VK_UP, "Desktop Computer", "1", "677", "4", "32"},
        // The own template keeps the sizes on show.
        {VK_UP, "User Defined", "1", "677", "4", "32"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(std::string(step.key == VK_DOWN ? "Down" : "Up") + " to " + step.role);
        PressKey(step.key);
        EXPECT_TRUE(driver::WaitUntil([&] { return app.Text("ComboBox2") == step.role; }, 3000));
        ExpectShown(app, {{"ComboBox2", step.role},
                          {"RxSlider6", step.namePosition},
                          {"Label4", step.names},
                          {"RxSlider7", step.pathPosition},
                          {"Label5", step.paths}});
    }

    app.SelectTab("PageControl1", kTweakPage);
    Tick(app, "CheckBox8");
    ApplyAndDeclineTheRestart(app);

    // A text of "0" is no entry: the minimum is deleted.
    ExpectLines("vcache", {"CHUNKSIZE=256", "MaxFileCache=4096"});
    ExpectLines("386Enh", {"ConservativeSwapfileUsage=0", "ebios=*ebios", "woafont=dosapp.fon"});
    ExpectValues(driver::kFileSystemKey, {{"ContigFileAllocSize", ValueText(REG_DWORD, Le32(512))}});
    ExpectValues(driver::kFsTemplatesKey, {{"", Sz("Lumora")}});
    ExpectValues(SubKeyPath("Lumora"),
                 {{"", Sz("Lumora Settings")}, {"NameCache", Binary32(677)}, {"PathCache", Binary32(32)}});
    ExpectWindowsTemplatesUntouched();
    // The reload recognises what was stored.
    ExpectShown(
        app, {{"ComboBox1", "Low Memory System"}, {"ComboBox2", "User Defined"}, {"Label4", "677"}, {"Label5", "32"}});
    EXPECT_TRUE(app.Checked("CheckBox8"));

    // An agent change alone: Apply stores the tuning entries again as they are and asks nothing.
    const std::string before = TuningSnapshot();
    app.SelectTab("PageControl1", kRamPage);
    app.Click("CheckBox6");
    app.PostClick("Button2");
    EXPECT_TRUE(driver::WaitUntil([&] { return !app.Enabled("Button2"); }));
    driver::ExpectNoBox(app, "the second Apply", 1000);
    const std::string after = TuningSnapshot();
    EXPECT_TRUE(after == before);
    if (after != before) std::printf("before:\n%s\nafter:\n%s\n", before.c_str(), after.c_str());
}

TEST(TuningE2e, CacheSectionCreatedByApplyCarriesTheNamesAsWindowsReadsThem)
{
    driver::ResetMachine();
    WritePrivateProfileStringA("vcache", nullptr, nullptr, kSystemIni);
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, kSystemIni);
    std::string header;
    SectionLines("vcache", &header);
    ASSERT_EQ(header, std::string());
    App app;
    driver::Launch(app, false);

    app.SelectTab("PageControl1", kDiskCachePage);
    FocusForKeys(app, "ComboBox1");
    PressKey(VK_DOWN);
    EXPECT_TRUE(driver::WaitUntil([&] { return app.Text("ComboBox1") == "Standard System"; }, 3000));
    ApplyAndDeclineTheRestart(app);

    ExpectLines("vcache", {"CHUNKSIZE=512", "MaxFileCache=8192", "MinFileCache=2048"});
    SectionLines("vcache", &header);
    EXPECT_EQ(header, std::string("[vcache]"));
}

// The NT half of this pair is NtMissingTemplatesKeyIsSkippedAndApplySavesTheRest.
TEST(TuningE2e, Win98MissingTemplatesKeyStopsApplyAfterTheTweaksAreWritten)
{
    // Named Win98...: only the Windows 98 layers run it.
    ASSERT_FALSE(driver::NtPlatform()) << "the NT family has no FS Templates key: the save skips the step there";
    PrepareMachine();
    DeleteTree(HKEY_LOCAL_MACHINE, driver::kFsTemplatesKey);
    App app;
    driver::Launch(app, false);
    app.SelectTab("PageControl1", kFileCachePage);
    ExpectShown(app, {{"ComboBox2", "User Defined"}, {"Label4", "0"}, {"Label5", "0"}});

    app.SelectTab("PageControl1", kTweakPage);
    for (const char* box : {"CheckBox8", "CheckBox9", "CheckBox10"}) {
        SCOPED_TRACE(box);
        Tick(app, box);
    }
    app.PostClick("Button2");
    const HWND error = app.WaitForDialog("Lumora Manager");
    ASSERT_TRUE(error != nullptr);
    EXPECT_EQ(app.DialogText(error), std::string("Failed to set data for ''"));
    ASSERT_TRUE(app.Answer(error, IDOK));

    // The failed write ended Apply: no restart offer, Apply stays on, nothing after it written.
    EXPECT_TRUE(app.WaitForDialog("", 1000) == nullptr);
    EXPECT_TRUE(app.Running());
    EXPECT_TRUE(app.Enabled("Button2"));
    ExpectValues(driver::kFileSystemKey, {{"ContigFileAllocSize", ValueText(REG_DWORD, Le32(512))}});
    ExpectLines("386Enh", {"ConservativeSwapfileUsage=1", "PageBuffers=32", "ebios=*ebios", "woafont=dosapp.fon"});
    EXPECT_FALSE(KeyExists(driver::kFsTemplatesKey));
    ExpectLines("vcache", {"MaxFileCache=abc", "MinFileCache=3000"});
    EXPECT_EQ(QueryRaw(HKEY_CURRENT_USER, driver::kAgentKey, "Update").rc, LONG{ERROR_FILE_NOT_FOUND});

    // The program goes on working.
    app.SelectTab("PageControl1", kFileCachePage);
    EXPECT_EQ(app.TabIndex("PageControl1"), kFileCachePage);
}

}  // namespace
}  // namespace lumora::winetest
