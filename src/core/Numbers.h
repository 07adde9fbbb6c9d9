// Number text and rounding shared by the controls, the stores and the pages.
#pragma once
#include <cstdint>
#include <string>

namespace lumora {

// A whole decimal number: an optional sign and digits, nothing else, within 32 bits.
// Anything else (empty, blanks, "1e3", "-", a number beyond 32 bits) is not one.
bool ParseWholeNumber(const std::string& text, std::int32_t& out);

// Nearest whole number, a value exactly halfway going to the even neighbour.
double RoundHalfEven(double value);
long double RoundHalfEven(long double value);
// The multiple of step (step > 0) nearest to value, a value exactly halfway going to the
// multiple whose quotient is even. Exact over the whole range of 32-bit values.
std::int64_t NearestMultipleHalfEven(std::int64_t value, std::int64_t step);

// std::to_string behind one call: the library writes the digits inline wherever it is called,
// and the release's size budget cannot carry a copy at every caption.
std::string ToDecimal(std::int64_t value);

}  // namespace lumora
