// The slider's and spin edit's rules: clamping, change notification, stepping, rounding.
#include <gtest/gtest.h>

#include "ui/Slider.h"
#include "ui/SpinEdit.h"

namespace lumora {
namespace {

struct StepCase {
    int min, max, increment, value;
    int right, left;
};

class SliderStepping : public ::testing::TestWithParam<StepCase> {};

TEST_P(SliderStepping, StepsFromTheNearestMultipleWithHalvesToEven)
{
    const StepCase c = GetParam();
    TRxSlider slider("s", nullptr);
    slider.SetMaxValue(c.max);
    slider.SetMinValue(c.min);
    slider.SetIncrement(c.increment);
    slider.SetValue(c.value);
    ASSERT_EQ(slider.Value(), c.value);
    slider.KeyDown(SliderKey::Right);
    EXPECT_EQ(slider.Value(), c.right) << "Right from " << c.value << " step " << c.increment;
    slider.SetValue(c.value);
    slider.KeyDown(SliderKey::Left);
    EXPECT_EQ(slider.Value(), c.left) << "Left from " << c.value << " step " << c.increment;
    slider.SetValue(c.value);
    slider.TrackStep(true);
    EXPECT_EQ(slider.Value(), c.right) << "track click right of the thumb";
    slider.SetValue(c.value);
    slider.TrackStep(false);
    EXPECT_EQ(slider.Value(), c.left) << "track click left of the thumb";
}

INSTANTIATE_TEST_SUITE_P(Cases, SliderStepping,
                         ::testing::Values(StepCase{0, 100, 10, 25, 30, 10},  // 25 counts as 20
                                           StepCase{0, 100, 10, 35, 50, 30},  // 35 counts as 40
                                           StepCase{0, 12, 2, 5, 6, 2},       // 5 counts as 4
                                           StepCase{0, 12, 2, 1, 2, 0},       // Desktop role position
                                           StepCase{0, 12, 2, 12, 12, 10},    // clamped at the top
                                           StepCase{0, 100, 10, 0, 10, 0},    // clamped at the bottom
                                           StepCase{0, 100, 10, 24, 30, 10}, StepCase{0, 100, 10, 26, 40, 20}));

TEST(Slider, RunsOnChangeOnlyOnARealChange)
{
    TRxSlider slider("s", nullptr);
    int changes = 0;
    slider.OnChange = [&] { ++changes; };
    slider.SetValue(0);
    EXPECT_EQ(changes, 0);
    slider.SetValue(500);  // clamped to 100
    EXPECT_EQ(slider.Value(), 100);
    EXPECT_EQ(changes, 1);
    slider.SetValue(101);  // clamps to the value it holds
    EXPECT_EQ(changes, 1);
    slider.SetMaxValue(40);  // re-clamp is a change
    EXPECT_EQ(slider.Value(), 40);
    EXPECT_EQ(changes, 2);
    slider.KeyDown(SliderKey::Home);
    slider.KeyDown(SliderKey::Home);
    EXPECT_EQ(slider.Value(), 0);
    EXPECT_EQ(changes, 3);
    slider.KeyDown(SliderKey::End);
    EXPECT_EQ(slider.Value(), 40);
    slider.DragTo(17);  // dragging reaches any whole position
    EXPECT_EQ(slider.Value(), 17);
    EXPECT_EQ(changes, 5);
}

TEST(Slider, IncrementShrinksWhenTheRangeIsNarrowerThanOneStep)
{
    TRxSlider slider("s", nullptr);
    slider.SetMaxValue(6);
    EXPECT_EQ(slider.Increment(), 6);
    slider.SetMaxValue(100);
    EXPECT_EQ(slider.Increment(), 6) << "a shrunk step does not grow back";
}

TEST(SpinEdit, ClampsAndRoundsHalvesToEven)
{
    struct Case {
        double set;
        const char* shown;
    } cases[] = {{75, "60"}, {2.5, "2"}, {3.5, "4"}, {0, "1"}, {-3, "1"}, {59.5, "60"}, {1.4999, "1"}, {12.5, "12"}};
    for (const auto& c : cases) {
        TRxSpinEdit edit("e", nullptr);
        edit.SetMinValue(1);
        edit.SetMaxValue(60);
        edit.SetValue(c.set);
        EXPECT_EQ(edit.Text(), c.shown) << "set " << c.set;
    }
}

TEST(SpinEdit, TextThatIsNotAWholeNumberReadsAsTheMinimum)
{
    const char* texts[] = {"", "abc", "1e3", "-", "+", "2.5", " 5", "99999999999", "2147483648"};
    for (const char* text : texts) {
        TRxSpinEdit edit("e", nullptr);
        edit.SetMinValue(1.9);
        edit.SetMaxValue(60);
        edit.SetText(text);
        EXPECT_EQ(edit.Value(), 1) << "text \"" << text << "\"";
    }
    TRxSpinEdit edit("e", nullptr);
    edit.SetMinValue(1);
    edit.SetMaxValue(60);
    edit.SetText("-2147483648");
    EXPECT_EQ(edit.Value(), -2147483648.0);
}

TEST(SpinEdit, TypingRunsOnChangeForEveryChangeAndFocusLossRestoresTheRange)
{
    TRxSpinEdit edit("e", nullptr);
    edit.SetMinValue(1);
    edit.SetMaxValue(60);
    edit.SetValue(3);
    int changes = 0;
    edit.OnChange = [&] { ++changes; };
    edit.SetText("7");
    edit.SetText("75");
    edit.SetText("75");
    EXPECT_EQ(changes, 2);
    edit.FocusLost();
    EXPECT_EQ(edit.Text(), "60");
    EXPECT_EQ(changes, 3);
    edit.SetText("abc");
    edit.FocusLost();  // not a number: left as typed
    EXPECT_EQ(edit.Text(), "abc");
    edit.Step(true);
    EXPECT_EQ(edit.Text(), "2");
    edit.SetValue(60);
    edit.Step(true);
    EXPECT_EQ(edit.Text(), "60");
}

TEST(SpinEdit, EqualBoundsDoNotLimitTheValue)
{
    TRxSpinEdit edit("e", nullptr);
    edit.SetMinValue(0);
    edit.SetMaxValue(0);
    edit.SetValue(12345.5);
    EXPECT_EQ(edit.Text(), "12346");
}

}  // namespace
}  // namespace lumora
