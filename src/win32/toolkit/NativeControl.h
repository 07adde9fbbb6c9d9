// A control's native peer: the windows of one model and the translation between their
// messages and the model's properties and events. Each control kind's peer is in peers/.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "ui/Controls.h"
#include "win32/toolkit/WindowSupport.h"

namespace lumora::win32 {

class Toolkit;

class NativeControl : public ControlPeer {
public:
    NativeControl(Toolkit& kit, TControl& model) : kit_(kit), model_(model) {}
    ~NativeControl() override = default;
    NativeControl(const NativeControl&) = delete;
    NativeControl& operator=(const NativeControl&) = delete;

    TControl& Model() const { return model_; }
    Toolkit& Kit() const { return kit_; }
    // True the first time only: a container's windows are built once.
    bool MarkContentsBuilt()
    {
        if (contentsBuilt_) return false;
        contentsBuilt_ = true;
        return true;
    }
    HWND Window() const { return hwnd_; }
    // The window that takes the keyboard focus for this control.
    virtual HWND FocusWindow() const { return hwnd_; }
    // Where the windows of this control's children live.
    virtual HWND ChildParent() const { return hwnd_; }

    // Creates the windows under parent and brings every property of the model into them.
    void Create(HWND parent);
    void changed(TControl& control, Property property) override;

    // A message for one of this control's windows; true when it is fully handled with result.
    virtual bool OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Notifications a container hands on from this control's windows.
    virtual bool OnCommand(HWND, UINT) { return false; }
    virtual bool OnNotify(const NMHDR&, LRESULT&) { return false; }
    virtual bool OnDrawItem(const DRAWITEMSTRUCT&) { return false; }
    virtual HBRUSH OnControlColor(HDC, HWND) { return nullptr; }
    // The Tab key brought the focus here.
    virtual void FocusByKeyboard();
    // A control whose windows wait until it is first shown: true when it waits, to be created
    // under parent then.
    virtual bool Defer(HWND) { return false; }

    void Attach(HWND window)
    {
        if (!hwnd_) hwnd_ = window;
    }
    void Forget(HWND window)
    {
        if (window == hwnd_) hwnd_ = nullptr;
    }

protected:
    virtual void CreateWindows(HWND parent) = 0;
    virtual void Sync(Property property);
    virtual void SyncAll();
    virtual bool IsContainer() const { return false; }
    // Labels and pictures whose model leaves the size open are sized to their content.
    virtual bool SizesToContent() const { return false; }
    virtual SIZE ContentSize() { return {0, 0}; }
    // The place a control of a fixed size takes, in screen pixels: its scaled place, or more
    // where its content needs more at this DPI.
    virtual Bounds FixedPlace() const { return ScreenBounds(); }
    // Windows we draw ourselves show the greyed state in their drawing: a change of it repaints them.
    virtual bool DrawsGreyed() const { return false; }
    void ApplyBounds();
    // The model's place in the parent's client pixels, and a design length in pixels.
    Bounds ScreenBounds() const;
    int Scaled(int design) const;
    // A point of the control's client area in its model's design units. The model forwards a
    // move it does not take to its parent at the point plus its design place, so a point is
    // mapped through the parent's pixels: the parent then sees what a move over it would bring.
    virtual POINT DesignPoint(POINT client) const;
    HFONT Font() const;
    // A press and release inside the window is a click, as on the designer's labels.
    bool TrackClicks(HWND window, UINT message, LPARAM lParam);

    Toolkit& kit_;
    TControl& model_;
    HWND hwnd_ = nullptr;
    bool autoSize_ = false;
    bool writingBack_ = false;
    bool pressed_ = false;
    bool contentsBuilt_ = false;
};

}  // namespace lumora::win32
