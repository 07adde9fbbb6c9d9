// Platform-free rules of the native toolkit: slider geometry, keyboard order, dialog filters.
//
// Kept free of windows.h so that the native tests can check them without a window system.
#pragma once
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "app/Controls.h"

namespace lumora::win32 {

// Where the slider's thumb stands for a value and which value a thumb place means. The thumb
// centre runs from TrackLeft() (MinValue) to TrackRight() (MaxValue) in client pixels.
struct SliderGeometry {
    static constexpr int kThumbWidth = 11;
    static constexpr int kThumbHeight = 19;
    static constexpr int kThumbTop = 3;
    static constexpr int kGrooveTop = 9;
    static constexpr int kGrooveHeight = 4;
    static constexpr int kTickTop = 25;
    static constexpr int kTickHeight = 3;

    int width = 0;

    int TrackLeft() const { return kThumbWidth / 2 + 1; }
    int TrackRight() const { return std::max(TrackLeft(), width - kThumbWidth / 2 - 2); }

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
        return ThumbCentre(min, max, value) - kThumbWidth / 2;
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
        if (x >= left + kThumbWidth) return Hit::After;
        return Hit::Thumb;
    }

    // Positions that get a tick mark: every multiple of the step from the minimum while the
    // marks stay at least four pixels apart, otherwise ten even divisions; always both ends.
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
        if (every * pixels < 4 * span) every = std::max<std::int64_t>(1, (span + 9) / 10);
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

// The platform's filter form: "Text|*.ext|..." becomes "Text\0*.ext\0...\0\0".
inline std::string DoubleNulFilter(const std::string& filter)
{
    std::string out = filter;
    std::replace(out.begin(), out.end(), '|', '\0');
    out.push_back('\0');
    out.push_back('\0');
    return out;
}

inline bool TakesFocus(ControlKind kind)
{
    switch (kind) {
    case ControlKind::PageControl:
    case ControlKind::Button:
    case ControlKind::CheckBox:
    case ControlKind::Slider:
    case ControlKind::SpinEdit:
    case ControlKind::ComboBox:
    case ControlKind::Edit:
        return true;
    default:
        return false;
    }
}

// Controls drawn on their parent in the form designer's world: they lie under every windowed
// sibling, whatever order they were declared in.
inline bool IsGraphic(ControlKind kind)
{
    return kind == ControlKind::Label || kind == ControlKind::Image || kind == ControlKind::SpeedButton;
}

// The order in which the Tab key visits the controls under root: siblings by tab order, a page
// control before the controls of its shown page, hidden and disabled controls (and everything
// inside them) skipped.
inline void AppendTabSequence(const TControl& root, std::vector<const TControl*>& out)
{
    std::vector<const TControl*> children;
    if (root.Kind() == ControlKind::PageControl) {
        const auto& pc = static_cast<const TPageControl&>(root);
        const int active = pc.ActivePageIndex();
        if (active >= 0 && active < static_cast<int>(pc.Pages().size())) {
            AppendTabSequence(*pc.Pages()[static_cast<std::size_t>(active)], out);
        }
        return;
    }
    for (const TControl* child : root.Children()) {
        if (child->tabOrder >= 0) children.push_back(child);
    }
    std::stable_sort(children.begin(), children.end(),
                     [](const TControl* a, const TControl* b) { return a->tabOrder < b->tabOrder; });
    for (const TControl* child : children) {
        if (!child->Visible() || !child->Enabled()) continue;
        if (TakesFocus(child->Kind())) out.push_back(child);
        AppendTabSequence(*child, out);
    }
}

inline std::vector<const TControl*> TabSequence(const TControl& root)
{
    std::vector<const TControl*> out;
    AppendTabSequence(root, out);
    return out;
}

// The control the Tab key moves to from current (nullptr: from outside the sequence).
inline const TControl* NextInTabSequence(const std::vector<const TControl*>& sequence, const TControl* current,
                                         bool backwards)
{
    if (sequence.empty()) return nullptr;
    const auto found = std::find(sequence.begin(), sequence.end(), current);
    if (found == sequence.end()) return backwards ? sequence.back() : sequence.front();
    const std::size_t index = static_cast<std::size_t>(found - sequence.begin());
    const std::size_t n = sequence.size();
    return sequence[backwards ? (index + n - 1) % n : (index + 1) % n];
}

}  // namespace lumora::win32
