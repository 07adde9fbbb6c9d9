// The page control and its pages: the tab row, the page shown, and pages built when first shown.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "win32/toolkit/NativeControl.h"

namespace lumora::win32 {

class PageControlPeer : public NativeControl {
public:
    using NativeControl::NativeControl;
    bool OnNotify(const NMHDR& header, LRESULT& result) override;
    // The area the pages fill, in the tab control's client coordinates.
    RECT DisplayRect() const;

protected:
    void CreateWindows(HWND parent) override;
    void Sync(Property property) override;
    void SyncAll() override;

private:
    TPageControl& Pages() const { return static_cast<TPageControl&>(model_); }
    void ShowActivePage();
};

class TabSheetPeer : public NativeControl {
public:
    using NativeControl::NativeControl;
    // A page not shown now waits with its window until it is.
    bool Defer(HWND parent) override;
    void changed(TControl& control, Property property) override;

protected:
    void CreateWindows(HWND parent) override;
    void Sync(Property property) override;
    bool IsContainer() const override { return true; }
    POINT DesignPoint(POINT client) const override;

private:
    int Index() const;
    bool Shown() const;
    RECT Area() const;
    void Place();
    void ShowCaptionOnTab(HWND tabControl);
    HWND waitingUnder_ = nullptr;
};

}  // namespace lumora::win32
