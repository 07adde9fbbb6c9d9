// The work floor the manager is measured against: the manager's window with its first page of
// native controls at the same places, the same reads at start-up, and on every 800 ms tick the
// platform queries the live figures need (the processor data and the memory status through the
// manager's own ports), with nothing else (no models, no names for drivers, no other pages).
// Start-up ends, as the manager's does, with "123 MB"-style captions loaded and the page painted.
#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>

#include <cstdio>
#include <string>
#include <vector>

#include "win32/ports/Win32Ports.h"
#include "win32/toolkit/WindowClasses.h"

#ifndef HKEY_DYN_DATA
#define HKEY_DYN_DATA ((HKEY)(ULONG_PTR)((LONG)0x80000006))
#endif

namespace {

constexpr UINT_PTR kTimerId = 1;
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
constexpr int kPageAreaTop = 24;  // as the manager's tab row
constexpr UINT kSetMinTabWidth = TCM_FIRST + 49;

HINSTANCE instance;
HFONT font;
HWND mainWindow;
HWND page;
HWND targetLabel;
HWND minimumLabel;
HWND targetSlider;
HWND minimumSlider;
HWND spins[6];
HWND cpuBox;

// The live figures' captions: compared, and set only when they change (their page is not shown).
std::string captions[9];
std::vector<BYTE> perfBuffer(8192);
std::vector<PROCESSENTRY32> processes;
// The manager's own queries for the processor figures and the memory status.
lumora::Win32Performance performance;
lumora::Win32System systemPort;

HWND Make(DWORD exStyle, const char* className, const char* text, DWORD style, int x, int y, int width, int height,
          HWND parent)
{
    HWND window =
        CreateWindowExA(exStyle, className, text, style, x, y, width, height, parent, nullptr, instance, nullptr);
    if (window) SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return window;
}

SIZE TextSize(const std::string& text)
{
    static HDC measure = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(measure, font);
    RECT area{0, 0, 0, 0};
    DrawTextA(measure, text.empty() ? " " : text.c_str(), text.empty() ? 1 : static_cast<int>(text.size()), &area,
              DT_LEFT | DT_NOPREFIX | DT_EXPANDTABS | DT_CALCRECT);
    SelectObject(measure, old);
    return {area.right, area.bottom};
}

// A label as wide and high as its caption.
HWND Label(HWND parent, int x, int y, const std::string& text)
{
    const SIZE size = TextSize(text);
    return Make(0, "STATIC", text.c_str(), kChild | SS_LEFT | SS_NOPREFIX | SS_NOTIFY, x, y, size.cx, size.cy, parent);
}

// A new caption, and the size that goes with it.
void SetLabel(HWND label, const std::string& text)
{
    const SIZE size = TextSize(text);
    SetWindowPos(label, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowTextA(label, text.c_str());
}

WNDPROC groupProc;

// A group box paints no background of its own; the manager's fills it.
LRESULT CALLBACK GroupProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ERASEBKGND) {
        RECT client;
        GetClientRect(window, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_BTNFACE));
        return 1;
    }
    if (message == WM_CTLCOLORSTATIC) {
        SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    return CallWindowProcA(groupProc, window, message, wParam, lParam);
}

// --- start-up reads

struct Key {
    HKEY handle = nullptr;
    Key(HKEY root, const char* path, bool create)
    {
        if (create) {
            RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr);
        } else {
            RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS, &handle);
        }
    }
    ~Key()
    {
        if (handle) RegCloseKey(handle);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    bool Read(const char* name, void* data, DWORD size) const
    {
        return handle &&
               RegQueryValueExA(handle, name, nullptr, nullptr, static_cast<BYTE*>(data), &size) == ERROR_SUCCESS;
    }
};

struct Loaded {
    DWORD target = 0;
    DWORD minimum = 0;
    double spin[6] = {2, 3, 90, 0, 0, 0};
    DWORD cpuDisabled = 0;
};

Loaded ReadSettings(const lumora::MemoryStatus& memory)
{
    Loaded loaded;
    char text[MAX_PATH];
    {
        Key agent(HKEY_CURRENT_USER, "Software\\Lumora", true);
        if (!agent.Read("CurrentDir", text, sizeof text)) {
            const DWORD length = GetCurrentDirectoryA(sizeof text, text);
            RegSetValueExA(agent.handle, "CurrentDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), length + 1);
        }
    }
    {
        Key fileSystem(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\FileSystem", false);
        DWORD contig = 0;
        fileSystem.Read("ContigFileAllocSize", &contig, sizeof contig);
    }
    const char* const ini = "SYSTEM.INI";
    GetPrivateProfileStringA("386Enh", "PageBuffers", "0", text, sizeof text, ini);
    GetPrivateProfileStringA("386Enh", "ConservativeSwapfileUsage", "0", text, sizeof text, ini);
    {
        Key templates(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\FS Templates", false);
        DWORD size = 0;
        templates.Read("", text, sizeof text);
        templates.Read("NameCache", &size, sizeof size);
        templates.Read("PathCache", &size, sizeof size);
    }
    GetPrivateProfileStringA("vcache", "MinFileCache", "0", text, sizeof text, ini);
    GetPrivateProfileStringA("vcache", "MaxFileCache", "0", text, sizeof text, ini);
    GetPrivateProfileStringA("vcache", "CHUNKSIZE", "0", text, sizeof text, ini);

    const DWORD total = static_cast<DWORD>(memory.totalPhys >> 20);
    loaded.target = total / 4;
    loaded.minimum = total / 16;
    loaded.spin[3] = total / 4;
    loaded.spin[4] = total / 8;
    loaded.spin[5] = total / 16;
    DWORD autoStart = 1;
    {
        Key agent(HKEY_CURRENT_USER, "Software\\Lumora", true);
        DWORD flag = 0;
        agent.Read("Disable_CPU_detect", &loaded.cpuDisabled, sizeof loaded.cpuDisabled);
        agent.Read("Always on Top", &flag, sizeof flag);
        agent.Read("Target Fre RAM", &loaded.target, sizeof loaded.target);
        agent.Read("Minimum Free RAM", &loaded.minimum, sizeof loaded.minimum);
        const char* const numbers[] = {"FreeValue1", "FreeTime", "FreeCPU", "Menu1", "Menu2", "Menu3"};
        for (int i = 0; i < 6; ++i) agent.Read(numbers[i], &loaded.spin[i], sizeof loaded.spin[i]);
        agent.Read("AutoclearClipboard", &flag, sizeof flag);
        agent.Read("RAMIcon", &flag, sizeof flag);
        agent.Read("PlaySound", &flag, sizeof flag);
        agent.Read("Music", text, sizeof text);
        agent.Read("AutoStart", &autoStart, sizeof autoStart);
    }
    {
        Key run(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", false);
        const char agentPath[] = "C:\\Program Files\\Lumora\\Lumora.exe";
        if (run.handle && autoStart == 1) {
            RegSetValueExA(run.handle, "Lumora", 0, REG_SZ, reinterpret_cast<const BYTE*>(agentPath), sizeof agentPath);
        }
    }
    return loaded;
}

// --- the window

// Windows puts each new child window at the bottom of its siblings, so the controls are created
// top first, in the manager's stacking: windowed controls over labels, a later control over an
// earlier one.
void Populate(const lumora::MemoryStatus& memory)
{
    const int total = static_cast<int>(memory.totalPhys >> 20);
    Make(0, "BUTTON", "Cancel", kChild | BS_PUSHBUTTON | WS_TABSTOP, 312, 368, 75, 25, mainWindow);
    Make(0, "BUTTON", "Apply", kChild | BS_PUSHBUTTON | WS_TABSTOP | WS_DISABLED, 232, 368, 75, 25, mainWindow);
    HWND group = Make(0, "BUTTON", "Description", kChild | WS_CLIPCHILDREN | BS_GROUPBOX, 20, 296, 365, 65, mainWindow);
    groupProc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(group, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GroupProc)));
    Label(group, 16, 40, "");
    Label(group, 16, 24, "");

    HWND tabs = Make(0, WC_TABCONTROLA, "", kChild | WS_CLIPCHILDREN | WS_TABSTOP, 0, 0, 404, 412, mainWindow);
    SendMessageA(tabs, kSetMinTabWidth, 0, 0);
    const char* const pageNames[] = {"Lumora", "Options", "Disk Cache", "File Cache", "Tweak", "Brisko v1.8", "About"};
    for (int i = 0; i < 7; ++i) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(pageNames[i]);
        SendMessageA(tabs, TCM_INSERTITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
    RECT area{};
    GetClientRect(tabs, &area);
    SendMessageA(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    RECT first{};
    if (area.top < kPageAreaTop && SendMessageA(tabs, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first))) {
        SendMessageA(tabs, TCM_SETITEMSIZE, 0, MAKELPARAM(0, first.bottom - first.top + kPageAreaTop - area.top));
        GetClientRect(tabs, &area);
        SendMessageA(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    }
    page = Make(WS_EX_CONTROLPARENT, "TWorkFloorPage", "Lumora", kChild | WS_CLIPCHILDREN, area.left, area.top,
                area.right - area.left, area.bottom - area.top, tabs);

    Make(0, "BUTTON", "Automatic", kChild | BS_PUSHBUTTON | WS_TABSTOP, 148, 344, 75, 25, page);
    // In the order of the stored values: FreeValue1, FreeTime, FreeCPU, Menu1 to Menu3.
    const RECT spinPlaces[] = {{64, 192, 41, 21},  {168, 192, 41, 21}, {232, 158, 49, 21},
                               {128, 230, 49, 21}, {208, 230, 49, 21}, {288, 230, 49, 21}};
    const int edge = GetSystemMetrics(SM_CXEDGE);
    for (int i = 5; i >= 0; --i) {
        const RECT& b = spinPlaces[i];
        HWND arrows = CreateWindowExA(0, UPDOWN_CLASSA, "", kChild, b.left + b.right - edge - 13, b.top + edge, 13,
                                      b.bottom - 2 * edge, page, nullptr, instance, nullptr);
        spins[i] = Make(WS_EX_CLIENTEDGE, "EDIT", "", kChild | ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP, b.left, b.top,
                        b.right, b.bottom, page);
        SendMessageA(arrows, UDM_SETBUDDY, reinterpret_cast<WPARAM>(spins[i]), 0);
        SendMessageA(arrows, UDM_SETRANGE, 0, MAKELPARAM(100, 0));
        SendMessageA(spins[i], EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, 13));
    }
    cpuBox = Make(0, "BUTTON", "Disable the CPU usage detection", kChild | BS_AUTOCHECKBOX | WS_TABSTOP, 16, 120, 185,
                  17, page);
    minimumSlider = Make(0, TRACKBAR_CLASSA, "", kChild | WS_TABSTOP | TBS_AUTOTICKS, 120, 64, 217, 33, page);
    targetSlider = Make(0, TRACKBAR_CLASSA, "", kChild | WS_TABSTOP | TBS_AUTOTICKS, 120, 24, 217, 33, page);
    for (HWND slider : {targetSlider, minimumSlider}) {
        SendMessageA(slider, TBM_SETRANGE, FALSE, MAKELPARAM(0, total));
        SendMessageA(slider, TBM_SETTICFREQ, total / 10 > 0 ? total / 10 : 1, 0);
    }

    Label(page, 344, 232, "MB");
    Label(page, 264, 232, "MB");
    Label(page, 184, 232, "MB");
    Label(page, 16, 232, "Pop up menu free ups" + std::string(81, ' '));
    Label(page, 216, 194, "minutes");
    Label(page, 112, 194, "MB every");
    Label(page, 16, 194, "Free up" + std::string(69, ' '));
    Label(page, 288, 160, "% ");
    Label(page, 16, 160, "Recover RAM if only the CPU usage below" + std::string(26, ' '));
    minimumLabel = Label(page, 344, 72, "Label31");
    Label(page, 16, 72, "Minimum Free RAM :");
    targetLabel = Label(page, 344, 32, "100 MB");
    Label(page, 16, 32, "Target Free RAM    :");
}

void Show(const Loaded& loaded)
{
    char text[64];
    std::snprintf(text, sizeof text, "%lu MB", static_cast<unsigned long>(loaded.target));
    SetLabel(targetLabel, text);
    std::snprintf(text, sizeof text, "%lu MB", static_cast<unsigned long>(loaded.minimum));
    SetLabel(minimumLabel, text);
    SendMessageA(targetSlider, TBM_SETPOS, TRUE, static_cast<LPARAM>(loaded.target));
    SendMessageA(minimumSlider, TBM_SETPOS, TRUE, static_cast<LPARAM>(loaded.minimum));
    for (int i = 0; i < 6; ++i) {
        std::snprintf(text, sizeof text, "%g", loaded.spin[i]);
        SetWindowTextA(spins[i], text);
    }
    if (loaded.cpuDisabled == 1) SendMessageA(cpuBox, BM_SETCHECK, BST_CHECKED, 0);
}

// --- the tick

void SetCaption(int index, const char* text)
{
    if (captions[index] != text) captions[index] = text;
}

void Tick()
{
    // The first query also keeps Wine's performance providers loaded, as the manager's does.
    std::uint32_t size = static_cast<std::uint32_t>(perfBuffer.size());
    long rc = performance.queryProcessorData(perfBuffer.data(), size);
    while (rc == ERROR_MORE_DATA && perfBuffer.size() < 16u * 1024 * 1024) {
        perfBuffer.resize(perfBuffer.size() + 4096);
        size = static_cast<std::uint32_t>(perfBuffer.size());
        rc = performance.queryProcessorData(perfBuffer.data(), size);
    }

    const lumora::MemoryStatus memory = systemPort.memoryStatus();

    static const char* const statistics[] = {"KERNEL\\CPUUsage",
                                             "KERNEL\\Threads",
                                             "KERNEL\\VMs",
                                             "Dial-Up Adapter\\ConnectSpeed",
                                             "Dial-Up Adapter\\BytesRecvd",
                                             "Dial-Up Adapter\\BytesXmit",
                                             "Dial-Up Adapter\\TotalBytesRecvd",
                                             "Dial-Up Adapter\\TotalBytesXmit"};
    HKEY data = nullptr;
    if (RegOpenKeyExA(HKEY_DYN_DATA, "PerfStats\\StatData", 0, KEY_READ, &data) == ERROR_SUCCESS) {
        for (const char* statistic : statistics) {
            BYTE value[4] = {};
            DWORD length = sizeof value;
            RegQueryValueExA(data, statistic, nullptr, nullptr, value, &length);
        }
        RegCloseKey(data);
    }

    processes.clear();
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot != INVALID_HANDLE_VALUE) {
        PROCESSENTRY32 entry{};
        entry.dwSize = sizeof entry;
        for (BOOL ok = Process32First(snapshot, &entry); ok; ok = Process32Next(snapshot, &entry)) {
            processes.push_back(entry);
            entry.dwSize = sizeof entry;
        }
        CloseHandle(snapshot);
    }

    char text[48];
    const unsigned long totalPhys = static_cast<unsigned long>(memory.totalPhys >> 20);
    const unsigned long availPhys = static_cast<unsigned long>(memory.availPhys >> 20);
    const unsigned long totalSwap = static_cast<unsigned long>(memory.totalPageFile >> 20);
    const unsigned long availSwap = static_cast<unsigned long>(memory.availPageFile >> 20);
    std::snprintf(text, sizeof text, "%lu MB (%lu %%)", availPhys, totalPhys ? availPhys * 100 / totalPhys : 0);
    SetCaption(0, text);
    std::snprintf(text, sizeof text, "%lu MB", totalSwap);
    SetCaption(1, text);
    std::snprintf(text, sizeof text, "%lu MB (%lu %%)", availSwap, totalSwap ? availSwap * 100 / totalSwap : 0);
    SetCaption(2, text);
    for (int i = 3; i < 7; ++i) SetCaption(i, "0 %");
    std::snprintf(text, sizeof text, "%lu", static_cast<unsigned long>(processes.size()));
    SetCaption(7, text);
}

LRESULT CALLBACK FloorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMER:
        if (wParam == kTimerId) Tick();
        return 0;
    case WM_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_DESTROY:
        if (window == mainWindow) PostQuitMessage(0);
        return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE thisInstance, HINSTANCE, LPSTR, int showCommand)
{
    instance = thisInstance;
    if (FindWindowA("TWorkFloor", "Lumora Work Floor")) return 0;
    InitCommonControls();
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExA(&version)) return 1;

    lumora::win32::WindowClasses classes;
    if (!classes.Register(instance, FloorProc, "LUMORA_ICON", "TWorkFloor", {"TWorkFloorPage"})) {
        return 1;
    }

    font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif");
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    RECT frame{0, 0, 404, 412};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    mainWindow = CreateWindowExA(
        0, "TWorkFloor", "Lumora Work Floor", style, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
        (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, nullptr, nullptr, instance, nullptr);
    if (!mainWindow) return 1;

    const lumora::MemoryStatus memory = systemPort.memoryStatus();
    Populate(memory);
    Show(ReadSettings(memory));
    SetTimer(mainWindow, kTimerId, 800, nullptr);
    ShowWindow(mainWindow, showCommand);
    UpdateWindow(mainWindow);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageA(mainWindow, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    DeleteObject(font);
    return 0;
}
