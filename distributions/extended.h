#pragma once

#include <limits>

// All statistical arithmetic runs in one extended real type, chosen per target.
//
// On x86-64 it is the x87 80-bit format (64-bit significand, 15-bit exponent).
//
// WebAssembly has no 80-bit format: its long double is IEEE quadruple precision
// (113-bit significand, the same 15-bit exponent), done in software. Its
// runtime's division and the C library's long double functions are replaced
// by checked ones (quadruple_runtime.cpp, quadruple_math.cpp), and numbers are
// read and written as the x87 build does (decimal_conversion.h), so both
// builds start from the same values and print them the same way.
using Extended = long double;

#if defined(__x86_64__) || defined(__i386__)
static_assert(std::numeric_limits<Extended>::digits == 64,
              "Extended must be the 80-bit x87 format with a 64-bit significand");
#elif defined(__wasm__)
static_assert(std::numeric_limits<Extended>::digits == 113,
              "Extended must be IEEE quadruple precision on WebAssembly");
#else
#error "Extended: no verified extended real type for this target"
#endif
static_assert(std::numeric_limits<Extended>::max_exponent == 16384,
              "Extended must have the 15-bit exponent of the x87 format");
