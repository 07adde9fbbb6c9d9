// Progress bars.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "win32/toolkit/NativeControl.h"

namespace lumora::win32 {

class ProgressBarPeer : public NativeControl {
public:
    using NativeControl::NativeControl;

protected:
    void CreateWindows(HWND parent) override;
    void Sync(Property property) override;
    void SyncAll() override;
};

}  // namespace lumora::win32
