// Labels: static text sized to its caption, links and titles with a shadow drawn by us.
#include "win32/toolkit/peers/LabelPeer.h"

#include "win32/toolkit/Toolkit.h"

namespace lumora::win32 {

void LabelPeer::CreateWindows(HWND parent)
{
    const Bounds b = FixedPlace();
    // Created at the size of its caption, so that placing it moves nothing.
    const SIZE size = autoSize_ ? ContentSize() : SIZE{b.width, b.height};
    CreateStatic(parent, model_.Caption(), size.cx, size.cy);
}

UINT LabelPeer::TextFormat() const
{
    return DT_LEFT | DT_NOPREFIX | DT_EXPANDTABS | (autoSize_ ? 0u : static_cast<UINT>(DT_WORDBREAK));
}

SIZE LabelPeer::TextSize(const std::string& text, int width, HFONT font) const
{
    RECT area{0, 0, width, 0};
    HDC dc = kit_.MeasureDc();
    Selection selected(dc, font);
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &area, TextFormat() | DT_CALCRECT);
    return {area.right - area.left, area.bottom - area.top};
}

SIZE LabelPeer::ContentSize()
{
    // An empty caption keeps the height of one line, as the designer's labels do.
    const std::string text = model_.Caption().empty() ? std::string(" ") : model_.Caption();
    SIZE size = TextSize(text, 0, Font());
    // Trailing blanks make a row's label reach across the row, under its other controls: they
    // stand for a length of the layout, as wide as the design's font makes them, and scale with
    // the layout rather than with the font, whose blank stays 3 pixels wide from 96 to 120 dpi.
    const std::size_t end = text.find_last_not_of(' ');
    if (kit_.Scale().Dpi() != kDesignDpi && end != std::string::npos && end + 1 < text.size()) {
        const SIZE blanks = TextSize(text.substr(end + 1), 0, kit_.DesignFontFor(model_.font));
        size.cx = TextSize(text.substr(0, end + 1), 0, Font()).cx + Scaled(blanks.cx);
    }
    const int shadow = HasShadow() ? ShadowOffset() : 0;
    return {size.cx + shadow, size.cy + shadow};
}

Bounds LabelPeer::FixedPlace() const
{
    // Lines that wrap at the scaled width can need more height than the scaled place has: the
    // font's pixel sizes grow in steps of their own. At the design's DPI the place is the design's.
    Bounds place = ScreenBounds();
    if (kit_.Scale().Dpi() == kDesignDpi || model_.Caption().empty()) return place;
    const SIZE text = TextSize(model_.Caption(), place.width, Font());
    const int shadow = HasShadow() ? ShadowOffset() : 0;
    if (text.cy + shadow > place.height) place.height = text.cy + shadow;
    return place;
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
        // The shadow lies one design pixel left of and one below the text, under it.
        RECT shadow = area;
        shadow.top += ShadowOffset();
        textArea.left += ShadowOffset();
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
