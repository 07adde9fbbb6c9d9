// The main window's peer: its frame, the stay-on-top style, the status timer and focus memory.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "win32/toolkit/NativeControl.h"

namespace lumora::win32 {

class FormPeer : public NativeControl {
public:
    using NativeControl::NativeControl;
    bool OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

protected:
    void CreateWindows(HWND parent) override;
    void Sync(Property property) override;
    bool IsContainer() const override { return true; }

private:
    HWND lastFocus_ = nullptr;
};

}  // namespace lumora::win32
