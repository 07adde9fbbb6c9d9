// The slider: a window class of our own, drawn here, so that its keys, clicks and dragging follow
// the slider model's rules exactly.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "ui/Slider.h"
#include "ui/SliderGeometry.h"
#include "win32/toolkit/NativeControl.h"

namespace lumora::win32 {

class SliderPeer : public NativeControl {
public:
    static constexpr UINT_PTR kRepeatTimer = 1;
    using NativeControl::NativeControl;
    bool OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

protected:
    void CreateWindows(HWND parent) override;
    void Sync(Property property) override;
    void SyncAll() override;
    bool DrawsGreyed() const override { return true; }

private:
    enum class Drag { None, Thumb, TrackBefore, TrackAfter };
    TRxSlider& Slider() const { return static_cast<TRxSlider&>(model_); }
    SliderGeometry Geometry() const;
    void Paint(HDC dc);
    void Press(int x);
    void Repeat();
    void Release();
    Drag drag_ = Drag::None;
    int grabOffset_ = 0;  // pointer x minus thumb centre when the thumb was taken
};

}  // namespace lumora::win32
