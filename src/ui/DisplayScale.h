// Design-time places and the screen's logical pixels per inch.
//
// Every place in the window tables is a place at 96 dots per inch, where the window was laid
// out; on a screen of another logical DPI ("Large Fonts" is 120) the native layer draws it at
// place * DPI / 96, rounded as the platform's MulDiv rounds, so that controls that touch at 96
// still touch and a gap keeps its share. The models never change their places for it.
#pragma once
#include <cstdint>

#include "ui/Controls.h"

namespace lumora {

constexpr int kDesignDpi = 96;
constexpr int kPointsPerInch = 72;

// value * numerator / denominator rounded to the nearest whole number, halves away from zero:
// MulDiv's rounding. denominator > 0.
constexpr int MulDivRounded(int value, int numerator, int denominator)
{
    const std::int64_t product = static_cast<std::int64_t>(value) * numerator;
    const std::int64_t magnitude = product < 0 ? -product : product;
    const auto rounded = static_cast<int>((2 * magnitude + denominator) / (2 * static_cast<std::int64_t>(denominator)));
    return product < 0 ? -rounded : rounded;
}

// What the window must fit into: its client area at design size, the frame the platform adds
// around it, in screen pixels, and the work area (0: unknown, no limit).
struct WindowFit {
    int clientWidth = 0;
    int clientHeight = 0;
    int frameWidth = 0;
    int frameHeight = 0;
    int workWidth = 0;
    int workHeight = 0;
};

// The DPI the window is drawn at, from the screen's (0 or less when it could not be read):
// never below the design's, and the largest up to the screen's at which the scaled client area
// and the frame still fit the work area.
int LayoutDpi(int screenDpi, const WindowFit& fit);

// Design places to screen pixels and back at one DPI.
class DisplayScale {
public:
    explicit DisplayScale(int dpi = kDesignDpi) : dpi_(dpi < kDesignDpi ? kDesignDpi : dpi) {}

    int Dpi() const { return dpi_; }
    int ToScreen(int design) const { return MulDivRounded(design, dpi_, kDesignDpi); }
    // The design place a screen pixel lies on; ToDesign(ToScreen(v)) == v for every v.
    int ToDesign(int screen) const { return MulDivRounded(screen, kDesignDpi, dpi_); }
    // A font's height in pixels (negative: the character height) for a design height. The
    // design's heights are point sizes at 96 dpi (8 points is -11), so a font is as many
    // points at every DPI, rounded as the platform rounds a point size, and stays the design's
    // height at 96.
    int FontHeight(int design) const
    {
        if (dpi_ == kDesignDpi) return design;
        const int points = MulDivRounded(design, kPointsPerInch, kDesignDpi);
        return MulDivRounded(points, dpi_, kPointsPerInch);
    }
    // A control's place: each edge is scaled, so that neighbours that touch keep touching.
    Bounds ToScreen(const Bounds& design) const
    {
        const int left = ToScreen(design.left);
        const int top = ToScreen(design.top);
        return {left, top, ToScreen(design.left + design.width) - left, ToScreen(design.top + design.height) - top};
    }

private:
    int dpi_;
};

}  // namespace lumora
