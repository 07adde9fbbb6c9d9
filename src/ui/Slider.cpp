// The integer slider's rules.
#include "ui/Slider.h"

#include <algorithm>

#include "core/Numbers.h"

namespace lumora {

void TRxSlider::SetValue(std::int32_t value)
{
    const std::int32_t clamped = std::max(min_, std::min(max_, value));
    if (clamped == value_) return;
    value_ = clamped;
    Notify(Property::Position);
    if (OnChange) OnChange();
}

void TRxSlider::ShrinkIncrement()
{
    const std::int64_t span = static_cast<std::int64_t>(max_) - min_;
    if (static_cast<std::int64_t>(max_) < static_cast<std::int64_t>(min_) + increment_) {
        increment_ = static_cast<std::int32_t>(std::max<std::int64_t>(span, 0));
    }
}

void TRxSlider::Reclamp()
{
    Notify(Property::Range);
    if (max_ >= min_) SetValue(value_);
}

void TRxSlider::SetMinValue(std::int32_t value)
{
    if (value == min_) return;
    min_ = value;
    ShrinkIncrement();
    Reclamp();
}

void TRxSlider::SetMaxValue(std::int32_t value)
{
    if (value == max_) return;
    max_ = value;
    ShrinkIncrement();
    Reclamp();
}

void TRxSlider::SetIncrement(std::int32_t value)
{
    increment_ = value;
    ShrinkIncrement();
}

std::int32_t TRxSlider::StepTarget(bool towardsMax) const
{
    const std::int64_t step = increment_;
    std::int64_t m = value_;
    if (step > 0) m = NearestMultipleHalfEven(value_, step);
    const std::int64_t target = towardsMax ? m + step : m - step;
    return static_cast<std::int32_t>(std::max<std::int64_t>(min_, std::min<std::int64_t>(max_, target)));
}

void TRxSlider::KeyDown(SliderKey key)
{
    switch (key) {
    case SliderKey::Left: SetValue(StepTarget(false)); break;
    case SliderKey::Right: SetValue(StepTarget(true)); break;
    case SliderKey::Home: SetValue(min_); break;
    case SliderKey::End: SetValue(max_); break;
    }
}

void TRxSlider::TrackStep(bool towardsMax)
{
    SetValue(StepTarget(towardsMax));
}

}  // namespace lumora
