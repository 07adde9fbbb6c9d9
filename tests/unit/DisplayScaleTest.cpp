// Design places at the screen's DPI: MulDiv's rounding, the way back for the pointer, the font
// sizes, the DPI the window can take on the screen it has, and the slider drawn at that DPI.
#include <gtest/gtest.h>

#include <string>

#include "ui/DisplayScale.h"
#include "ui/SliderGeometry.h"

namespace lumora {
namespace {

TEST(DisplayScale, RoundsAsMulDivDoesHalvesAwayFromZero)
{
    const struct {
        int value, numerator, denominator, expected;
    } cases[] = {
        {404, 120, 96, 505},
        {412, 120, 96, 515},
        {75, 120, 96, 94},  // 93.75
        {6, 120, 96, 8},
        {2, 120, 96, 3},
        {-2, 120, 96, -3},  // 2.5 and -2.5
        {11, 144, 96, 17},
        {-11, 144, 96, -17},
        {1, 120, 96, 1},  // 16.5, 1.25
        {0, 120, 96, 0},
        {505, 96, 120, 404},
        {41, 96, 120, 33},  // 32.8
        {1000000000, 2, 1, 2000000000},
        {-1000000000, 3, 2, -1500000000},  // no overflow on the way
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MulDivRounded(c.value, c.numerator, c.denominator), c.expected)
            << c.value << " * " << c.numerator << " / " << c.denominator;
    }
}

TEST(DisplayScale, EveryDesignPlaceComesBackFromItsScreenPixel)
{
    for (const int dpi : {96, 97, 120, 125, 144, 150, 192, 200, 288}) {
        const DisplayScale scale(dpi);
        for (int v = -600; v <= 600; ++v) {
            ASSERT_EQ(scale.ToDesign(scale.ToScreen(v)), v) << "design " << v << " at " << dpi << " dpi";
        }
    }
}

TEST(DisplayScale, NeighboursThatTouchStillTouchAndTheDesignSizeStaysAt96)
{
    // Apply and Cancel, 5 pixels apart; the RAM page's spin edit and the label after it.
    const Bounds apply{232, 368, 75, 25}, cancel{312, 368, 75, 25};
    const Bounds left{16, 24, 33, 17}, right{49, 24, 20, 17};
    const DisplayScale design;
    EXPECT_EQ(design.ToScreen(apply).width, 75);
    EXPECT_EQ(design.ToScreen(apply).left, 232);
    for (const int dpi : {120, 144, 150, 200}) {
        const DisplayScale scale(dpi);
        const Bounds a = scale.ToScreen(apply), c = scale.ToScreen(cancel);
        const Bounds l = scale.ToScreen(left), r = scale.ToScreen(right);
        EXPECT_EQ(l.left + l.width, r.left) << dpi << " dpi";
        EXPECT_EQ(c.left - (a.left + a.width), scale.ToScreen(312) - scale.ToScreen(307)) << dpi << " dpi";
        EXPECT_EQ(a.left, MulDivRounded(232, dpi, 96)) << dpi << " dpi";
    }
}

TEST(DisplayScale, ScreensBelowTheDesignDpiDrawAtTheDesignSize)
{
    EXPECT_EQ(DisplayScale(72).Dpi(), 96);
    EXPECT_EQ(DisplayScale(72).ToScreen(404), 404);
    EXPECT_EQ(DisplayScale(0).Dpi(), 96);
}

TEST(DisplayScale, FontsKeepTheirPointSize)
{
    const struct {
        int design, dpi, expected;
        const char* what;
    } cases[] = {
        {-11, 96, -11, "the window font, 8 points"},
        {-27, 96, -27, "the About title"},
        {-11, 120, -13, "8 points at Large Fonts"},
        {-11, 144, -16, "8 points at 150 %"},
        {-27, 120, -33, "20 points"},
        {-19, 120, -23, "14 points"},
        {-19, 144, -28, "14 points"},
        {-12, 96, -12, "a height that is no whole point size stays as it is at 96"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DisplayScale(c.dpi).FontHeight(c.design), c.expected) << c.what << " at " << c.dpi << " dpi";
    }
}

// The window's client area is 404 x 412 at 96 dpi; frames as the platform adds them.
TEST(DisplayScale, TheWindowTakesTheScreensDpiAsFarAsTheWorkAreaLetsIt)
{
    const WindowFit xga{404, 412, 8, 27, 1024, 768};
    const WindowFit unknownWorkArea{404, 412, 8, 27, 0, 0};
    const WindowFit tiny{404, 412, 8, 27, 640, 400};
    const struct {
        int screenDpi;
        WindowFit fit;
        int expected;
        const char* what;
    } cases[] = {
        {96, xga, 96, "the design's own"},
        {120, xga, 120, "Large Fonts fits"},
        {144, xga, 144, "150 % fits: 606 x 618 plus the frame"},
        {72, xga, 96, "below the design: never smaller"},
        {0, xga, 96, "the screen could not be asked"},
        {-1, xga, 96, "nonsense from the driver"},
        {288, xga, 172, "200 % and more: as large as 1024 x 768 allows"},
        {2000000000, xga, 172, "a driver's garbage does not loop"},
        {288, unknownWorkArea, 288, "no work area known: no limit"},
        {120, tiny, 96, "too small even for the design: the design"},
    };
    for (const auto& c : cases) {
        const int dpi = LayoutDpi(c.screenDpi, c.fit);
        EXPECT_EQ(dpi, c.expected) << c.what;
        if (c.fit.workWidth == 0 || dpi == 96) continue;
        // The largest that fits: one more would not.
        EXPECT_LE(MulDivRounded(404, dpi, 96) + 8, c.fit.workWidth) << c.what;
        EXPECT_LE(MulDivRounded(412, dpi, 96) + 27, c.fit.workHeight) << c.what;
        if (dpi < c.screenDpi) {
            EXPECT_GT(MulDivRounded(412, dpi + 1, 96) + 27, c.fit.workHeight) << c.what;
        }
    }
}

TEST(SliderGeometryAtLargeFonts, IsTheDesignsAt96)
{
    const SliderGeometry g{217, 96};
    EXPECT_EQ(g.ThumbWidth(), SliderGeometry::kThumbWidth);
    EXPECT_EQ(g.ThumbHeight(), SliderGeometry::kThumbHeight);
    EXPECT_EQ(g.TickTop(), SliderGeometry::kTickTop);
    EXPECT_EQ(g.TrackLeft(), 6);
    EXPECT_EQ(g.TrackRight(), 210);
}

TEST(SliderGeometryAtLargeFonts, ThumbStaysInsideAndEveryValueItShowsIsFoundByDragging)
{
    for (const int dpi : {120, 144, 172}) {
        for (const int designWidth : {217, 377}) {
            const SliderGeometry g{DisplayScale(dpi).ToScreen(designWidth), dpi};
            const std::string where = std::to_string(designWidth) + " at " + std::to_string(dpi) + " dpi";
            EXPECT_EQ(g.ThumbWidth() % 2, 1) << where;
            EXPECT_GE(g.ThumbLeft(0, 128, 0), 0) << where;
            EXPECT_LE(g.ThumbLeft(0, 128, 128) + g.ThumbWidth(), g.width) << where;
            EXPECT_LE(g.TickTop() + g.TickHeight(), DisplayScale(dpi).ToScreen(33)) << where;
            EXPECT_GT(g.TickTop(), g.ThumbTop() + g.ThumbHeight() - 1) << where;
            for (std::int32_t v = 0; v <= 128; ++v) {
                EXPECT_EQ(g.ValueAt(g.ThumbCentre(0, 128, v), 0, 128), v) << "value " << v << ", " << where;
            }
            const int left = g.ThumbLeft(0, 100, 50);
            EXPECT_EQ(g.HitAt(left - 1, 0, 100, 50), SliderGeometry::Hit::Before) << where;
            EXPECT_EQ(g.HitAt(left + g.ThumbWidth() - 1, 0, 100, 50), SliderGeometry::Hit::Thumb) << where;
            EXPECT_EQ(g.HitAt(left + g.ThumbWidth(), 0, 100, 50), SliderGeometry::Hit::After) << where;
            const auto ticks = g.Ticks(0, 1024, 10);
            for (std::size_t i = 1; i < ticks.size(); ++i) {
                EXPECT_GE(g.ThumbCentre(0, 1024, ticks[i]) - g.ThumbCentre(0, 1024, ticks[i - 1]), g.Scaled(4))
                    << "ticks " << ticks[i - 1] << " and " << ticks[i] << ", " << where;
            }
        }
    }
}

}  // namespace
}  // namespace lumora
