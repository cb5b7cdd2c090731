#pragma once

// Exact decimal conversions of quadruple bit patterns, done in integers, for
// targets whose C library cannot read or write the x87 format's digits:
// WebAssembly's reads a long double only as the nearest double and writes it
// only to double precision, and its C++ library has no floating-point
// from_chars.

#include <optional>
#include <string>
#include <string_view>

#include "software_extended/quadruple_arithmetic.h"

namespace Quadruple {
// The nearest value with `bits` significant bits (53, 64 or 113), ties to
// even, to a decimal number written [+-]digits[.digits][(e|E)[+-]digits];
// infinity past the range.
tBits From_decimal(std::string_view text, int bits);
// The nearest double to such a number; none when it lies beyond the range of
// double (too large, or too small to be anything but zero).
std::optional<double> Decimal_to_double(std::string_view text);
// One printf conversion %[flags][width][.precision]L(f|e|E|g|G) of x,
// correctly rounded from the value held.
std::string To_decimal(std::string_view conversion, tBits x);
} // namespace Quadruple
