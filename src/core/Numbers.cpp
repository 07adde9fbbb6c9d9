// Number and text conversions shared by the controls and the stores.
#include "core/Numbers.h"

#include <cmath>

namespace lumora {

bool ParseWholeNumber(const std::string& text, std::int32_t& out)
{
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size()) return false;
    std::int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') return false;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > 2147483648LL) return false;
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > 2147483647LL) return false;
    out = static_cast<std::int32_t>(value);
    return true;
}

long double RoundHalfEven(long double value)
{
    if (!std::isfinite(value)) return value;
    const long double down = std::floor(value);
    const long double fraction = value - down;
    if (fraction > 0.5L) return down + 1;
    if (fraction < 0.5L) return down;
    return std::fmod(down, 2.0L) == 0.0L ? down : down + 1;
}

double RoundHalfEven(double value)
{
    // Every whole neighbour of a double is a double again, so the wider rounding is exact.
    return static_cast<double>(RoundHalfEven(static_cast<long double>(value)));
}

std::string ToDecimal(std::int64_t value)
{
    return std::to_string(value);
}

}  // namespace lumora
