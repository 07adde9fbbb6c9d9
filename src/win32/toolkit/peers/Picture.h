// Pictures from the program's resources: icons, GIF pictures and bitmaps, and glyph strips.
#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "win32/toolkit/WindowSupport.h"

namespace lumora::win32 {

class Picture {
public:
    // Looks for an icon of that name, then a "GIF" resource (decoded by the system's OLE picture
    // loader when the machine has one), then a bitmap. nullptr when none can be shown. A GIF is
    // decoded when it is first drawn: the OLE libraries then load only for a page that shows one.
    static std::unique_ptr<Picture> Load(HINSTANCE instance, const std::string& name);

    ~Picture();
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    SIZE Size() const { return size_; }
    // Draws the picture with its top-left corner at (x, y); icons keep their transparency, a
    // GIF is flattened onto the button-face colour when it is decoded. A GIF that cannot be
    // decoded draws the bitmap of the same name instead, when there is one.
    void Draw(HDC dc, int x, int y);

private:
    Picture() = default;
    void Decode();

    HINSTANCE instance_ = nullptr;
    std::string gif_;  // the GIF resource still to decode
    HICON icon_ = nullptr;
    GdiObject<HBITMAP> bitmap_;
    SIZE size_{0, 0};
};

// Draws the cell (sourceX, 0, width, height) of strip at (x, y), leaving out every pixel of the
// strip's bottom-left colour, the way picture buttons treat their glyphs.
void DrawGlyph(HDC dc, HBITMAP strip, int sourceX, int width, int height, int x, int y);

}  // namespace lumora::win32
