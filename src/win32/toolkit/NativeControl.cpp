// A control's native peer: creation, property changes and the messages every kind shares.
#include "win32/toolkit/NativeControl.h"

#include "win32/toolkit/Toolkit.h"

namespace lumora::win32 {

// ---------------------------------------------------------------------------------------------
// NativeControl

void NativeControl::Create(HWND parent)
{
    const Bounds& bounds = model_.GetBounds();
    autoSize_ = SizesToContent() && (bounds.width == 0 || bounds.height == 0);
    CreateWindows(parent);
    if (!hwnd_) return;
    SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(Font()), FALSE);
    SyncAll();
}

void NativeControl::changed(TControl&, Property property)
{
    if (property == Property::Bounds && !writingBack_) {
        // Bounds set by the program decide again whether the content gives the size.
        const Bounds& bounds = model_.GetBounds();
        autoSize_ = SizesToContent() && (bounds.width == 0 || bounds.height == 0);
    }
    if (hwnd_) Sync(property);
}

void NativeControl::SyncAll()
{
    Sync(Property::Caption);
    Sync(Property::Enabled);
    Sync(Property::Visible);
    Sync(Property::Bounds);
}

void NativeControl::Sync(Property property)
{
    switch (property) {
    case Property::Caption: SetWindowTextIfDifferent(hwnd_, model_.Caption()); break;
    case Property::Enabled:
        EnableOnChange(hwnd_, model_.Enabled());
        if (DrawsGreyed()) RepaintIfShown(hwnd_);
        break;
    case Property::Visible: ShowOnChange(hwnd_, model_.Visible()); break;
    case Property::Bounds:
        if (!writingBack_) ApplyBounds();
        break;
    default: break;
    }
}

void NativeControl::ApplyBounds()
{
    const Bounds bounds = model_.GetBounds();
    Bounds place = autoSize_ ? ScreenBounds() : FixedPlace();
    if (autoSize_) {
        // Text and pictures measure in the screen's pixels: the window takes their size as is.
        const SIZE size = ContentSize();
        place.width = size.cx;
        place.height = size.cy;
    }
    // Labels are placed at creation and keep their size for most captions.
    PlaceOnChange(hwnd_, place.left, place.top, place.width, place.height);
    if (!autoSize_) return;
    // The model learns the measured size, in design units, so that it forwards moves with the
    // right offsets.
    const DisplayScale& scale = kit_.Scale();
    const int width = scale.ToDesign(place.left + place.width) - bounds.left;
    const int height = scale.ToDesign(place.top + place.height) - bounds.top;
    if (width != bounds.width || height != bounds.height) {
        writingBack_ = true;
        model_.SetBounds({bounds.left, bounds.top, width, height});
        writingBack_ = false;
    }
}

Bounds NativeControl::ScreenBounds() const
{
    return kit_.Scale().ToScreen(model_.GetBounds());
}

int NativeControl::Scaled(int design) const
{
    return kit_.Scale().ToScreen(design);
}

POINT NativeControl::DesignPoint(POINT client) const
{
    const Bounds& bounds = model_.GetBounds();
    const DisplayScale& scale = kit_.Scale();
    return {scale.ToDesign(scale.ToScreen(bounds.left) + client.x) - bounds.left,
            scale.ToDesign(scale.ToScreen(bounds.top) + client.y) - bounds.top};
}

HFONT NativeControl::Font() const
{
    return kit_.FontFor(model_.font);
}

bool NativeControl::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_MOUSEMOVE: {
        POINT point{PointerX(lParam), PointerY(lParam)};
        if (window != hwnd_ && hwnd_) MapWindowPoints(window, hwnd_, &point, 1);
        point = DesignPoint(point);
        kit_.Dispatch([this, point] { model_.MouseMove(point.x, point.y); });
        return false;  // the window's own handling still runs
    }
    case WM_SETCURSOR:
        if (model_.handCursor && LOWORD(static_cast<DWORD>(lParam)) == HTCLIENT) {
            if (HCURSOR hand = kit_.HandCursor()) {
                SetCursor(hand);
                result = TRUE;
                return true;
            }
        }
        return false;
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN: return IsContainer() && kit_.Reflect(message, wParam, lParam, result);
    default: return false;
    }
}

bool NativeControl::TrackClicks(HWND window, UINT message, LPARAM lParam)
{
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        pressed_ = true;
        SetCapture(window);
        return true;
    case WM_LBUTTONUP: {
        if (!pressed_) return false;
        pressed_ = false;
        ReleaseCapture();
        RECT client;
        GetClientRect(window, &client);
        const POINT point{PointerX(lParam), PointerY(lParam)};
        if (PtInRect(&client, point)) kit_.Dispatch([this] { model_.Click(); });
        return true;
    }
    case WM_CAPTURECHANGED: pressed_ = false; return false;
    default: return false;
    }
}

void NativeControl::FocusByKeyboard()
{
    if (HWND focus = FocusWindow()) SetFocus(focus);
}

}  // namespace lumora::win32
