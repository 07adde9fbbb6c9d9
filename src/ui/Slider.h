// The integer slider: clamped position, change notification, keyboard and track stepping.
#pragma once
#include <cstdint>
#include <functional>

#include "ui/Controls.h"

namespace lumora {

enum class SliderKey { Left, Right, Home, End };

class TRxSlider : public TControl {
public:
    TRxSlider(const char* name, TControl* parent) : TControl(ControlKind::Slider, name, parent) {}

    std::int32_t MinValue() const { return min_; }
    std::int32_t MaxValue() const { return max_; }
    std::int32_t Increment() const { return increment_; }
    std::int32_t Value() const { return value_; }

    // Clamped to the range, never rounded to the step; OnChange only on a real change.
    void SetValue(std::int32_t value);
    void SetMinValue(std::int32_t value);
    void SetMaxValue(std::int32_t value);
    void SetIncrement(std::int32_t value);

    // User input.
    void KeyDown(SliderKey key);
    // A click on the track (or one 400 ms repeat of a held click) on one side of the thumb.
    void TrackStep(bool towardsMax);
    // Dragging the thumb: any whole position in the range.
    void DragTo(std::int32_t value) { SetValue(value); }

    // The position one step up or down from the multiple of Increment nearest to Value
    // (halves go to the even quotient), clamped to the range.
    std::int32_t StepTarget(bool towardsMax) const;

    std::function<void()> OnChange;

    static constexpr int kRepeatMs = 400;

private:
    void Reclamp();
    void ShrinkIncrement();

    std::int32_t min_ = 0;
    std::int32_t max_ = 100;
    std::int32_t increment_ = 10;
    std::int32_t value_ = 0;
};

}  // namespace lumora
