// The main window's peer: its frame, the stay-on-top style, the status timer and focus memory.
#include "win32/toolkit/peers/FormPeer.h"

#include "win32/toolkit/Toolkit.h"

namespace lumora::win32 {

void FormPeer::CreateWindows(HWND)
{
    const DWORD style = Toolkit::kFormStyle;
    const Bounds bounds = ScreenBounds();
    RECT frame{0, 0, bounds.width, bounds.height};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    // Created where it is shown, in the middle of the screen: moving a top-level window later
    // costs a round of position messages and, under Wine, the X server's too.
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    hwnd_ = kit_.CreateWindowFor(*this, 0, Toolkit::kFormClass, model_.Caption(), style,
                                 (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, nullptr);
}

void FormPeer::Sync(Property property)
{
    switch (property) {
    case Property::Visible: break;  // shown once, by the toolkit, after start-up
    case Property::Bounds: {
        const Bounds bounds = ScreenBounds();
        const DWORD style = static_cast<DWORD>(GetWindowData(hwnd_, GWL_STYLE));
        const DWORD exStyle = static_cast<DWORD>(GetWindowData(hwnd_, GWL_EXSTYLE));
        RECT frame{0, 0, bounds.width, bounds.height};
        AdjustWindowRectEx(&frame, style, FALSE, exStyle);
        RECT now;
        GetWindowRect(hwnd_, &now);
        // The window was created at this size.
        if (now.right - now.left == frame.right - frame.left && now.bottom - now.top == frame.bottom - frame.top) break;
        SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        break;
    }
    case Property::Style: {
        const bool onTop = kit_.Host().StayOnTop();
        SetWindowPos(hwnd_, onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        break;
    }
    default: NativeControl::Sync(property);
    }
}

bool FormPeer::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_TIMER:
        if (wParam == Toolkit::kTimerId) {
            TTimer& timer = kit_.Host().Timer();
            if (timer.Enabled() && timer.OnTimer) kit_.Dispatch([&timer] { timer.OnTimer(); });
            result = 0;
            return true;
        }
        return false;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(hwnd_, focus)) lastFocus_ = focus;
            return false;
        }
        if (HIWORD(wParam)) return false;  // activated while minimised
        if (lastFocus_ && IsWindow(lastFocus_) && IsWindowVisible(lastFocus_) && IsWindowEnabled(lastFocus_)) {
            SetFocus(lastFocus_);
        } else {
            kit_.FocusFirst();
        }
        result = 0;
        return true;
    case WM_DESTROY: PostQuitMessage(0); return false;
    default: return NativeControl::OnMessage(window, message, wParam, lParam, result);
    }
}

}  // namespace lumora::win32
