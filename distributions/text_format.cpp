#include "distributions/text_format.h"

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
