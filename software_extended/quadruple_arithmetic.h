#pragma once

// Arithmetic on IEEE quadruple bit patterns, in integers, rounded to a chosen
// number of significant bits.
//
// Where long double is IEEE quadruple precision done in software (WebAssembly,
// aarch64 Linux), the replacement runtime (quadruple_runtime.cpp)
// routes the four operations and the square root here with 64 significant
// bits: every result is then the value the x87 unit gives (64-bit significand,
// round to nearest even, the same exponent range and subnormal spacing), held
// exactly in the quadruple format. The math functions work with 113 bits and
// round once at the end.
//
// Faults are reported as the x87 unit raises them: division by zero, overflow
// and invalid operation, or-ed into `faults` (the Fault_* bits).

#include <cstdint>

namespace Quadruple {

using tBits = unsigned __int128;

inline constexpr int Fault_division_by_zero = 1;
inline constexpr int Fault_overflow = 2;
inline constexpr int Fault_invalid = 4;

inline constexpr int X87_bits = 64;
inline constexpr int Quadruple_bits = 113;

// The smallest and largest exponents of a normal number's leading bit.
inline constexpr int Min_exponent = -16382;
inline constexpr int Max_exponent = 16383;

// A finite value (-1)^Negative * Significand * 2^Exponent.
struct tUnpacked {
    bool Negative = false;
    int Exponent = 0;
    tBits Significand = 0;
};

enum class tKind { Zero, Finite, Infinite, Nan };

tKind Kind(tBits x);
// The finite value of x (zero included): a 113-bit significand for a normal
// number, fewer for a subnormal one.
tUnpacked Unpack(tBits x);
// A normal number with at most 64 significant bits, as the x87 unit holds it.
struct tX87_normal {
    bool Negative = false;
    int Exponent = 0;              // of the leading bit
    std::uint64_t Significand = 0; // leading bit at 63
};
// False unless x is such a number.
bool As_x87_normal(tBits x, tX87_normal& v);

// The x87 rounding of (hi + lo) 2^scale, an approximation within a relative
// 2^-error_bits of a value whose x87 rounding is wanted: false, and nothing
// rounded, unless that value is surely on the same side of the half-way
// point between two x87 numbers, and the result a normal number.
bool Round_approximation(double hi, double lo, int scale, int error_bits, tBits& rounded);

// Zero, infinity and the quiet NaN with the given sign.
tBits Zero(bool negative);
tBits Infinity(bool negative);
tBits Quiet_nan();

// The exact value Significand * 2^Exponent, plus a nonzero amount below bit 0
// when `sticky`, rounded to `bits` significant bits (ties to even) with the
// spacing of subnormals that format has below 2^Min_exponent; past the range,
// an infinity and Fault_overflow.
tBits Round(const tUnpacked& exact, bool sticky, int bits, int& faults);

tBits Add(tBits a, tBits b, int bits, int& faults);
tBits Subtract(tBits a, tBits b, int bits, int& faults);
tBits Multiply(tBits a, tBits b, int bits, int& faults);
tBits Divide(tBits a, tBits b, int bits, int& faults);
// The square root with the x87 significand.
tBits Square_root(tBits a, int& faults);

// The number of significant bits of x (0 for 0).
int Bit_length(tBits x);

} // namespace Quadruple
