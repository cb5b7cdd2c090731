#include "distributions/decimal_conversion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

// Numbers are read to the x87 significand on every target, whichever
// conversion the target uses. The expected values were rounded from the exact
// fractions, ties to even.

namespace {

TEST(DecimalConversion, ReadsTheNearestValueWithTheX87Significand) {
    const struct {
        const char* Text;
        long double Expected;
    } rows[] = {
        {"0.1", 0xcccccccccccccccdp-67L},
        {"76.09", 0x982e147ae147ae14p-57L},
        {"-43.3385", -0xad5a9fbe76c8b439p-58L},
        {"1e-20", 0xbce5086492111aebp-130L},
        {"123456789012345678901234567890", 0xc77487fb61b9f077p33L},
        // Just below and just above half a unit past 1.
        {"1.00000000000000000005421010862427522170037", 1.0L},
        {"1.00000000000000000005421010862427522170038", 0x8000000000000001p-63L},
        {"-0", -0.0L},
    };
    for (const auto& row : rows) {
        const Extended value = Decimal_to_extended(row.Text);
        EXPECT_EQ(value, row.Expected) << row.Text;
        EXPECT_EQ(std::signbit(value), std::signbit(row.Expected)) << row.Text;
    }
    EXPECT_TRUE(std::isinf(Decimal_to_extended("1e4933")));
}

TEST(DecimalConversion, DoublesOutsideTheRangeAreRefused) {
    EXPECT_EQ(Decimal_to_double("2.5"), 2.5);
    EXPECT_EQ(Decimal_to_double("-1e308"), -1e308);
    EXPECT_EQ(Decimal_to_double("0.1"), 0.1);
    EXPECT_FALSE(Decimal_to_double("1e309"));
    EXPECT_FALSE(Decimal_to_double("1e-400"));
}

} // namespace
