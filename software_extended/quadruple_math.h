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

#include <optional>

#include "software_extended/quadruple_arithmetic.h"

namespace Quadruple {

tBits Exp(tBits x, int& faults);
tBits Log(tBits x, int& faults);
// exp(x) - 1 and log(1 + x), accurate also for x near 0.
tBits Exp_minus_one(tBits x, int& faults);
tBits Log_one_plus(tBits x, int& faults);
// x^y for x > 0, for x = 0, and for x < 0 with a whole y; otherwise invalid.
tBits Power(tBits x, tBits y, int& faults);

// log(x) and exp(x) as (Hi + Lo) 2^Scale, in double-double arithmetic and
// within a few units of 2^-100: the fast first attempt of Log and Exp, which
// round it where it surely gives their result. Nothing for arguments that
// are not normal x87 numbers, for log 1, and for exp past |x| = 16384 or
// below 2^-900.
struct tApproximation {
    double Hi = 0, Lo = 0;
    int Scale = 0;
};
std::optional<tApproximation> Log_approximation(tBits x);
std::optional<tApproximation> Exp_approximation(tBits x);

enum class tTo_integer { Down, Up, Toward_zero, Nearest_even, Nearest_away };
tBits Round_to_integer(tBits x, tTo_integer direction);

} // namespace Quadruple
