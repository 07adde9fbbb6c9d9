// The whole-number spin edit's rules.
#include "ui/SpinEdit.h"

#include <cmath>
#include <cstdio>

#include "core/Numbers.h"

namespace lumora {

namespace {

std::string WholeText(double value)
{
    char buffer[64];
    // Adding 0 turns a negative zero into "0".
    std::snprintf(buffer, sizeof buffer, "%.0f", value + 0.0);
    return buffer;
}

}  // namespace

void TRxSpinEdit::SetMinValue(double value)
{
    min_ = value;
    Notify(Property::Range);
}

void TRxSpinEdit::SetMaxValue(double value)
{
    max_ = value;
    Notify(Property::Range);
}

double TRxSpinEdit::Clamp(double value) const
{
    // No number (a stored NaN, say) stands at the minimum, as text that is no number reads.
    if (std::isnan(value)) return min_;
    if (min_ == max_) return value;
    if (value < min_) return min_;
    if (value > max_) return max_;
    return value;
}

double TRxSpinEdit::Value() const
{
    std::int32_t number = 0;
    if (ParseWholeNumber(Text(), number)) return number;
    return std::trunc(min_);
}

void TRxSpinEdit::SetValue(double value)
{
    SetText(WholeText(RoundHalfEven(Clamp(value))));
}

void TRxSpinEdit::SetText(const std::string& text)
{
    if (text == Caption()) return;
    SetCaption(text);
    if (OnChange) OnChange();
}

void TRxSpinEdit::Step(bool up)
{
    SetValue(Value() + (up ? 1 : -1));
}

void TRxSpinEdit::FocusLost()
{
    std::int32_t number = 0;
    if (!ParseWholeNumber(Text(), number)) return;
    if (Clamp(number) != number) SetValue(number);
}

}  // namespace lumora
