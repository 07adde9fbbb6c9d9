// The native window layer: one Win32 window per control model, kept in step with it, and native
// input turned into model events at the host's dispatch boundary. Each window carries its peer
// in its user data; the toolkit knows the tree of models and its host, not the window class
// that uses it.
#pragma once
#include <windows.h>

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/Controls.h"
#include "ui/DisplayScale.h"
#include "ui/ToolkitHost.h"
#include "win32/toolkit/Resources.h"
#include "win32/toolkit/WindowClasses.h"
#include "win32/toolkit/WindowSupport.h"

namespace lumora::win32 {

class NativeControl;
class Toolkit;

// Makes the peer of a control model; nullptr for a model that has no window. The peers sit
// above the toolkit, so the program's entry hands their factory in.
using PeerFactory = std::unique_ptr<NativeControl> (*)(Toolkit& kit, TControl& model);

class Toolkit {
public:
    static constexpr const char* kFormClass = "TForm1";
    // The main window's timer, which runs the host's TTimer.
    static constexpr UINT_PTR kTimerId = 1;
    static constexpr const char* kTabSheetClass = "LumoraTabSheet";
    static constexpr const char* kSliderClass = "LumoraSlider";
    // The main window's frame: a fixed-size window with a caption, a system menu and minimise.
    static constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

    // root is the window's model (kind Form), host what the toolkit needs of it besides.
    Toolkit(HINSTANCE instance, TControl& root, ToolkitHost& host, PeerFactory makePeer);
    ~Toolkit();
    Toolkit(const Toolkit&) = delete;
    Toolkit& operator=(const Toolkit&) = delete;

    // Creates the main window and the windows of every control outside the pages, of the page
    // shown and of no other page, all still hidden.
    HWND Create();
    // Centres the main window on the screen and shows it.
    void Show(int showCommand);
    // Runs the message loop until the main window is gone; the exit code.
    int Run();

    HWND MainWindow() const { return main_; }
    HINSTANCE Instance() const { return instance_; }
    ToolkitHost& Host() { return host_; }

    // Every native event enters the system through here.
    void Dispatch(const std::function<void()>& handler) { host_.Dispatch(handler); }

    // --- For the control peers
    // The models' design places (96 dpi) to the screen's pixels and back, chosen at start-up.
    const DisplayScale& Scale() const { return scale_; }
    HFONT WindowFont() const { return resources_.WindowFont(); }
    HFONT FontFor(const FontSpec& wanted) { return resources_.FontFor(wanted); }
    HFONT DesignFontFor(const FontSpec& wanted) { return resources_.DesignFontFor(wanted); }
    HDC MeasureDc() { return resources_.MeasureDc(); }
    HCURSOR HandCursor() { return resources_.HandCursor(); }
    // Creates a child window for peer, with its control's ID, and takes its messages: windows of
    // our own classes through their class procedure, standard ones by subclassing.
    HWND CreateWindowFor(NativeControl& peer, DWORD exStyle, const char* className, const std::string& text,
                         DWORD style, int x, int y, int width, int height, HWND parent);
    // Takes the messages of a window that belongs to peer's control without being its main
    // window (a combo box's edit part, a spin edit's arrows).
    void AdoptWindow(NativeControl& peer, HWND window);
    static NativeControl* PeerOf(const TControl& model);
    // The peer of one of the toolkit's windows; nullptr for any other window.
    static NativeControl* PeerOfWindow(HWND window);
    // Hands a notification a container received from a child to that child's peer.
    bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Puts the focus on the first control the Tab key visits.
    void FocusFirst();
    // Creates the windows of the container's controls, once: a page's controls wait until the
    // page is first shown.
    void BuildContents(TControl& container);
    // Creates peer's windows under parent and builds their contents.
    void Realize(NativeControl& peer, HWND parent);

private:
    // What a window of the toolkit carries in its user data: its peer, and the procedure it had
    // before the toolkit took its messages (nullptr for windows of the toolkit's own classes).
    struct WindowEntry {
        NativeControl* peer = nullptr;
        WNDPROC original = nullptr;
    };

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static WindowEntry* EntryOf(HWND window);
    static LRESULT Route(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Enter(HWND window, NativeControl& peer, WNDPROC original);

    void Build(TControl& model, HWND parent);
    // The container's children, topmost first.
    static std::vector<TControl*> StackingOrder(TControl& container);
    bool TranslateKeys(const MSG& message);
    void MoveFocus(bool backwards);
    void SwitchPage(bool backwards);
    void SyncTimer();

    HINSTANCE instance_;
    PeerFactory makePeer_;
    // Before the resources: the fonts are made at its size.
    DisplayScale scale_;
    TControl& root_;
    ToolkitHost& host_;
    HWND main_ = nullptr;
    // Declared before everything that can hold a window, so it outlives them all.
    WindowClasses classes_;
    Resources resources_;
    std::vector<std::unique_ptr<NativeControl>> peers_;
    std::vector<std::unique_ptr<WindowEntry>> entries_;
    // What kept the last window of our classes from being made, for CreateWindowFor to raise.
    static inline std::exception_ptr creationError_;
};

}  // namespace lumora::win32
