// The peers of the native toolkit: for each control kind, the windows of one model and the
// translation between their messages and the model's properties and events.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "ui/Controls.h"
#include "ui/Slider.h"
#include "ui/SpinEdit.h"
#include "platform/win32/ToolkitPicture.h"
#include "ui/SliderGeometry.h"
#include "ui/TabOrder.h"
#include "platform/win32/ToolkitSupport.h"

namespace lumora::win32 {

class Toolkit;

class NativeControl : public ControlPeer {
public:
    NativeControl(Toolkit& kit, TControl& model) : kit_(kit), model_(model) {}
    ~NativeControl() override = default;
    NativeControl(const NativeControl&) = delete;
    NativeControl& operator=(const NativeControl&) = delete;

    TControl& Model() const { return model_; }
    HWND Window() const { return hwnd_; }
    // The window that takes the keyboard focus for this control.
    virtual HWND FocusWindow() const { return hwnd_; }
    // Where the windows of this control's children live.
    virtual HWND ChildParent() const { return hwnd_; }
    // This control's windows, topmost first, for stacking among its siblings.
    virtual void StackWindows(std::vector<HWND>& topFirst) const
    {
        if (hwnd_) topFirst.push_back(hwnd_);
    }

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
    void ApplyBounds();
    HFONT Font() const;
    // A press and release inside the window is a click, as on the designer's labels.
    bool TrackClicks(HWND window, UINT message, LPARAM lParam);

    Toolkit& kit_;
    TControl& model_;
    HWND hwnd_ = nullptr;
    bool autoSize_ = false;
    bool writingBack_ = false;
    bool pressed_ = false;
};

std::unique_ptr<NativeControl> MakePeer(Toolkit& kit, TControl& model);

class FormPeer : public NativeControl {
public:
    static constexpr UINT_PTR kTimerId = 1;
    using NativeControl::NativeControl;
    bool OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

protected:
    void CreateWindows(HWND parent) override;
    void Sync(Property property) override;
    bool IsContainer() const override { return true; }

private:
    HWND lastFocus_ = nullptr;
};

class PageControlPeer : public NativeControl {
public:
    using NativeControl::NativeControl;
    bool OnNotify(const NMHDR& header, LRESULT& result) override;
    // The area the pages fill, in the tab control's client coordinates.
    RECT DisplayRect() const;

protected:
    void CreateWindows(HWND parent) override;
    void Sync(Property property) override;
    void SyncAll() override;

private:
    TPageControl& Pages() const { return static_cast<TPageControl&>(model_); }
    void ShowActivePage();
};

class TabSheetPeer : public NativeControl {
public:
    using NativeControl::NativeControl;

protected:
    void CreateWindows(HWND parent) override;
    void Sync(Property property) override;
    bool IsContainer() const override { return true; }

private:
    int Index() const;
    bool Shown() const;
    void Place();
};

class ButtonPeer : public NativeControl {
public:
    using NativeControl::NativeControl;
    bool OnCommand(HWND from, UINT code) override;

protected:
    void CreateWindows(HWND parent) override;
};

class CheckBoxPeer : public NativeControl {
public:
    using NativeControl::NativeControl;
    bool OnCommand(HWND from, UINT code) override;
    HBRUSH OnControlColor(HDC dc, HWND from) override;

protected:
    void CreateWindows(HWND parent) override;
    void Sync(Property property) override;
    void SyncAll() override;
};

class GroupBoxPeer : public NativeControl {
public:
    using NativeControl::NativeControl;
    bool OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    HBRUSH OnControlColor(HDC dc, HWND from) override;

protected:
    void CreateWindows(HWND parent) override;
    bool IsContainer() const override { return true; }
};

class LabelPeer : public NativeControl {
public:
    using NativeControl::NativeControl;
    bool OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool OnDrawItem(const DRAWITEMSTRUCT& item) override;

protected:
    void CreateWindows(HWND parent) override;
    void Sync(Property property) override;
    bool SizesToContent() const override { return true; }
    SIZE ContentSize() override;

private:
    UINT TextFormat() const;
    bool HasShadow() const { return model_.shadowColor != kColorDefault; }
};

class ImagePeer : public NativeControl {
public:
    using NativeControl::NativeControl;
    bool OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool OnDrawItem(const DRAWITEMSTRUCT& item) override;

protected:
    void CreateWindows(HWND parent) override;
    bool SizesToContent() const override { return true; }
    SIZE ContentSize() override;

private:
    std::unique_ptr<Picture> picture_;
};

class SpeedButtonPeer : public NativeControl {
public:
    using NativeControl::NativeControl;
    bool OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool OnCommand(HWND from, UINT code) override;
    bool OnDrawItem(const DRAWITEMSTRUCT& item) override;

protected:
    void CreateWindows(HWND parent) override;
    void Sync(Property property) override;

private:
    static constexpr UINT_PTR kHoverTimer = 1;
    void SetHot(bool hot);
    GdiObject<HBITMAP> glyphs_;
    bool hot_ = false;
};

class EditPeer : public NativeControl {
public:
    using NativeControl::NativeControl;
    HBRUSH OnControlColor(HDC dc, HWND from) override;
    void FocusByKeyboard() override;

protected:
    void CreateWindows(HWND parent) override;
};

class SpinEditPeer : public NativeControl {
public:
    static constexpr int kArrowsWidth = 15;
    using NativeControl::NativeControl;
    bool OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool OnCommand(HWND from, UINT code) override;
    bool OnNotify(const NMHDR& header, LRESULT& result) override;
    void StackWindows(std::vector<HWND>& topFirst) const override;
    void FocusByKeyboard() override;

protected:
    void CreateWindows(HWND parent) override;
    void Sync(Property property) override;

private:
    TRxSpinEdit& Spin() const { return static_cast<TRxSpinEdit&>(model_); }
    void Step(bool up);
    HWND arrows_ = nullptr;
    bool echo_ = false;  // our own text update is under way
};

class ComboBoxPeer : public NativeControl {
public:
    using NativeControl::NativeControl;
    bool OnCommand(HWND from, UINT code) override;
    void FocusByKeyboard() override;

protected:
    void CreateWindows(HWND parent) override;
    void Sync(Property property) override;
    void SyncAll() override;

private:
    TComboBox& Combo() const { return static_cast<TComboBox&>(model_); }
    std::string NativeText() const;
    bool echo_ = false;
};

class ProgressBarPeer : public NativeControl {
public:
    using NativeControl::NativeControl;

protected:
    void CreateWindows(HWND parent) override;
    void Sync(Property property) override;
    void SyncAll() override;
};

// The slider is a window class of our own, drawn here, so that its keys, clicks and dragging
// follow the slider model's rules exactly (SliderWindow.cpp).
class SliderPeer : public NativeControl {
public:
    static constexpr UINT_PTR kRepeatTimer = 1;
    using NativeControl::NativeControl;
    bool OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

protected:
    void CreateWindows(HWND parent) override;
    void Sync(Property property) override;
    void SyncAll() override;

private:
    enum class Drag { None, Thumb, TrackBefore, TrackAfter };
    TRxSlider& Slider() const { return static_cast<TRxSlider&>(model_); }
    SliderGeometry Geometry() const;
    void Paint(HDC dc);
    void Press(int x);
    void Repeat();
    void Release();
    Drag drag_ = Drag::None;
    int grabOffset_ = 0;  // pointer x minus thumb centre when the thumb was taken
};

}  // namespace lumora::win32
