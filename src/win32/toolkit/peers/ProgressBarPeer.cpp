// Progress bars.
#include "win32/toolkit/peers/ProgressBarPeer.h"

#include "win32/toolkit/Toolkit.h"

namespace lumora::win32 {

void ProgressBarPeer::CreateWindows(HWND parent)
{
    const Bounds b = ScreenBounds();
    hwnd_ = kit_.CreateWindowFor(*this, 0, PROGRESS_CLASSA, "", kChild, b.left, b.top, b.width, b.height, parent);
}

void ProgressBarPeer::SyncAll()
{
    NativeControl::SyncAll();
    Sync(Property::Range);
    Sync(Property::Position);
}

void ProgressBarPeer::Sync(Property property)
{
    const auto& bar = static_cast<TProgressBar&>(model_);
    switch (property) {
    case Property::Caption: break;
    case Property::Range: SendMessageA(hwnd_, PBM_SETRANGE, 0, MAKELPARAM(bar.Min(), bar.Max())); break;
    case Property::Position: SendMessageA(hwnd_, PBM_SETPOS, static_cast<WPARAM>(bar.Position()), 0); break;
    default: NativeControl::Sync(property);
    }
}

}  // namespace lumora::win32
