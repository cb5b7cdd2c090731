#include "distributions/text_format.h"

#include <cfenv>
#include <cmath>
#include <cstdint>
#include <cstring>

#if PAVONA_SOFTWARE_EXTENDED
#include "software_extended/quadruple_decimal.h"
#endif

locale_t C_locale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

tC_locale_scope::tC_locale_scope() {
    if (const locale_t c = C_locale()) previous_ = uselocale(c);
}

tC_locale_scope::~tC_locale_scope() {
    if (previous_) uselocale(previous_);
}

#if PAVONA_SOFTWARE_EXTENDED
std::string Format_extended(std::string_view conversion, long double value) {
    Quadruple::tBits bits;
    std::memcpy(&bits, &value, sizeof bits);
    return Quadruple::To_decimal(conversion, bits);
}

std::string tFormat_writer::Next_conversion() {
    for (;;) {
        const char* percent = std::strchr(rest_, '%');
        if (!percent) return {};
        text_.append(rest_, percent);
        if (percent[1] == '%') {
            text_ += '%';
            rest_ = percent + 2;
            continue;
        }
        const char* end = percent + 1;
        while (*end && !std::strchr("diouxXfFeEgGaAcspn", *end))
            ++end;
        if (!*end) throw std::invalid_argument("Format_text: the format cannot be written");
        rest_ = end + 1;
        std::string conversion(percent, rest_);
        return conversion;
    }
}

std::string tFormat_writer::Finish() {
    for (const char* c = rest_; *c; ++c) {
        text_ += *c;
        if (c[0] == '%' && c[1] == '%') ++c;
    }
    return std::move(text_);
}
#endif

namespace {

void Append_fixed_by_printf(std::string& text, long double value, int width, int decimals) {
    char format[32];
    std::snprintf(format, sizeof format, "%%%d.%dLf", width, decimals);
    text += Format_text(format, value);
}

} // namespace

void Append_fixed(std::string& text, long double value, int width, int decimals) {
#if defined(__x86_64__) || defined(__i386__)
    // value = significand * 2^shift exactly; value * 10^decimals is then an
    // integer of at most 94 bits times a power of two, rounded here as printf
    // rounds (to nearest, ties to even) in 128-bit integers.
    static constexpr std::uint64_t powers[] = {1,      10,      100,      1000,      10000,
                                               100000, 1000000, 10000000, 100000000, 1000000000};
    if (decimals < 0 || decimals > 9 || width < 0 || width > 64 || !std::isfinite(value) ||
        std::fegetround() != FE_TONEAREST) {
        Append_fixed_by_printf(text, value, width, decimals);
        return;
    }
    unsigned char bytes[sizeof(long double)];
    std::memcpy(bytes, &value, sizeof bytes);
    std::uint64_t significand;
    std::memcpy(&significand, bytes, 8);
    const int exponent_field = (bytes[8] | (bytes[9] << 8)) & 0x7fff;
    const bool negative = (bytes[9] & 0x80) != 0;
    const int shift = (exponent_field == 0 ? 1 : exponent_field) - 16383 - 63;
    using tWide = unsigned __int128;
    const tWide scaled = static_cast<tWide>(significand) * powers[decimals];
    tWide units; // value * 10^decimals, rounded
    if (shift >= 0) {
        if (scaled != 0 && (shift >= 128 || (scaled >> (127 - shift)) != 0)) {
            Append_fixed_by_printf(text, value, width, decimals);
            return;
        }
        units = scaled << shift;
    } else if (-shift >= 128) {
        units = 0; // below 2^-128 * 2^94: rounds to zero
    } else {
        const int s = -shift;
        units = scaled >> s;
        const tWide rest = scaled & ((static_cast<tWide>(1) << s) - 1);
        const tWide half = static_cast<tWide>(1) << (s - 1);
        if (rest > half || (rest == half && (units & 1) != 0)) ++units;
    }
    char digits[48]; // at most 39 digits of a 128-bit integer, from the right
    int count = 0;
    while (units > UINT64_MAX) {
        digits[count++] = static_cast<char>('0' + static_cast<int>(units % 10));
        units /= 10;
    }
    std::uint64_t low = static_cast<std::uint64_t>(units); // the usual case: 64-bit division
    do {
        digits[count++] = static_cast<char>('0' + static_cast<int>(low % 10));
        low /= 10;
    } while (low != 0);
    while (count < decimals + 1)
        digits[count++] = '0';
    const int length = count + (decimals > 0 ? 1 : 0) + (negative ? 1 : 0);
    if (width > length) text.append(static_cast<std::size_t>(width - length), ' ');
    if (negative) text += '-';
    for (int i = count - 1; i >= 0; --i) {
        text += digits[i];
        if (i == decimals && decimals > 0) text += '.';
    }
#else
    Append_fixed_by_printf(text, value, width, decimals);
#endif
}
