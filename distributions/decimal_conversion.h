#pragma once

// Decimal numbers to Extended and to double, the same on every target.
//
// The x87 build reads with strtold (the nearest value with a 64-bit
// significand) and from_chars, both exact. Where Extended is the software
// type, the C library cannot read its digits: there the exact conversions of
// software_extended/ take their place.

#include <optional>
#include <string>
#include <string_view>

#include "distributions/extended.h"

// The nearest Extended to a decimal number written [+-]digits[.digits][(e|E)
// [+-]digits] (at least one digit before the exponent), ties to even, with
// the x87 significand on every target; an infinity past the range.
Extended Decimal_to_extended(std::string_view text);

// The same for [+-]digits[.digits] with at most 19 digits, the usual data
// value, in one division that raises no fault; none for any other text.
std::optional<Extended> Short_decimal_to_extended(std::string_view text);

// The nearest double to such a number; none when it lies beyond the range of
// double (too large, or too small to be anything but zero).
std::optional<double> Decimal_to_double(std::string_view text);
