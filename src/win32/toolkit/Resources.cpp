// The toolkit's shared drawing resources, made when first asked for and released with it.
#include "win32/toolkit/Resources.h"

namespace lumora::win32 {

namespace {

// The system's hand pointer; Windows 95 and NT 4 lack it, so the program carries its own.
const char* const kSystemHand = MAKEINTRESOURCEA(32649);
const char* const kHandResource = "HANDCURSOR";
const char* const kWindowFace = "MS Sans Serif";
constexpr int kWindowFontHeight = -11;  // 8 points at 96 dots per inch

HFONT MakeFont(const char* face, int height, bool bold, bool underline)
{
    return CreateFontA(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, underline ? TRUE : FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, face);
}

}  // namespace

Resources::Resources(HINSTANCE instance, const DisplayScale& scale) : instance_(instance), scale_(scale)
{
    windowFont_ = MakeFont(kWindowFace, scale_.FontHeight(kWindowFontHeight), false, false);
}

Resources::~Resources()
{
    if (measureDc_) DeleteDC(measureDc_);
    for (const Font& font : fonts_) DeleteObject(font.handle);
    if (windowFont_) DeleteObject(windowFont_);
}

HFONT Resources::FontFor(const FontSpec& wanted)
{
    return FontAt(wanted, scale_.FontHeight(wanted.height));
}

HFONT Resources::DesignFontFor(const FontSpec& wanted)
{
    return FontAt(wanted, wanted.height);
}

HFONT Resources::FontAt(const FontSpec& wanted, int height)
{
    if (wanted.name.empty() && height == scale_.FontHeight(kWindowFontHeight) && !wanted.bold && !wanted.underline) {
        return windowFont_;
    }
    const char* const face = wanted.name.empty() ? kWindowFace : wanted.name.c_str();
    for (const Font& font : fonts_) {
        if (font.face == face && font.height == height && font.bold == wanted.bold &&
            font.underline == wanted.underline) {
            return font.handle;
        }
    }
    HFONT font = MakeFont(face, height, wanted.bold, wanted.underline);
    if (!font) return windowFont_;
    fonts_.push_back({face, height, wanted.bold, wanted.underline, font});
    return font;
}

HDC Resources::MeasureDc()
{
    if (!measureDc_) measureDc_ = CreateCompatibleDC(nullptr);
    return measureDc_;
}

HCURSOR Resources::HandCursor()
{
    if (!handLooked_) {
        handLooked_ = true;
        handCursor_ = LoadCursorA(nullptr, kSystemHand);
        if (!handCursor_) handCursor_ = LoadCursorA(instance_, kHandResource);
    }
    return handCursor_;
}

}  // namespace lumora::win32
