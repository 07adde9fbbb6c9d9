// Number text and rounding: whole-number parsing at its edges and halfway cases.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "core/Numbers.h"

namespace lumora {
namespace {

TEST(Numbers, ParsesOnlyWholeDecimalNumbersWithinThirtyTwoBits)
{
    const struct {
        const char* text;
        bool ok;
        std::int32_t value;
    } cases[] = {
        {"0", true, 0},
        {"12", true, 12},
        {"0012", true, 12},
        {"+5", true, 5},
        {"-5", true, -5},
        {"-0", true, 0},
        {"2147483647", true, 2147483647},
        {"-2147483648", true, INT32_MIN},
        {"2147483648", false, 0},
        {"-2147483649", false, 0},
        {"99999999999999999999", false, 0},
        {"", false, 0},
        {"+", false, 0},
        {"-", false, 0},
        {"+-5", false, 0},
        {"-+5", false, 0},
        {"++5", false, 0},
        {" 1", false, 0},
        {"1 ", false, 0},
        {"1e3", false, 0},
        {"0x10", false, 0},
        {"1.0", false, 0},
    };
    for (const auto& c : cases) {
        std::int32_t value = 77;
        EXPECT_EQ(ParseWholeNumber(c.text, value), c.ok) << '"' << c.text << '"';
        // A text that is no number leaves the output as it was.
        EXPECT_EQ(value, c.ok ? c.value : 77) << '"' << c.text << '"';
    }
}

TEST(Numbers, NearestMultipleGoesToTheEvenQuotientAtHalfway)
{
    const struct {
        std::int64_t value, step, expected;
    } cases[] = {
        {0, 10, 0},
        {4, 10, 0},
        {5, 10, 0},
        {6, 10, 10},
        {15, 10, 20},
        {25, 10, 20},
        {-5, 10, 0},
        {-15, 10, -20},
        {-16, 10, -20},
        {-14, 10, -10},
        {7, 1, 7},
        {3, 2, 4},
        {2147483647, 10, 2147483650},
        {-2147483648LL, 10, -2147483650LL},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NearestMultipleHalfEven(c.value, c.step), c.expected) << c.value << " by " << c.step;
    }
}

}  // namespace
}  // namespace lumora
