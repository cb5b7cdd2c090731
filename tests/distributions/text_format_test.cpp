#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

#include "distributions/text_format.h"
#if PAVONA_SOFTWARE_EXTENDED
#include "software_extended/quadruple_decimal.h"
#endif

namespace {

// printf's text; on the software type, whose printf cannot write a long
// double, the exact decimal writer that stands in for it.
std::string By_printf(long double value, int width, int decimals) {
    char format[32];
    std::snprintf(format, sizeof format, "%%%d.%dLf", width, decimals);
#if PAVONA_SOFTWARE_EXTENDED
    Quadruple::tBits bits;
    std::memcpy(&bits, &value, sizeof bits);
    return Quadruple::To_decimal(format, bits);
#else
    return Format_text(format, value);
#endif
}

std::string Fixed(long double value, int width, int decimals) {
    std::string text = "<";
    Append_fixed(text, value, width, decimals);
    return text;
}

void Expect_as_printf(long double value, int width, int decimals) {
    EXPECT_EQ(Fixed(value, width, decimals), "<" + By_printf(value, width, decimals))
        << "width " << width << " decimals " << decimals << " value " << By_printf(value, 0, 30);
}

} // namespace

// Each row a kind of value where a fault in the integer conversion would show:
// ties to even, the last digit's carry, a value just beside a rounding
// boundary, signs of zero, the width overflowing, subnormals, values past the
// integer range (printf's), and what a data listing holds.
TEST(AppendFixed, WritesWhatPrintfWrites) {
    const long double quiet_nan = std::numeric_limits<long double>::quiet_NaN();
    const long double infinity = std::numeric_limits<long double>::infinity();
    const long double values[] = {0.0L,
                                  -0.0L,
                                  1.0L,
                                  -1.0L,
                                  0.015625L,
                                  0.046875L,
                                  -0.015625L,
                                  2.5L,
                                  3.5L,
                                  0.5L,
                                  1.5L,
                                  0.000005L,
                                  0.0000049999999L,
                                  0.00000500000001L,
                                  -0.000004L,
                                  9.999995L,
                                  99999.999995L,
                                  -99999.999L,
                                  123456789.123456789L,
                                  1e12L,
                                  -1e15L,
                                  1.8446744073709551615e19L,
                                  3e33L,
                                  -3.4e38L,
                                  1e40L,
                                  1e300L,
                                  1e-300L,
                                  0x1p-16445L,
                                  -0x1p-16382L,
                                  0.1L,
                                  0.2L,
                                  0.3L,
                                  1.0L / 3,
                                  -2.0L / 3,
                                  12345.678905L,
                                  7.999999999L,
                                  0x1.fffffffffffffffep+63L,
                                  0x1.fffffffffffffffep-1L,
                                  std::nextafter(0.015625L, 1.0L),
                                  std::nextafter(0.015625L, 0.0L),
                                  infinity,
                                  -infinity,
                                  quiet_nan};
    const int shapes[][2] = {{12, 5}, {0, 5}, {1, 0}, {8, 0}, {5, 1}, {20, 9}, {3, 3}};
    for (const auto& shape : shapes)
        for (long double value : values)
            Expect_as_printf(value, shape[0], shape[1]);
}

// Random bit patterns over the exponents a data value may take, then the
// listing's own shape on numbers as a data file writes them.
TEST(AppendFixed, WritesWhatPrintfWritesOnManyValues) {
    std::uint64_t state = 0x9e3779b97f4a7c15u;
    auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    };
    for (int i = 0; i < 200000; ++i) {
        const std::uint64_t bits = next();
        const int exponent = static_cast<int>(next() % 200) - 120; // 2^-120 .. 2^79
        const long double value = std::ldexp(static_cast<long double>(bits), exponent - 63) *
                                  ((next() & 1) != 0 ? -1 : 1);
        const int decimals = i % 7 == 0 ? static_cast<int>(next() % 10) : 5;
        ASSERT_EQ(Fixed(value, 12, decimals), "<" + By_printf(value, 12, decimals))
            << By_printf(value, 0, 40);
    }
    char text[64];
    for (int i = 0; i < 100000; ++i) {
        std::snprintf(
            text, sizeof text, "%lld.%0*llu", static_cast<long long>(next() % 2000000) - 1000000,
            static_cast<int>(i % 9 + 1), static_cast<unsigned long long>(next() % 1000000000));
        const long double value = std::strtold(text, nullptr);
        ASSERT_EQ(Fixed(value, 12, 5), "<" + By_printf(value, 12, 5)) << text;
    }
}

// printf follows the rounding direction in force; so does the conversion.
TEST(AppendFixed, FollowsTheRoundingDirection) {
    const int previous = std::fegetround();
    for (int direction : {FE_UPWARD, FE_DOWNWARD, FE_TOWARDZERO}) {
        ASSERT_EQ(std::fesetround(direction), 0);
        for (long double value : {0.015625L, -0.015625L, 1.0L / 3, -2.0L / 3})
            Expect_as_printf(value, 12, 5);
    }
    std::fesetround(previous);
}

// The software type sends plain "%W.DLf" conversions to the integer writer and
// every other one to the exact writer: each must still write printf's text.
TEST(FormatText, LongDoubleConversionsAreWrittenAsPrintfWritesThem) {
    const char* const conversions[] = {"%Lf",     "%.0Lf",  "%7.4Lf",   "%13.3Lf", "%08.3Lf",
                                       "%-9.2Lf", "%+.3Lf", "%123.2Lf", "%.12Lf",  "%5Lf",
                                       "%.10Lg",  "%.21Lg", "%Le"};
    for (const char* conversion : conversions)
        for (long double value : {0.0L, -0.0L, 2.5L, -1.0L / 3, 123456.789L, 1e-30L, 0x1p-16440L}) {
#if PAVONA_SOFTWARE_EXTENDED
            Quadruple::tBits bits;
            std::memcpy(&bits, &value, sizeof bits);
            const std::string expected = Quadruple::To_decimal(conversion, bits);
#else
            char expected[256];
            std::snprintf(expected, sizeof expected, conversion, value);
#endif
            EXPECT_EQ(Format_text(conversion, value), expected) << conversion;
        }
}
