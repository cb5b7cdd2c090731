#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "distributions/extended.h"
#include "distributions/floating_point_faults.h"
#include "software_extended/extended_erfc.h"
#include "software_extended/quadruple_arithmetic.h"
#include "software_extended/quadruple_math.h"

// On a target whose long double is quadruple: the compiler's operations and
// the C library's functions must reach this program's runtime, or every
// result would keep 113 bits (and the faults would go unseen).

namespace {

using namespace Quadruple;

tBits Bits(long double x) {
    tBits bits;
    std::memcpy(&bits, &x, sizeof bits);
    return bits;
}

long double Value(tBits bits) {
    long double x;
    std::memcpy(&x, &bits, sizeof x);
    return x;
}

// x87 values: random 64-bit significands (all ones among them) over a
// moderate exponent range.
std::vector<long double> Operands() {
    std::mt19937_64 random(26);
    std::vector<long double> values;
    for (int i = 0; i < 400; ++i) {
        const std::uint64_t significand = i % 10 == 0 ? ~std::uint64_t{0} : random() | (1ull << 63);
        int faults = 0;
        values.push_back(Value(Round(
            tUnpacked{random() % 2 == 0, static_cast<int>(random() % 200) - 100 - 63, significand},
            false, Quadruple_bits, faults)));
    }
    return values;
}

TEST(SoftwareExtendedRuntime, OperationsRoundToTheX87Significand) {
    using tOperation = tBits (*)(tBits, tBits, int, int&);
    using tTarget = long double (*)(long double, long double);
    const struct {
        const char* Name;
        tOperation Reference;
        tTarget Target;
    } rows[] = {
        {"+", Add, [](long double a, long double b) { return a + b; }},
        {"-", Subtract, [](long double a, long double b) { return a - b; }},
        {"*", Multiply, [](long double a, long double b) { return a * b; }},
        {"/", Divide, [](long double a, long double b) { return a / b; }},
    };
    const std::vector<long double> values = Operands();
    for (const auto& row : rows)
        for (std::size_t i = 0; i + 1 < values.size(); ++i) {
            int faults = 0;
            const tBits expected =
                row.Reference(Bits(values[i]), Bits(values[i + 1]), X87_bits, faults);
            ASSERT_EQ(Bits(row.Target(values[i], values[i + 1])), expected) << row.Name << " " << i;
        }
}

TEST(SoftwareExtendedRuntime, MathFunctionsAreTheRuntimes) {
    const std::vector<long double> values = Operands();
    for (const long double v : values) {
        const long double x = std::fabs(v) / 0x1p90L; // within exp's range
        int faults = 0;
        ASSERT_EQ(Bits(std::sqrt(std::fabs(v))), Square_root(Bits(std::fabs(v)), faults));
        ASSERT_EQ(Bits(std::exp(x)), Exp(Bits(x), faults));
        ASSERT_EQ(Bits(std::log(std::fabs(v))), Log(Bits(std::fabs(v)), faults));
        ASSERT_EQ(Bits(std::erfc(x)), Bits(Extended_erfc(x)));
    }
}

TEST(SoftwareExtendedRuntime, FaultsAreRaisedAsOnTheX87Unit) {
    volatile long double zero = 0, one = 1, huge = 0x1p16000L;
    const struct {
        const char* Name;
        long double (*Compute)(long double, long double, long double);
        int Fault;
    } rows[] = {
        {"1 / 0", [](long double z, long double o, long double) { return o / z; },
         ::Fault_division_by_zero},
        {"huge * huge", [](long double, long double, long double h) { return h * h; },
         ::Fault_overflow},
        {"0 / 0", [](long double z, long double, long double) { return z / z; }, ::Fault_invalid},
        {"log(-1)", [](long double, long double o, long double) { return std::log(-o); },
         ::Fault_invalid},
    };
    for (const auto& row : rows) {
        Clear_fault_flags(tFloating_point_scope::Fault_flags);
        const volatile long double result = row.Compute(zero, one, huge);
        (void)result;
        EXPECT_EQ(Test_fault_flags(tFloating_point_scope::Fault_flags), row.Fault) << row.Name;
    }
    Clear_fault_flags(tFloating_point_scope::Fault_flags);
}

} // namespace
