#pragma once

#include <limits>

#include "software_extended/x87_constant.h"

// All statistical arithmetic runs in one extended real type, chosen per target.
//
// On x86 it is the x87 80-bit format (64-bit significand, 15-bit exponent).
//
// Every other target has no 80-bit format; there long double must be IEEE
// quadruple precision (113-bit significand, the same 15-bit exponent), as on
// WebAssembly and on aarch64 Linux. The software extended type of
// software_extended/ then replaces the compiler's runtime for it: each
// operation and each math function is rounded to the x87 significand with
// the x87 unit's faults, and numbers are read and written exactly, so every
// target starts from the same values, gets the x87 unit's results bit for bit
// and prints them the same way.
//
// PAVONA_SOFTWARE_EXTENDED says which: 1 for the software type, 0 for the
// x87 unit. The build passes it (the CMake option of the same name); a build
// that does not is given the one its target needs.
#if !defined(PAVONA_SOFTWARE_EXTENDED)
#if defined(__x86_64__) || defined(__i386__)
#define PAVONA_SOFTWARE_EXTENDED 0
#else
#define PAVONA_SOFTWARE_EXTENDED 1
#endif
#endif

using Extended = long double;

#if PAVONA_SOFTWARE_EXTENDED
static_assert(std::numeric_limits<Extended>::digits == 113,
              "The software extended type needs long double in IEEE quadruple format");
#else
static_assert(std::numeric_limits<Extended>::digits == 64,
              "Extended must be the 80-bit x87 format with a 64-bit significand");
#endif
static_assert(std::numeric_limits<Extended>::max_exponent == 16384,
              "Extended must have the 15-bit exponent of the x87 format");

// A constant of the statistical code as the x87 build holds it.
consteval Extended Extended_constant(Extended value) {
    return X87_constant(value);
}

// The mathematical constants of the statistical code. std::numbers will not
// do: WebAssembly's C++ library gives its long double values only to double
// precision.
inline constexpr Extended Extended_pi =
    Extended_constant(3.14159265358979323846264338327950288420L);
inline constexpr Extended Extended_sqrt2 =
    Extended_constant(1.41421356237309504880168872420969807857L);
inline constexpr Extended Extended_inv_sqrtpi =
    Extended_constant(0.564189583547756286948079451560772585844L);
inline constexpr Extended Extended_ln2 =
    Extended_constant(0.693147180559945309417232121458176568076L);
