// The engine's arithmetic without a window: pending-operator evaluation of both kinds, the unary
// functions with the angle rule, snap and tangent limit, the factorial, and the angle constants.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "engine/number_text.h"
#include "engine/operator_eval.h"
#include "engine/unary_functions.h"
#include "resources/resource_ids.h"

namespace {

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr double kInf = std::numeric_limits<double>::infinity();
const double kNan = std::numeric_limits<double>::quiet_NaN();

std::string DecText(double v)
{
    WCHAR buf[256];
    FormatDecText(v, buf);
    std::string out;
    for (const WCHAR* p = buf; *p; ++p) out += static_cast<char>(*p);
    return out;
}

TEST(AngleConstants, HaveTheirExactBitPatterns)
{
    EXPECT_EQ(std::bit_cast<std::uint64_t>(DEG_TO_RAD), 0x3F91DF46A2529E84u);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(RAD_TO_DEG), 0x404CA5DC1A63BFE5u);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(SNAP_LIMIT), 0x3E112E0BE826D695u);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(TAN_LIMIT), 0x4202A05F20000000u);
}

struct IntOpCase {
    std::uint32_t op;
    std::int32_t accum;
    std::int32_t operand;
    std::int32_t result;
};

TEST(ApplyIntOperator, WrapsAndDividesUnsigned)
{
    const IntOpCase cases[] = {
        {IDC_ADD, -1, 1, 0},
        {IDC_ADD, kMax, 1, kMin},
        {IDC_SUB, kMin, 1, kMax},
        {IDC_SUB, 5, 5, 0},
        {IDC_MUL, 0x10000, 0x10000, 0},
        {IDC_MUL, kMin, -1, kMin},
        {IDC_MUL, -3, 7, -21},
        {IDC_DIV, -2, 2, kMax},                  // 0xFFFFFFFE / 2
        {IDC_DIV, kMin, -1, 0},                  // 0x80000000 / 0xFFFFFFFF
        {IDC_DIV, 7, 2, 3},
        {IDC_DIV, 7, 0, 0},                      // no quotient: 0
        {IDC_DIV, kMin, 0, 0},
        {IDC_MOD, -1, 10, 5},                    // 4294967295 mod 10
        {IDC_MOD, 7, 0, 0},
        {IDC_MOD, kMin, -1, kMin},
        {IDC_EQUALS, 123, -9, -9},
        {IDC_AND, 0xFF0, 0x0FF, 0x0F0},
        {IDC_OR, 0xF00, 0x00F, 0xF0F},
        {IDC_XOR, -1, 0x0F, static_cast<std::int32_t>(0xFFFFFFF0u)},
        {IDC_POWER, 7, 3, 7},                    // DEC-only operator: accumulator stays
        {0, 7, 3, 7},                            // nothing pending
    };
    for (const IntOpCase& c : cases)
        EXPECT_EQ(ApplyIntOperator(c.op, c.accum, c.operand), c.result)
            << "op " << c.op << " " << c.accum << ", " << c.operand;
}

struct RealOpCase {
    std::uint32_t op;
    double accum;
    double operand;
    std::string text;  // compared as display text so that NaN and -0 count
};

TEST(ApplyRealOperator, FollowsIeeeAndTruncatesForMod)
{
    const RealOpCase cases[] = {
        {IDC_ADD, 2, 3, "5."},
        {IDC_SUB, 5, 5, "0."},
        {IDC_MUL, 1e200, 1e200, "inf"},
        {IDC_DIV, 1, 0, "inf"},
        {IDC_DIV, -1, 0, "-inf"},
        {IDC_DIV, 0, 0, "nan"},
        {IDC_DIV, 1, 3, "0.3333333333"},
        {IDC_EQUALS, 9, 4, "4."},
        {IDC_POWER, 2, 10, "1024."},
        {IDC_POWER, 0, -1, "inf"},
        {IDC_POWER, -8, 1.0 / 3.0, "nan"},
        {IDC_MOD, 7, 3, "1."},
        {IDC_MOD, 7.9, 2.5, "1."},
        {IDC_MOD, -7, 3, "-1."},
        {IDC_MOD, 7, -3, "1."},
        {IDC_MOD, 7, 0, "nan"},
        {IDC_MOD, 7, 0.5, "nan"},               // truncates to a zero divisor
        {IDC_MOD, -2147483648.0, -1, "0."},     // would trap as a machine remainder
        {IDC_MOD, -1e300, -1, "0."},
        {IDC_MOD, 1e300, 7, "1."},              // 2147483647 mod 7
        {IDC_MOD, kInf, 2, "1."},
        {IDC_MOD, kNan, 3, "0."},
        {IDC_MOD, 5, kNan, "nan"},
        {IDC_AND, 6, 3, "6."},                  // integer-only operators leave the accumulator
        {IDC_XOR, 6, 3, "6."},
        {0, 6, 3, "6."},
    };
    for (const RealOpCase& c : cases)
        EXPECT_EQ(DecText(ApplyRealOperator(c.op, c.accum, c.operand)), c.text)
            << "op " << c.op << " " << c.accum << ", " << c.operand;
}

struct UnaryCase {
    int id;
    double x;
    BOOL degrees;
    std::string text;
};

TEST(ApplyRealFunction, AppliesAngleRuleSnapAndTangentLimit)
{
    const UnaryCase cases[] = {
        {IDC_SIN, 30, TRUE, "0.5"},
        {IDC_COS, 60, TRUE, "0.5"},
        {IDC_TAN, 45, TRUE, "1."},
        {IDC_SIN, 180, TRUE, "0."},
        {IDC_COS, 90, TRUE, "0."},
        {IDC_COS, 270, TRUE, "0."},
        {IDC_SIN, 360, TRUE, "0."},
        {IDC_TAN, 180, TRUE, "0."},
        {IDC_TAN, 90, TRUE, "-inf"},
        {IDC_TAN, -90, TRUE, "inf"},
        {IDC_TAN, 270, TRUE, "-inf"},
        {IDC_ASIN, 0.5, TRUE, "30."},
        {IDC_ACOS, 0.5, TRUE, "60."},
        {IDC_ATAN, 1, TRUE, "45."},
        {IDC_ACOS, -1, TRUE, "180."},
        {IDC_ASIN, 2, TRUE, "nan"},
        {IDC_SINH, 1, TRUE, "1.745417863e-02"},  // the hyperbolic keys convert degrees too
        {IDC_COSH, 1, TRUE, "1.000152313"},
        {IDC_SINH, 1, FALSE, "1.175201194"},
        {IDC_COSH, 1, FALSE, "1.543080635"},
        {IDC_TANH, 1, FALSE, "0.761594156"},
        {IDC_ASIN, 1, FALSE, "1.570796327"},
        {IDC_SIN, 1e-9, FALSE, "1.e-09"},        // the snap is strict
        {IDC_SIN, 9.99e-10, FALSE, "0."},
        {IDC_TAN, -1e-10, FALSE, "0."},          // snapped to +0
        {IDC_SINH, 1e-10, FALSE, "1.e-10"},      // no snap for the hyperbolic keys
        {IDC_TAN, 1.5707963267, FALSE, "inf"},   // about 1.05e10
        {IDC_TAN, -1.5707963267, FALSE, "-inf"},
        {IDC_TAN, 1.57079632, FALSE, "147169271.8"},
        {IDC_TAN, kNan, TRUE, "nan"},
        {IDC_SIN, kInf, FALSE, "nan"},
        {IDC_COSH, 1000, FALSE, "inf"},
        {IDC_LOG, 100, TRUE, "2."},              // never converted
        {IDC_LOG, 0, TRUE, "-inf"},
        {IDC_LN, 1, TRUE, "0."},
        {IDC_LN, -1, TRUE, "nan"},
        {IDC_SQRT, 2, TRUE, "1.414213562"},
        {IDC_SQRT, -1, TRUE, "nan"},
        {IDC_SQUARE, 1.414213562, TRUE, "1.999999999"},
        {IDC_SQUARE, 1e200, TRUE, "inf"},
        {IDC_EXP, 1, TRUE, "2.718281828"},
        {IDC_EXP, 1000, TRUE, "inf"},
        {IDC_POW10, 3, TRUE, "1000."},
        {IDC_POW10, -2, TRUE, "1.e-02"},
        {IDC_NEGATE, 5, TRUE, "-5."},
        {IDC_NEGATE, 0, TRUE, "-0."},
        {IDC_NEGATE, -kInf, TRUE, "inf"},
        {IDC_NOT, 5, TRUE, "5."},
        {IDC_FACTORIAL, 5, TRUE, "120."},
    };
    for (const UnaryCase& c : cases)
        EXPECT_EQ(DecText(ApplyRealFunction(c.id, c.x, c.degrees)), c.text)
            << "key " << c.id << " x " << c.x << (c.degrees ? " deg" : " rad");
}

TEST(ApplyIntFunction, NegatesAndComplementsWrapping)
{
    const struct {
        int id;
        std::int32_t value;
        std::int32_t result;
    } cases[] = {
        {IDC_NEGATE, 1, -1},
        {IDC_NEGATE, -1, 1},
        {IDC_NEGATE, 0, 0},
        {IDC_NEGATE, kMin, kMin},
        {IDC_NEGATE, kMax, kMin + 1},
        {IDC_NOT, 0, -1},
        {IDC_NOT, -1, 0},
        {IDC_NOT, kMin, kMax},
        {IDC_SIN, 7, 7},
        {IDC_FACTORIAL, 5, 5},
        {IDC_LOG, kMin, kMin},
    };
    for (const auto& c : cases) EXPECT_EQ(ApplyIntFunction(c.id, c.value), c.result) << c.id;
}

TEST(IsUnaryKey, KnowsExactlyTheEighteenUnaryKeys)
{
    const int unary[] = {1035, 1036, 1038, 1040, 1041, 1042, 1046, 1056, 1058,
                         1059, 1060, 1061, 1063, 1064, 1065, 1066, 1067, 2031};
    int found = 0;
    for (int id = 0; id <= 2100; ++id) {
        if (!IsUnaryKey(id)) continue;
        ++found;
        EXPECT_NE(std::find(std::begin(unary), std::end(unary), id), std::end(unary)) << id;
    }
    EXPECT_EQ(found, 18);
}

TEST(Factorial, MultipliesDownToOneAndEndsForEveryArgument)
{
    const struct {
        double x;
        std::string text;
    } cases[] = {
        {5, "120."},
        {2, "2."},
        {1, "1."},
        {0, "0."},
        {0.5, "0.5"},
        {-3, "-3."},
        {1.5, "1.5"},
        {2.5, "5."},
        {3.7, "22.2"},
        {170, "7.257415615e+306"},
        {170.5, "inf"},
        {171, "inf"},
        {1e9, "inf"},
        {2147483647.0, "inf"},
        {2147483648.0, "inf"},
        {1e300, "inf"},
        {kInf, "inf"},
        {-kInf, "-inf"},
        {kNan, "nan"},
    };
    for (const auto& c : cases) EXPECT_EQ(DecText(Factorial(c.x)), c.text) << c.x;
}

}  // namespace
