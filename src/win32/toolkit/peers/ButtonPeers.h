// Push buttons, check boxes and group boxes.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "win32/toolkit/NativeControl.h"

namespace lumora::win32 {

class ButtonPeer : public NativeControl {
public:
    using NativeControl::NativeControl;
    bool OnCommand(HWND from, UINT code) override;

protected:
    void CreateWindows(HWND parent) override;
};

class CheckBoxPeer : public NativeControl {
public:
    using NativeControl::NativeControl;
    bool OnCommand(HWND from, UINT code) override;
    HBRUSH OnControlColor(HDC dc, HWND from) override;

protected:
    void CreateWindows(HWND parent) override;
    void Sync(Property property) override;
    void SyncAll() override;
};

class GroupBoxPeer : public NativeControl {
public:
    using NativeControl::NativeControl;
    bool OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    HBRUSH OnControlColor(HDC dc, HWND from) override;

protected:
    void CreateWindows(HWND parent) override;
    bool IsContainer() const override { return true; }
};

}  // namespace lumora::win32
