#pragma once

#include <limits>

// All statistical arithmetic runs in the x87 80-bit format (64-bit significand).
using Extended = long double;

static_assert(std::numeric_limits<Extended>::digits == 64,
              "Extended must be the 80-bit x87 format with a 64-bit significand");
static_assert(std::numeric_limits<Extended>::max_exponent == 16384,
              "Extended must have the 15-bit exponent of the x87 format");
