#pragma once

// Decimal numbers to Extended and back, the same on every target.
//
// The x86-64 build reads with strtold (the nearest value with a 64-bit
// significand) and writes with printf, both exact. WebAssembly's C library
// reads a long double only as the nearest double, writes it only to double
// precision, and its C++ library has no floating-point from_chars: there the
// exact conversions below, done in integers, take their place.

#include <optional>
#include <string>
#include <string_view>

#include "distributions/extended.h"
#include "distributions/quadruple_arithmetic.h"

// The nearest Extended to a decimal number written [+-]digits[.digits][(e|E)
// [+-]digits] (at least one digit before the exponent), ties to even, with
// the x87 significand on every target; an infinity past the range.
Extended Decimal_to_extended(const std::string& text);

// The nearest double to such a number; none when it lies beyond the range of
// double (too large, or too small to be anything but zero).
std::optional<double> Decimal_to_double(std::string_view text);

// The exact conversions, on quadruple bit patterns, for any target.
namespace Quadruple {
// `bits` significant bits (64 or 113), ties to even; infinity past the range.
tBits From_decimal(std::string_view text, int bits);
// One printf conversion %[flags][width][.precision]L(f|e|E|g|G) of x,
// correctly rounded from the value held.
std::string To_decimal(std::string_view conversion, tBits x);
} // namespace Quadruple

#if defined(__wasm__)
// Format_text's conversion of a long double on this target.
std::string Format_extended(std::string_view conversion, Extended value);
#endif
