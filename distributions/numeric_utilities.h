#pragma once

// Small numeric helpers shared by the special functions and distributions.

#include <cstdint>

#include "extended.h"

// The one tolerance of the distribution library.
inline constexpr Extended Tolerance = Extended_constant(5e-12L);
// Stands for an unbounded end or parameter limit; the library has no infinities.
inline constexpr Extended Unbounded = 2147483647.0L;

// |a - b| < 5e-12 (absolute, strict).
bool Nearly_equal(Extended a, Extended b);
// |x| < 2147483647 and x nearly equal to its nearest integer.
bool Is_whole_number(Extended x);
// base to the integer power n, by binary exponentiation.
Extended Int_power(Extended base, std::int32_t n);
// base to a real power; 0^0 = 1, 0^positive = 0, a negative base with a
// fractional exponent is an invalid operation.
Extended Power(Extended base, Extended exponent);
// Largest integer not above x; outside the 32-bit range an invalid operation.
std::int32_t Floor(Extended x);
// The *_unscoped forms do the same without a fault scope of their own, for
// the library's callers that already run inside one (a scope costs more than
// the arithmetic); faults still reach the enclosing scope's check.
bool Nearly_equal_unscoped(Extended a, Extended b);
Extended Int_power_unscoped(Extended base, std::int32_t n);
Extended Power_unscoped(Extended base, Extended exponent);
