// Labels: static text sized to its caption, links and titles with a shadow drawn by us.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "platform/win32/toolkit/NativeControl.h"

namespace lumora::win32 {

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

}  // namespace lumora::win32
