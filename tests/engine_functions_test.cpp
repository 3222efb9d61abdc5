// The unary maths without a window, where key sequences cannot reach exactly: the angle constants,
// the snap and tangent-limit boundaries, and the factorial over its whole range.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "engine/number_text.h"
#include "engine/unary_functions.h"
#include "resources/resource_ids.h"

namespace {

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

struct UnaryCase {
    int id;
    double x;
    BOOL degrees;
    std::string text;
};

TEST(ApplyRealFunction, AngleRuleSnapAndTangentLimitAtTheirBounds)
{
    const UnaryCase cases[] = {
        {IDC_COS, 90, TRUE, "0."},
        {IDC_COS, 270, TRUE, "0."},
        {IDC_SIN, 360, TRUE, "0."},
        {IDC_TAN, 180, TRUE, "0."},
        {IDC_TAN, 270, TRUE, "-inf"},
        {IDC_ACOS, 0.5, TRUE, "60."},
        {IDC_ATAN, 1, TRUE, "45."},
        {IDC_ASIN, 2, TRUE, "nan"},
        {IDC_TANH, 1, FALSE, "0.761594156"},
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
        {IDC_SQUARE, 1e200, TRUE, "inf"},
        {IDC_NEGATE, -kInf, TRUE, "inf"},
    };
    for (const UnaryCase& c : cases)
        EXPECT_EQ(DecText(ApplyRealFunction(c.id, c.x, c.degrees)), c.text)
            << "key " << c.id << " x " << c.x << (c.degrees ? " deg" : " rad");
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
