#include "distributions/decimal_conversion.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

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

// The short form takes the runs of digits before and after the point: any
// other byte inside or after a run leaves the text to the general reading.
TEST(DecimalConversion, ShortDecimalsTakeRunsOfDigitsAndLeaveAnyOtherByte) {
    struct tCase {
        const char* Text;
        std::optional<Extended> Value;
    };
    const tCase cases[] = {
        {"1234567890123456789", 1234567890123456789.0L},
        {"-87654321.5", -87654321.5L},
        {"00000000000000000001", std::nullopt}, // 20 digits
        {"12:45678", std::nullopt},
        {"1234.567:89", std::nullopt},
        {"12345678/", std::nullopt},
        {"1.2345678e1", std::nullopt},
    };
    for (const tCase& c : cases)
        EXPECT_EQ(Short_decimal_to_extended(c.Text), c.Value) << c.Text;
}

} // namespace

// Where long double is the x87 format, its strtold is the reference for reading:
// the short numbers a data file holds take a quicker path, which must round each
// as strtold does, in every rounding direction, and leave the rest to strtold.
#if !PAVONA_SOFTWARE_EXTENDED
TEST(DecimalConversion, DecimalToExtendedIsStrtoldBitForBit) {
    std::vector<std::string> texts = {"1.",
                                      ".5",
                                      "-.5",
                                      "+.25",
                                      "-0.0",
                                      "0.000",
                                      "76.09",
                                      "-43.3385",
                                      "9999999999999999999",
                                      "99999999999999999999",
                                      "18446744073709551615",
                                      "1844674407370955161.5",
                                      "0.1234567890123456789",
                                      "0.12345678901234567891",
                                      "-99999.999",
                                      "3.4028236692093846346e1",
                                      "1.0000000000000000001",
                                      "0.0000000000000000001",
                                      "1.00000000000000000005421010862427522170038",
                                      "12.5.3"};
    std::mt19937_64 random(25);
    char text[64];
    for (int i = 0; i < 100000; ++i) {
        const int after = static_cast<int>(random() % 20);
        const int before = static_cast<int>(random() % (20 - after));
        std::snprintf(text, sizeof text, "%s%.*s.%.*s", random() % 2 ? "-" : "", before,
                      std::to_string(random()).c_str(), after, std::to_string(random()).c_str());
        texts.emplace_back(text);
    }
    const int previous = std::fegetround();
    for (int direction : {FE_TONEAREST, FE_UPWARD, FE_DOWNWARD, FE_TOWARDZERO}) {
        ASSERT_EQ(std::fesetround(direction), 0);
        for (const std::string& t : texts) {
            const long double expected = std::strtold(t.c_str(), nullptr);
            const long double got = Decimal_to_extended(t);
            // The ten bytes of the x87 format; the rest is padding.
            ASSERT_EQ(std::memcmp(&got, &expected, 10), 0) << t << " direction " << direction;
        }
    }
    std::fesetround(previous);
}
#endif
