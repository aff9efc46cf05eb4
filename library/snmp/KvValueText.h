#pragma once
// Readings and writings of value texts shared by the conversions, the index encoding and
// the expressions. All of them ignore the process locale.
#include "AnsiString.h"

#include <cstdint>
#include <string_view>

namespace kvsnmp {

// Blanks skipped, optional sign, decimal digits up to the first non-digit, accumulated in
// 32 bits with wrap-around; no digit gives 0 ("12abc" is 12, "-1" is 4294967295).
uint32_t readDecimal32(std::string_view text);

// Blanks skipped, optional sign, digits, optional fraction and exponent; the whole part of
// the value modulo 2^64 (a negative value wraps, a value beyond 2^64-1 is 2^64-1).
uint64_t readDecimal64(std::string_view text);

// The leading floating-point number of text: blanks skipped, optional sign, digits with an
// optional fraction, optional exponent. No hex, "inf" or "nan"; no number gives 0.
double readDouble(std::string_view text);

// Length of the number (optional sign, digits with an optional fraction, optional exponent)
// that starts at start; 0 when there is none.
std::size_t numberLength(std::string_view text, std::size_t start);

// True when the whole text (blanks around it allowed) is one number as readDouble reads it.
bool isNumberText(std::string_view text, double *value = nullptr);

// FloatToStr: general form with up to 15 significant digits.
AnsiString floatToStr(double value);

// Timeticks text: "H:MM:SS.hh", "1 day H:MM:SS.hh", "N days, H:MM:SS.hh".
AnsiString formatTimeTicks(uint32_t hundredths);
// Reads a timeticks text back (every text formatTimeTicks writes reads back exactly).
uint32_t readTimeTicks(std::string_view text);

// Date-times as days since 1899-12-30 plus the fraction of the day.
// "yyyy/mm/dd hh:nn:ss am/pm" with English am and pm.
AnsiString formatDateTime(double dateTime);
// Reads "y/m/d", optionally followed by "h:n", "h:n:s" and "am" or "pm" (any case); "-" may
// separate the date too. false when the text is no date.
bool readDateTime(std::string_view text, double &dateTime);
// The local date and time now (from the process clock).
double nowDateTime();

} // namespace kvsnmp
