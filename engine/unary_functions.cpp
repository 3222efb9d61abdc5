// The unary keys' table and the maths behind it. Library maths in double precision; arguments
// outside a function's domain give whatever the function gives (NaN or an infinity).
#include "engine/unary_functions.h"

#include <cmath>
#include <limits>

#include "engine/number_text.h"
#include "resources/resource_ids.h"

namespace {

enum AngleRule { ANGLE_NONE, ANGLE_ON_INPUT, ANGLE_ON_OUTPUT };
enum IntAction { INT_KEEP, INT_NEGATE, INT_COMPLEMENT };

double CommonLog(double x)     { return std::log10(x); }
double NaturalLog(double x)    { return std::log(x); }
double SquareRoot(double x)    { return std::sqrt(x); }
double Square(double x)        { return x * x; }
double NaturalExp(double x)    { return std::exp(x); }
double PowerOfTen(double x)    { return std::pow(10.0, x); }
double Sine(double x)          { return std::sin(x); }
double Cosine(double x)        { return std::cos(x); }
double Tangent(double x)       { return std::tan(x); }
double HypSine(double x)       { return std::sinh(x); }
double HypCosine(double x)     { return std::cosh(x); }
double HypTangent(double x)    { return std::tanh(x); }
double ArcSine(double x)       { return std::asin(x); }
double ArcCosine(double x)     { return std::acos(x); }
double ArcTangent(double x)    { return std::atan(x); }
double Negated(double x)       { return x * -1.0; }
double Unchanged(double x)     { return x; }

struct UnaryKey {
    int id;
    double (*realFunction)(double);
    AngleRule angle;
    bool snaps;
    bool tangentLimit;
    IntAction intAction;
};

const UnaryKey kUnaryKeys[] = {
    /* id             DEC function  angle rule       snap   tan limit  HEX/BIN */
    { IDC_LOG,        CommonLog,    ANGLE_NONE,      false, false,     INT_KEEP },
    { IDC_LN,         NaturalLog,   ANGLE_NONE,      false, false,     INT_KEEP },
    { IDC_SQRT,       SquareRoot,   ANGLE_NONE,      false, false,     INT_KEEP },
    { IDC_SQUARE,     Square,       ANGLE_NONE,      false, false,     INT_KEEP },
    { IDC_EXP,        NaturalExp,   ANGLE_NONE,      false, false,     INT_KEEP },
    { IDC_POW10,      PowerOfTen,   ANGLE_NONE,      false, false,     INT_KEEP },
    { IDC_FACTORIAL,  Factorial,    ANGLE_NONE,      false, false,     INT_KEEP },
    { IDC_SIN,        Sine,         ANGLE_ON_INPUT,  true,  false,     INT_KEEP },
    { IDC_COS,        Cosine,       ANGLE_ON_INPUT,  true,  false,     INT_KEEP },
    { IDC_TAN,        Tangent,      ANGLE_ON_INPUT,  true,  true,      INT_KEEP },
    { IDC_SINH,       HypSine,      ANGLE_ON_INPUT,  false, false,     INT_KEEP },
    { IDC_COSH,       HypCosine,    ANGLE_ON_INPUT,  false, false,     INT_KEEP },
    { IDC_TANH,       HypTangent,   ANGLE_ON_INPUT,  false, false,     INT_KEEP },
    { IDC_ASIN,       ArcSine,      ANGLE_ON_OUTPUT, false, false,     INT_KEEP },
    { IDC_ACOS,       ArcCosine,    ANGLE_ON_OUTPUT, false, false,     INT_KEEP },
    { IDC_ATAN,       ArcTangent,   ANGLE_ON_OUTPUT, false, false,     INT_KEEP },
    { IDC_NEGATE,     Negated,      ANGLE_NONE,      false, false,     INT_NEGATE },
    { IDC_NOT,        Unchanged,    ANGLE_NONE,      false, false,     INT_COMPLEMENT },
};

const UnaryKey* FindUnaryKey(int id)
{
    for (const UnaryKey& key : kUnaryKeys)
        if (key.id == id) return &key;
    return nullptr;
}

// Beyond ±TAN_LIMIT the tangent is taken as infinite; NaN stays NaN.
double LimitTangent(double r)
{
    if (r <= TAN_LIMIT && r >= -TAN_LIMIT) return r;
    if (r > 0) return std::numeric_limits<double>::infinity();
    if (r < 0) return -std::numeric_limits<double>::infinity();
    return r;
}

}  // namespace

BOOL IsUnaryKey(int id)
{
    return FindUnaryKey(id) != nullptr;
}

double ApplyRealFunction(int id, double x, BOOL degrees)
{
    const UnaryKey* key = FindUnaryKey(id);
    if (key == nullptr) return x;
    if (degrees && key->angle == ANGLE_ON_INPUT) x *= DEG_TO_RAD;
    double r = key->realFunction(x);
    if (degrees && key->angle == ANGLE_ON_OUTPUT) r *= RAD_TO_DEG;
    if (key->snaps && r > -SNAP_LIMIT && r < SNAP_LIMIT) return 0.0;
    if (key->tangentLimit) r = LimitTangent(r);
    return r;
}

std::int32_t ApplyIntFunction(int id, std::int32_t value)
{
    const UnaryKey* key = FindUnaryKey(id);
    std::uint32_t v = static_cast<std::uint32_t>(value);
    if (key != nullptr && key->intAction == INT_NEGATE) v = 0u - v;
    if (key != nullptr && key->intAction == INT_COMPLEMENT) v = ~v;
    return static_cast<std::int32_t>(v);
}

double Factorial(double x)
{
    if (!(1.0 < x)) return x;
    // A multiplier count of 32 bits could never reach such x; the product is infinite anyway.
    if (x > 2147483647.0) return std::numeric_limits<double>::infinity();
    double product = x;
    std::int32_t k = 1;
    do {
        product = IntToReal(k) * product;
        ++k;
    } while (IntToReal(k) < x && !std::isinf(product));
    return product;
}
