// Evaluation of the pending operator. Integer work is done on unsigned 32-bit patterns so that
// wrapping is defined; operators of the other kind leave the accumulator as it is.
#include "engine/operator_eval.h"

#include <cmath>
#include <limits>

#include "engine/number_text.h"
#include "resources/resource_ids.h"

namespace {

// A divisor of zero has no quotient; the calculator shows 0 and goes on.
std::uint32_t UnsignedQuotient(std::uint32_t a, std::uint32_t v)
{
    return v == 0 ? 0 : a / v;
}

std::uint32_t UnsignedRemainder(std::uint32_t a, std::uint32_t v)
{
    return v == 0 ? 0 : a % v;
}

// Signed remainder with the sign of the left operand; INT_MIN by -1 would trap, its remainder is 0.
double TruncatedRemainder(double accum, double operand)
{
    std::int32_t a = RealToInt(accum);
    std::int32_t v = RealToInt(operand);
    if (v == 0) return std::numeric_limits<double>::quiet_NaN();
    if (v == -1) return IntToReal(0);
    return IntToReal(a % v);
}

}  // namespace

std::int32_t ApplyIntOperator(std::uint32_t pendingOp, std::int32_t accum, std::int32_t operand)
{
    std::uint32_t a = static_cast<std::uint32_t>(accum);
    std::uint32_t v = static_cast<std::uint32_t>(operand);
    std::uint32_t result = a;
    switch (pendingOp) {
    case IDC_SUB:    result = a - v; break;
    case IDC_ADD:    result = a + v; break;
    case IDC_MUL:    result = a * v; break;
    case IDC_DIV:    result = UnsignedQuotient(a, v); break;
    case IDC_EQUALS: result = v; break;
    case IDC_AND:    result = a & v; break;
    case IDC_OR:     result = a | v; break;
    case IDC_XOR:    result = a ^ v; break;
    case IDC_MOD:    result = UnsignedRemainder(a, v); break;
    }
    return static_cast<std::int32_t>(result);
}

double ApplyRealOperator(std::uint32_t pendingOp, double accum, double operand)
{
    switch (pendingOp) {
    case IDC_SUB:    return accum - operand;
    case IDC_ADD:    return accum + operand;
    case IDC_MUL:    return accum * operand;
    case IDC_DIV:    return accum / operand;
    case IDC_EQUALS: return operand;
    case IDC_MOD:    return TruncatedRemainder(accum, operand);
    case IDC_POWER:  return std::pow(accum, operand);
    }
    return accum;
}
