// The toolkit's shared drawing resources: the window font and the fonts the models ask for, a
// memory context for measuring text, and the hand pointer of links.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "ui/Controls.h"
#include "ui/DisplayScale.h"

namespace lumora::win32 {

class Resources {
public:
    // Fonts are made for the scale's DPI: the models' heights are pixels at 96 dpi.
    Resources(HINSTANCE instance, const DisplayScale& scale);
    ~Resources();
    Resources(const Resources&) = delete;
    Resources& operator=(const Resources&) = delete;

    HFONT WindowFont() const { return windowFont_; }
    // The font a model asks for at the scale's DPI, made once; the window font when it cannot be made.
    HFONT FontFor(const FontSpec& wanted);
    // The same font at the design's 96 dpi, for lengths the layout gives in the font's units.
    HFONT DesignFontFor(const FontSpec& wanted);
    // A memory context of the screen's kind for measuring text: measuring on it costs no window
    // its device context.
    HDC MeasureDc();
    HCURSOR HandCursor();

private:
    HFONT FontAt(const FontSpec& wanted, int height);

    HINSTANCE instance_;
    DisplayScale scale_;
    HFONT windowFont_ = nullptr;
    HCURSOR handCursor_ = nullptr;
    HDC measureDc_ = nullptr;
    bool handLooked_ = false;
    // A handful of fonts: a list searched in order is all they need.
    struct Font {
        std::string face;
        int height;
        bool bold;
        bool underline;
        HFONT handle;
    };
    std::vector<Font> fonts_;
};

}  // namespace lumora::win32
