// The slider: drawn by us, with keys, track clicks and thumb dragging sent to the model.
#include "win32/toolkit/peers/SliderPeer.h"

#include "core/Numbers.h"
#include "win32/toolkit/Toolkit.h"

namespace lumora::win32 {

void SliderPeer::CreateWindows(HWND parent)
{
    const Bounds b = ScreenBounds();
    hwnd_ = kit_.CreateWindowFor(*this, 0, Toolkit::kSliderClass, ToDecimal(Slider().Value()),
                                 WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | (model_.tabOrder >= 0 ? WS_TABSTOP : 0),
                                 b.left, b.top, b.width, b.height, parent);
}

void SliderPeer::SyncAll()
{
    NativeControl::SyncAll();
    Sync(Property::Position);
}

void SliderPeer::Sync(Property property)
{
    switch (property) {
    case Property::Caption: break;  // the window text carries the position, for drivers to read
    case Property::Position:
        SetWindowTextA(hwnd_, ToDecimal(Slider().Value()).c_str());
        RepaintIfShown(hwnd_);
        break;
    case Property::Range: RepaintIfShown(hwnd_); break;
    default: NativeControl::Sync(property);
    }
}

SliderGeometry SliderPeer::Geometry() const
{
    RECT client;
    GetClientRect(hwnd_, &client);
    SliderGeometry geometry;
    geometry.width = client.right - client.left;
    geometry.dpi = kit_.Scale().Dpi();
    return geometry;
}

void SliderPeer::Paint(HDC dc)
{
    RECT client;
    GetClientRect(hwnd_, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    const SliderGeometry g = Geometry();
    const TRxSlider& slider = Slider();
    const bool enabled = model_.Enabled();

    RECT groove{g.TrackLeft() - g.Scaled(3), g.GrooveTop(), g.TrackRight() + g.Scaled(4),
                g.GrooveTop() + g.GrooveHeight()};
    DrawEdge(dc, &groove, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    FillRect(dc, &groove, GetSysColorBrush(enabled ? COLOR_WINDOW : COLOR_BTNFACE));

    {
        GdiObject<HPEN> tickPen(CreatePen(PS_SOLID, 1, GetSysColor(enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT)));
        Selection pen(dc, tickPen.Get());
        for (std::int32_t tick : g.Ticks(slider.MinValue(), slider.MaxValue(), slider.Increment())) {
            const int x = g.ThumbCentre(slider.MinValue(), slider.MaxValue(), tick);
            MoveToEx(dc, x, g.TickTop(), nullptr);
            LineTo(dc, x, g.TickTop() + g.TickHeight());
        }
    }

    // The thumb: a raised block pointing down at the ticks.
    const int left = g.ThumbLeft(slider.MinValue(), slider.MaxValue(), slider.Value());
    const int top = g.ThumbTop();
    const int right = left + g.ThumbWidth() - 1;
    const int middle = left + g.ThumbWidth() / 2;
    const int shoulder = top + g.ThumbHeight() - 1 - g.ThumbWidth() / 2;
    const int tip = top + g.ThumbHeight() - 1;
    {
        POINT outline[] = {{left, top}, {right, top}, {right, shoulder}, {middle, tip}, {left, shoulder}};
        Selection brush(dc, GetSysColorBrush(COLOR_BTNFACE));
        Selection pen(dc, GetStockObject(NULL_PEN));
        Polygon(dc, outline, 5);
    }
    const auto line = [dc](COLORREF color, std::initializer_list<POINT> points) {
        GdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, color));
        Selection selected(dc, pen.Get());
        const POINT* p = points.begin();
        MoveToEx(dc, p->x, p->y, nullptr);
        for (++p; p != points.end(); ++p) LineTo(dc, p->x, p->y);
    };
    line(GetSysColor(COLOR_BTNHIGHLIGHT), {{left, shoulder}, {left, top}, {right, top}});
    line(GetSysColor(COLOR_BTNHIGHLIGHT), {{left, shoulder}, {middle, tip}});
    line(GetSysColor(COLOR_3DDKSHADOW), {{right, top}, {right, shoulder}, {middle, tip}, {middle - 1, tip - 1}});
    line(GetSysColor(COLOR_BTNSHADOW), {{right - 1, top + 1}, {right - 1, shoulder}, {middle, tip - 1}});

    if (GetFocus() == hwnd_) DrawFocusRect(dc, &client);
}

void SliderPeer::Press(int x)
{
    const SliderGeometry g = Geometry();
    TRxSlider& slider = Slider();
    const auto hit = g.HitAt(x, slider.MinValue(), slider.MaxValue(), slider.Value());
    SetCapture(hwnd_);
    if (hit == SliderGeometry::Hit::Thumb) {
        drag_ = Drag::Thumb;
        grabOffset_ = x - g.ThumbCentre(slider.MinValue(), slider.MaxValue(), slider.Value());
        return;
    }
    const bool towardsMax = hit == SliderGeometry::Hit::After;
    drag_ = towardsMax ? Drag::TrackAfter : Drag::TrackBefore;
    kit_.Dispatch([&slider, towardsMax] { slider.TrackStep(towardsMax); });
    // An error box in the handler takes the capture away: then there is nothing to repeat.
    if (drag_ != Drag::None) SetTimer(hwnd_, kRepeatTimer, TRxSlider::kRepeatMs, nullptr);
}

void SliderPeer::Repeat()
{
    if (drag_ != Drag::TrackBefore && drag_ != Drag::TrackAfter) return;
    POINT pointer;
    GetCursorPos(&pointer);
    ScreenToClient(hwnd_, &pointer);
    const SliderGeometry g = Geometry();
    TRxSlider& slider = Slider();
    const auto hit = g.HitAt(pointer.x, slider.MinValue(), slider.MaxValue(), slider.Value());
    // Held on the track, the thumb keeps stepping while the pointer stays on the side it started.
    const bool towardsMax = drag_ == Drag::TrackAfter;
    if (hit == (towardsMax ? SliderGeometry::Hit::After : SliderGeometry::Hit::Before)) {
        kit_.Dispatch([&slider, towardsMax] { slider.TrackStep(towardsMax); });
    }
}

void SliderPeer::Release()
{
    if (drag_ == Drag::None) return;
    drag_ = Drag::None;
    KillTimer(hwnd_, kRepeatTimer);
    if (GetCapture() == hwnd_) ReleaseCapture();
}

bool SliderPeer::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(hwnd_, &paint);
        RECT client;
        GetClientRect(hwnd_, &client);
        {
            BufferedCanvas canvas(dc, client);
            Paint(canvas.Dc());
        }
        EndPaint(hwnd_, &paint);
        result = 0;
        return true;
    }
    case WM_ERASEBKGND: result = 1; return true;
    case WM_GETDLGCODE: result = DLGC_WANTARROWS; return true;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: RepaintIfShown(hwnd_); return false;
    case WM_KEYDOWN: {
        SliderKey key;
        switch (wParam) {
        case VK_LEFT: key = SliderKey::Left; break;
        case VK_RIGHT: key = SliderKey::Right; break;
        case VK_HOME: key = SliderKey::Home; break;
        case VK_END: key = SliderKey::End; break;
        default: return false;
        }
        kit_.Dispatch([this, key] { Slider().KeyDown(key); });
        result = 0;
        return true;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        SetFocus(hwnd_);
        Press(PointerX(lParam));
        result = 0;
        return true;
    case WM_MOUSEMOVE:
        if (drag_ == Drag::Thumb) {
            const SliderGeometry g = Geometry();
            TRxSlider& slider = Slider();
            const std::int32_t value = g.ValueAt(PointerX(lParam) - grabOffset_, slider.MinValue(), slider.MaxValue());
            kit_.Dispatch([&slider, value] { slider.DragTo(value); });
        }
        return NativeControl::OnMessage(window, message, wParam, lParam, result);
    case WM_LBUTTONUP:
        Release();
        result = 0;
        return true;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != hwnd_) {
            drag_ = Drag::None;
            KillTimer(hwnd_, kRepeatTimer);
        }
        return false;
    case WM_TIMER:
        if (wParam == kRepeatTimer) {
            Repeat();
            result = 0;
            return true;
        }
        return false;
    case WM_ENABLE:
        if (!wParam) Release();
        RepaintIfShown(hwnd_);
        return false;
    default: return NativeControl::OnMessage(window, message, wParam, lParam, result);
    }
}

}  // namespace lumora::win32
