#include "distributions/decimal_conversion.h"

#if PAVONA_SOFTWARE_EXTENDED

#include <cstring>

#include "software_extended/quadruple_decimal.h"

static_assert(sizeof(Extended) == sizeof(Quadruple::tBits));

Extended Decimal_to_extended(const std::string& text) {
    const Quadruple::tBits bits = Quadruple::From_decimal(text, Quadruple::X87_bits);
    Extended value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::optional<double> Decimal_to_double(std::string_view text) {
    return Quadruple::Decimal_to_double(text);
}

#else

#include <charconv>
#include <cstdlib>

#include "distributions/text_format.h"

Extended Decimal_to_extended(const std::string& text) {
    const locale_t locale = C_locale();
    return locale ? strtold_l(text.c_str(), nullptr, locale) : std::strtold(text.c_str(), nullptr);
}

std::optional<double> Decimal_to_double(std::string_view text) {
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return std::nullopt;
    return value;
}

#endif
