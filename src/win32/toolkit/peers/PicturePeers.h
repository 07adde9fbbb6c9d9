// Pictures and the picture button: resource pictures shown, clicked and greyed.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "win32/toolkit/NativeControl.h"
#include "win32/toolkit/peers/DrawnStaticPeer.h"
#include "win32/toolkit/peers/Picture.h"

namespace lumora::win32 {

class ImagePeer : public DrawnStaticPeer {
public:
    using DrawnStaticPeer::DrawnStaticPeer;

protected:
    void CreateWindows(HWND parent) override;
    SIZE ContentSize() override;
    void Draw(HDC dc, const RECT& area) override;

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

}  // namespace lumora::win32
