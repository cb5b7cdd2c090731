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

struct tOperation {
    const char* Name;
    tBits (*Mine)(tBits, tBits, int, int&);
    long double (*X87)(long double, long double);
};
const tOperation Operations[] = {
    {"add", Add, [](long double a, long double b) { return a + b; }},
    {"subtract", Subtract, [](long double a, long double b) { return a - b; }},
    {"multiply", Multiply, [](long double a, long double b) { return a * b; }},
    {"divide", Divide, [](long double a, long double b) { return a / b; }},
};

bool Same(tBits mine, long double x87) {
    if (std::isnan(x87)) return Kind(mine) == tKind::Nan;
    return mine == From_x87(x87);
}

// The operation on a and b gives the x87 unit's bits and faults.
bool Matches_x87(const tOperation& operation, long double a, long double b) {
    std::feclearexcept(FE_ALL_EXCEPT);
    volatile long double x87 = operation.X87(a, b);
    const int x87_faults = X87_faults();
    int faults = 0;
    const tBits mine = operation.Mine(From_x87(a), From_x87(b), X87_bits, faults);
    return Same(mine, x87) && faults == x87_faults;
}

TEST(QuadrupleArithmetic, OperationsMatchTheX87UnitBitForBitWithItsFaults) {
    const std::vector<long double> values = Operands(400);
    for (const tOperation& operation : Operations)
        for (long double a : values)
            for (long double b : values)
                ASSERT_TRUE(Matches_x87(operation, a, b))
                    << operation.Name << " " << static_cast<double>(a) << " "
                    << static_cast<double>(b);
}

// Pairs that meet the 64-bit paths at their edges: every alignment distance,
// near cancellation, results exactly half-way between two x87 numbers, carries
// out of all-ones significands, and results at the ends of the normal range.
std::vector<std::pair<long double, long double>> Edge_pairs() {
    std::mt19937_64 random(64);
    std::vector<std::pair<long double, long double>> pairs;
    for (int i = 0; i < 6000; ++i) {
        const std::uint64_t m1 = random() | (1ULL << 63);
        std::uint64_t m2 = random() | (1ULL << 63);
        if (i % 5 == 0) m2 = m1 ^ (random() & 0xff);
        if (i % 7 == 0) m2 = ~0ULL;
        if (i % 11 == 0) m2 = (1ULL << 63) | 1;
        const int distance = static_cast<int>(random() % 140);
        const long double a = std::ldexp(static_cast<long double>(m1), -63);
        long double b = std::ldexp(static_cast<long double>(m2), -63 - distance);
        if (i % 2) b = -b;
        pairs.push_back({a, b});
    }
    for (int d = 1; d < 70; ++d) {
        // 1 + 2^-d * (an odd multiple of a half-unit): ties and their neighbours.
        for (long double odd : {1.0L, 3.0L, 5.0L})
            pairs.push_back({1.0L, std::ldexp(odd, -64 - d + 1)});
        pairs.push_back({0x1.fffffffffffffffep16383L, std::ldexp(1.0L, -d)});
        pairs.push_back({0x1p-16382L, std::ldexp(1.0L + 0x1p-63L, -d)});
        // A power of two less a little more than half its lower neighbour's unit.
        pairs.push_back({1.0L, -std::ldexp(1.0L + 0x1p-63L, -d)});
        pairs.push_back({1.0L, -std::ldexp(2.0L - 0x1p-63L, -d)});
    }
    return pairs;
}

TEST(QuadrupleArithmetic, EdgesOfThe64BitPathsMatchTheX87Unit) {
    const long double scales[] = {1.0L, 0x1p16000L, 0x1p-16000L};
    for (const tOperation& operation : Operations)
        for (long double scale : scales)
            for (const auto& [x, y] : Edge_pairs())
                for (const auto& [a, b] : {std::pair{x * scale, y}, std::pair{y, x * scale}})
                    ASSERT_TRUE(Matches_x87(operation, a, b))
                        << operation.Name << " " << static_cast<double>(a) << " "
                        << static_cast<double>(b);
}

// With error_bits 80, a value in [1, 2) is rounded only when it lies more
// than 2^-78 from the half-way point between two x87 numbers.
TEST(QuadrupleArithmetic, ApproximationsAreRoundedOnlyWhenSurelyOnOneSide) {
    struct tCase {
        double Hi, Lo;
        int Scale;
        bool Rounded;
        long double Expected;
    };
    const tCase cases[] = {
        {1, 0x1p-64, 0, false, 0},                        // half-way: either side
        {1, 0x1p-64 + 0x1p-79, 0, false, 0},              // inside the margin
        {1, 0x1p-64 + 0x1p-77, 0, true, 1 + 0x1p-63L},    // past it
        {1, 0x1p-64 - 0x1p-77, 0, true, 1},               // and below
        {-1, -0x1p-64 - 0x1p-77, 0, true, -1 - 0x1p-63L}, // the sign apart
        {1, -0x1p-65, 0, false, 0},                       // half-way below 1
        {1, -0x1p-66, 0, true, 1},                        // nearer 1
        {1, -0x1p-64 - 0x1p-100, 0, true, 1 - 0x1p-64L},  // nearer the next below
        {0x1.8p0, 0x1p-60, 3, true, 12 + 0x1p-57L},       // scaled
        {1, 0, 16384, false, 0},                          // past the range
        {1, 0, -16383, false, 0},                         // subnormal
    };
    for (const tCase& c : cases) {
        tBits rounded = 0;
        ASSERT_EQ(Round_approximation(c.Hi, c.Lo, c.Scale, 80, rounded), c.Rounded)
            << c.Hi << " + " << c.Lo;
        if (c.Rounded) {
            EXPECT_EQ(rounded, From_x87(c.Expected)) << c.Hi << " + " << c.Lo;
        }
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
