// Number text conversions of the three bases. The decimal side is locale-independent on purpose:
// the display always uses "." whatever the user's locale says. Text is read as ASCII; any other
// character ends a number.
#include "engine/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

namespace {

constexpr int kHexPatternLength = 8;
constexpr int kBinPatternLength = 32;
constexpr std::uint32_t kSignBit = 0x80000000u;

bool IsAsciiSpace(WCHAR c)
{
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

bool IsDecimalDigit(WCHAR c)
{
    return c >= u'0' && c <= u'9';
}

// Digit value in radix up to 36; anything else is out of every radix.
int DigitValue(WCHAR c)
{
    if (IsDecimalDigit(c)) return c - u'0';
    if (c >= u'a' && c <= u'z') return c - u'a' + 10;
    if (c >= u'A' && c <= u'Z') return c - u'A' + 10;
    return 99;
}

WCHAR LowerAscii(WCHAR c)
{
    return (c >= u'A' && c <= u'Z') ? static_cast<WCHAR>(c + (u'a' - u'A')) : c;
}

// True when `text` is exactly `length` characters long; never walks past length + 1.
bool HasLength(const WCHAR* text, int length)
{
    for (int i = 0; i < length; ++i)
        if (text[i] == 0) return false;
    return text[length] == 0;
}

// The standard integer reading: white space, sign, (radix 16) an optional 0x, digits up to the
// first other character; the value saturates at the signed 32-bit limits.
std::int32_t ReadSaturatedInteger(const WCHAR* p, int radix)
{
    while (IsAsciiSpace(*p)) ++p;
    bool negative = false;
    if (*p == u'+' || *p == u'-') negative = (*p++ == u'-');
    if (radix == 16 && p[0] == u'0' && (p[1] == u'x' || p[1] == u'X') && DigitValue(p[2]) < 16) p += 2;

    // Past 2^31 every reading saturates, so the magnitude is pinned just above it.
    const std::uint64_t kPinned = std::uint64_t{kSignBit} + 1;
    std::uint64_t magnitude = 0;
    for (; DigitValue(*p) < radix; ++p) {
        magnitude = magnitude * static_cast<std::uint64_t>(radix) + static_cast<std::uint64_t>(DigitValue(*p));
        if (magnitude > kPinned) magnitude = kPinned;
    }
    if (negative) {
        if (magnitude >= kSignBit) return std::numeric_limits<std::int32_t>::min();
        return -static_cast<std::int32_t>(magnitude);
    }
    if (magnitude >= kSignBit) return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(magnitude);
}

// A full-width pattern with the top bit set: read it with `smallerFirst` in first place (so it
// never saturates) and put the top bit back.
std::int32_t ReadTopBitPattern(const WCHAR* text, int length, WCHAR smallerFirst, int radix)
{
    WCHAR lowered[kBinPatternLength + 1];
    for (int i = 0; i <= length; ++i) lowered[i] = text[i];
    lowered[0] = smallerFirst;
    std::uint32_t low = static_cast<std::uint32_t>(ReadSaturatedInteger(lowered, radix));
    return static_cast<std::int32_t>(low + kSignBit);
}

bool MatchesIgnoringCase(const WCHAR* p, const char* word)
{
    for (; *word; ++p, ++word)
        if (LowerAscii(*p) != *word) return false;
    return true;
}

// "inf", "infinity" and "nan" (with an optional "(chars)", which changes nothing) in any case.
bool ReadSpecialMagnitude(const WCHAR* p, double* magnitude)
{
    if (MatchesIgnoringCase(p, "inf")) {
        *magnitude = std::numeric_limits<double>::infinity();
        return true;
    }
    if (MatchesIgnoringCase(p, "nan")) {
        *magnitude = std::numeric_limits<double>::quiet_NaN();
        return true;
    }
    return false;
}

// Collects the longest leading "digits [. digits] [e [sign] digits]" with at least one mantissa
// digit into `out` as narrow text. Also gives the decimal order of the first non-zero digit
// (roughly, saturated), which tells an overflow from an underflow.
bool ScanDecimal(const WCHAR* p, std::string* out, long* order)
{
    long significantBeforePoint = 0;
    long zerosAfterPoint = 0;  // between the point and the first non-zero digit
    bool seenNonZero = false;
    bool seenPoint = false;
    int mantissaDigits = 0;
    for (;; ++p) {
        if (IsDecimalDigit(*p)) {
            ++mantissaDigits;
            if (*p != u'0') seenNonZero = true;
            if (!seenPoint && seenNonZero) ++significantBeforePoint;
            if (seenPoint && !seenNonZero) ++zerosAfterPoint;
        } else if (*p == u'.' && !seenPoint) {
            seenPoint = true;
        } else {
            break;
        }
        out->push_back(static_cast<char>(*p));
    }
    if (mantissaDigits == 0) return false;

    // An exponent counts only when at least one digit follows "e" and its sign.
    long exponent = 0;
    if (*p == u'e' || *p == u'E') {
        const WCHAR* q = p + 1;
        bool negative = false;
        if (*q == u'+' || *q == u'-') negative = (*q++ == u'-');
        if (IsDecimalDigit(*q)) {
            out->append(negative ? "e-" : "e");
            for (; IsDecimalDigit(*q); ++q) {
                out->push_back(static_cast<char>(*q));
                if (exponent < 100000000) exponent = exponent * 10 + (*q - u'0');
            }
            if (negative) exponent = -exponent;
        }
    }
    *order = significantBeforePoint > 0 ? significantBeforePoint - 1 + exponent
                                        : exponent - zerosAfterPoint - 1;
    return true;
}

std::int32_t ClampedToInt(double value)
{
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
    if (value <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

// Radix 16 or 2 pattern of the unsigned 32 bits, most significant digit first.
WCHAR* FormatUnsigned(std::uint32_t value, unsigned radix, WCHAR* dest)
{
    static const char kDigits[] = "0123456789ABCDEF";
    WCHAR reversed[kBinPatternLength];
    int count = 0;
    do {
        reversed[count++] = static_cast<WCHAR>(kDigits[value % radix]);
        value /= radix;
    } while (value != 0);
    for (int i = 0; i < count; ++i) dest[i] = reversed[count - 1 - i];
    dest[count] = 0;
    return dest;
}

int CopyNarrow(const char* text, WCHAR* dest)
{
    int n = 0;
    for (; text[n]; ++n) dest[n] = static_cast<WCHAR>(static_cast<unsigned char>(text[n]));
    dest[n] = 0;
    return n;
}

// Appends the digits with trailing zeros dropped.
void AppendWithoutTrailingZeros(std::string* out, const char* digits, int count)
{
    while (count > 0 && digits[count - 1] == '0') --count;
    out->append(digits, static_cast<std::size_t>(count));
}

// Builds the display form of a finite, non-zero value from its 10 rounded significant digits.
std::string DecimalForm(double value)
{
    // "d.ddddddddde+XX": the rounding to 10 digits happens here, so the form below is chosen on
    // the rounded value (9999999999.7 becomes 1.000000000e+10).
    char scientific[64];
    std::to_chars_result r = std::to_chars(scientific, scientific + sizeof scientific - 1, value,
                                           std::chars_format::scientific, 9);
    *r.ptr = 0;
    const char* p = scientific;
    std::string out;
    if (*p == '-') out.push_back(*p++);
    char digits[10];
    digits[0] = p[0];
    for (int i = 1; i < 10; ++i) digits[i] = p[i + 1];  // skip the point after the first digit
    int exponent = 0;
    for (const char* e = p + 13; *e; ++e) exponent = exponent * 10 + (*e - '0');  // after "e+"/"e-"
    if (p[12] == '-') exponent = -exponent;

    if (exponent >= -1 && exponent <= 9) {
        if (exponent < 0) {
            out.push_back('0');
        } else {
            out.append(digits, static_cast<std::size_t>(exponent + 1));
        }
        out.push_back('.');
        int fractionStart = exponent < 0 ? 0 : exponent + 1;
        AppendWithoutTrailingZeros(&out, digits + fractionStart, 10 - fractionStart);
        return out;
    }
    out.push_back(digits[0]);
    out.push_back('.');
    AppendWithoutTrailingZeros(&out, digits + 1, 9);
    char exponentText[16];
    std::snprintf(exponentText, sizeof exponentText, "e%c%02d", exponent < 0 ? '-' : '+',
                  exponent < 0 ? -exponent : exponent);
    out.append(exponentText);
    return out;
}

}  // namespace

std::int32_t ParseHexText(const WCHAR* text)
{
    if (text == nullptr) return 0;
    WCHAR first = text[0];
    bool topBitDigit = (first >= u'8' && first <= u'9') || (first >= u'A' && first <= u'F');
    if (topBitDigit && HasLength(text, kHexPatternLength)) {
        WCHAR smaller = static_cast<WCHAR>(u'0' + DigitValue(first) - 8);
        return ReadTopBitPattern(text, kHexPatternLength, smaller, 16);
    }
    return ReadSaturatedInteger(text, 16);
}

std::int32_t ParseBinText(const WCHAR* text)
{
    if (text == nullptr) return 0;
    if (text[0] == u'1' && HasLength(text, kBinPatternLength))
        return ReadTopBitPattern(text, kBinPatternLength, u'0', 2);
    return ReadSaturatedInteger(text, 2);
}

double ParseDecText(const WCHAR* text)
{
    if (text == nullptr) return 0.0;
    const WCHAR* p = text;
    while (IsAsciiSpace(*p)) ++p;
    bool negative = false;
    if (*p == u'+' || *p == u'-') negative = (*p++ == u'-');

    double magnitude = 0.0;
    if (!ReadSpecialMagnitude(p, &magnitude)) {
        std::string number;
        long order = 0;
        if (!ScanDecimal(p, &number, &order)) return 0.0;
        std::from_chars_result r = std::from_chars(number.data(), number.data() + number.size(),
                                                   magnitude, std::chars_format::general);
        // Out of range: beyond the largest double is infinite, below the smallest is zero.
        if (r.ec == std::errc::result_out_of_range)
            magnitude = order > 0 ? std::numeric_limits<double>::infinity() : 0.0;
        else if (r.ec != std::errc())
            magnitude = 0.0;
    }
    return negative ? -magnitude : magnitude;
}

WCHAR* FormatHexText(std::int32_t value, WCHAR* dest)
{
    return FormatUnsigned(static_cast<std::uint32_t>(value), 16, dest);
}

WCHAR* FormatBinText(std::int32_t value, WCHAR* dest)
{
    return FormatUnsigned(static_cast<std::uint32_t>(value), 2, dest);
}

int FormatDecText(double value, WCHAR* dest)
{
    if (std::isnan(value)) return CopyNarrow("nan", dest);
    if (std::isinf(value)) return CopyNarrow(value < 0 ? "-inf" : "inf", dest);
    if (value == 0.0) return CopyNarrow(std::signbit(value) ? "-0." : "0.", dest);
    return CopyNarrow(DecimalForm(value).c_str(), dest);
}

std::int32_t RealToInt(double value)
{
    return ClampedToInt(value);
}

double IntToReal(std::int32_t value)
{
    return static_cast<double>(value);
}
