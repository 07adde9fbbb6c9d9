// The whole-number spin edit: its text is the value; the range is kept when the program sets it.
#pragma once
#include <functional>
#include <string>

#include "ui/Controls.h"

namespace lumora {

class TRxSpinEdit : public TControl {
public:
    TRxSpinEdit(const char* name, TControl* parent) : TControl(ControlKind::SpinEdit, name, parent) {}

    double MinValue() const { return min_; }
    double MaxValue() const { return max_; }
    void SetMinValue(double value);
    void SetMaxValue(double value);

    // The text as a whole decimal number; any other text reads as MinValue truncated toward 0.
    double Value() const;
    // Clamped to the range (unless both bounds are equal), rounded half to even, shown in decimal;
    // NaN shows the minimum.
    void SetValue(double value);

    const std::string& Text() const { return Caption(); }
    // The user typed: every change of the text runs OnChange, number or not.
    void SetText(const std::string& text);
    // The up and down buttons and arrow keys.
    void Step(bool up);
    // Leaving the control brings a number outside the range back into it.
    void FocusLost();

    std::function<void()> OnChange;

private:
    double Clamp(double value) const;

    double min_ = 0;
    double max_ = 0;
};

}  // namespace lumora
