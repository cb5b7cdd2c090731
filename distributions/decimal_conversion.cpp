#include "distributions/decimal_conversion.h"

#include <cstddef>
#include <cstdint>

namespace {

// digits := digits * 10^d + the d decimal digits from p on; returns where
// they stop. The sum is kept in a local: a store through `digits` might alias
// the text, and would be reloaded at every byte.
const char* Add_digits(const char* p, const char* end, std::uint64_t& digits) {
    std::uint64_t sum = digits;
    for (; p != end; ++p) {
        const unsigned digit = static_cast<unsigned char>(*p) - unsigned{'0'};
        if (digit > 9) break;
        sum = sum * 10 + digit;
    }
    digits = sum;
    return p;
}

} // namespace

// [+-]digits[.digits] with at most 19 digits in all: the integer they form
// and 10^(digits after the point) are both exact in the 64-bit significand,
// so one division rounds the value once, in the rounding direction in force,
// as strtold and the software type's exact reading do, at a fraction of
// their cost. Anything else is theirs.
std::optional<Extended> Short_decimal_to_extended(std::string_view text) {
    static constexpr Extended powers[] = {1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,
                                          1e7L,  1e8L,  1e9L,  1e10L, 1e11L, 1e12L, 1e13L,
                                          1e14L, 1e15L, 1e16L, 1e17L, 1e18L, 1e19L};
    const char* p = text.data();
    const char* const end = p + text.size();
    const bool negative = p != end && *p == '-';
    if (p != end && (*p == '-' || *p == '+')) ++p;
    // The digits before the point, then those after it. Past 19 digits the
    // sum wraps, harmlessly: the text is refused.
    std::uint64_t digits = 0;
    const char* const whole = p;
    p = Add_digits(p, end, digits);
    std::ptrdiff_t count = p - whole;
    std::ptrdiff_t after_point = 0;
    if (p != end && *p == '.') {
        const char* const fraction = ++p;
        p = Add_digits(p, end, digits);
        after_point = p - fraction;
        count += after_point;
    }
    if (p != end || count == 0 || count > 19) return std::nullopt;
    Extended value = static_cast<Extended>(digits);
    if (negative) value = -value;
    return after_point > 0 ? value / powers[after_point] : value;
}

#if PAVONA_SOFTWARE_EXTENDED

#include <cstring>

#include "software_extended/quadruple_decimal.h"

static_assert(sizeof(Extended) == sizeof(Quadruple::tBits));

Extended Decimal_to_extended(std::string_view text) {
    if (const std::optional<Extended> value = Short_decimal_to_extended(text)) return *value;
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

Extended Decimal_to_extended(std::string_view text) {
    if (const std::optional<Extended> value = Short_decimal_to_extended(text)) return *value;
    const locale_t locale = C_locale();
    const std::string terminated(text);
    return locale ? strtold_l(terminated.c_str(), nullptr, locale)
                  : std::strtold(terminated.c_str(), nullptr);
}

std::optional<double> Decimal_to_double(std::string_view text) {
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return std::nullopt;
    return value;
}

#endif
