#include "software_extended/quadruple_arithmetic.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "x87_bits.h"

// The x87 unit of this machine is the oracle for the 64-bit operations, and
// the compiler's own __float128 (done exactly in software) for the 113-bit
// division the WebAssembly runtime gets wrong.

namespace {

using namespace Quadruple;

tBits From_float128(__float128 x) {
    tBits bits;
    std::memcpy(&bits, &x, sizeof bits);
    return bits;
}

int X87_faults() {
    int faults = 0;
    if (std::fetestexcept(FE_DIVBYZERO)) faults |= Fault_division_by_zero;
    if (std::fetestexcept(FE_OVERFLOW)) faults |= Fault_overflow;
    if (std::fetestexcept(FE_INVALID)) faults |= Fault_invalid;
    return faults;
}

// Random x87 values over the whole exponent range, subnormals and the
// significands of all ones included, plus zeros and infinities.
std::vector<long double> Operands(std::size_t count) {
    std::mt19937_64 random(20261208);
    std::vector<long double> values = {
        0.0L,  -0.0L,           INFINITY,    -INFINITY,   1.0L,
        -1.0L, 1.0L - 0x1p-64L, 0x1p-16445L, 0x1p-16382L, 0x1.fffffffffffffffep16383L};
    while (values.size() < count) {
        std::uint64_t mantissa = random() | (1ULL << 63);
        if (random() % 8 == 0) mantissa = ~0ULL << (random() % 16);
        int exponent = static_cast<int>(random() % 64) - 32;
        if (random() % 8 == 0) exponent = static_cast<int>(random() % 32766) - 16383;
        long double value = std::ldexp(static_cast<long double>(mantissa), exponent - 63);
        if (random() % 16 == 0) value = std::ldexp(value, -16400);
        values.push_back(random() % 2 ? -value : value);
    }
    return values;
}

bool Same(tBits mine, long double x87) {
    if (std::isnan(x87)) return Kind(mine) == tKind::Nan;
    return mine == From_x87(x87);
}

TEST(QuadrupleArithmetic, OperationsMatchTheX87UnitBitForBitWithItsFaults) {
    const std::vector<long double> values = Operands(400);
    struct tOperation {
        const char* Name;
        tBits (*Mine)(tBits, tBits, int, int&);
        long double (*X87)(long double, long double);
    };
    const tOperation operations[] = {
        {"add", Add, [](long double a, long double b) { return a + b; }},
        {"subtract", Subtract, [](long double a, long double b) { return a - b; }},
        {"multiply", Multiply, [](long double a, long double b) { return a * b; }},
        {"divide", Divide, [](long double a, long double b) { return a / b; }},
    };
    for (const tOperation& operation : operations) {
        int mismatches = 0;
        for (long double a : values)
            for (long double b : values) {
                std::feclearexcept(FE_ALL_EXCEPT);
                volatile long double x87 = operation.X87(a, b);
                const int x87_faults = X87_faults();
                int faults = 0;
                const tBits mine = operation.Mine(From_x87(a), From_x87(b), X87_bits, faults);
                if (!Same(mine, x87) || faults != x87_faults) {
                    if (++mismatches <= 3)
                        ADD_FAILURE() << operation.Name << " " << static_cast<double>(a) << " "
                                      << static_cast<double>(b);
                }
            }
        EXPECT_EQ(mismatches, 0) << operation.Name;
    }
}

TEST(QuadrupleArithmetic, SquareRootMatchesTheX87Unit) {
    for (long double a : Operands(20000)) {
        std::feclearexcept(FE_ALL_EXCEPT);
        volatile long double x87 = std::sqrt(a);
        const int x87_faults = X87_faults();
        int faults = 0;
        EXPECT_TRUE(Same(Square_root(From_x87(a), faults), x87)) << static_cast<double>(a);
        EXPECT_EQ(faults, x87_faults);
    }
}

TEST(QuadrupleArithmetic, QuadrupleDivisionIsCorrectlyRounded) {
    std::mt19937_64 random(113);
    using tQuad = __float128;
    const tQuad two_to_113 = tQuad(0x1p113L);
    // 1 / (1 - 2^-113) rounds to 1; the WebAssembly runtime gave 2.
    std::vector<tQuad> values = {
        1, 1 - 1 / two_to_113, 3, 7, tQuad(-0.1L), tQuad(1e-4940L), tQuad(1e4930L)};
    for (int i = 0; i < 300; ++i) {
        const tQuad mantissa =
            tQuad(random()) * tQuad(0x1p-64L) + tQuad(random()) * tQuad(0x1p-128L);
        values.push_back((1 + mantissa) * (i % 3 ? 1 : -1) * tQuad(random() % 2 ? 1e10L : 1e-10L));
    }
    for (tQuad a : values)
        for (tQuad b : values) {
            int faults = 0;
            const tBits mine = Divide(From_float128(a), From_float128(b), Quadruple_bits, faults);
            ASSERT_EQ(mine, From_float128(a / b))
                << static_cast<double>(a) << " / " << static_cast<double>(b);
        }
}

} // namespace
