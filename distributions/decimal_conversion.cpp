#include "distributions/decimal_conversion.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#if !defined(__wasm__)
#include <charconv>
#include <cstdlib>

#include "distributions/text_format.h"
#endif

namespace Quadruple {

namespace {

// A natural number in base 2^32, least significant word first, no leading
// zero words.
class tNatural {
public:
    tNatural() = default;
    explicit tNatural(tBits value) {
        for (; value != 0; value >>= 32)
            words_.push_back(static_cast<std::uint32_t>(value));
    }

    bool Is_zero() const { return words_.empty(); }

    int Bit_length() const {
        if (words_.empty()) return 0;
        return 32 * static_cast<int>(words_.size() - 1) + 32 - __builtin_clz(words_.back());
    }

    // this = this * factor + addend
    void Multiply_add(std::uint32_t factor, std::uint32_t addend) {
        std::uint64_t carry = addend;
        for (std::uint32_t& word : words_) {
            const std::uint64_t value = static_cast<std::uint64_t>(word) * factor + carry;
            word = static_cast<std::uint32_t>(value);
            carry = value >> 32;
        }
        if (carry) words_.push_back(static_cast<std::uint32_t>(carry));
    }

    // Divides by `divisor` and returns the remainder.
    std::uint32_t Divide(std::uint32_t divisor) {
        std::uint64_t remainder = 0;
        for (std::size_t i = words_.size(); i-- > 0;) {
            const std::uint64_t value = (remainder << 32) | words_[i];
            words_[i] = static_cast<std::uint32_t>(value / divisor);
            remainder = value % divisor;
        }
        Trim();
        return static_cast<std::uint32_t>(remainder);
    }

    void Shift_left(int count) {
        if (Is_zero() || count == 0) return;
        const std::size_t whole = static_cast<std::size_t>(count / 32);
        const int part = count % 32;
        words_.insert(words_.begin(), whole, 0);
        if (part) {
            std::uint32_t carry = 0;
            for (std::size_t i = whole; i < words_.size(); ++i) {
                const std::uint32_t word = words_[i];
                words_[i] = (word << part) | carry;
                carry = word >> (32 - part);
            }
            if (carry) words_.push_back(carry);
        }
    }

    void Shift_right_one() {
        for (std::size_t i = 0; i < words_.size(); ++i) {
            words_[i] >>= 1;
            if (i + 1 < words_.size()) words_[i] |= words_[i + 1] << 31;
        }
        Trim();
    }

    // Splits off the bits from `count` up: this keeps the bits below,
    // the result holds the rest shifted down (which must fit 32 bits).
    std::uint32_t Take_above(int count) {
        std::uint64_t high = 0;
        const std::size_t whole = static_cast<std::size_t>(count / 32);
        const int part = count % 32;
        for (std::size_t i = words_.size(); i-- > whole;) {
            const std::uint64_t word = words_[i];
            high = (high << 32) | word;
        }
        high >>= part;
        if (words_.size() > whole) {
            words_.resize(whole + 1);
            words_[whole] &= part ? (1u << part) - 1 : 0;
        }
        Trim();
        return static_cast<std::uint32_t>(high);
    }

    friend int Compare(const tNatural& a, const tNatural& b) {
        if (a.words_.size() != b.words_.size()) return a.words_.size() < b.words_.size() ? -1 : 1;
        for (std::size_t i = a.words_.size(); i-- > 0;)
            if (a.words_[i] != b.words_[i]) return a.words_[i] < b.words_[i] ? -1 : 1;
        return 0;
    }

    // this -= other, for other <= this.
    void Subtract(const tNatural& other) {
        std::int64_t borrow = 0;
        for (std::size_t i = 0; i < words_.size(); ++i) {
            std::int64_t value = static_cast<std::int64_t>(words_[i]) - borrow -
                                 (i < other.words_.size() ? other.words_[i] : 0);
            borrow = value < 0 ? 1 : 0;
            words_[i] = static_cast<std::uint32_t>(value + (borrow << 32));
        }
        Trim();
    }

private:
    void Trim() {
        while (!words_.empty() && words_.back() == 0)
            words_.pop_back();
    }

    std::vector<std::uint32_t> words_;
};

// Past these powers of ten the value is surely infinite, or surely below
// half the smallest subnormal.
constexpr long Overflow_power = 4940;
constexpr long Underflow_power = -4960;

} // namespace

tBits From_decimal(std::string_view text, int bits) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    // The significant digits as a natural number D and the power of ten p:
    // the value is D * 10^p.
    tNatural digits;
    long power = 0;
    bool seen_point = false;
    long significant = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '.') {
            seen_point = true;
            continue;
        }
        if (c < '0' || c > '9') break;
        if (seen_point) --power;
        if (significant > 0 || c != '0') {
            digits.Multiply_add(10, static_cast<std::uint32_t>(c - '0'));
            ++significant;
        }
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool negative_exponent = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            negative_exponent = text[i++] == '-';
        long exponent = 0;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
            exponent = std::min(exponent * 10 + (text[i] - '0'), 100000000L);
        power += negative_exponent ? -exponent : exponent;
    }
    if (digits.Is_zero()) return Zero(negative);
    int faults = 0;
    if (significant + power > Overflow_power) return Infinity(negative);
    if (significant + power < Underflow_power) return Zero(negative);

    // The quotient N / M = D * 10^p * 2^s, scaled by 2^s to bits + 3 or
    // bits + 4 bits, then long division; the remainder says whether anything
    // is left.
    tNatural numerator = digits, denominator(1);
    for (long k = 0; k < std::abs(power); ++k)
        (power > 0 ? numerator : denominator).Multiply_add(10, 0);
    const int scale = bits + 3 - (numerator.Bit_length() - denominator.Bit_length());
    if (scale > 0)
        numerator.Shift_left(scale);
    else
        denominator.Shift_left(-scale);
    denominator.Shift_left(bits + 4);
    tBits quotient = 0;
    for (int bit = bits + 4; bit >= 0; --bit) {
        if (Compare(numerator, denominator) >= 0) {
            numerator.Subtract(denominator);
            quotient |= tBits{1} << bit;
        }
        denominator.Shift_right_one();
    }
    return Round(tUnpacked{negative, -scale, quotient}, !numerator.Is_zero(), bits, faults);
}

namespace {

struct tConversion {
    bool Left = false, Plus = false, Space = false, Alternate = false, Zero_pad = false;
    int Width = 0;
    int Precision = 6;
    char Letter = 'f';
};

tConversion Parse_conversion(std::string_view format) {
    tConversion c;
    std::size_t i = format.empty() || format[0] != '%' ? 0 : 1;
    for (; i < format.size(); ++i) {
        const char f = format[i];
        if (f == '-')
            c.Left = true;
        else if (f == '+')
            c.Plus = true;
        else if (f == ' ')
            c.Space = true;
        else if (f == '#')
            c.Alternate = true;
        else if (f == '0')
            c.Zero_pad = true;
        else
            break;
    }
    for (; i < format.size() && format[i] >= '0' && format[i] <= '9'; ++i)
        c.Width = std::min(c.Width * 10 + (format[i] - '0'), 100000);
    if (i < format.size() && format[i] == '.') {
        c.Precision = 0;
        for (++i; i < format.size() && format[i] >= '0' && format[i] <= '9'; ++i)
            c.Precision = std::min(c.Precision * 10 + (format[i] - '0'), 100000);
    }
    if (!format.empty()) c.Letter = format.back();
    return c;
}

// The exact decimal digits of a finite nonzero magnitude: value = 0.D * 10^point,
// D without leading or trailing zeros.
struct tDigits {
    std::string D;
    long Point = 0;
};

tDigits Exact_digits(const tUnpacked& v) {
    tNatural whole, fraction;
    const int fraction_bits = v.Exponent < 0 ? -v.Exponent : 0;
    if (v.Exponent >= 0) {
        whole = tNatural(v.Significand);
        whole.Shift_left(v.Exponent);
    } else {
        fraction = tNatural(v.Significand);
        whole = tNatural(fraction_bits >= 128 ? 0 : v.Significand >> fraction_bits);
        if (fraction_bits < 128)
            fraction = tNatural(v.Significand & ((tBits{1} << fraction_bits) - 1));
    }
    std::string whole_text;
    while (!whole.Is_zero()) {
        std::uint32_t chunk = whole.Divide(1000000000);
        for (int k = 0; k < 9; ++k) {
            whole_text += static_cast<char>('0' + chunk % 10);
            chunk /= 10;
        }
    }
    while (!whole_text.empty() && whole_text.back() == '0')
        whole_text.pop_back();
    std::reverse(whole_text.begin(), whole_text.end());
    std::string fraction_text;
    while (!fraction.Is_zero()) {
        fraction.Multiply_add(1000000000, 0);
        std::uint32_t chunk = fraction.Take_above(fraction_bits);
        char nine[9];
        for (int k = 8; k >= 0; --k) {
            nine[k] = static_cast<char>('0' + chunk % 10);
            chunk /= 10;
        }
        fraction_text.append(nine, 9);
    }
    tDigits d;
    if (!whole_text.empty()) {
        d.D = whole_text + fraction_text;
        d.Point = static_cast<long>(whole_text.size());
    } else {
        const std::size_t zeros = fraction_text.find_first_not_of('0');
        d.D = fraction_text.substr(zeros);
        d.Point = -static_cast<long>(zeros);
    }
    while (!d.D.empty() && d.D.back() == '0')
        d.D.pop_back();
    return d;
}

// Keeps `keep` leading digits, ties to even, from the exact digits; the
// result has `keep` digits (one more after a carry out of all nines, none
// when it rounds to 0).
tDigits Round_digits(tDigits d, long keep) {
    if (keep < 0) return tDigits{};
    if (keep == 0) {
        d.D.insert(d.D.begin(), '0');
        ++d.Point;
        keep = 1;
    }
    if (static_cast<long>(d.D.size()) <= keep) {
        d.D.append(static_cast<std::size_t>(keep) - d.D.size(), '0');
        return d;
    }
    const char next = d.D[static_cast<std::size_t>(keep)];
    const bool more =
        d.D.find_first_not_of('0', static_cast<std::size_t>(keep) + 1) != std::string::npos;
    d.D.resize(static_cast<std::size_t>(keep));
    const bool odd = ((d.D.back() - '0') & 1) != 0;
    if (next > '5' || (next == '5' && (more || odd))) {
        std::size_t k = d.D.size();
        while (k > 0 && d.D[k - 1] == '9')
            d.D[--k] = '0';
        if (k == 0) {
            // All nines: one digit more, as 999.5 becomes 1000.
            d.D.insert(d.D.begin(), '1');
            ++d.Point;
        } else {
            ++d.D[k - 1];
        }
    }
    return d;
}

// value = 0.D * 10^point written with `precision` decimals.
std::string Fixed(const tDigits& exact, int precision, bool alternate) {
    const tDigits d = Round_digits(exact, exact.Point + precision);
    std::string text;
    if (d.Point <= 0 || d.D.empty() || d.D.find_first_not_of('0') == std::string::npos) {
        // Below one (or zero after rounding): the digits are all decimals.
        text = "0";
        if (!d.D.empty() && d.Point > 0) text = d.D.substr(0, static_cast<std::size_t>(d.Point));
    } else {
        text = d.D.substr(0, static_cast<std::size_t>(d.Point));
    }
    std::string decimals;
    for (long k = 0; k < precision; ++k) {
        const long at = d.Point + k;
        decimals += (at >= 0 && at < static_cast<long>(d.D.size()))
                        ? d.D[static_cast<std::size_t>(at)]
                        : '0';
    }
    if (precision > 0 || alternate) text += ".";
    return text + decimals;
}

std::string Scientific(const tDigits& exact, int precision, bool alternate, bool upper) {
    const tDigits d = exact.D.empty()
                          ? tDigits{std::string(static_cast<std::size_t>(precision) + 1, '0'), 1}
                          : Round_digits(exact, precision + 1);
    const long exponent = exact.D.empty() ? 0 : d.Point - 1;
    std::string text(1, d.D[0]);
    if (precision > 0 || alternate) text += ".";
    text += d.D.substr(1, static_cast<std::size_t>(precision));
    text += upper ? "E" : "e";
    text += exponent < 0 ? "-" : "+";
    const std::string digits = std::to_string(std::labs(exponent));
    if (digits.size() < 2) text += "0";
    return text + digits;
}

std::string Strip_trailing_zeros(std::string text) {
    const std::size_t point = text.find('.');
    if (point == std::string::npos) return text;
    const std::size_t end = text.find_first_of("eE");
    const std::size_t mantissa_end = end == std::string::npos ? text.size() : end;
    std::size_t last = mantissa_end;
    while (last > point + 1 && text[last - 1] == '0')
        --last;
    if (last == point + 1) last = point;
    return text.substr(0, last) + text.substr(mantissa_end);
}

} // namespace

std::string To_decimal(std::string_view conversion, tBits x) {
    const tConversion c = Parse_conversion(conversion);
    const bool upper = c.Letter == 'E' || c.Letter == 'G' || c.Letter == 'F';
    const bool negative = (x >> 127) != 0;
    std::string sign = negative ? "-" : c.Plus ? "+" : c.Space ? " " : "";
    std::string body;
    bool pad_with_zeros = c.Zero_pad && !c.Left;
    const tKind kind = Kind(x);
    if (kind == tKind::Nan || kind == tKind::Infinite) {
        body = kind == tKind::Nan ? (upper ? "NAN" : "nan") : (upper ? "INF" : "inf");
        pad_with_zeros = false;
    } else {
        const tDigits exact = kind == tKind::Zero ? tDigits{} : Exact_digits(Unpack(x));
        const char letter = static_cast<char>(c.Letter | 0x20);
        if (letter == 'f') {
            body = Fixed(exact, c.Precision, c.Alternate);
        } else if (letter == 'e') {
            body = Scientific(exact, c.Precision, c.Alternate, upper);
        } else {
            const int p = c.Precision == 0 ? 1 : c.Precision;
            const long exponent = exact.D.empty() ? 0 : Round_digits(exact, p).Point - 1;
            if (exponent < p && exponent >= -4)
                body = Fixed(exact, static_cast<int>(p - 1 - exponent), c.Alternate);
            else
                body = Scientific(exact, p - 1, c.Alternate, upper);
            if (!c.Alternate) body = Strip_trailing_zeros(body);
        }
    }
    const std::size_t length = sign.size() + body.size();
    const std::size_t width = static_cast<std::size_t>(c.Width);
    if (length >= width) return sign + body;
    const std::string fill(width - length, pad_with_zeros ? '0' : ' ');
    if (c.Left) return sign + body + fill;
    return pad_with_zeros ? sign + fill + body : fill + sign + body;
}

} // namespace Quadruple

#if defined(__wasm__)

static_assert(sizeof(Extended) == sizeof(Quadruple::tBits));

Extended Decimal_to_extended(const std::string& text) {
    const Quadruple::tBits bits = Quadruple::From_decimal(text, Quadruple::X87_bits);
    Extended value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::optional<double> Decimal_to_double(std::string_view text) {
    using namespace Quadruple;
    const tBits bits = From_decimal(text, 53);
    if (Kind(bits) == tKind::Zero) return (bits >> 127) ? -0.0 : 0.0;
    if (Kind(bits) != tKind::Finite) return std::nullopt;
    const tUnpacked v = Unpack(bits);
    const int top = v.Exponent + Bit_length(v.Significand) - 1;
    if (top < -1074 || top > 1023) return std::nullopt;
    const double magnitude =
        std::ldexp(static_cast<double>(static_cast<std::uint64_t>(v.Significand >> (113 - 53))),
                   v.Exponent + (113 - 53));
    return v.Negative ? -magnitude : magnitude;
}

std::string Format_extended(std::string_view conversion, Extended value) {
    Quadruple::tBits bits;
    std::memcpy(&bits, &value, sizeof bits);
    return Quadruple::To_decimal(conversion, bits);
}

#else

namespace {

// [+-]digits[.digits] with at most 19 digits in all: the integer they form
// and 10^(digits after the point) are both exact in the 64-bit significand,
// so one division rounds the value once, in the rounding direction in force,
// as strtold does, at a fraction of its cost. Anything else is strtold's.
std::optional<Extended> Short_decimal(const std::string& text) {
    static constexpr Extended powers[] = {1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,
                                          1e7L,  1e8L,  1e9L,  1e10L, 1e11L, 1e12L, 1e13L,
                                          1e14L, 1e15L, 1e16L, 1e17L, 1e18L, 1e19L};
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) ++i;
    std::uint64_t digits = 0;
    int count = 0;
    int after_point = -1;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            if (++count > 19) return std::nullopt;
            digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
            if (after_point >= 0) ++after_point;
        } else if (c == '.' && after_point < 0) {
            after_point = 0;
        } else {
            return std::nullopt;
        }
    }
    if (count == 0) return std::nullopt;
    Extended value = static_cast<Extended>(digits);
    if (negative) value = -value;
    return after_point > 0 ? value / powers[after_point] : value;
}

} // namespace

Extended Decimal_to_extended(const std::string& text) {
    if (const std::optional<Extended> value = Short_decimal(text)) return *value;
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
