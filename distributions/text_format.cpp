#include "distributions/text_format.h"

#include <cfenv>
#include <cmath>
#include <cstdint>
#include <cstring>

#if PAVONA_SOFTWARE_EXTENDED
#include "software_extended/quadruple_arithmetic.h"
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
namespace {
bool Append_fixed_exactly(std::string& text, long double value, int width, int decimals);

// The width and decimals of a plain "%W.DLf" (each part optional); false for
// any other conversion.
bool Plain_fixed(std::string_view conversion, int& width, int& decimals) {
    std::size_t i = 1;
    // At most two digits; a leading 0 of the width is the zero-padding flag.
    const auto number = [&](int& n) {
        n = 0;
        const std::size_t first = i;
        for (; i < conversion.size() && conversion[i] >= '0' && conversion[i] <= '9'; ++i)
            if (i - first < 2) n = n * 10 + (conversion[i] - '0');
        return i - first <= 2;
    };
    if (conversion.size() > 1 && conversion[1] == '0') return false;
    if (!number(width)) return false;
    decimals = 6;
    if (i < conversion.size() && conversion[i] == '.') {
        ++i;
        if (!number(decimals)) return false;
    }
    return conversion.substr(i) == "Lf";
}
} // namespace

std::string Format_extended(std::string_view conversion, long double value) {
    // The report's figures, in integers rather than the exact decimal expansion.
    if (int width, decimals; Plain_fixed(conversion, width, decimals)) {
        std::string text;
        if (Append_fixed_exactly(text, value, width, decimals)) return text;
    }
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

// A finite value as (-1)^negative * significand * 2^shift, the significand
// the x87 unit's 64 bits; false for a value the integer writer leaves alone.
bool Split_x87(long double value, bool& negative, std::uint64_t& significand, int& shift) {
#if PAVONA_SOFTWARE_EXTENDED
    Quadruple::tBits bits;
    std::memcpy(&bits, &value, sizeof bits);
    negative = (bits >> 127) != 0;
    if (value == 0) {
        significand = 0;
        shift = 0;
        return true;
    }
    Quadruple::tX87_normal v;
    if (!Quadruple::As_x87_normal(bits, v)) return false;
    significand = v.Significand;
    shift = v.Exponent - 63;
    return true;
#elif defined(__x86_64__) || defined(__i386__)
    unsigned char bytes[sizeof(long double)];
    std::memcpy(bytes, &value, sizeof bytes);
    std::memcpy(&significand, bytes, 8);
    const int exponent_field = (bytes[8] | (bytes[9] << 8)) & 0x7fff;
    negative = (bytes[9] & 0x80) != 0;
    shift = (exponent_field == 0 ? 1 : exponent_field) - 16383 - 63;
    return exponent_field != 0x7fff;
#else
    (void)value, (void)negative, (void)significand, (void)shift;
    return false;
#endif
}

// value = significand * 2^shift exactly; value * 10^decimals is then an
// integer of at most 94 bits times a power of two, rounded here as printf
// rounds (to nearest, ties to even) in 128-bit integers. False, and nothing
// written, for what it does not cover.
bool Append_fixed_exactly(std::string& text, long double value, int width, int decimals) {
    static constexpr std::uint64_t powers[] = {1,      10,      100,      1000,      10000,
                                               100000, 1000000, 10000000, 100000000, 1000000000};
    bool negative;
    std::uint64_t significand;
    int shift;
    if (decimals < 0 || decimals > 9 || width < 0 || width > 64 ||
        std::fegetround() != FE_TONEAREST || !Split_x87(value, negative, significand, shift))
        return false;
    using tWide = unsigned __int128;
    const tWide scaled = static_cast<tWide>(significand) * powers[decimals];
    tWide units; // value * 10^decimals, rounded
    if (shift >= 0) {
        if (scaled != 0 && (shift >= 128 || (scaled >> (127 - shift)) != 0)) return false;
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
    // Written backwards from the buffer's end: the decimals, the point, the
    // whole part, the sign, then blanks to the width, and appended once. The
    // buffer is cleared to blanks first, in one store of known size: a call
    // to the library for a few bytes costs more than this conversion.
    static constexpr char pairs[] = "00010203040506070809101112131415161718192021222324"
                                    "25262728293031323334353637383940414243444546474849"
                                    "50515253545556575859606162636465666768697071727374"
                                    "75767778798081828384858687888990919293949596979899";
    char buffer[64 + 48]; // a width of 64; or 39 digits, the point and the sign
    std::memset(buffer, ' ', sizeof buffer);
    char* const end = buffer + sizeof buffer;
    char* first = end;
    // The digits of n, at least one, two at a time from the table of pairs.
    const auto put = [&first](std::uint64_t n) {
        while (n >= 100) {
            const auto pair = static_cast<std::size_t>(n % 100) * 2;
            n /= 100;
            *--first = pairs[pair + 1];
            *--first = pairs[pair];
        }
        if (n >= 10) {
            *--first = pairs[n * 2 + 1];
            *--first = pairs[n * 2];
        } else {
            *--first = static_cast<char>('0' + n);
        }
    };
    tWide whole = units;
    if (decimals > 0) {
        const std::uint64_t scale = powers[decimals];
        std::uint64_t fraction;
        if (units <= UINT64_MAX) { // the usual case: 64-bit division
            fraction = static_cast<std::uint64_t>(units) % scale;
            whole = static_cast<std::uint64_t>(units) / scale;
        } else {
            fraction = static_cast<std::uint64_t>(units % scale);
            whole = units / scale;
        }
        put(fraction);
        while (end - first < decimals)
            *--first = '0';
        *--first = '.';
    }
    // A 128-bit integer has at most 39 digits.
    while (whole > UINT64_MAX) {
        *--first = static_cast<char>('0' + static_cast<int>(whole % 10));
        whole /= 10;
    }
    put(static_cast<std::uint64_t>(whole));
    if (negative) *--first = '-';
    if (end - first < width) first = end - width;
    text.append(first, static_cast<std::size_t>(end - first));
    return true;
}

} // namespace

void Append_fixed(std::string& text, long double value, int width, int decimals) {
    if (Append_fixed_exactly(text, value, width, decimals)) return;
    char format[32];
    std::snprintf(format, sizeof format, "%%%d.%dLf", width, decimals);
    text += Format_text(format, value);
}
