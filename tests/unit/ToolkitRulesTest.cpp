// The native toolkit's platform-free rules: slider geometry, dialog filters and the Tab order.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "form/ControlIds.h"
#include "ui/SliderGeometry.h"
#include "ui/TabOrder.h"
#include "unit/FormHarness.h"

namespace lumora {
namespace {

struct RangeCase {
    int width;
    std::int32_t min, max;
};

class SliderGeometryRanges : public ::testing::TestWithParam<RangeCase> {};

TEST_P(SliderGeometryRanges, ThumbRunsTheTrackAndDraggingFindsEveryValueItShows)
{
    const RangeCase c = GetParam();
    const SliderGeometry g{c.width};
    EXPECT_EQ(g.ThumbCentre(c.min, c.max, c.min), g.TrackLeft());
    EXPECT_EQ(g.ThumbCentre(c.min, c.max, c.max), g.TrackRight());
    EXPECT_GE(g.ThumbLeft(c.min, c.max, c.min), 0);
    EXPECT_LE(g.ThumbLeft(c.min, c.max, c.max) + SliderGeometry::kThumbWidth, c.width);
    int previous = g.TrackLeft() - 1;
    for (std::int32_t v = c.min; v <= c.max; ++v) {
        const int x = g.ThumbCentre(c.min, c.max, v);
        EXPECT_GE(x, previous) << "value " << v << " of " << c.min << ".." << c.max << " moves the thumb back";
        previous = x;
        // Where the range is no wider than the track, each value has a place of its own.
        if (static_cast<std::int64_t>(c.max) - c.min <= g.TrackRight() - g.TrackLeft()) {
            EXPECT_EQ(g.ValueAt(x, c.min, c.max), v) << "dragging to x=" << x << " in " << c.min << ".." << c.max;
        }
    }
    EXPECT_EQ(g.ValueAt(g.TrackLeft(), c.min, c.max), c.min);
    EXPECT_EQ(g.ValueAt(g.TrackRight(), c.min, c.max), c.max);
}

INSTANTIATE_TEST_SUITE_P(PageSliders, SliderGeometryRanges,
                         ::testing::Values(RangeCase{217, 0, 128},   // RAM page sliders with 128 MB
                                           RangeCase{217, 0, 1024},  // more values than pixels
                                           RangeCase{377, 0, 12},    // name cache
                                           RangeCase{377, 0, 16},    // directory cache
                                           RangeCase{377, 0, 128},   // chunk size
                                           RangeCase{377, 0, 65535}, RangeCase{217, -5, 5}));

TEST(SliderGeometry, DraggingBeyondTheTrackStopsAtTheEnds)
{
    const SliderGeometry g{217};
    EXPECT_EQ(g.ValueAt(-40, 0, 100), 0);
    EXPECT_EQ(g.ValueAt(500, 0, 100), 100);
}

TEST(SliderGeometry, AnEmptyRangeKeepsTheThumbAtTheStart)
{
    const SliderGeometry g{217};
    EXPECT_EQ(g.ThumbCentre(0, 0, 0), g.TrackLeft());
    EXPECT_EQ(g.ValueAt(150, 7, 7), 7);
    EXPECT_EQ(g.ValueAt(150, 9, 3), 9);  // max below min: no division by a negative span
}

TEST(SliderGeometry, PressesLeftOfRightOfOrOnTheThumb)
{
    const SliderGeometry g{217};
    const int left = g.ThumbLeft(0, 100, 50);
    struct Case {
        int x;
        SliderGeometry::Hit hit;
    } cases[] = {{0, SliderGeometry::Hit::Before},
                 {left - 1, SliderGeometry::Hit::Before},
                 {left, SliderGeometry::Hit::Thumb},
                 {left + SliderGeometry::kThumbWidth - 1, SliderGeometry::Hit::Thumb},
                 {left + SliderGeometry::kThumbWidth, SliderGeometry::Hit::After},
                 {216, SliderGeometry::Hit::After}};
    for (const auto& c : cases) {
        EXPECT_EQ(g.HitAt(c.x, 0, 100, 50), c.hit) << "press at x=" << c.x << ", thumb from " << left;
    }
}

TEST(SliderGeometry, TicksMarkEveryStepWhileTheyStaySeparate)
{
    const SliderGeometry g{377};
    EXPECT_EQ(g.Ticks(0, 12, 2), (std::vector<std::int32_t>{0, 2, 4, 6, 8, 10, 12}));
    EXPECT_EQ(g.Ticks(0, 128, 10),
              (std::vector<std::int32_t>{0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120, 128}));
    // 1024 positions in steps of 10 would crowd the track: ten divisions instead.
    const auto crowded = g.Ticks(0, 1024, 10);
    EXPECT_EQ(crowded.size(), 11u);
    EXPECT_EQ(crowded.front(), 0);
    EXPECT_EQ(crowded.back(), 1024);
}

// The whole literal, embedded NULs included.
template <std::size_t N>
std::string Raw(const char (&text)[N])
{
    return std::string(text, N - 1);
}

TEST(DialogFilter, BarsBecomeNulsAndTheListEndsWithTwo)
{
    const struct {
        std::string filter;
        std::string expected;
    } cases[] = {
        {"Microsoft Waveform Audio (*.WAV)|*.wav", Raw("Microsoft Waveform Audio (*.WAV)\0*.wav\0\0")},
        {"A|*.a|B|*.b", Raw("A\0*.a\0B\0*.b\0\0")},
        {"", Raw("\0\0")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DoubleNulFilter(c.filter), c.expected) << "filter \"" << c.filter << "\"";
    }
}

std::vector<std::string> Names(const std::vector<const TControl*>& controls)
{
    std::vector<std::string> names;
    for (const TControl* control : controls) names.push_back(control->Name());
    return names;
}

TEST(TabOrder, VisitsThePageTabsThenTheShownPageByTabOrderThenTheButtons)
{
    testing::FormHarness harness;
    TForm1& form = harness.Start();
    form.Button2.SetEnabled(true);
    EXPECT_EQ(Names(TabSequence(form)),
              (std::vector<std::string>{"PageControl1", "RxSpinEdit1", "RxSpinEdit2", "RxSlider1", "RxSpinEdit3",
                                        "RxSpinEdit4", "RxSpinEdit5", "RxSlider2", "RxSpinEdit7", "Button5",
                                        "CheckBox6", "Button2", "Button3"}));
}

TEST(TabOrder, SkipsDisabledControlsAndFollowsThePageShown)
{
    testing::FormHarness harness;
    TForm1& form = harness.Start();
    auto names = Names(TabSequence(form));
    EXPECT_EQ(std::count(names.begin(), names.end(), "Button2"), 0) << "Apply is disabled after start-up";
    form.Ram.CheckBox6.SetChecked(true);  // greys the CPU limit row
    names = Names(TabSequence(form));
    EXPECT_EQ(std::count(names.begin(), names.end(), "RxSpinEdit7"), 0);

    // Every control of the shown page, between the tabs and the buttons; ControlRulesTest.cpp holds
    // each page's controls to their own tab orders.
    form.PageControl1.UserSelect(kOptionsPage);
    form.Options.CheckBox1.SetChecked(true);  // the sound file box takes part again
    names = Names(TabSequence(form));
    ASSERT_GE(names.size(), 4u);
    EXPECT_EQ(names.front(), "PageControl1");
    EXPECT_EQ(std::vector<std::string>(names.end() - 2, names.end()), (std::vector<std::string>{"Button2", "Button3"}));
    for (std::size_t i = 1; i + 2 < names.size(); ++i) {
        EXPECT_TRUE(testing::FindControl(form.TabSheet2, names[i]) != nullptr) << names[i] << " is not on the page";
    }
    EXPECT_EQ(std::count(names.begin(), names.end(), "Edit1"), 1);
}

TEST(TabOrder, WrapsAroundInBothDirections)
{
    testing::FormHarness harness;
    TForm1& form = harness.Start();
    const auto sequence = TabSequence(form);
    ASSERT_GE(sequence.size(), 2u);
    EXPECT_EQ(NextInTabSequence(sequence, sequence.back(), false), sequence.front());
    EXPECT_EQ(NextInTabSequence(sequence, sequence.front(), true), sequence.back());
    EXPECT_EQ(NextInTabSequence(sequence, nullptr, false), sequence.front());
    EXPECT_EQ(NextInTabSequence(sequence, nullptr, true), sequence.back());
    EXPECT_EQ(NextInTabSequence({}, nullptr, false), nullptr);
}

}  // namespace
}  // namespace lumora
