// Edit boxes, spin edits and drop-down boxes: typed text handed to the models.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "ui/SpinEdit.h"
#include "win32/toolkit/NativeControl.h"

namespace lumora::win32 {

class EditPeer : public NativeControl {
public:
    using NativeControl::NativeControl;
    HBRUSH OnControlColor(HDC dc, HWND from) override;
    void FocusByKeyboard() override;

protected:
    void CreateWindows(HWND parent) override;
};

class SpinEditPeer : public NativeControl {
public:
    static constexpr int kArrowsWidth = 15;
    using NativeControl::NativeControl;
    bool OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool OnCommand(HWND from, UINT code) override;
    bool OnNotify(const NMHDR& header, LRESULT& result) override;
    void FocusByKeyboard() override;

protected:
    void CreateWindows(HWND parent) override;
    void Sync(Property property) override;

private:
    TRxSpinEdit& Spin() const { return static_cast<TRxSpinEdit&>(model_); }
    // Where the arrows go, in the parent's client coordinates.
    RECT ArrowsPlace() const;
    void Step(bool up);
    HWND arrows_ = nullptr;
    bool echo_ = false;  // our own text update is under way
};

class ComboBoxPeer : public NativeControl {
public:
    using NativeControl::NativeControl;
    bool OnCommand(HWND from, UINT code) override;
    void FocusByKeyboard() override;

protected:
    void CreateWindows(HWND parent) override;
    void Sync(Property property) override;
    void SyncAll() override;

private:
    TComboBox& Combo() const { return static_cast<TComboBox&>(model_); }
    std::string NativeText() const;
    bool echo_ = false;
};

}  // namespace lumora::win32
