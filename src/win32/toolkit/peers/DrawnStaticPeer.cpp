// The base of labels and pictures: creation, clicks and the buffered paint they share.
#include "win32/toolkit/peers/DrawnStaticPeer.h"

#include "win32/toolkit/Toolkit.h"

namespace lumora::win32 {

void DrawnStaticPeer::CreateStatic(HWND parent, const std::string& text, int width, int height)
{
    const Bounds b = ScreenBounds();
    hwnd_ = kit_.CreateWindowFor(*this, 0, "STATIC", text, kChild | SS_OWNERDRAW | SS_NOTIFY, b.left, b.top,
                                 width > 0 ? width : 1, height > 0 ? height : 1, parent);
}

bool DrawnStaticPeer::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (message == WM_ERASEBKGND) {
        result = 1;  // the drawing covers everything
        return true;
    }
    if (TrackClicks(window, message, lParam)) {
        result = 0;
        return true;
    }
    return NativeControl::OnMessage(window, message, wParam, lParam, result);
}

bool DrawnStaticPeer::OnDrawItem(const DRAWITEMSTRUCT& item)
{
    if (item.hwndItem != hwnd_) return false;
    RECT area;
    GetClientRect(hwnd_, &area);
    BufferedCanvas canvas(item.hDC, area);
    FillRect(canvas.Dc(), &area, GetSysColorBrush(COLOR_BTNFACE));
    Draw(canvas.Dc(), area);
    return true;
}

}  // namespace lumora::win32
