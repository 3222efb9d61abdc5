// What a pending binary operator makes of the accumulator and the right operand, per kind of value.
#pragma once
#include <cstdint>

// HEX and BIN: 32-bit patterns, wrapping; ÷ and MOD are unsigned, and by zero give 0.
std::int32_t ApplyIntOperator(std::uint32_t pendingOp, std::int32_t accum, std::int32_t operand);
// DEC: IEEE doubles; MOD works on the truncated integers and gives NaN for a zero divisor.
double ApplyRealOperator(std::uint32_t pendingOp, double accum, double operand);
