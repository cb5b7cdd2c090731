#include "software_extended/quadruple_math.h"

#include <gtest/gtest.h>

#include <boost/multiprecision/cpp_bin_float.hpp>
#include <cmath>
#include <random>

#include "x87_bits.h"

// The functions used on WebAssembly, against 50-digit arithmetic (correct
// rounding to the x87 significand) and against this machine's C library
// (faults and integer rounding).

namespace {

using namespace Quadruple;
using tBig = boost::multiprecision::cpp_bin_float_50;

long double To_x87(tBits x) {
    if (Kind(x) == tKind::Nan) return NAN;
    if (Kind(x) == tKind::Infinite) return (x >> 127) ? -INFINITY : INFINITY;
    const tUnpacked v = Unpack(x);
    const long double magnitude = std::ldexp(static_cast<long double>(v.Significand), v.Exponent);
    return v.Negative ? -magnitude : magnitude;
}

// True when no x87 value lies nearer to `exact` than `x`.
bool Correctly_rounded(long double x, const tBig& exact) {
    const tBig error = abs(tBig(x) - exact);
    return error <= abs(tBig(std::nextafter(x, INFINITY)) - exact) &&
           error <= abs(tBig(std::nextafter(x, -INFINITY)) - exact);
}

// A random argument in [low, high]: spread evenly, or over the decades when
// the range spans more than three.
long double Argument(std::mt19937_64& random, long double low, long double high) {
    const long double u = static_cast<long double>(random()) * 0x1p-64L;
    if (low > 0 && high / low > 1e3L) return low * std::pow(high / low, u);
    return low + (high - low) * u;
}

TEST(QuadrupleMath, FunctionsAreCorrectlyRoundedToTheX87Significand) {
    struct tFunction {
        const char* Name;
        tBits (*Mine)(tBits, int&);
        tBig (*Exact)(const tBig&);
        long double Low, High;
    };
    const tFunction functions[] = {
        {"exp", Exp, [](const tBig& x) { return tBig(exp(x)); }, -11000, 11000},
        {"exp near 0", Exp, [](const tBig& x) { return tBig(exp(x)); }, -1e-6L, 1e-6L},
        {"expm1", Exp_minus_one, [](const tBig& x) { return tBig(expm1(x)); }, -1, 1},
        {"expm1 near 0", Exp_minus_one, [](const tBig& x) { return tBig(expm1(x)); }, -1e-8L,
         1e-8L},
        {"log", Log, [](const tBig& x) { return tBig(log(x)); }, 1e-300L, 1e300L},
        {"log near 1", Log, [](const tBig& x) { return tBig(log(x)); }, 0.999L, 1.001L},
        {"log1p", Log_one_plus, [](const tBig& x) { return tBig(log1p(x)); }, -0.5L, 2},
        {"log1p near 0", Log_one_plus, [](const tBig& x) { return tBig(log1p(x)); }, -1e-9L, 1e-9L},
    };
    std::mt19937_64 random(113);
    for (const tFunction& f : functions) {
        for (int i = 0; i < 1500; ++i) {
            const long double x = Argument(random, f.Low, f.High);
            int faults = 0;
            const long double mine = To_x87(f.Mine(From_x87(x), faults));
            ASSERT_TRUE(Correctly_rounded(mine, f.Exact(tBig(x))))
                << f.Name << "(" << static_cast<double>(x) << ")";
            EXPECT_EQ(faults, 0);
        }
    }
}

// The first attempts promise far less error than they have; a slip in a
// constant or a series term shows here long before it could change a result.
TEST(QuadrupleMath, FirstAttemptsAreWithin2ToTheMinus95) {
    struct tFunction {
        const char* Name;
        std::optional<tApproximation> (*Approximation)(tBits);
        tBig (*Exact)(const tBig&);
        long double Low, High;
    };
    const tFunction functions[] = {
        {"exp", Exp_approximation, [](const tBig& x) { return tBig(exp(x)); }, -11300, 11300},
        {"exp near 0", Exp_approximation, [](const tBig& x) { return tBig(exp(x)); }, -1e-3L,
         1e-3L},
        {"log", Log_approximation, [](const tBig& x) { return tBig(log(x)); }, 1e-2400L, 1e2400L},
        {"log near 1", Log_approximation, [](const tBig& x) { return tBig(log(x)); }, 0.7L, 1.42L},
    };
    std::mt19937_64 random(95);
    const tBig bound = ldexp(tBig(1), -95);
    for (const tFunction& f : functions) {
        for (int i = 0; i < 4000; ++i) {
            const long double x = Argument(random, f.Low, f.High);
            const auto a = f.Approximation(From_x87(x));
            ASSERT_TRUE(a) << f.Name << "(" << static_cast<double>(x) << ")";
            const tBig exact = f.Exact(tBig(x));
            const tBig value = ldexp(tBig(a->Hi) + tBig(a->Lo), a->Scale);
            ASSERT_LE(abs(value - exact), bound * abs(exact))
                << f.Name << "(" << static_cast<double>(x) << ")";
        }
    }
}

TEST(QuadrupleMath, PowerIsCorrectlyRoundedForPositiveBases) {
    std::mt19937_64 random(64);
    for (int i = 0; i < 1500; ++i) {
        const long double x = std::ldexp(static_cast<long double>(random()) * 0x1p-64L + 0.5L,
                                         static_cast<int>(random() % 40) - 20);
        const long double y = (static_cast<long double>(random()) * 0x1p-64L - 0.5L) * 200;
        int faults = 0;
        const long double mine = To_x87(Power(From_x87(x), From_x87(y), faults));
        ASSERT_TRUE(Correctly_rounded(mine, tBig(pow(tBig(x), tBig(y)))))
            << static_cast<double>(x) << "^" << static_cast<double>(y);
    }
}

TEST(QuadrupleMath, FaultsAndLimitsAreThoseOfTheX87Build) {
    struct tCase {
        const char* Name;
        tBits Result;
        long double Expected;
        int Faults;
    };
    int f[8] = {};
    const tCase cases[] = {
        {"log 0", Log(Zero(false), f[0]), -INFINITY, Fault_division_by_zero},
        {"log -1", Log(From_x87(-1), f[1]), NAN, Fault_invalid},
        {"exp past the range", Exp(From_x87(11357), f[2]), INFINITY, Fault_overflow},
        {"exp beyond double's range", Exp(From_x87(710), f[3]), std::exp(710.0L), 0},
        {"exp to a subnormal", Exp(From_x87(-11400), f[4]), std::exp(-11400.0L), 0},
        {"exp far below", Exp(From_x87(-20000), f[5]), 0, 0},
        {"0 to a negative power", Power(Zero(false), From_x87(-2), f[6]), INFINITY,
         Fault_division_by_zero},
        {"negative base, fraction", Power(From_x87(-2), From_x87(0.5L), f[7]), NAN, Fault_invalid},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const tCase& c = cases[i];
        const long double result = To_x87(c.Result);
        if (std::isnan(c.Expected))
            EXPECT_TRUE(std::isnan(result)) << c.Name;
        else
            EXPECT_EQ(result, c.Expected) << c.Name;
        EXPECT_EQ(f[i], c.Faults) << c.Name;
    }
}

TEST(QuadrupleMath, RoundingToIntegersMatchesTheCLibrary) {
    std::vector<long double> values = {0.5L,
                                       1.5L,
                                       2.5L,
                                       -0.5L,
                                       -2.5L,
                                       -0.0L,
                                       0.3L,
                                       -0.3L,
                                       1e30L,
                                       0x1p-16445L,
                                       4503599627370496.5L};
    std::mt19937_64 random(1);
    for (int i = 0; i < 2000; ++i)
        values.push_back(std::ldexp(static_cast<long double>(random()) * 0x1p-64L,
                                    static_cast<int>(random() % 80) - 10) *
                         (i % 2 ? -1 : 1));
    for (const long double x : values) {
        const tBits b = From_x87(x);
        EXPECT_EQ(Round_to_integer(b, tTo_integer::Down), From_x87(std::floor(x)));
        EXPECT_EQ(Round_to_integer(b, tTo_integer::Up), From_x87(std::ceil(x)));
        EXPECT_EQ(Round_to_integer(b, tTo_integer::Toward_zero), From_x87(std::trunc(x)));
        EXPECT_EQ(Round_to_integer(b, tTo_integer::Nearest_even), From_x87(std::nearbyint(x)));
        EXPECT_EQ(Round_to_integer(b, tTo_integer::Nearest_away), From_x87(std::round(x)));
    }
}

} // namespace
