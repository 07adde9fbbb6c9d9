// Labels: static text sized to its caption, links and titles with a shadow drawn by us.
#include "win32/toolkit/peers/LabelPeer.h"

#include "win32/toolkit/Toolkit.h"

namespace lumora::win32 {

void LabelPeer::CreateWindows(HWND parent)
{
    const Bounds& b = model_.GetBounds();
    // Created at the size of its caption, so that placing it moves nothing.
    const SIZE size = autoSize_ ? ContentSize() : SIZE{b.width, b.height};
    CreateStatic(parent, model_.Caption(), size.cx, size.cy);
}

UINT LabelPeer::TextFormat() const
{
    return DT_LEFT | DT_NOPREFIX | DT_EXPANDTABS | (autoSize_ ? 0u : static_cast<UINT>(DT_WORDBREAK));
}

SIZE LabelPeer::ContentSize()
{
    // An empty caption keeps the height of one line, as the designer's labels do.
    const std::string text = model_.Caption().empty() ? std::string(" ") : model_.Caption();
    RECT area{0, 0, 0, 0};
    HDC dc = kit_.MeasureDc();
    Selection font(dc, Font());
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &area, TextFormat() | DT_CALCRECT);
    const int shadow = HasShadow() ? 1 : 0;
    return {area.right - area.left + shadow, area.bottom - area.top + shadow};
}

void LabelPeer::Sync(Property property)
{
    switch (property) {
    case Property::Caption:
        // A new window already holds its caption: it is measured once, when it is placed.
        if (!SetWindowTextIfDifferent(hwnd_, model_.Caption())) break;
        if (autoSize_) ApplyBounds();
        RepaintIfShown(hwnd_);
        break;
    default: NativeControl::Sync(property);
    }
}

void LabelPeer::Draw(HDC dc, const RECT& area)
{
    Selection font(dc, Font());
    SetBkMode(dc, TRANSPARENT);
    const std::string& text = model_.Caption();
    const int length = static_cast<int>(text.size());
    const UINT format = TextFormat();
    RECT textArea = area;
    if (HasShadow()) {
        // The shadow lies one pixel left of and one below the text, under it.
        RECT shadow = area;
        shadow.top += 1;
        textArea.left += 1;
        SetTextColor(dc, ResolveColor(model_.shadowColor, COLOR_BTNHIGHLIGHT));
        DrawTextA(dc, text.c_str(), length, &shadow, format);
    }
    if (model_.Enabled()) {
        SetTextColor(dc, ResolveColor(model_.font.color, COLOR_WINDOWTEXT));
    } else {
        RECT embossed = textArea;
        OffsetRect(&embossed, 1, 1);
        SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawTextA(dc, text.c_str(), length, &embossed, format);
        SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
    }
    DrawTextA(dc, text.c_str(), length, &textArea, format);
}

}  // namespace lumora::win32
