// Conversions between display text and the values of the three bases. Pure functions: they keep no
// state and report nothing; text that is not a number reads as its longest valid leading part.
#pragma once
#include <cstdint>
#include "platform/windows.h"

// Reads radix-16 text; an 8-digit text starting 8..F is a negative number's pattern.
std::int32_t ParseHexText(const WCHAR* text);
// Reads radix-2 text; a 32-digit text starting with 1 is a negative number's pattern.
std::int32_t ParseBinText(const WCHAR* text);
// Reads decimal floating-point text the way the C library's strtod does in the "C" locale
// (decimal forms, inf, infinity and nan in any case), whatever the process locale is.
double ParseDecText(const WCHAR* text);

// Write the 32-bit pattern, upper-case letters, no sign, no leading zeros. `dest` needs 9 / 33 units.
WCHAR* FormatHexText(std::int32_t value, WCHAR* dest);
WCHAR* FormatBinText(std::int32_t value, WCHAR* dest);
// Writes 10 significant digits, fixed form for 0.1 <= |x| < 1e10 (after rounding), exponent form
// otherwise; "inf", "-inf", "nan", "-0.". Returns the characters written; `dest` needs 32 units.
int FormatDecText(double value, WCHAR* dest);

// Truncates toward zero, saturating at the 32-bit limits; NaN gives 0.
std::int32_t RealToInt(double value);
double IntToReal(std::int32_t value);
