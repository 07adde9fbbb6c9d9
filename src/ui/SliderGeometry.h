// The slider's geometry: where the thumb stands for a value and which value a pointer place means.
//
// Portable, so that the native tests check it without a window system; the native slider draws by it.
#pragma once
#include <algorithm>
#include <cstdint>
#include <vector>

#include "ui/DisplayScale.h"

namespace lumora {

// Where the slider's thumb stands for a value and which value a thumb place means. The thumb
// centre runs from TrackLeft() (MinValue) to TrackRight() (MaxValue) in client pixels. The k*
// constants are the design's, at 96 dpi; the functions of the same names give them at dpi.
struct SliderGeometry {
    static constexpr int kThumbWidth = 11;
    static constexpr int kThumbHeight = 19;
    static constexpr int kThumbTop = 3;
    static constexpr int kGrooveTop = 9;
    static constexpr int kGrooveHeight = 4;
    static constexpr int kTickTop = 25;
    static constexpr int kTickHeight = 3;

    int width = 0;  // in screen pixels
    int dpi = kDesignDpi;

    int Scaled(int design) const { return MulDivRounded(design, dpi, kDesignDpi); }
    // Odd, so that the thumb's point lies on its middle column.
    int ThumbWidth() const { return Scaled(kThumbWidth) | 1; }
    int ThumbHeight() const { return Scaled(kThumbHeight); }
    int ThumbTop() const { return Scaled(kThumbTop); }
    int GrooveTop() const { return Scaled(kGrooveTop); }
    int GrooveHeight() const { return Scaled(kGrooveHeight); }
    int TickTop() const { return Scaled(kTickTop); }
    int TickHeight() const { return Scaled(kTickHeight); }

    int TrackLeft() const { return Scaled(kThumbWidth / 2 + 1); }
    int TrackRight() const { return std::max(TrackLeft(), width - Scaled(kThumbWidth / 2 + 2)); }

    // Centre of the thumb for value, rounded to the nearest pixel.
    int ThumbCentre(std::int32_t min, std::int32_t max, std::int32_t value) const
    {
        const std::int64_t span = static_cast<std::int64_t>(max) - min;
        if (span <= 0) return TrackLeft();
        const std::int64_t clamped = std::max<std::int64_t>(min, std::min<std::int64_t>(max, value));
        const std::int64_t pixels = TrackRight() - TrackLeft();
        return TrackLeft() + static_cast<int>(RoundedDivide((clamped - min) * pixels, span));
    }

    int ThumbLeft(std::int32_t min, std::int32_t max, std::int32_t value) const
    {
        return ThumbCentre(min, max, value) - ThumbWidth() / 2;
    }

    // The value whose thumb centre lies nearest to x, within the range.
    std::int32_t ValueAt(int x, std::int32_t min, std::int32_t max) const
    {
        const std::int64_t span = static_cast<std::int64_t>(max) - min;
        const std::int64_t pixels = TrackRight() - TrackLeft();
        if (span <= 0 || pixels <= 0) return min;
        const std::int64_t offset = std::max<std::int64_t>(0, std::min<std::int64_t>(pixels, x - TrackLeft()));
        return static_cast<std::int32_t>(min + RoundedDivide(offset * span, pixels));
    }

    enum class Hit { Before, Thumb, After };

    // A press at x: on the thumb, or on the track before or after it.
    Hit HitAt(int x, std::int32_t min, std::int32_t max, std::int32_t value) const
    {
        const int left = ThumbLeft(min, max, value);
        if (x < left) return Hit::Before;
        if (x >= left + ThumbWidth()) return Hit::After;
        return Hit::Thumb;
    }

    // Positions that get a tick mark: every multiple of the step from the minimum while the
    // marks stay at least four design pixels apart, otherwise ten even divisions; always both ends.
    std::vector<std::int32_t> Ticks(std::int32_t min, std::int32_t max, std::int32_t step) const
    {
        std::vector<std::int32_t> ticks;
        const std::int64_t span = static_cast<std::int64_t>(max) - min;
        if (span <= 0) {
            ticks.push_back(min);
            return ticks;
        }
        const std::int64_t pixels = TrackRight() - TrackLeft();
        std::int64_t every = step > 0 ? step : span;
        if (every * pixels < Scaled(4) * span) every = std::max<std::int64_t>(1, (span + 9) / 10);
        for (std::int64_t v = min; v < max; v += every) ticks.push_back(static_cast<std::int32_t>(v));
        ticks.push_back(max);
        return ticks;
    }

private:
    static std::int64_t RoundedDivide(std::int64_t numerator, std::int64_t denominator)
    {
        return (numerator * 2 + denominator) / (denominator * 2);
    }
};

}  // namespace lumora
