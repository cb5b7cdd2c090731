#include "software_extended/quadruple_arithmetic.h"

#include <algorithm>
#include <utility>

namespace Quadruple {

namespace {

constexpr int Fraction_bits = 112;
constexpr int Bias = 16383;
constexpr int Exponent_all_ones = 0x7fff;
constexpr tBits One = 1;
constexpr tBits Fraction_mask = (One << Fraction_bits) - 1;
// The exponent of a subnormal's last bit in the quadruple format.
constexpr int Subnormal_exponent = Min_exponent - Fraction_bits;

bool Sign_of(tBits x) {
    return (x >> 127) != 0;
}
int Biased_exponent_of(tBits x) {
    return static_cast<int>((x >> Fraction_bits) & 0x7fff);
}

// Shifts left until the leading bit is bit 126, leaving room for a carry.
tUnpacked Normalized(tUnpacked v) {
    const int shift = 127 - Bit_length(v.Significand);
    v.Significand <<= shift;
    v.Exponent -= shift;
    return v;
}

// The 256-bit product of two 128-bit numbers, as {high, low}.
std::pair<tBits, tBits> Wide_product(tBits a, tBits b) {
    const std::uint64_t a1 = static_cast<std::uint64_t>(a >> 64),
                        a0 = static_cast<std::uint64_t>(a);
    const std::uint64_t b1 = static_cast<std::uint64_t>(b >> 64),
                        b0 = static_cast<std::uint64_t>(b);
    const tBits low = static_cast<tBits>(a0) * b0;
    const tBits middle1 = static_cast<tBits>(a1) * b0;
    const tBits middle2 = static_cast<tBits>(a0) * b1;
    tBits high = static_cast<tBits>(a1) * b1;
    tBits result_low = low + (middle1 << 64);
    high += (middle1 >> 64) + (result_low < low ? 1 : 0);
    const tBits before = result_low;
    result_low += middle2 << 64;
    high += (middle2 >> 64) + (result_low < before ? 1 : 0);
    return {high, result_low};
}

// The fast paths below take both operands as normal x87 numbers (every value
// the runtime hands out has at most 64 significant bits) and give a normal
// result; anything else goes the general way. They use 64-bit integers
// only: on WebAssembly every 128-bit shift or product is a call.
constexpr std::uint64_t Top_bit = 1ULL << 63;
constexpr int Spare_fraction_bits = Fraction_bits - (X87_bits - 1);

// Rounds the 128-bit significand high:low (leading bit at 63 of high), plus a
// nonzero amount below it when `sticky`, to 64 bits; false when the result is
// not a normal number.
bool Pack_x87_normal(bool negative, int exponent, std::uint64_t high, std::uint64_t low,
                     bool sticky, tBits& packed) {
    const bool round_bit = (low >> 63) != 0;
    const bool rest = (low << 1) != 0 || sticky;
    if (round_bit && (rest || (high & 1) != 0) && ++high == 0) {
        high = Top_bit;
        ++exponent;
    }
    if (exponent < Min_exponent || exponent > Max_exponent) return false;
    const std::uint64_t top = (negative ? Top_bit : 0) |
                              (static_cast<std::uint64_t>(exponent + Bias) << 48) |
                              ((high & ~Top_bit) >> 15);
    packed = (static_cast<tBits>(top) << 64) | (high << Spare_fraction_bits);
    return true;
}

bool Fast_add(tBits a, tBits b, tBits& sum) {
    tX87_normal x, y;
    if (!As_x87_normal(a, x) || !As_x87_normal(b, y)) return false;
    if (y.Exponent > x.Exponent || (y.Exponent == x.Exponent && y.Significand > x.Significand))
        std::swap(x, y);
    // y aligned below x's leading bit as high:low, its bits past that in `sticky`.
    const int distance = x.Exponent - y.Exponent;
    std::uint64_t y_high = 0, y_low = 0;
    bool sticky = false;
    if (distance == 0) {
        y_high = y.Significand;
    } else if (distance < 64) {
        y_high = y.Significand >> distance;
        y_low = y.Significand << (64 - distance);
    } else if (distance == 64) {
        y_low = y.Significand;
    } else if (distance < 128) {
        y_low = y.Significand >> (distance - 64);
        sticky = (y.Significand << (128 - distance)) != 0;
    } else {
        sticky = true;
    }
    int exponent = x.Exponent;
    std::uint64_t high, low;
    if (x.Negative == y.Negative) {
        low = y_low;
        high = x.Significand + y_high;
        if (high < x.Significand) {
            // The carry: one more bit above the 64. It needs a distance below
            // 64, where low's last bit is 0, so shifting it out loses nothing.
            low = (low >> 1) | (high << 63);
            high = (high >> 1) | Top_bit;
            ++exponent;
        }
    } else {
        // As in Add: the lost bits of y are taken whole from x.
        // (y_low is below 2^63 wherever `sticky` is set, so `take` cannot wrap.)
        const std::uint64_t take = y_low + (sticky ? 1 : 0);
        low = 0 - take;
        high = x.Significand - y_high - (take != 0 ? 1 : 0);
        if (high == 0 && low == 0) {
            sum = Zero(false);
            return true;
        }
        if (high == 0) {
            high = low;
            low = 0;
            exponent -= 64;
        }
        const int shift = __builtin_clzll(high);
        if (shift != 0) {
            high = (high << shift) | (low >> (64 - shift));
            low <<= shift;
            exponent -= shift;
        }
    }
    return Pack_x87_normal(x.Negative, exponent, high, low, sticky, sum);
}

bool Fast_multiply(tBits a, tBits b, tBits& product) {
    tX87_normal x, y;
    if (!As_x87_normal(a, x) || !As_x87_normal(b, y)) return false;
    constexpr std::uint64_t Half = 0xffffffffULL;
    const std::uint64_t a1 = x.Significand >> 32, a0 = x.Significand & Half;
    const std::uint64_t b1 = y.Significand >> 32, b0 = y.Significand & Half;
    const std::uint64_t p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
    const std::uint64_t middle = (p00 >> 32) + (p01 & Half) + (p10 & Half);
    std::uint64_t low = (middle << 32) | (p00 & Half);
    std::uint64_t high = p11 + (p01 >> 32) + (p10 >> 32) + (middle >> 32);
    int exponent = x.Exponent + y.Exponent + 1;
    if ((high & Top_bit) == 0) {
        high = (high << 1) | (low >> 63);
        low <<= 1;
        --exponent;
    }
    return Pack_x87_normal(x.Negative != y.Negative, exponent, high, low, false, product);
}

// (high:low) / divisor for a divisor with its top bit set and high below it:
// the quotient and remainder, by two steps of 32-bit digits (Knuth's
// algorithm D, as in Hacker's Delight's divlu).
std::uint64_t Divide_words(std::uint64_t high, std::uint64_t low, std::uint64_t divisor,
                           std::uint64_t& remainder) {
    constexpr std::uint64_t Base = 1ULL << 32;
    const std::uint64_t d1 = divisor >> 32, d0 = divisor & (Base - 1);
    const std::uint64_t digits[2] = {low >> 32, low & (Base - 1)};
    std::uint64_t rest = high, quotient = 0;
    for (const std::uint64_t digit : digits) {
        // The trial digit is at most two too large.
        std::uint64_t q = rest / d1, r = rest - q * d1;
        for (int i = 0; i < 2 && (q >= Base || q * d0 > ((r << 32) | digit)); ++i) {
            --q;
            r += d1;
            if (r >= Base) break;
        }
        rest = (rest << 32) + digit - q * divisor;
        quotient = (quotient << 32) | q;
    }
    remainder = rest;
    return quotient;
}

bool Fast_divide(tBits a, tBits b, tBits& quotient) {
    tX87_normal x, y;
    if (!As_x87_normal(a, x) || !As_x87_normal(b, y)) return false;
    std::uint64_t kept, remainder;
    bool round_bit;
    int exponent = x.Exponent - y.Exponent;
    if (x.Significand >= y.Significand) {
        // 65 quotient bits: the leading one, then 64 from what is left.
        const std::uint64_t below =
            Divide_words(x.Significand - y.Significand, 0, y.Significand, remainder);
        kept = Top_bit | (below >> 1);
        round_bit = (below & 1) != 0;
    } else {
        kept = Divide_words(x.Significand, 0, y.Significand, remainder);
        --exponent;
        // One more quotient bit, for the rounding.
        round_bit = (remainder >> 63) != 0 || (remainder << 1) >= y.Significand;
        if (round_bit) remainder = (remainder << 1) - y.Significand;
    }
    return Pack_x87_normal(x.Negative != y.Negative, exponent, kept, round_bit ? Top_bit : 0,
                           remainder != 0, quotient);
}

} // namespace

int Bit_length(tBits x) {
    const auto high = static_cast<std::uint64_t>(x >> 64);
    if (high) return 128 - __builtin_clzll(high);
    const auto low = static_cast<std::uint64_t>(x);
    return low ? 64 - __builtin_clzll(low) : 0;
}

bool As_x87_normal(tBits x, tX87_normal& v) {
    const auto high = static_cast<std::uint64_t>(x >> 64), low = static_cast<std::uint64_t>(x);
    const int biased = static_cast<int>((high >> 48) & 0x7fff);
    if (biased == 0 || biased == Exponent_all_ones ||
        (low & ((1ULL << Spare_fraction_bits) - 1)) != 0)
        return false;
    v.Negative = (high >> 63) != 0;
    v.Exponent = biased - Bias;
    v.Significand = Top_bit | ((high & ((1ULL << 48) - 1)) << 15) | (low >> Spare_fraction_bits);
    return true;
}

bool Round_approximation(double hi, double lo, int scale, int error_bits, tBits& rounded) {
    if (!(hi != 0 && __builtin_isfinite(hi) && __builtin_isfinite(lo))) return false;
    const bool negative = hi < 0;
    if (negative) {
        hi = -hi;
        lo = -lo;
    }
    // hi + lo as a 128-bit fixed-point number with hi's leading bit at 127.
    int exponent;
    const double fraction = __builtin_frexp(hi, &exponent); // hi = fraction 2^exponent
    std::uint64_t high = static_cast<std::uint64_t>(__builtin_ldexp(fraction, 53)) << 11, low = 0;
    if (lo != 0) {
        int lo_exponent;
        const double lo_fraction = __builtin_frexp(__builtin_fabs(lo), &lo_exponent);
        const auto digits = static_cast<std::uint64_t>(__builtin_ldexp(lo_fraction, 53));
        // Where lo's last digit falls against bit 0; bits below it are dropped,
        // an error far inside the margin asked for below.
        const int shift = lo_exponent - exponent + 75;
        if (shift > 22) return false; // not a normalized pair
        std::uint64_t part_high = 0, part_low = 0;
        if (shift >= 0) {
            part_low = digits << shift;
            part_high = shift == 0 ? 0 : digits >> (64 - shift);
        } else if (shift > -64) {
            part_low = digits >> -shift;
        }
        if (lo > 0) {
            low += part_low;
            high += part_high + (low < part_low ? 1 : 0);
        } else {
            high -= part_high + (low < part_low ? 1 : 0);
            low -= part_low;
        }
        if ((high & Top_bit) == 0) {
            high = (high << 1) | (low >> 63);
            low <<= 1;
            --exponent;
        }
    }
    // Bit 0 weighs 2^(exponent - 128) and the error is below
    // 2^(exponent - error_bits): the rounding is sure only that far from the
    // half-way point between two x87 numbers.
    const std::uint64_t from_half = low > Top_bit ? low - Top_bit : Top_bit - low;
    if (error_bits < 72 || error_bits > 108 || from_half >> (129 - error_bits) == 0) return false;
    return Pack_x87_normal(negative, exponent - 1 + scale, high, low, false, rounded);
}

tKind Kind(tBits x) {
    const int e = Biased_exponent_of(x);
    if (e == Exponent_all_ones) return (x & Fraction_mask) ? tKind::Nan : tKind::Infinite;
    if (e == 0 && (x & Fraction_mask) == 0) return tKind::Zero;
    return tKind::Finite;
}

tUnpacked Unpack(tBits x) {
    tUnpacked v;
    v.Negative = Sign_of(x);
    const int e = Biased_exponent_of(x);
    v.Significand = x & Fraction_mask;
    if (e == 0) {
        v.Exponent = Subnormal_exponent;
    } else {
        v.Significand |= One << Fraction_bits;
        v.Exponent = e - Bias - Fraction_bits;
    }
    return v;
}

tBits Zero(bool negative) {
    return negative ? One << 127 : 0;
}

tBits Infinity(bool negative) {
    return Zero(negative) | (static_cast<tBits>(Exponent_all_ones) << Fraction_bits);
}

tBits Quiet_nan() {
    return Infinity(false) | (One << (Fraction_bits - 1));
}

tBits Round(const tUnpacked& exact, bool sticky, int bits, int& faults) {
    if (exact.Significand == 0) return Zero(exact.Negative);
    tUnpacked v = exact;
    if (Bit_length(v.Significand) == 128) {
        sticky = sticky || (v.Significand & 1) != 0;
        v.Significand >>= 1;
        ++v.Exponent;
    }
    v = Normalized(v);
    const int leading = v.Exponent + 126;
    // The exponent of the last bit kept: `bits` below the leading bit, but
    // never finer than the format's subnormal spacing.
    const int last = std::max(leading, Min_exponent) - (bits - 1);
    const int shift = last - v.Exponent;
    // Below half the spacing of the smallest subnormal everything rounds to 0.
    tBits kept = 0;
    if (shift <= 127) {
        kept = v.Significand >> shift;
        const tBits rest = v.Significand & ((One << shift) - 1);
        const tBits half = One << (shift - 1);
        if (rest > half || (rest == half && (sticky || (kept & 1)))) ++kept;
    }
    if (kept == 0) return Zero(v.Negative);
    int exponent = last;
    if (Bit_length(kept) > bits) {
        kept >>= 1;
        ++exponent;
    }
    const int top = exponent + Bit_length(kept) - 1;
    if (top > Max_exponent) {
        faults |= Fault_overflow;
        return Infinity(v.Negative);
    }
    tBits packed;
    if (top >= Min_exponent) {
        const tBits fraction = (kept << (Fraction_bits - (top - exponent))) & Fraction_mask;
        packed = (static_cast<tBits>(top + Bias) << Fraction_bits) | fraction;
    } else {
        packed = kept << (exponent - Subnormal_exponent);
    }
    return Zero(v.Negative) | packed;
}

tBits Add(tBits a, tBits b, int bits, int& faults) {
    if (tBits sum; bits == X87_bits && Fast_add(a, b, sum)) return sum;
    const tKind ka = Kind(a), kb = Kind(b);
    if (ka == tKind::Nan || kb == tKind::Nan) return Quiet_nan();
    if (ka == tKind::Infinite && kb == tKind::Infinite) {
        if (Sign_of(a) == Sign_of(b)) return a;
        faults |= Fault_invalid;
        return Quiet_nan();
    }
    if (ka == tKind::Infinite) return a;
    if (kb == tKind::Infinite) return b;
    if (ka == tKind::Zero && kb == tKind::Zero) return Zero(Sign_of(a) && Sign_of(b));
    if (kb == tKind::Zero) return Round(Unpack(a), false, bits, faults);
    if (ka == tKind::Zero) return Round(Unpack(b), false, bits, faults);

    // Both leading bits at 125, so that the sum has room for its carry; the
    // larger magnitude is x.
    tUnpacked x = Normalized(Unpack(a)), y = Normalized(Unpack(b));
    x.Significand >>= 1;
    ++x.Exponent;
    y.Significand >>= 1;
    ++y.Exponent;
    if (y.Exponent > x.Exponent || (y.Exponent == x.Exponent && y.Significand > x.Significand))
        std::swap(x, y);
    const int distance = x.Exponent - y.Exponent;
    tBits aligned = 0;
    bool sticky = false;
    if (distance >= 128) {
        sticky = true;
    } else {
        aligned = y.Significand >> distance;
        sticky = distance > 0 && (y.Significand & ((One << distance) - 1)) != 0;
    }
    tUnpacked sum{x.Negative, x.Exponent, 0};
    if (x.Negative == y.Negative) {
        sum.Significand = x.Significand + aligned;
    } else {
        // The lost bits of y are taken whole from x; what is left of that
        // unit is positive, so the sticky bit stays set.
        sum.Significand = x.Significand - aligned - (sticky ? 1 : 0);
        if (sum.Significand == 0 && !sticky) return Zero(false);
    }
    return Round(sum, sticky, bits, faults);
}

tBits Subtract(tBits a, tBits b, int bits, int& faults) {
    // a - b is a + (-b) also for zeros and infinities; a NaN stays a NaN.
    if (Kind(b) == tKind::Nan) return Quiet_nan();
    return Add(a, b ^ (One << 127), bits, faults);
}

tBits Multiply(tBits a, tBits b, int bits, int& faults) {
    if (tBits product; bits == X87_bits && Fast_multiply(a, b, product)) return product;
    const tKind ka = Kind(a), kb = Kind(b);
    const bool negative = Sign_of(a) != Sign_of(b);
    if (ka == tKind::Nan || kb == tKind::Nan) return Quiet_nan();
    if (ka == tKind::Infinite || kb == tKind::Infinite) {
        if (ka == tKind::Zero || kb == tKind::Zero) {
            faults |= Fault_invalid;
            return Quiet_nan();
        }
        return Infinity(negative);
    }
    if (ka == tKind::Zero || kb == tKind::Zero) return Zero(negative);

    const tUnpacked x = Unpack(a), y = Unpack(b);
    const auto [high, low] = Wide_product(x.Significand, y.Significand);
    tUnpacked product{negative, x.Exponent + y.Exponent, low};
    bool sticky = false;
    if (high != 0) {
        // Keep the top 128 bits; the rest only says whether anything is lost.
        const int drop = Bit_length(high);
        product.Significand = drop == 128 ? high : (high << (128 - drop)) | (low >> drop);
        sticky = drop == 128 ? low != 0 : (low & ((One << drop) - 1)) != 0;
        product.Exponent += drop;
    }
    return Round(product, sticky, bits, faults);
}

tBits Divide(tBits a, tBits b, int bits, int& faults) {
    if (tBits quotient; bits == X87_bits && Fast_divide(a, b, quotient)) return quotient;
    const tKind ka = Kind(a), kb = Kind(b);
    const bool negative = Sign_of(a) != Sign_of(b);
    if (ka == tKind::Nan || kb == tKind::Nan) return Quiet_nan();
    if ((ka == tKind::Infinite && kb == tKind::Infinite) ||
        (ka == tKind::Zero && kb == tKind::Zero)) {
        faults |= Fault_invalid;
        return Quiet_nan();
    }
    if (ka == tKind::Infinite) return Infinity(negative);
    if (kb == tKind::Infinite || ka == tKind::Zero) return Zero(negative);
    if (kb == tKind::Zero) {
        faults |= Fault_division_by_zero;
        return Infinity(negative);
    }

    tUnpacked x = Unpack(a), y = Unpack(b);
    // Both significands with their leading bit at 112, x's not below y's.
    const int xs = 113 - Bit_length(x.Significand), ys = 113 - Bit_length(y.Significand);
    x.Significand <<= xs;
    x.Exponent -= xs;
    y.Significand <<= ys;
    y.Exponent -= ys;
    // Numbers the x87 unit holds have at most 64 significant bits; to that
    // precision one 128-by-64-bit integer division gives the quotient to 65
    // bits and the remainder, which is all the rounding needs, several times
    // faster than the long division below.
    constexpr int Spare_bits = 113 - 64;
    constexpr tBits Spare_mask = (One << Spare_bits) - 1;
    if (bits <= 64 && (x.Significand & Spare_mask) == 0 && (y.Significand & Spare_mask) == 0) {
        const tBits divisor = y.Significand >> Spare_bits;
        const tBits numerator = (x.Significand >> Spare_bits) << 64;
        tBits quotient = numerator / divisor, remainder = numerator % divisor;
        int exponent = x.Exponent - y.Exponent - 64;
        // A dividend's significand below the divisor's leaves 64 bits: one
        // more from the remainder, for the rounding bit.
        if (quotient >> 64 == 0) {
            remainder <<= 1;
            quotient <<= 1;
            if (remainder >= divisor) {
                remainder -= divisor;
                quotient |= 1;
            }
            --exponent;
        }
        return Round(tUnpacked{negative, exponent, quotient}, remainder != 0, bits, faults);
    }
    if (x.Significand < y.Significand) {
        x.Significand <<= 1;
        --x.Exponent;
    }
    // Long division, one quotient bit a step: bits + 2 of them, then the
    // remainder says whether anything is left.
    const int steps = bits + 2;
    tBits remainder = x.Significand, quotient = 0;
    for (int i = 0; i < steps; ++i) {
        quotient <<= 1;
        if (remainder >= y.Significand) {
            remainder -= y.Significand;
            quotient |= 1;
        }
        remainder <<= 1;
    }
    const tUnpacked exact{negative, x.Exponent - y.Exponent - (steps - 1), quotient};
    return Round(exact, remainder != 0, bits, faults);
}

tBits Square_root(tBits a, int& faults) {
    const tKind k = Kind(a);
    if (k == tKind::Nan) return Quiet_nan();
    if (k == tKind::Zero) return a;
    if (Sign_of(a)) {
        faults |= Fault_invalid;
        return Quiet_nan();
    }
    if (k == tKind::Infinite) return a;

    // a = m * 2^(2e) with m in [2^126, 2^128): its root's integer part has
    // exactly 64 bits, and the remainder says on which side of the half it lies.
    tUnpacked v = Unpack(a);
    int shift = 128 - Bit_length(v.Significand);
    if (((v.Exponent - shift) & 1) != 0) --shift;
    const tBits m = v.Significand << shift;
    const int half_exponent = (v.Exponent - shift) / 2;
    // A first root from double precision, then Newton's step in integers,
    // then the last unit: floor(sqrt(m)) is the r with r^2 <= m < (r+1)^2.
    tBits r = static_cast<tBits>(__builtin_sqrt(static_cast<double>(m)));
    r = (r + m / r) / 2;
    for (int i = 0; i < 4 && r * r > m; ++i)
        --r;
    const tBits root_limit = One << 64;
    for (int i = 0; i < 4 && r + 1 < root_limit && (r + 1) * (r + 1) <= m; ++i)
        ++r;
    const tBits remainder = m - r * r;
    // sqrt(m) > r + 1/2 exactly when m - r^2 > r (a tie cannot occur).
    const tBits rounded = (remainder > r) ? r + 1 : r;
    return Round(tUnpacked{false, half_exponent, rounded}, false, X87_bits, faults);
}

} // namespace Quadruple
