// Labels: static text sized to its caption, links and titles with a shadow drawn by us.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "win32/toolkit/peers/DrawnStaticPeer.h"

namespace lumora::win32 {

class LabelPeer : public DrawnStaticPeer {
public:
    using DrawnStaticPeer::DrawnStaticPeer;

protected:
    void CreateWindows(HWND parent) override;
    void Sync(Property property) override;
    bool DrawsGreyed() const override { return true; }
    SIZE ContentSize() override;
    Bounds FixedPlace() const override;
    void Draw(HDC dc, const RECT& area) override;

private:
    UINT TextFormat() const;
    // The text's size as drawn, within width when it wraps.
    SIZE TextSize(const std::string& text, int width, HFONT font) const;
    bool HasShadow() const { return model_.shadowColor != kColorDefault; }
    int ShadowOffset() const { return Scaled(1); }
};

}  // namespace lumora::win32
