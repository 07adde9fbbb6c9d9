// Number and text conversions shared by the controls and the stores.
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

std::string ToDecimal(std::int64_t value);

}  // namespace lumora
