// The number text conversions of the three bases, at their limits: full-width patterns,
// saturation, 10-digit rounding and the choice of form, inf/nan/-0, and the process locale.
#include <gtest/gtest.h>

#include <bit>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <unistd.h>

#include "engine/number_text.h"

namespace {

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr double kInf = std::numeric_limits<double>::infinity();

std::u16string Wide(const std::string& text)
{
    return std::u16string(text.begin(), text.end());
}

std::string Narrow(const WCHAR* text)
{
    std::string out;
    for (; *text; ++text) out += *text < 0x80 ? static_cast<char>(*text) : '?';
    return out;
}

std::string Repeat(char c, int n)
{
    return std::string(static_cast<std::size_t>(n), c);
}

std::string HexText(std::int32_t v)
{
    WCHAR buf[256];
    return Narrow(FormatHexText(v, buf));
}

std::string BinText(std::int32_t v)
{
    WCHAR buf[256];
    return Narrow(FormatBinText(v, buf));
}

std::string DecText(double v)
{
    WCHAR buf[256];
    int n = FormatDecText(v, buf);
    std::string text = Narrow(buf);
    EXPECT_EQ(n, static_cast<int>(text.size())) << text;
    return text;
}

double ReadDec(const std::string& text)
{
    return ParseDecText(Wide(text).c_str());
}

struct IntCase {
    std::string text;
    std::int32_t value;
};

TEST(ParseHexText, ReadsPatternsStandardTextAndSaturates)
{
    const IntCase cases[] = {
        {"FFFFFFFF", -1},
        {"80000000", kMin},
        {"7FFFFFFF", kMax},
        {"89ABCDEF", static_cast<std::int32_t>(0x89ABCDEFu)},
        {"FFFFFFF", 268435455},         // 7 digits: no pattern
        {"100000000", kMax},            // 9 digits saturate
        {"FFFFFFFFFF", kMax},
        {"0", 0},
        {"", 0},
        {"0.", 0},                      // C/CE's text in HEX
        {"3.14159265359", 3},           // π's text in HEX stops at the point
        {"A", 10},
        {"ff", 255},                    // lower case reads by the standard rule
        {"ffffffff", kMax},             // ... but is no pattern: only upper case is
        {" FFFFFFF", 268435455},        // 8 characters, but the first is no digit
        {"  1F", 31},
        {"+7", 7},
        {"-5", -5},
        {"-80000000", kMin},
        {"-80000001", kMin},
        {"-FFFFFFFFFF", kMin},
        {"0x1F", 31},
        {"0X10", 16},
        {"0x", 0},
        {"0xG", 0},
        {"1G2", 1},
        {"00000000FF", 255},
        {"12345678901234567890", kMax},
    };
    for (const IntCase& c : cases)
        EXPECT_EQ(ParseHexText(Wide(c.text).c_str()), c.value) << '"' << c.text << '"';
}

TEST(ParseHexText, LeavesItsTextUnchanged)
{
    WCHAR text[] = u"FFFFFFFF";
    EXPECT_EQ(ParseHexText(text), -1);
    EXPECT_EQ(Narrow(text), "FFFFFFFF");
}

TEST(ParseBinText, ReadsPatternsStandardTextAndSaturates)
{
    const IntCase cases[] = {
        {Repeat('1', 32), -1},
        {"1" + Repeat('0', 31), kMin},
        {"0" + Repeat('1', 31), kMax},
        {Repeat('1', 31), kMax},
        {Repeat('1', 33), kMax},
        {"1" + Repeat('0', 32), kMax},
        {"11111111111111111111111111111011", -5},
        {"101", 5},
        {"", 0},
        {"0", 0},
        {"0.", 0},
        {"-101", -5},
        {"-1" + Repeat('0', 31), kMin},
        {"-" + Repeat('1', 33), kMin},
        {"  11", 3},
        {"102", 2},
        {"0b11", 0},
        {"2", 0},
    };
    for (const IntCase& c : cases)
        EXPECT_EQ(ParseBinText(Wide(c.text).c_str()), c.value) << '"' << c.text << '"';
}

TEST(FormatIntegerText, WritesUnsignedPatternsInUpperCase)
{
    struct Case {
        std::int32_t value;
        std::string hex;
        std::string bin;
    };
    const Case cases[] = {
        {0, "0", "0"},
        {1, "1", "1"},
        {255, "FF", "11111111"},
        {0xABCDEF, "ABCDEF", "101010111100110111101111"},
        {-1, "FFFFFFFF", Repeat('1', 32)},
        {-5, "FFFFFFFB", "11111111111111111111111111111011"},
        {kMin, "80000000", "1" + Repeat('0', 31)},
        {kMax, "7FFFFFFF", Repeat('1', 31)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HexText(c.value), c.hex) << c.value;
        EXPECT_EQ(BinText(c.value), c.bin) << c.value;
    }
}

TEST(FormatIntegerText, EveryPatternReadsBackToItsValue)
{
    std::mt19937 random(20240611);
    for (int i = 0; i < 200000; ++i) {
        std::int32_t v = static_cast<std::int32_t>(random());
        if (i < 64) v = static_cast<std::int32_t>((1u << (i % 32)) - static_cast<unsigned>(i / 32));  // powers of two, less one
        WCHAR buf[64];
        ASSERT_EQ(ParseHexText(FormatHexText(v, buf)), v);
        ASSERT_EQ(ParseBinText(FormatBinText(v, buf)), v);
    }
}

struct DecParseCase {
    std::string text;
    double value;
};

TEST(ParseDecText, ReadsTheLongestValidLeadingNumber)
{
    const std::string manyZeros = Repeat('0', 400);
    const DecParseCase cases[] = {
        {"0.", 0.0},
        {"1.5", 1.5},
        {"-3.", -3.0},
        {"1.5.", 1.5},                // a second point ends the number
        {"07", 7.0},
        {"  +2.5e3", 2500.0},
        {"1e", 1.0},                  // an exponent needs a digit
        {"1e+", 1.0},
        {"1E-2", 0.01},
        {"1E5", 1e5},                 // HEX letters typed in DEC read as an exponent
        {".5", 0.5},
        {".", 0.0},
        {"-", 0.0},
        {"", 0.0},
        {"abc", 0.0},
        {"0x10", 0.0},                // decimal only
        {"3.14159265359", 3.14159265359},
        {"1.23456789e+10", 12345678900.0},
        {"5.e-02", 0.05},
        {"1e400", kInf},
        {"-1e400", -kInf},
        {"1e-400", 0.0},
        {"1.7976931348623159e308", kInf},
        {"4.9406564584124654e-324", 4.9406564584124654e-324},
        {"1e-310", 1e-310},           // subnormals are kept
        {"1" + manyZeros, kInf},
        {"1" + manyZeros + "e-800", 0.0},
        {"0." + manyZeros + "1e800", kInf},
        {"0." + manyZeros + "1e-10", 0.0},
        {"0." + Repeat('0', 200) + "1e300", 1e99},
        {"1" + Repeat('0', 250), 1e250},
        {"1e99999999999999999999", kInf},
        {"1e-99999999999999999999", 0.0},
    };
    for (const DecParseCase& c : cases)
        EXPECT_EQ(ReadDec(c.text), c.value) << '"' << c.text.substr(0, 60) << '"';
}

TEST(ParseDecText, ReadsInfinityAndNanInAnyCase)
{
    const DecParseCase infinities[] = {
        {"inf", kInf}, {"INF", kInf}, {"Infinity", kInf}, {"+inf", kInf},
        {"-inf", -kInf}, {"-INF", -kInf}, {"  -InFiNiTy", -kInf},
    };
    for (const DecParseCase& c : infinities) EXPECT_EQ(ReadDec(c.text), c.value) << c.text;
    for (const char* text : {"nan", "NAN", "-nan", "NaN(123)", " nan"})
        EXPECT_TRUE(std::isnan(ReadDec(text))) << text;
    for (const char* text : {"in", "na", "-i"})
        EXPECT_EQ(ReadDec(text), 0.0) << text;
}

TEST(ParseDecText, KeepsTheSignOfZero)
{
    EXPECT_TRUE(std::signbit(ReadDec("-0.")));
    EXPECT_TRUE(std::signbit(ReadDec("-0e5")));
    EXPECT_FALSE(std::signbit(ReadDec("0.")));
}

// The reading must be exactly the C library's in the "C" locale, on strings built from the
// characters a display can hold.
TEST(ParseDecText, AgreesWithStrtodOnRandomText)
{
    const char alphabet[] = "0123456789.eE+- ";
    std::mt19937 random(7);
    for (int i = 0; i < 100000; ++i) {
        std::string text;
        int length = static_cast<int>(random() % 40);
        for (int j = 0; j < length; ++j) text += alphabet[random() % (sizeof alphabet - 1)];
        double expected = std::strtod(text.c_str(), nullptr);
        double actual = ReadDec(text);
        ASSERT_EQ(std::bit_cast<std::uint64_t>(actual), std::bit_cast<std::uint64_t>(expected))
            << '"' << text << '"';
    }
}

struct DecFormatCase {
    double value;
    std::string text;
};

TEST(FormatDecText, WritesTenSignificantDigitsInTheRightForm)
{
    const DecFormatCase cases[] = {
        {0.0, "0."},
        {-0.0, "-0."},
        {1.0, "1."},
        {-3.0, "-3."},
        {120.0, "120."},
        {0.5, "0.5"},
        {-0.5, "-0.5"},
        {0.1, "0.1"},
        {1.0 / 3.0, "0.3333333333"},
        {2.0 / 3.0, "0.6666666667"},
        {123.456, "123.456"},
        {3.14159265359, "3.141592654"},
        {1234567890.0, "1234567890."},
        {-2147483648.0, "-2147483648."},
        {4294967295.0, "4294967295."},
        {1e9, "1000000000."},
        {9999999999.4, "9999999999."},
        {9999999999.7, "1.e+10"},      // rounds across 1e10: the rounded value decides
        {1e10, "1.e+10"},
        {12345678901.0, "1.23456789e+10"},
        {-12345678901.0, "-1.23456789e+10"},
        {1e15, "1.e+15"},
        {0.05, "5.e-02"},
        {0.099999999996, "0.1"},       // rounds up to 0.1: fixed form
        {0.099999999949, "9.999999995e-02"},
        {0.1234567890123, "0.123456789"},
        {0.000123, "1.23e-04"},
        {1e-5, "1.e-05"},
        {1e-100, "1.e-100"},
        {1.7976931348623157e308, "1.797693135e+308"},
        {4.9406564584124654e-324, "4.940656458e-324"},
        {kInf, "inf"},
        {-kInf, "-inf"},
        {std::numeric_limits<double>::quiet_NaN(), "nan"},
        {-std::numeric_limits<double>::quiet_NaN(), "nan"},
    };
    for (const DecFormatCase& c : cases) EXPECT_EQ(DecText(c.value), c.text) << c.value;
}

TEST(FormatDecText, SpecialTextsReadBackToTheSameValue)
{
    EXPECT_EQ(ReadDec(DecText(kInf)), kInf);
    EXPECT_EQ(ReadDec(DecText(-kInf)), -kInf);
    EXPECT_TRUE(std::isnan(ReadDec(DecText(std::numeric_limits<double>::quiet_NaN()))));
    EXPECT_TRUE(std::signbit(ReadDec(DecText(-0.0))));
    EXPECT_EQ(ReadDec(DecText(-0.0)), 0.0);
}

// Formatting and reading back gives the value rounded to 10 significant digits, and formatting
// that again changes nothing: values travel between keys as this text.
TEST(FormatDecText, ReadsBackRoundedToTenDigits)
{
    EXPECT_EQ(ReadDec(DecText(3.14159265359)), 3.141592654);
    EXPECT_EQ(ReadDec(DecText(std::sqrt(2.0))), 1.414213562);
    EXPECT_EQ(ReadDec(DecText(12345678901.0)), 12345678900.0);

    std::mt19937_64 random(11);
    for (int i = 0; i < 100000; ++i) {
        double value = std::bit_cast<double>(random());
        if (!std::isfinite(value)) continue;
        std::string text = DecText(value);
        double back = ReadDec(text);
        ASSERT_EQ(DecText(back), text) << value;
        if (std::fabs(value) > 1e-300 && std::fabs(value) < 1e300) {
            ASSERT_LE(std::fabs(back - value), std::fabs(value) * 5.000001e-10) << text;
        }
    }
}

TEST(FormatDecText, NeverWritesMoreThanTheLongestForm)
{
    std::mt19937_64 random(5);
    for (int i = 0; i < 100000; ++i) {
        std::string text = DecText(std::bit_cast<double>(random()));
        ASSERT_LE(text.size(), 17u) << text;  // "-d.ddddddddde-ddd"
    }
}

TEST(RealToInt, TruncatesTowardZeroAndSaturates)
{
    struct Case {
        double value;
        std::int32_t result;
    };
    const Case cases[] = {
        {2.9, 2},
        {-2.9, -2},
        {-0.5, 0},
        {-0.0, 0},
        {4.9406564584124654e-324, 0},
        {2147483646.99, 2147483646},
        {2147483647.0, kMax},
        {2147483647.5, kMax},
        {2147483648.0, kMax},
        {1e300, kMax},
        {kInf, kMax},
        {-2147483647.99, -2147483647},
        {-2147483648.0, kMin},
        {-2147483648.9, kMin},
        {-2147483649.0, kMin},
        {-1e300, kMin},
        {-kInf, kMin},
        {std::numeric_limits<double>::quiet_NaN(), 0},
        {-std::numeric_limits<double>::quiet_NaN(), 0},
    };
    for (const Case& c : cases) EXPECT_EQ(RealToInt(c.value), c.result) << c.value;
}

TEST(IntToReal, IsExactAndFormatsAsDecimal)
{
    EXPECT_EQ(IntToReal(kMin), -2147483648.0);
    EXPECT_EQ(IntToReal(kMax), 2147483647.0);
    EXPECT_EQ(DecText(IntToReal(-1)), "-1.");
    EXPECT_EQ(RealToInt(IntToReal(kMin)), kMin);
}

// A locale whose decimal point is "," must change neither reading nor writing. Builds such a
// locale on the fly where the system can.
class CommaLocale : public ::testing::Test {
protected:
    void SetUp() override
    {
        char dir[] = "/tmp/quorix-locale-XXXXXX";
        if (mkdtemp(dir) == nullptr) GTEST_SKIP() << "no temporary directory";
        dir_ = dir;
        std::string command = "localedef -i de_DE -f UTF-8 " + dir_ + "/de_DE.UTF-8 >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0) GTEST_SKIP() << "localedef cannot build de_DE";
        setenv("LOCPATH", dir_.c_str(), 1);
        if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "locale not loadable";
    }
    void TearDown() override
    {
        std::setlocale(LC_ALL, "C");
        unsetenv("LOCPATH");
        if (!dir_.empty()) std::system(("rm -rf " + dir_).c_str());
    }
    std::string dir_;
};

TEST_F(CommaLocale, DecimalTextKeepsItsPoint)
{
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    ASSERT_EQ(std::string(probe), "1,5") << "the locale did not take effect";
    EXPECT_EQ(DecText(1.5), "1.5");
    EXPECT_EQ(DecText(12345678901.0), "1.23456789e+10");
    EXPECT_EQ(ReadDec("1.5"), 1.5);
    EXPECT_EQ(ReadDec("2.5e-3"), 0.0025);
    EXPECT_EQ(ReadDec("1,5"), 1.0);
}

}  // namespace
