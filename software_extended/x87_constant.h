#pragma once

// A long double constant as the x87 unit holds it: rounded to the 64-bit
// significand. Where long double is IEEE quadruple, the compiler reads a
// literal to 113 bits, and an operation with that constant would then differ
// from the x87 build's; Veltkamp's split keeps the top 64 bits, folded at
// compile time in exact quadruple arithmetic. Where long double is the x87
// format, the value passes unchanged.
consteval long double X87_constant(long double value) {
#if __LDBL_MANT_DIG__ == 64
    return value;
#elif __LDBL_MANT_DIG__ == 113
    constexpr long double splitter = 0x1p49L + 1; // 2^(113 - 64) + 1
    const long double scaled = value * splitter;
    return scaled - (scaled - value);
#else
#error "X87_constant: long double is neither the x87 format nor IEEE quadruple"
#endif
}
