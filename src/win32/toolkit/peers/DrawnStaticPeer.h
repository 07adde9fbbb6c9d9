// The base of labels and pictures: an owner-drawn static window that we paint whole, that takes
// a press and release inside it as a click, and that is sized to its content where the model
// leaves the size open.
#pragma once
#include <windows.h>

#include <string>

#include "win32/toolkit/NativeControl.h"

namespace lumora::win32 {

class DrawnStaticPeer : public NativeControl {
public:
    using NativeControl::NativeControl;
    bool OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool OnDrawItem(const DRAWITEMSTRUCT& item) override;

protected:
    // The window at the model's place, width x height (at least one pixel each way).
    void CreateStatic(HWND parent, const std::string& text, int width, int height);
    bool SizesToContent() const override { return true; }
    // Draws the content into dc over area, already filled with the face colour.
    virtual void Draw(HDC dc, const RECT& area) = 0;
};

}  // namespace lumora::win32
