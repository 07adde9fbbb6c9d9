// The end-to-end driver: the program's process, its windows found by name, input sent to them, and the
// machine state read afterwards.
#include "E2eDriver.h"

#include <commctrl.h>

#include <cstring>
#include <map>
#include <string>

#include "WineTest.h"
#include "form/ControlIds.h"

namespace lumora::driver {
namespace {

constexpr DWORD kAnswerTimeoutMs = 15000;
constexpr const char* kSystemIniName = "SYSTEM.INI";

constexpr const char* kArrowsPart = ".Arrows";
constexpr const char* kEditPart = ".Edit";

std::string ClassName(HWND window)
{
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

BOOL CALLBACK VisitWindow(HWND window, LPARAM param)
{
    return (*reinterpret_cast<const std::function<bool(HWND)>*>(param))(window) ? TRUE : FALSE;
}

void CreateFolders(const std::string& path)
{
    for (std::size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1)) {
        CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
    }
    CreateDirectoryA(path.c_str(), nullptr);
}

HKEY CreateKey(HKEY root, const std::string& path)
{
    HKEY key = nullptr;
    DWORD disposition = 0;
    RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                    &disposition);
    return key;
}

void PutTemplate(const std::string& name, std::uint32_t nameCache, std::uint32_t pathCache)
{
    const HKEY key = CreateKey(HKEY_LOCAL_MACHINE, std::string(kFsTemplatesKey) + "\\" + name);
    if (key == nullptr) return;
    const winetest::Bytes names = winetest::Le32(nameCache);
    const winetest::Bytes paths = winetest::Le32(pathCache);
    RegSetValueExA(key, "NameCache", 0, REG_BINARY, names.data(), 4);
    RegSetValueExA(key, "PathCache", 0, REG_BINARY, paths.data(), 4);
    RegCloseKey(key);
}

// A root key by the short name the prepared machine gives it.
HKEY RootKey(const std::string& name)
{
    return name == "HKCU" ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

void SnapshotTree(HKEY root, const std::string& label, const std::string& path, std::string& out)
{
    out += "[" + label + "\\" + path + "]\n";
    for (const auto& [name, value] : KeyValues(root, path)) out += "\"" + name + "\"=" + value + "\n";
    for (const auto& child : winetest::SubKeys(root, path)) SnapshotTree(root, label, path + "\\" + child, out);
}

}  // namespace

std::string ProgramPath()
{
    char buffer[MAX_PATH] = {};
    if (GetEnvironmentVariableA("LUMORA_PROGRAM", buffer, MAX_PATH) > 0) return buffer;
    GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    std::string path = buffer;
    path = path.substr(0, path.find_last_of('\\')) + "\\..\\..\\lumora-manager.exe";
    char full[MAX_PATH] = {};
    GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    return full;
}

void ResetMachine()
{
    // The agent's key is no part of the prepared machine.
    winetest::DeleteTree(HKEY_CURRENT_USER, kAgentKey);
    std::map<std::string, std::string> sections;  // "key=value\0" entries by section
    const auto key = [](HKEY root, const std::string& path) {
        winetest::DeleteTree(root, path);
        RegCloseKey(CreateKey(root, path));
    };
    const auto ini = [&](const std::string& section, const std::string& entry) {
        std::string& entries = sections[section];
        if (!entry.empty()) entries += entry + '\0';
    };
#define LUMORA_MACHINE_KEY(root, path) key(RootKey(#root), path);
#define LUMORA_MACHINE_TEMPLATE(name, names, paths) PutTemplate(name, names, paths);
#define LUMORA_MACHINE_INI(section, entry) ini(section, entry);
#include "common/PreparedMachine.inc"
#undef LUMORA_MACHINE_KEY
#undef LUMORA_MACHINE_TEMPLATE
#undef LUMORA_MACHINE_INI
    for (const auto& [section, entries] : sections) {
        // A section of no entries is written as one empty entry: the section stays, empty.
        WritePrivateProfileSectionA(section.c_str(), entries.empty() ? std::string(1, '\0').c_str() : entries.c_str(),
                                    kSystemIniName);
    }
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, kSystemIniName);
}

bool NtPlatform()
{
    OSVERSIONINFOA info;
    ZeroMemory(&info, sizeof info);
    info.dwOSVersionInfoSize = sizeof info;
    return GetVersionExA(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

std::map<std::string, std::string> KeyValues(HKEY root, const std::string& path)
{
    std::map<std::string, std::string> values;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return values;
    DWORD maxName = 0;
    DWORD maxData = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &maxName, &maxData, nullptr,
                     nullptr);
    std::vector<char> name(maxName + 2);
    std::vector<BYTE> data(maxData + 2);
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = static_cast<DWORD>(name.size());
        DWORD dataSize = static_cast<DWORD>(data.size());
        DWORD type = 0;
        if (RegEnumValueA(key, i, name.data(), &nameSize, nullptr, &type, data.data(), &dataSize) != ERROR_SUCCESS) {
            break;
        }
        values[std::string(name.data(), nameSize)] =
            winetest::ValueText(type, winetest::Bytes(data.begin(), data.begin() + dataSize));
    }
    RegCloseKey(key);
    return values;
}

std::string MachineSnapshot()
{
    std::string out;
    SnapshotTree(HKEY_CURRENT_USER, "HKCU", kAgentKey, out);
    out +=
        "[HKLM\\Run] Lumora=" + winetest::ValueText(winetest::QueryRaw(HKEY_LOCAL_MACHINE, kRunKey, "Lumora")) + "\n";
    SnapshotTree(HKEY_LOCAL_MACHINE, "HKLM", kFsTemplatesKey, out);
    SnapshotTree(HKEY_LOCAL_MACHINE, "HKLM", kFileSystemKey, out);
    out += "[system.ini]\n" + winetest::ReadFileText(winetest::WindowsDirectory() + "\\system.ini");
    return out;
}

std::string IniValue(const std::string& section, const std::string& key, const std::string& def)
{
    // Drop the profile service's cached copy: the program wrote the file, not this process.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, kSystemIniName);
    char buffer[2048] = {};
    GetPrivateProfileStringA(section.c_str(), key.c_str(), def.c_str(), buffer, sizeof buffer, kSystemIniName);
    return buffer;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start >= timeoutMs) return condition();
        Sleep(20);
    }
}

void ForEachWindow(HWND parent, const std::function<bool(HWND)>& visit)
{
    const auto param = reinterpret_cast<LPARAM>(&visit);
    if (parent == nullptr) {
        EnumWindows(VisitWindow, param);
    } else {
        EnumChildWindows(parent, VisitWindow, param);
    }
}

int CountTopLevel(const std::string& className)
{
    int count = 0;
    ForEachWindow(nullptr, [&](HWND window) {
        if (ClassName(window) == className) ++count;
        return true;
    });
    return count;
}

std::string ControlName(HWND window)
{
    // Only a child window has an ID; a top-level window's is its menu.
    if (window == nullptr || (GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD) == 0) return std::string();
    const int id = GetDlgCtrlID(window);
    if (const std::string_view name = ControlNameOf(id); !name.empty()) return std::string(name);
    if (const std::string_view name = ControlNameOf(id - kPartIdOffset); !name.empty()) {
        return std::string(name) + kArrowsPart;
    }
    // A combo box's edit part keeps the ID the platform gives it.
    const HWND parent = GetParent(window);
    if (parent != nullptr && ClassName(window) == "Edit" && ClassName(parent) == "ComboBox") {
        const std::string box = ControlName(parent);
        if (!box.empty()) return box + kEditPart;
    }
    return std::string();
}

void Launch(App& app, bool resetMachine)
{
    const std::string program = ProgramPath();
    if (GetFileAttributesA(program.c_str()) == INVALID_FILE_ATTRIBUTES) {
        // A test of a program that is not there has proved nothing: that is a failure.
        FAIL() << "the program is not built: " + program;
    }
    if (resetMachine) ResetMachine();
    if (!app.Start()) {
        FAIL() << "cannot start " + program;
    }
    if (app.WaitForWindow() == nullptr) {
        FAIL() << "no TForm1 window appeared";
    }
}

void DeclineRestart(App& app, const std::string& title)
{
    const HWND box = app.WaitForDialog(title);
    ASSERT_TRUE(box != nullptr);
    EXPECT_EQ(app.DialogText(box), std::string(kRestartQuestion));
    ASSERT_TRUE(app.Answer(box, IDNO));
}

void ExpectNoBox(App& app, const std::string& when, DWORD timeoutMs)
{
    const HWND box = app.WaitForDialog("", timeoutMs);
    if (box == nullptr) return;
    ADD_FAILURE() << when + " showed a box: " + app.DialogText(box);
    if (!app.Answer(box, IDNO)) app.Answer(box, IDOK);
}

App::~App()
{
    if (!attached_) Stop();
    if (thread_ != nullptr) CloseHandle(thread_);
    if (process_ != nullptr) CloseHandle(process_);
}

bool App::Start(const std::string& folder)
{
    CreateFolders(folder);
    const std::string program = ProgramPath();
    std::string commandLine = "\"" + program + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &info)) {
        return false;
    }
    process_ = info.hProcess;
    thread_ = info.hThread;
    processId_ = info.dwProcessId;
    return true;
}

bool App::Attach(HWND window)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    const HANDLE process = OpenProcess(PROCESS_ALL_ACCESS, FALSE, processId);
    if (process == nullptr) return false;
    if (process_ != nullptr) CloseHandle(process_);
    process_ = process;
    processId_ = processId;
    window_ = window;
    attached_ = true;
    return true;
}

HWND App::WaitForWindow(DWORD timeoutMs)
{
    WaitUntil(
        [&] {
            window_ = nullptr;
            ForEachWindow(nullptr, [&](HWND window) {
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                if (owner == processId_ && ClassName(window) == "TForm1" && IsWindowVisible(window)) {
                    window_ = window;
                    return false;
                }
                return true;
            });
            return window_ != nullptr || !Running();
        },
        timeoutMs);
    // The first answer to a message comes once start-up has finished and the loop runs.
    if (window_ != nullptr) SendTo(window_, WM_NULL, 0, 0);
    return window_;
}

bool App::WaitForExit(DWORD timeoutMs)
{
    return process_ == nullptr || WaitForSingleObject(process_, timeoutMs) == WAIT_OBJECT_0;
}

bool App::Running() const
{
    return process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

void App::Stop()
{
    if (!Running()) return;
    if (window_ != nullptr) PostMessageA(window_, WM_CLOSE, 0, 0);
    if (!WaitForExit(5000)) {
        TerminateProcess(process_, 1);
        WaitForExit(5000);
    }
}

HWND App::Find(const std::string& name) const
{
    if (window_ == nullptr) return nullptr;
    HWND found = nullptr;
    ForEachWindow(window_, [&](HWND window) {
        if (ControlName(window) != name) return true;
        found = window;
        return false;
    });
    return found;
}

HWND App::Control(const std::string& name) const
{
    const HWND window = Find(name);
    if (window == nullptr) {
        // FAIL() returns from the function it is in, so it goes in one of its own here; the
        // failure ends the test (WineTest.h).
        [&] { FAIL() << "no control named " + name; }();
    }
    return window;
}

std::map<std::string, HWND> App::Controls() const
{
    std::map<std::string, HWND> controls;
    if (window_ == nullptr) return controls;
    ForEachWindow(window_, [&](HWND window) {
        const std::string name = ControlName(window);
        if (!name.empty()) controls[name] = window;
        return true;
    });
    return controls;
}

LRESULT App::SendTo(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const
{
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, kAnswerTimeoutMs, &result)) {
        ADD_FAILURE() << "the program did not answer message " + std::to_string(message);
    }
    return static_cast<LRESULT>(result);
}

LRESULT App::Send(const std::string& name, UINT message, WPARAM wParam, LPARAM lParam) const
{
    return SendTo(Control(name), message, wParam, lParam);
}

void App::Click(const std::string& name)
{
    SendTo(Control(name), BM_CLICK, 0, 0);
}

void App::PostClick(const std::string& name)
{
    PostMessageA(Control(name), BM_CLICK, 0, 0);
}

void App::ClickAt(const std::string& name, int x, int y)
{
    const HWND window = Control(name);
    const LPARAM point = MAKELPARAM(x, y);
    SendTo(window, WM_MOUSEMOVE, 0, point);
    SendTo(window, WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendTo(window, WM_LBUTTONUP, 0, point);
}

void App::MouseMove(const std::string& name, int x, int y)
{
    SendTo(Control(name), WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
}

void App::Pointer(const std::string& name, int x, int y)
{
    POINT point{x, y};
    ClientToScreen(Control(name), &point);
    SetCursorPos(point.x, point.y);
    // Let the X server and the program deliver and handle the move.
    Sleep(100);
    SendTo(window_, WM_NULL, 0, 0);
}

namespace {

void LeftButton(DWORD flag)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flag;
    SendInput(1, &input, sizeof input);
}

}  // namespace

void App::PressButton()
{
    LeftButton(MOUSEEVENTF_LEFTDOWN);
    Sleep(100);
    SendTo(window_, WM_NULL, 0, 0);
}

void App::ReleaseButton()
{
    LeftButton(MOUSEEVENTF_LEFTUP);
    Sleep(100);
    SendTo(window_, WM_NULL, 0, 0);
}

HWND App::EditOf(const std::string& name) const
{
    const HWND window = Control(name);
    if (ClassName(window) == "ComboBox") {
        if (const HWND edit = FindWindowExA(window, nullptr, "Edit", nullptr)) return edit;
    }
    return window;
}

void App::Type(const std::string& name, const std::string& text)
{
    const HWND window = EditOf(name);
    for (const char c : text) SendTo(window, WM_CHAR, static_cast<unsigned char>(c), 1);
}

void App::SelectAll(const std::string& name)
{
    SendTo(EditOf(name), EM_SETSEL, 0, -1);
}

void App::Key(const std::string& name, int virtualKey)
{
    const HWND window = Control(name);
    const UINT scan = MapVirtualKeyA(static_cast<UINT>(virtualKey), 0);
    SendTo(window, WM_KEYDOWN, static_cast<WPARAM>(virtualKey), 1 | (static_cast<LPARAM>(scan) << 16));
    SendTo(window, WM_KEYUP, static_cast<WPARAM>(virtualKey), 0xC0000001 | (static_cast<LPARAM>(scan) << 16));
}

void App::SetText(const std::string& name, const std::string& text)
{
    SendTo(Control(name), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void App::Focus(const std::string& name)
{
    const HWND window = Control(name);
    const DWORD target = GetWindowThreadProcessId(window, nullptr);
    AttachThreadInput(GetCurrentThreadId(), target, TRUE);
    SetFocus(window);
    AttachThreadInput(GetCurrentThreadId(), target, FALSE);
    SendTo(window_, WM_NULL, 0, 0);
}

std::string App::Text(const std::string& name) const
{
    const HWND window = Control(name);
    const auto length = static_cast<std::size_t>(SendTo(window, WM_GETTEXTLENGTH, 0, 0));
    std::vector<char> buffer(length + 2, '\0');
    SendTo(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
    return buffer.data();
}

std::string App::Caption() const
{
    char buffer[512] = {};
    SendTo(window_, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

bool App::Enabled(const std::string& name) const
{
    return IsWindowEnabled(Control(name)) != FALSE;
}

bool App::Visible(const std::string& name) const
{
    return IsWindowVisible(Control(name)) != FALSE;
}

bool App::Checked(const std::string& name) const
{
    return SendTo(Control(name), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

RECT App::Bounds(const std::string& name) const
{
    const HWND window = Control(name);
    RECT rect{};
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

RECT App::ClientRect() const
{
    RECT rect{};
    GetClientRect(window_, &rect);
    return rect;
}

std::string App::ClassOf(const std::string& name) const
{
    return ClassName(Control(name));
}

std::uintptr_t App::RemoteAlloc(std::size_t size) const
{
    return reinterpret_cast<std::uintptr_t>(
        VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
}

void App::RemoteFree(std::uintptr_t address) const
{
    if (address != 0) VirtualFreeEx(process_, reinterpret_cast<void*>(address), 0, MEM_RELEASE);
}

std::vector<std::string> App::TabCaptions(const std::string& name) const
{
    const HWND tabs = Control(name);
    std::vector<std::string> captions;
    const auto count = static_cast<int>(SendTo(tabs, TCM_GETITEMCOUNT, 0, 0));
    constexpr std::size_t kTextSize = 256;
    const std::uintptr_t remote = RemoteAlloc(sizeof(TCITEMA) + kTextSize);
    if (remote == 0) return captions;
    for (int i = 0; i < count; ++i) {
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = reinterpret_cast<LPSTR>(remote + sizeof(TCITEMA));
        item.cchTextMax = kTextSize;
        char text[kTextSize] = {};
        SIZE_T done = 0;
        WriteProcessMemory(process_, reinterpret_cast<void*>(remote), &item, sizeof item, &done);
        WriteProcessMemory(process_, item.pszText, text, sizeof text, &done);
        SendTo(tabs, TCM_GETITEMA, static_cast<WPARAM>(i), static_cast<LPARAM>(remote));
        ReadProcessMemory(process_, item.pszText, text, sizeof text - 1, &done);
        captions.emplace_back(text);
    }
    RemoteFree(remote);
    return captions;
}

int App::TabIndex(const std::string& name) const
{
    return static_cast<int>(SendTo(Control(name), TCM_GETCURSEL, 0, 0));
}

bool App::TabRect(HWND tabs, int index, RECT& rect) const
{
    const std::uintptr_t remote = RemoteAlloc(sizeof(RECT));
    if (remote == 0) return false;
    const LRESULT got = SendTo(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(index), static_cast<LPARAM>(remote));
    SIZE_T done = 0;
    ReadProcessMemory(process_, reinterpret_cast<void*>(remote), &rect, sizeof rect, &done);
    RemoteFree(remote);
    if (!got || rect.right <= rect.left || rect.left < 0) return false;
    // A tab half hidden under the scroll arrows is not clickable in its middle.
    const HWND arrows = FindWindowExA(tabs, nullptr, UPDOWN_CLASSA, nullptr);
    if (arrows != nullptr && IsWindowVisible(arrows)) {
        RECT arrowRect{};
        GetWindowRect(arrows, &arrowRect);
        MapWindowPoints(nullptr, tabs, reinterpret_cast<POINT*>(&arrowRect), 2);
        if ((rect.left + rect.right) / 2 >= arrowRect.left) return false;
    }
    return true;
}

std::vector<RECT> App::TabRects(const std::string& name) const
{
    const HWND tabs = Control(name);
    std::vector<RECT> rects;
    const std::uintptr_t remote = RemoteAlloc(sizeof(RECT));
    if (remote == 0) return rects;
    const auto count = static_cast<int>(SendTo(tabs, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        RECT rect{};
        SIZE_T done = 0;
        if (SendTo(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(i), static_cast<LPARAM>(remote))) {
            ReadProcessMemory(process_, reinterpret_cast<void*>(remote), &rect, sizeof rect, &done);
        }
        rects.push_back(rect);
    }
    RemoteFree(remote);
    return rects;
}

void App::SelectTab(const std::string& name, int index)
{
    const HWND tabs = Control(name);
    const auto count = static_cast<int>(SendTo(tabs, TCM_GETITEMCOUNT, 0, 0));
    RECT rect{};
    // Tabs that do not fit in the row are brought into view with the control's scroll arrows,
    // as a user would.
    for (int attempt = 0; attempt <= count && !TabRect(tabs, index, rect); ++attempt) {
        const HWND arrows = FindWindowExA(tabs, nullptr, UPDOWN_CLASSA, nullptr);
        if (arrows == nullptr || !IsWindowVisible(arrows)) break;
        int firstShown = 0;
        RECT ignored{};
        while (firstShown < count && !TabRect(tabs, firstShown, ignored)) ++firstShown;
        RECT arrowRect{};
        GetClientRect(arrows, &arrowRect);
        const int x = index < firstShown ? arrowRect.right / 4 : arrowRect.right * 3 / 4;
        const LPARAM point = MAKELPARAM(x, arrowRect.bottom / 2);
        SendTo(arrows, WM_LBUTTONDOWN, MK_LBUTTON, point);
        SendTo(arrows, WM_LBUTTONUP, 0, point);
    }
    if (!TabRect(tabs, index, rect)) {
        ADD_FAILURE() << name + " cannot show tab " + std::to_string(index);
        return;
    }
    ClickAt(name, (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

HWND App::WaitForDialog(const std::string& title, DWORD timeoutMs) const
{
    HWND found = nullptr;
    WaitUntil(
        [&] {
            ForEachWindow(nullptr, [&](HWND window) {
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                char text[256] = {};
                GetWindowTextA(window, text, sizeof text);
                if (owner == processId_ && ClassName(window) == "#32770" && IsWindowVisible(window) &&
                    (title.empty() || title == text)) {
                    found = window;
                    return false;
                }
                return true;
            });
            return found != nullptr;
        },
        timeoutMs);
    return found;
}

std::string App::DialogText(HWND dialog) const
{
    // A message box's text is the static control with the id 0xFFFF.
    const HWND text = GetDlgItem(dialog, 0xFFFF);
    if (text == nullptr) return std::string();
    char buffer[1024] = {};
    SendTo(text, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

bool App::Answer(HWND dialog, int buttonId)
{
    const HWND button = GetDlgItem(dialog, buttonId);
    if (button == nullptr) return false;
    PostMessageA(button, BM_CLICK, 0, 0);
    return WaitUntil([&] { return !IsWindow(dialog); }, kAnswerTimeoutMs);
}

}  // namespace lumora::driver
