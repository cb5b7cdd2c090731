#include "software_extended/quadruple_decimal.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

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

// Significant digits past this many only say whether the value lies above
// the number the first ones make: every point the rounding below tells apart
// (a multiple of 2^-s for the scale s it uses, at least 10^-4960) has fewer
// significant digits than this, so the kept digits and the whole number lie
// on the same side of each, and fall on one only when the rest are zeros.
// Reading then takes time linear in the length of the text.
constexpr long Kept_digits = 12000;

constexpr std::uint32_t Powers_of_ten[] = {1,      10,      100,      1000,      10000,
                                           100000, 1000000, 10000000, 100000000, 1000000000};

// n * 10^count, nine digits at a time.
void Scale_by_ten(tNatural& n, long count) {
    for (; count >= 9; count -= 9)
        n.Multiply_add(Powers_of_ten[9], 0);
    if (count > 0) n.Multiply_add(Powers_of_ten[count], 0);
}

} // namespace

tBits From_decimal(std::string_view text, int bits) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    // The first Kept_digits significant digits as a natural number D and the
    // power of ten p: the value is D * 10^p, plus something when a digit
    // left out is not zero.
    tNatural digits;
    long power = 0;
    bool seen_point = false;
    long significant = 0;
    bool nonzero_left_out = false;
    std::uint32_t pending = 0; // digits not yet in D, at most nine
    int pending_count = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '.') {
            seen_point = true;
            continue;
        }
        if (c < '0' || c > '9') break;
        if (seen_point) --power;
        if (significant == 0 && c == '0') continue;
        if (++significant > Kept_digits) {
            ++power;
            nonzero_left_out |= c != '0';
            continue;
        }
        pending = pending * 10 + static_cast<std::uint32_t>(c - '0');
        if (++pending_count == 9) {
            digits.Multiply_add(Powers_of_ten[9], pending);
            pending = 0;
            pending_count = 0;
        }
    }
    if (pending_count > 0) digits.Multiply_add(Powers_of_ten[pending_count], pending);
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
    const long magnitude = std::min(significant, Kept_digits) + power;
    if (magnitude > Overflow_power) return Infinity(negative);
    if (magnitude < Underflow_power) return Zero(negative);

    // The quotient N / M = D * 10^p * 2^s, scaled by 2^s to bits + 3 or
    // bits + 4 bits, then long division; the remainder and the digits left
    // out say whether anything is left.
    tNatural numerator = digits, denominator(1);
    Scale_by_ten(power > 0 ? numerator : denominator, std::labs(power));
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
    return Round(tUnpacked{negative, -scale, quotient}, !numerator.Is_zero() || nonzero_left_out,
                 bits, faults);
}

std::optional<double> Decimal_to_double(std::string_view text) {
    tBits bits = From_decimal(text, 53);
    if (Kind(bits) == tKind::Zero) return (bits >> 127) ? -0.0 : 0.0;
    if (Kind(bits) != tKind::Finite) return std::nullopt;
    tUnpacked v = Unpack(bits);
    const int top = v.Exponent + Bit_length(v.Significand) - 1;
    if (top < -1074 || top > 1023) return std::nullopt;
    if (top < -1022) {
        // A subnormal double keeps fewer bits: round once more from the
        // decimal, not from the 53-bit value, which would round twice.
        bits = From_decimal(text, top + 1075);
        v = Unpack(bits);
    }
    const double magnitude =
        std::ldexp(static_cast<double>(static_cast<std::uint64_t>(v.Significand >> (113 - 53))),
                   v.Exponent + (113 - 53));
    return v.Negative ? -magnitude : magnitude;
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
