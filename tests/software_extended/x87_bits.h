#pragma once

// An x87 value as the quadruple bit pattern that holds it exactly: the tests'
// bridge between this machine's x87 unit and the WebAssembly runtime's code.

#include <cstdint>
#include <cstring>

#include "software_extended/quadruple_arithmetic.h"

inline Quadruple::tBits From_x87(long double x) {
    unsigned char bytes[sizeof x] = {};
    std::memcpy(bytes, &x, sizeof x);
    std::uint64_t mantissa;
    std::uint16_t top;
    std::memcpy(&mantissa, bytes, 8);
    std::memcpy(&top, bytes + 8, 2);
    const bool negative = top >> 15;
    const int exponent = top & 0x7fff;
    if (exponent == 0x7fff)
        return (mantissa << 1) ? Quadruple::Quiet_nan() : Quadruple::Infinity(negative);
    if (mantissa == 0) return Quadruple::Zero(negative);
    int faults = 0;
    const int scale = exponent == 0 ? 1 - 16383 - 63 : exponent - 16383 - 63;
    return Quadruple::Round(Quadruple::tUnpacked{negative, scale, mantissa}, false,
                            Quadruple::Quadruple_bits, faults);
}
