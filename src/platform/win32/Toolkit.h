// The native window layer: one Win32 window per control model, kept in step with it, and native
// input turned into model events at the main window's dispatch boundary.
#pragma once
#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "form/TForm1.h"
#include "platform/win32/ToolkitSupport.h"

namespace lumora::win32 {

class NativeControl;

class Toolkit {
public:
    static constexpr const char* kFormClass = "TForm1";
    static constexpr const char* kTabSheetClass = "LumoraTabSheet";
    static constexpr const char* kSliderClass = "LumoraSlider";
    // The window property that names each control for drivers in other processes: a global
    // atom holding the control's name.
    static constexpr const char* kNameProperty = "Name";

    Toolkit(HINSTANCE instance, TForm1& form);
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
    TForm1& Form() { return form_; }

    // Every native event enters the system through here.
    void Dispatch(const std::function<void()>& handler) { form_.Dispatch(handler); }

    // --- For the control peers
    HFONT WindowFont() const { return windowFont_; }
    HFONT FontFor(const FontSpec& wanted);
    // A memory context of the screen's kind for measuring text: measuring on it costs no window
    // its device context.
    HDC MeasureDc();
    HCURSOR HandCursor();
    // Creates a child window for peer and takes its messages: windows of our own classes
    // through their class procedure, standard ones by subclassing.
    HWND CreateWindowFor(NativeControl& peer, DWORD exStyle, const char* className, const std::string& text,
                         DWORD style, int x, int y, int width, int height, HWND parent);
    // Takes the messages of a window that belongs to peer's control without being its main
    // window (a combo box's edit part, a spin edit's arrows), named name for drivers.
    void AdoptWindow(NativeControl& peer, HWND window, const std::string& name);
    NativeControl* PeerOf(const TControl& model) const;
    NativeControl* PeerOfWindow(HWND window) const;
    // Hands a notification a container received from a child to that child's peer.
    bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Puts the focus on the first control the Tab key visits.
    void FocusFirst();
    // Creates the windows of the container's controls, once: a page's controls wait until the
    // page is first shown.
    void BuildContents(TControl& container);

private:
    struct WindowEntry {
        NativeControl* peer = nullptr;
        WNDPROC original = nullptr;  // nullptr for windows of our own classes
    };

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Route(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    void RegisterClasses();
    void Build(TControl& model, HWND parent);
    void ArrangeZOrder(TControl& container);
    void Name(HWND window, const std::string& name);
    bool TranslateKeys(const MSG& message);
    void MoveFocus(bool backwards);
    void SwitchPage(bool backwards);
    void SyncTimer();

    static Toolkit* current_;

    HINSTANCE instance_;
    TForm1& form_;
    HWND main_ = nullptr;
    HFONT windowFont_ = nullptr;
    HCURSOR handCursor_ = nullptr;
    HDC measureDc_ = nullptr;
    bool handLooked_ = false;
    std::map<std::string, HFONT> fonts_;
    std::vector<std::unique_ptr<NativeControl>> peers_;
    std::map<const TControl*, NativeControl*> byModel_;
    std::set<const TControl*> built_;
    std::unordered_map<HWND, WindowEntry> windows_;
    std::vector<ATOM> atoms_;
    int nextId_ = 100;
};

}  // namespace lumora::win32
