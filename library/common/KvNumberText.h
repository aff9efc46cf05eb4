#pragma once
// Number texts read and written the same way whatever the process locale.
#include <cstdint>
#include <string>
#include <string_view>

namespace kv {

// Optional sign and decimal digits only, whole text, within the signed 32-bit range.
bool parseInt32(std::string_view text, int32_t &value);

// The leading decimal number of text: optional "-" or "+", digits, one "." and digits.
// No exponent, hex, "inf" or "nan". digits tells whether any digit was read; a number
// too large for a double reads as +/-infinity. Returns how many characters were used.
std::size_t leadingDecimal(std::string_view text, double &value, bool &digits);

// A whole text made only of "-0123456789." read as a decimal float (the format options'
// numbers): a sign only first, at most one ".", at least one digit.
bool parseDecimal(std::string_view text, double &value);

// Shortest float text with up to 15 significant digits, as "1", "65535", "-2147483648",
// "0.5", "1.79769313486232E308".
std::string floatText(double value);

} // namespace kv
