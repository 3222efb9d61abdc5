// The unary keys and what each computes, as pure functions of the value on display.
#pragma once
#include <cstdint>
#include "platform/windows.h"

// Both angle factors come from the 12-digit value the π key enters, not from the full-precision π,
// so 180 degrees becomes exactly the double nearest 3.14159265359.
constexpr double DEG_TO_RAD = 3.14159265359 / 180.0;
constexpr double RAD_TO_DEG = 180.0 / 3.14159265359;
// sin, cos and tan closer to zero than this show 0, so sin 180 reads "0." despite the factor.
constexpr double SNAP_LIMIT = 1e-9;
// Tangents beyond this are shown as infinite.
constexpr double TAN_LIMIT = 1e10;

BOOL IsUnaryKey(int id);
// DEC result of unary key `id` for `x`; `degrees` applies the angle rule.
double ApplyRealFunction(int id, double x, BOOL degrees);
// HEX and BIN result: ＋/－ negates (wrapping), NOT complements, every other key keeps the value.
std::int32_t ApplyIntFunction(int id, std::int32_t value);
// x × 1 × 2 × … × (largest whole number below x); x itself when x <= 1 or NaN. Ends quickly for
// every x: an infinite product stops the loop, and huge or infinite x give +inf at once.
double Factorial(double x);
