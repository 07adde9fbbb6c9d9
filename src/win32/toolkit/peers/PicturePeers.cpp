// Pictures and the picture button: resource pictures shown, clicked and greyed.
#include "win32/toolkit/peers/PicturePeers.h"

#include "win32/toolkit/Toolkit.h"

namespace lumora::win32 {

void ImagePeer::CreateWindows(HWND parent)
{
    picture_ = Picture::Load(kit_.Instance(), static_cast<TImage&>(model_).resource);
    const Bounds b = ScreenBounds();
    CreateStatic(parent, "", b.width, b.height);
}

SIZE ImagePeer::ContentSize()
{
    if (!picture_) return {0, 0};
    return picture_->Size();
}

void ImagePeer::Draw(HDC dc, const RECT&)
{
    if (picture_) picture_->Draw(dc, 0, 0);
}

// ---------------------------------------------------------------------------------------------
// The picture button

void SpeedButtonPeer::CreateWindows(HWND parent)
{
    const std::string& resource = static_cast<TSpeedButton&>(model_).resource;
    if (!resource.empty()) glyphs_.Reset(LoadBitmapA(kit_.Instance(), resource.c_str()));
    const Bounds b = ScreenBounds();
    hwnd_ =
        kit_.CreateWindowFor(*this, 0, "BUTTON", "", kChild | BS_OWNERDRAW, b.left, b.top, b.width, b.height, parent);
}

void SpeedButtonPeer::SetHot(bool hot)
{
    if (hot == hot_ || !hwnd_) return;
    hot_ = hot;
    // Windows 95 has no leave notification: a short poll notices the pointer leaving.
    if (hot_) {
        SetTimer(hwnd_, kHoverTimer, 100, nullptr);
    } else {
        KillTimer(hwnd_, kHoverTimer);
    }
    RepaintIfShown(hwnd_);
}

void SpeedButtonPeer::Sync(Property property)
{
    NativeControl::Sync(property);
    if (property == Property::Enabled) {
        if (!model_.Enabled()) SetHot(false);
        RepaintIfShown(hwnd_);
    }
}

bool SpeedButtonPeer::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_MOUSEMOVE: SetHot(true); break;
    case WM_TIMER:
        if (wParam == kHoverTimer) {
            POINT point;
            GetCursorPos(&point);
            if (WindowFromPoint(point) != hwnd_) SetHot(false);
            result = 0;
            return true;
        }
        break;
    case WM_SETFOCUS: {
        // A picture button is no focus stop: the focus goes back where it came from.
        HWND previous = reinterpret_cast<HWND>(wParam);
        if (previous && IsWindow(previous) && IsChild(kit_.MainWindow(), previous)) {
            SetFocus(previous);
            result = 0;
            return true;
        }
        break;
    }
    case WM_ERASEBKGND: result = 1; return true;
    default: break;
    }
    return NativeControl::OnMessage(window, message, wParam, lParam, result);
}

bool SpeedButtonPeer::OnCommand(HWND from, UINT code)
{
    if (from != hwnd_ || (code != BN_CLICKED && code != BN_DOUBLECLICKED)) return false;
    kit_.Dispatch([this] { model_.Click(); });
    return true;
}

bool SpeedButtonPeer::OnDrawItem(const DRAWITEMSTRUCT& item)
{
    if (item.hwndItem != hwnd_) return false;
    RECT area = item.rcItem;
    BufferedCanvas canvas(item.hDC, area);
    HDC dc = canvas.Dc();
    FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    if (pressed) {
        DrawEdge(dc, &area, BDR_SUNKENOUTER, BF_RECT);
    } else if (hot_ && !disabled) {
        DrawEdge(dc, &area, BDR_RAISEDINNER, BF_RECT);
    }
    if (glyphs_) {
        BITMAP info{};
        GetObjectA(glyphs_.Get(), sizeof info, &info);
        const int cell = info.bmHeight;
        const int cells = cell > 0 ? info.bmWidth / cell : 0;
        const int index = disabled && cells > 1 ? 1 : 0;
        const int shift = pressed ? 1 : 0;
        const int x = area.left + (area.right - area.left - cell) / 2 + shift;
        const int y = area.top + (area.bottom - area.top - cell) / 2 + shift;
        if (cells > 0) DrawGlyph(dc, glyphs_.Get(), index * cell, cell, cell, x, y);
    }
    return true;
}

}  // namespace lumora::win32
