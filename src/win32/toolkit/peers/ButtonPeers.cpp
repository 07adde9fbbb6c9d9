// Push buttons, check boxes and group boxes.
#include "win32/toolkit/peers/ButtonPeers.h"

#include "win32/toolkit/Toolkit.h"

namespace lumora::win32 {

void ButtonPeer::CreateWindows(HWND parent)
{
    const Bounds b = ScreenBounds();
    hwnd_ = kit_.CreateWindowFor(*this, 0, "BUTTON", model_.Caption(), kChild | BS_PUSHBUTTON | TabStop(model_), b.left,
                                 b.top, b.width, b.height, parent);
}

bool ButtonPeer::OnCommand(HWND from, UINT code)
{
    if (from != hwnd_ || code != BN_CLICKED) return false;
    kit_.Dispatch([this] { model_.Click(); });
    return true;
}

void CheckBoxPeer::CreateWindows(HWND parent)
{
    const Bounds b = ScreenBounds();
    hwnd_ = kit_.CreateWindowFor(*this, 0, "BUTTON", model_.Caption(), kChild | BS_AUTOCHECKBOX | TabStop(model_),
                                 b.left, b.top, b.width, b.height, parent);
}

void CheckBoxPeer::SyncAll()
{
    NativeControl::SyncAll();
    Sync(Property::Checked);
}

void CheckBoxPeer::Sync(Property property)
{
    if (property == Property::Checked) {
        const bool checked = static_cast<TCheckBox&>(model_).Checked();
        SendMessageA(hwnd_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
        return;
    }
    NativeControl::Sync(property);
}

bool CheckBoxPeer::OnCommand(HWND from, UINT code)
{
    if (from != hwnd_ || code != BN_CLICKED) return false;
    kit_.Dispatch([this] { model_.Click(); });
    // The box toggled itself; the model has the last word.
    Sync(Property::Checked);
    return true;
}

HBRUSH CheckBoxPeer::OnControlColor(HDC dc, HWND)
{
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    if (model_.font.color != kColorDefault) SetTextColor(dc, ResolveColor(model_.font.color, COLOR_WINDOWTEXT));
    return GetSysColorBrush(COLOR_BTNFACE);
}

void GroupBoxPeer::CreateWindows(HWND parent)
{
    const Bounds b = ScreenBounds();
    // Clipping its children keeps a repaint of the frame from wiping out a label that grew.
    hwnd_ = kit_.CreateWindowFor(*this, 0, "BUTTON", model_.Caption(), kChild | WS_CLIPCHILDREN | BS_GROUPBOX, b.left,
                                 b.top, b.width, b.height, parent);
}

bool GroupBoxPeer::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_NCHITTEST:
        // A group box lets the pointer through to what lies beneath; ours stop it, so that
        // moves over the box reach the box and not the page under it.
        result = HTCLIENT;
        return true;
    case WM_ERASEBKGND: {
        // The box may lie over another control's area (the Description box over the pages).
        RECT client;
        GetClientRect(hwnd_, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_BTNFACE));
        result = 1;
        return true;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
        result = 0;  // a frame takes neither clicks nor the focus
        return true;
    default: return NativeControl::OnMessage(window, message, wParam, lParam, result);
    }
}

HBRUSH GroupBoxPeer::OnControlColor(HDC dc, HWND)
{
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return GetSysColorBrush(COLOR_BTNFACE);
}

}  // namespace lumora::win32
