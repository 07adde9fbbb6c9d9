// Small Win32 helpers shared by the toolkit's files: window longs, colours, GDI ownership.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>

#include "ui/Controls.h"

namespace lumora::win32 {

// The 32-bit build calls the plain long functions: Windows 95 and 98 export no *Ptr variants.
inline LONG_PTR GetWindowData(HWND window, int index)
{
#ifdef _WIN64
    return GetWindowLongPtrA(window, index);
#else
    return GetWindowLongA(window, index);
#endif
}

inline LONG_PTR SetWindowData(HWND window, int index, LONG_PTR value)
{
#ifdef _WIN64
    return SetWindowLongPtrA(window, index, value);
#else
    return SetWindowLongA(window, index, static_cast<LONG>(value));
#endif
}

inline WNDPROC SubclassWindow(HWND window, WNDPROC procedure)
{
    return reinterpret_cast<WNDPROC>(SetWindowData(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
}

// Asking a window for the state it already has still costs a round of messages and, under Wine,
// server calls; every new window is brought every property of its model, most of which it
// already has. These ask only for a change.
inline void ShowOnChange(HWND window, bool visible)
{
    const bool now = (GetWindowData(window, GWL_STYLE) & WS_VISIBLE) != 0;
    if (now != visible) ShowWindow(window, visible ? SW_SHOWNA : SW_HIDE);
}

inline void EnableOnChange(HWND window, bool enabled)
{
    if ((IsWindowEnabled(window) != FALSE) != enabled) EnableWindow(window, enabled);
}

// Moves a child window, in its parent's client coordinates, unless it already lies there.
inline void PlaceOnChange(HWND window, int x, int y, int width, int height)
{
    RECT now;
    GetWindowRect(window, &now);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&now), 2);
    if (now.left != x || now.top != y || now.right - now.left != width || now.bottom - now.top != height) {
        SetWindowPos(window, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

// A window not yet on screen is painted whole when it is shown.
inline void RepaintIfShown(HWND window)
{
    if (IsWindowVisible(window)) InvalidateRect(window, nullptr, FALSE);
}

// Mouse coordinates are signed: a captured pointer left or above the window gives negatives.
inline int PointerX(LPARAM lParam)
{
    return static_cast<short>(LOWORD(static_cast<DWORD>(lParam)));
}
inline int PointerY(LPARAM lParam)
{
    return static_cast<short>(HIWORD(static_cast<DWORD>(lParam)));
}

// A model colour as the platform's: the default stands for systemDefault, and 0xFF0000nn for the
// system colour nn.
inline COLORREF ResolveColor(std::uint32_t color, int systemDefault)
{
    if (color == kColorDefault) return GetSysColor(systemDefault);
    if ((color & 0xFF000000u) == 0xFF000000u) return GetSysColor(static_cast<int>(color & 0xFFu));
    return static_cast<COLORREF>(color & 0x00FFFFFFu);
}

// Owns a GDI object and deletes it once.
template <typename Handle>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(Handle handle) : handle_(handle) {}
    ~GdiObject() { Reset(); }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    GdiObject(GdiObject&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
    GdiObject& operator=(GdiObject&& other) noexcept
    {
        if (this != &other) {
            Reset();
            handle_ = other.handle_;
            other.handle_ = nullptr;
        }
        return *this;
    }
    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    void Reset(Handle handle = nullptr)
    {
        if (handle_) DeleteObject(handle_);
        handle_ = handle;
    }

private:
    Handle handle_ = nullptr;
};

// Selects an object into a device context for one scope.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), old_(object ? SelectObject(dc, object) : nullptr) {}
    ~Selection()
    {
        if (old_) SelectObject(dc_, old_);
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// The memory context and bitmap the canvases of the GUI thread share. Making a memory context
// for every paint costs, under Wine, a round of server calls and of X settings look-ups, and the
// live figures repaint every tick; the bitmap only ever grows, to the largest control painted.
struct PaintBuffer {
    HDC dc = nullptr;
    GdiObject<HBITMAP> bitmap;
    HGDIOBJ original = nullptr;
    int width = 0;
    int height = 0;
    bool busy = false;

    PaintBuffer() = default;
    PaintBuffer(const PaintBuffer&) = delete;
    PaintBuffer& operator=(const PaintBuffer&) = delete;
    ~PaintBuffer();

    // True when dc holds a bitmap of at least w x h like target's.
    bool Fit(HDC target, int w, int h);

    static PaintBuffer& Shared();
};

// Paints into a memory bitmap and copies it to the target at the end, so that a control
// repainted every tick does not flicker. The drawing starts from a context in its initial state
// and must cover the whole area: the bitmap holds the last control's picture.
class BufferedCanvas {
public:
    BufferedCanvas(HDC target, const RECT& area);
    ~BufferedCanvas();
    BufferedCanvas(const BufferedCanvas&) = delete;
    BufferedCanvas& operator=(const BufferedCanvas&) = delete;

    // Where to draw: the memory bitmap, or the target itself when no bitmap could be made.
    HDC Dc() const { return memory_ ? memory_ : target_; }

private:
    HDC target_;
    RECT area_;
    HDC memory_ = nullptr;
    PaintBuffer* shared_ = nullptr;
    GdiObject<HBITMAP> bitmap_;
    HGDIOBJ old_ = nullptr;
    int saved_ = 0;
};

// The window's text as the platform holds it.
inline std::string WindowText(HWND window)
{
    const int length = GetWindowTextLengthA(window);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int copied = GetWindowTextA(window, &text[0], length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

// True when the text changed.
inline bool SetWindowTextIfDifferent(HWND window, const std::string& text)
{
    if (WindowText(window) == text) return false;
    SetWindowTextA(window, text.c_str());
    return true;
}

inline DWORD TabStop(const TControl& model)
{
    return model.tabOrder >= 0 ? WS_TABSTOP : 0;
}

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;

}  // namespace lumora::win32
