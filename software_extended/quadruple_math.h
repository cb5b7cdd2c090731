#pragma once

// The long double math functions WebAssembly's C library lacks, on quadruple
// bit patterns. That library's exp, log, pow, log1p and expm1 for long double
// call the double versions (double precision and double range: exp overflows
// past 709), and its floor, trunc and nearbyint rely on rounding to 113 bits,
// which the x87-style runtime does not do.
//
// Each function works with 113 bits and rounds once to the x87 significand,
// so its result is correctly rounded unless the exact value lies within about
// 2^-45 units in the last place of a rounding boundary. Faults as the x87
// build's C library raises them: log of 0 divides by zero, log of a negative
// number is invalid, exp past the range overflows.

#include "software_extended/quadruple_arithmetic.h"

namespace Quadruple {

tBits Exp(tBits x, int& faults);
tBits Log(tBits x, int& faults);
// exp(x) - 1 and log(1 + x), accurate also for x near 0.
tBits Exp_minus_one(tBits x, int& faults);
tBits Log_one_plus(tBits x, int& faults);
// x^y for x > 0, for x = 0, and for x < 0 with a whole y; otherwise invalid.
tBits Power(tBits x, tBits y, int& faults);

enum class tTo_integer { Down, Up, Toward_zero, Nearest_even, Nearest_away };
tBits Round_to_integer(tBits x, tTo_integer direction);

} // namespace Quadruple
