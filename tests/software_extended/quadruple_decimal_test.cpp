#include "software_extended/quadruple_decimal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "x87_bits.h"

// The integer conversions used on WebAssembly against this machine's C
// library, whose strtold and printf are exact for the x87 format.

namespace {

using namespace Quadruple;

std::string Printf(const char* conversion, long double x) {
    char buffer[6000];
    std::snprintf(buffer, sizeof buffer, conversion, x);
    return buffer;
}

// Decimal texts near the awkward places: halfway cases, long digit strings,
// the ends of the range and subnormals.
std::vector<std::string> Decimal_texts() {
    std::vector<std::string> texts = {"76.09",
                                      "43.3385",
                                      "0",
                                      "-0",
                                      "+1.5",
                                      "1e4932",
                                      "1.18973149535723176502e4932",
                                      "1.18973149535723176508e4932",
                                      "1e4933",
                                      "3.6e-4951",
                                      "1.8e-4951",
                                      "1.9e-4951",
                                      "1e-4960",
                                      "4e-4950",
                                      "0.1",
                                      "1e-20",
                                      "123456789012345678901234567890",
                                      "9.999999999999999999999e-1",
                                      "1.00000000000000000005421010862427522170037",
                                      "1.00000000000000000005421010862427522170038",
                                      std::string(200, '7'),
                                      "0." + std::string(150, '0') + "3",
                                      "5e-1",
                                      "1E+10",
                                      "18446744073709551615",
                                      "18446744073709551617"};
    std::mt19937_64 random(76);
    for (int i = 0; i < 3000; ++i) {
        std::string text = random() % 2 ? "-" : "";
        text += std::to_string(random() % 100000);
        text += "." + std::to_string(random());
        if (random() % 2) text += "e" + std::to_string(static_cast<int>(random() % 9800) - 4900);
        texts.push_back(text);
    }
    return texts;
}

TEST(DecimalConversion, ReadsTheNearestX87ValueAsStrtoldDoes) {
    for (const std::string& text : Decimal_texts()) {
        const long double expected = std::strtold(text.c_str(), nullptr);
        EXPECT_EQ(From_decimal(text, X87_bits), From_x87(expected)) << text;
    }
}

// The exact decimal of (2 * significand + 1) * 2^(exponent - 1), the point
// half-way between significand * 2^exponent and the next value up, written
// d.ddd...e[+-]x without trailing zeros.
std::string Halfway(std::uint64_t significand, int exponent) {
    int faults = 0;
    const tBits bits = Round(tUnpacked{false, exponent - 1, (tBits{significand} << 1) | 1}, false,
                             Quadruple_bits, faults);
    const std::string text = To_decimal("%.12500Le", bits);
    const std::size_t e = text.find('e');
    return text.substr(0, text.find_last_not_of('0', e - 1) + 1) + text.substr(e);
}

std::size_t Significant_digits(const std::string& text) {
    return text.find('e') - 1;
}

// Long numbers read as the C library reads them, also where all but the
// last of many digits put the number exactly half-way between two values:
// the digits past those that decide (and those past the reader's bound)
// must still tip the rounding.
TEST(DecimalConversion, LongNumbersAndNearHalfWayPointsReadAsTheCLibraryDoes) {
    const struct {
        const char* Where;
        std::uint64_t Significand;
        int Exponent;
        int Bits;
    } points[] = {
        {"near 1, x87", 0xd3a1b2c3d4e5f607, -63, X87_bits},
        {"near 2^1000, x87", 0x8000000000000000, 1000 - 63, X87_bits},
        {"lowest normals, x87", 0xffffffffffffffff, -16445, X87_bits},
        {"subnormals, x87", 0x9a3b5c7d11, -16445, X87_bits},
        {"near 1, double", 0x1a3b5c7d9e1f3, -52, 53},
        {"subnormals, double", 0x2bcdef12, -1074, 53},
    };
    for (const auto& point : points) {
        const std::string half = Halfway(point.Significand, point.Exponent);
        const std::size_t e = half.find('e');
        const std::string mantissa = half.substr(0, e), exponent = half.substr(e);
        std::string below = mantissa;
        --below.back(); // a half-way point's last digit is 5
        const auto one_at = [&](std::size_t position) {
            const std::size_t digits = Significant_digits(half);
            return mantissa + std::string(position > digits + 1 ? position - digits - 1 : 0, '0') +
                   "1" + exponent;
        };
        const std::string texts[] = {
            half,           mantissa + std::string(300000, '0') + exponent,
            one_at(12000),  one_at(12001),
            one_at(300000), below + std::string(300000, '9') + exponent,
        };
        for (const std::string& text : texts) {
            const std::string name = std::string(point.Where) + ", " +
                                     std::to_string(Significant_digits(text)) + " digits, ending " +
                                     text.substr(text.size() - exponent.size() - 3);
            if (point.Bits == X87_bits)
                EXPECT_EQ(From_decimal(text, X87_bits),
                          From_x87(std::strtold(text.c_str(), nullptr)))
                    << name;
            else
                EXPECT_EQ(Decimal_to_double(text), std::strtod(text.c_str(), nullptr)) << name;
        }
    }
    // Two million random digits, read to each precision.
    std::mt19937_64 random(27);
    std::string text = "0.";
    for (int i = 0; i < 2000000; ++i)
        text += static_cast<char>('0' + random() % 10);
    text += "e-10";
    EXPECT_EQ(From_decimal(text, X87_bits), From_x87(std::strtold(text.c_str(), nullptr)));
    const __float128 quadruple = strtof128(text.c_str(), nullptr);
    tBits expected;
    std::memcpy(&expected, &quadruple, sizeof expected);
    EXPECT_EQ(From_decimal(text, Quadruple_bits), expected);
}

TEST(DecimalConversion, WritesX87ValuesAsPrintfDoes) {
    std::vector<long double> values = {
        0.0L,    -0.0L,     0.5L,     1.5L,      2.5L,        -0.0005L,
        0.9995L, 999.9995L, 1e21L,    1.5e-5L,   123456.0L,   43.3385L,
        76.09L,  1e-300L,   INFINITY, -INFINITY, 0x1p-16445L, 0x1.fffffffffffffffep16383L};
    std::mt19937_64 random(4);
    for (int i = 0; i < 2000; ++i) {
        const long double mantissa = static_cast<long double>(random()) * 0x1p-64L;
        values.push_back((random() % 2 ? -1 : 1) *
                         std::ldexp(mantissa, static_cast<int>(random() % 140) - 70));
    }
    // Decimal halfway cases of the printed precision, as data values give.
    for (int i = 0; i < 500; ++i)
        values.push_back(std::strtold((std::to_string(random() % 100000) + ".5").c_str(), nullptr) /
                         1000);
    const char* conversions[] = {"%.21Lg",   "%.10Lg", "%Lg",    "%13.3Lf",  "%7.4Lf", "%1.6Lf",
                                 "%.0Lf",    "%2.0Lf", "%.12Lf", "%-12.3Le", "%+.5LE", "%#.0Lf",
                                 "%010.2Lf", "% .3Lg", "%#.4Lg", "%.25Le"};
    for (const long double x : values)
        for (const char* conversion : conversions)
            ASSERT_EQ(To_decimal(conversion, From_x87(x)), Printf(conversion, x))
                << conversion << " " << static_cast<double>(x);
}

TEST(DecimalConversion, DoublesOutsideTheRangeAreRefused) {
    EXPECT_EQ(Decimal_to_double("2.5"), 2.5);
    EXPECT_EQ(Decimal_to_double("-1e308"), -1e308);
    EXPECT_FALSE(Decimal_to_double("1e309"));
    EXPECT_FALSE(Decimal_to_double("1e-400"));
}

} // namespace
