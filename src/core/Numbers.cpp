// Number and text conversions shared by the controls and the stores.
#include "core/Numbers.h"

#include <charconv>
#include <cmath>

namespace lumora {

bool ParseWholeNumber(const std::string& text, std::int32_t& out)
{
    const char* first = text.data();
    const char* const last = first + text.size();
    // The parser takes a minus sign but no plus; a plus is allowed before digits only.
    if (first != last && *first == '+') {
        ++first;
        if (first != last && *first == '-') return false;
    }
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last) return false;
    out = value;
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

std::int64_t NearestMultipleHalfEven(std::int64_t value, std::int64_t step)
{
    // Floor division keeps negatives right: 0 <= remainder < step.
    std::int64_t quotient = value / step;
    if ((value % step != 0) && ((value < 0) != (step < 0))) --quotient;
    const std::int64_t remainder = value - quotient * step;
    if (remainder * 2 > step || (remainder * 2 == step && (quotient % 2 != 0))) ++quotient;
    return quotient * step;
}

std::string ToDecimal(std::int64_t value)
{
    return std::to_string(value);
}

}  // namespace lumora
