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

// A constant of the statistical code as the x87 build holds it: rounded to the
// 64-bit significand. On WebAssembly the compiler reads a long double literal
// to 113 bits, and an operation with that constant would then differ from the
// x87 build's; Veltkamp's split keeps the top 64 bits, folded at compile time
// in exact quadruple arithmetic. On x86-64 the value passes unchanged.
consteval Extended Extended_constant(Extended value) {
#if defined(__wasm__)
    constexpr Extended splitter = 0x1p49L + 1; // 2^(113 - 64) + 1
    const Extended scaled = value * splitter;
    return scaled - (scaled - value);
#else
    return value;
#endif
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
