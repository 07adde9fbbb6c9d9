// The end-to-end driver: starts lumora-manager.exe under Wine and works it from outside like a
// user, then reads what it left in the registry and SYSTEM.INI.
//
// Controls are found by name ("Button2", "RxSlider1", "TabSheet4") through their child-window
// IDs, which the program takes from the table it shares with the driver (form/ControlIds.h). A
// part of a control is its name and the part's: "RxSpinEdit2.Arrows" (the arrows' part ID),
// "ComboBox1.Edit" (the box's edit part, whose ID the platform gives).
// Every call that talks to a control is synchronous: it returns once the program has handled
// it, except the Post* calls, which are for actions that open a modal box.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "WineRegistry.h"
#include "form/ControlIds.h"

namespace lumora::driver {

constexpr const char* kAgentKey = "Software\\Lumora";
constexpr const char* kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kFsTemplatesKey = "Software\\Microsoft\\Windows\\CurrentVersion\\FS Templates";
constexpr const char* kFileSystemKey = "System\\CurrentControlSet\\Control\\FileSystem";
// The working folder the driver starts the program in, so CurrentDir is known.
constexpr const char* kWorkFolder = "C:\\Program Files\\Lumora";

// The tabs of "PageControl1" by index, left to right as the user sees them. A test file takes
// them all with `using namespace driver::pages;`.
inline namespace pages {
using lumora::kAboutPage;
using lumora::kDiskCachePage;
using lumora::kFileCachePage;
using lumora::kOptionsPage;
using lumora::kPageCount;
using lumora::kPromotionPage;
using lumora::kRamPage;
using lumora::kTweakPage;
}  // namespace pages

// What Apply asks once a change needs the machine restarted.
constexpr const char* kRestartQuestion = "Do you want to restart your computer now?";

// The program to start: LUMORA_PROGRAM when set, else lumora-manager.exe two folders above
// the driver's own executable (the build folder's layout).
std::string ProgramPath();

// Puts the machine back as scripts/prefix.sh prepared it, both from tests/common/PreparedMachine.inc
// (the file-system templates with their sizes and none selected, an empty FileSystem key and Run
// key, SYSTEM.INI's 386Enh and vcache sections), and without the agent's key.
void ResetMachine();

// The platform family the prefix reports to programs, the program's as well as the driver's:
// true for the NT family (Wine's default), false in the Windows 98 mode (HKCU\Software\Wine
// "Version" = "win98"). Tests of behaviour that differs name the other family in a skip.
bool NtPlatform();

// Everything the program can change, as one comparable text: the agent key, the autostart
// entry, the file-system templates, the FileSystem key and SYSTEM.INI.
std::string MachineSnapshot();

// Values of a key, by name, as winetest::ValueText shows them ("4:01000000").
std::map<std::string, std::string> KeyValues(HKEY root, const std::string& path);

// A SYSTEM.INI entry as the profile service reads it now.
std::string IniValue(const std::string& section, const std::string& key, const std::string& def);

// Polls condition every 20 ms until it holds or timeoutMs passed; its last answer.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000);

// Calls visit for every top-level window (parent nullptr) or every descendant of parent,
// until it returns false.
void ForEachWindow(HWND parent, const std::function<bool(HWND)>& visit);

// Top-level windows of class className, in any process.
int CountTopLevel(const std::string& className);

// The name a window of the program carries by its ID (see above); empty for any other window.
std::string ControlName(HWND window);

class App;

// Starts the program for a test, on the prepared machine unless resetMachine is false: fails and
// ends the test when the program has not been built or no window appears.
void Launch(App& app, bool resetMachine = true);

// Waits for the restart question in a box titled title (any box when empty) and answers No:
// Yes would ask Wine to restart, which ends every program of the prefix, the driver too. Fails
// the running test when the box asks anything else; ends it when no box came or it stays.
void DeclineRestart(App& app, const std::string& title = "Confirm");

// Fails the running test when the program shows a box within timeoutMs (an error box shows at
// once), naming when and the box's text, and closes the box: No to a question, else OK.
void ExpectNoBox(App& app, const std::string& when, DWORD timeoutMs);

class App {
public:
    App() = default;
    ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    // Starts the program in folder (created when missing); false when it cannot be started.
    bool Start(const std::string& folder = kWorkFolder);
    // Works the window of a program started elsewhere (by a script); that program keeps
    // running when this App goes. False when the window's process cannot be opened.
    bool Attach(HWND window);
    // Waits for the program's top-level "TForm1" window; nullptr after timeoutMs.
    HWND WaitForWindow(DWORD timeoutMs = 30000);
    HWND Window() const { return window_; }
    HANDLE Process() const { return process_; }
    bool WaitForExit(DWORD timeoutMs = 10000);
    bool Running() const;
    // Closes the window, and ends the process when it does not go within a few seconds.
    void Stop();

    // The control with this name among the window's descendants; nullptr when none.
    HWND Find(const std::string& name) const;
    // As Find, but a missing control fails the running test and ends it.
    HWND Control(const std::string& name) const;
    // Every named control: name to window.
    std::map<std::string, HWND> Controls() const;

    // --- input
    void Click(const std::string& name);
    // Posted, for a click whose handler opens a modal box that the test will answer.
    void PostClick(const std::string& name);
    // Left button down and up at a point of the control's client area.
    void ClickAt(const std::string& name, int x, int y);
    // WM_MOUSEMOVE straight to the control, whatever lies on top of it.
    void MouseMove(const std::string& name, int x, int y);
    // Moves the real pointer over a point of the control, so that the window under it gets the
    // move as from a mouse (disabled and transparent controls pass it on to their parent).
    void Pointer(const std::string& name, int x, int y);
    // The real left button, pressed or let go where the real pointer is: with Pointer, a drag as a
    // user makes it. Wine, like Windows, then gives the window holding the capture the pointer's
    // real place and button state; sent messages alone would leave them behind (Wine 10 moves a
    // captured window's pointer to where the real one is whenever the windows under it change).
    void PressButton();
    void ReleaseButton();
    // WM_CHAR for each character, to the control (or the edit inside a combo box).
    void Type(const std::string& name, const std::string& text);
    // WM_KEYDOWN and WM_KEYUP of a virtual key.
    void Key(const std::string& name, int virtualKey);
    void SetText(const std::string& name, const std::string& text);
    // Selects the whole text of an edit (or of the edit inside a combo box), so typing replaces it.
    void SelectAll(const std::string& name);
    // Gives the control the focus as the user's Tab or click would (it loses it elsewhere).
    void Focus(const std::string& name);

    // --- state
    std::string Text(const std::string& name) const;
    bool Enabled(const std::string& name) const;
    bool Visible(const std::string& name) const;
    bool Checked(const std::string& name) const;
    // In the parent's client coordinates.
    RECT Bounds(const std::string& name) const;
    RECT ClientRect() const;
    std::string Caption() const;
    std::string ClassOf(const std::string& name) const;
    LRESULT Send(const std::string& name, UINT message, WPARAM wParam, LPARAM lParam) const;

    // --- tabbed page control
    std::vector<std::string> TabCaptions(const std::string& name) const;
    int TabIndex(const std::string& name) const;
    // Clicks the tab's rectangle, as a user does.
    void SelectTab(const std::string& name, int index);
    // Every tab's rectangle as the control reports it, in its client coordinates, whether in
    // view or not.
    std::vector<RECT> TabRects(const std::string& name) const;

    // --- modal boxes
    // A dialog box of the program with this title (any title when empty); nullptr on timeout.
    HWND WaitForDialog(const std::string& title, DWORD timeoutMs = 10000) const;
    // The message text of a message box.
    std::string DialogText(HWND dialog) const;
    // Presses the button with this id (IDYES, IDNO, IDOK) and waits for the box to go.
    bool Answer(HWND dialog, int buttonId);

private:
    LRESULT SendTo(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const;
    // The control, or the edit inside it when it is a combo box.
    HWND EditOf(const std::string& name) const;
    // The tab's rectangle when it is in view and clickable.
    bool TabRect(HWND tabs, int index, RECT& rect) const;
    // Memory inside the program, for the messages that carry pointers.
    std::uintptr_t RemoteAlloc(std::size_t size) const;
    void RemoteFree(std::uintptr_t address) const;

    HANDLE process_ = nullptr;
    HANDLE thread_ = nullptr;
    DWORD processId_ = 0;
    HWND window_ = nullptr;
    bool attached_ = false;
};

}  // namespace lumora::driver
