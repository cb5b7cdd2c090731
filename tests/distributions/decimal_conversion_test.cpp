#include "distributions/decimal_conversion.h"

#include <gtest/gtest.h>

#include <cfenv>
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

// Decimal_to_extended on this machine against strtold, bit for bit: the short
// numbers a data file holds take a quicker path, which must round each as
// strtold does, in every rounding direction, and leave the rest to strtold.
TEST(DecimalConversion, DecimalToExtendedIsStrtoldBitForBit) {
    std::vector<std::string> texts = Decimal_texts();
    const char* const table[] = {"1.",
                                 ".5",
                                 "-.5",
                                 "+.25",
                                 "-0.0",
                                 "0.000",
                                 "9999999999999999999",
                                 "99999999999999999999",
                                 "1844674407370955161.5",
                                 "0.1234567890123456789",
                                 "0.12345678901234567891",
                                 "-99999.999",
                                 "3.4028236692093846346e1",
                                 "1.0000000000000000001",
                                 "0.0000000000000000001",
                                 "12.5.3"};
    texts.insert(texts.end(), std::begin(table), std::end(table));
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
            ASSERT_EQ(From_x87(got), From_x87(expected)) << t << " direction " << direction;
        }
    }
    std::fesetround(previous);
}
