#include "software_extended/quadruple_math.h"

#include <array>

#include "software_extended/double_double.h"
#include "software_extended/quadruple_decimal.h"

namespace Quadruple {

namespace {

// A quadruple value with 113-bit arithmetic; the faults of these inner steps
// are not the function's own and are dropped.
struct tQ {
    tBits B;
};
tQ operator+(tQ a, tQ b) {
    int unused = 0;
    return {Add(a.B, b.B, Quadruple_bits, unused)};
}
tQ operator-(tQ a, tQ b) {
    int unused = 0;
    return {Subtract(a.B, b.B, Quadruple_bits, unused)};
}
tQ operator*(tQ a, tQ b) {
    int unused = 0;
    return {Multiply(a.B, b.B, Quadruple_bits, unused)};
}
tQ operator/(tQ a, tQ b) {
    int unused = 0;
    return {Divide(a.B, b.B, Quadruple_bits, unused)};
}

tQ Whole(long n) {
    int unused = 0;
    const tBits magnitude = static_cast<tBits>(n < 0 ? -n : n);
    return {Round(tUnpacked{n < 0, 0, magnitude}, false, Quadruple_bits, unused)};
}

bool Negative(tBits x) {
    return (x >> 127) != 0;
}

const tQ& Ln2() {
    static const tQ ln2{From_decimal(
        "0.69314718055994530941723212145817656807550013436025525412068", Quadruple_bits)};
    return ln2;
}

// 1/n for the series below, n = 0 .. 40 (index 0 unused).
const std::array<tQ, 41>& Reciprocals() {
    static const std::array<tQ, 41> table = [] {
        std::array<tQ, 41> r{};
        for (long n = 1; n < 41; ++n)
            r[static_cast<std::size_t>(n)] = Whole(1) / Whole(n);
        return r;
    }();
    return table;
}

// Past these arguments exp is surely infinite or surely below half the
// smallest subnormal.
constexpr long Exp_overflow = 11400;
constexpr long Exp_underflow = -11500;

// exp(x) = 2^k * e, e = exp(r) with |r| <= ln2/2, for finite |x| below the
// limits above; e to 113 bits.
struct tScaled {
    int K;
    tQ E;
};

long Nearest_whole(tQ x) {
    const tUnpacked v = Unpack(Round_to_integer(x.B, tTo_integer::Nearest_even));
    // Zero unpacks with the subnormal exponent, a shift past the width.
    if (v.Significand == 0) return 0;
    const long magnitude = v.Exponent >= 0 ? static_cast<long>(v.Significand << v.Exponent)
                                           : static_cast<long>(v.Significand >> -v.Exponent);
    return v.Negative ? -magnitude : magnitude;
}

tScaled Exp_scaled(tQ x) {
    const long k = Nearest_whole(x / Ln2());
    const tQ r = x - Whole(k) * Ln2();
    // Taylor's series to r^32/32! (below 2^-150 here), by Horner's rule.
    const auto& reciprocal = Reciprocals();
    tQ sum = Whole(1);
    for (std::size_t n = 32; n >= 1; --n)
        sum = Whole(1) + r * reciprocal[n] * sum;
    return {static_cast<int>(k), sum};
}

tBits Round_scaled(const tScaled& s, int& faults) {
    tUnpacked v = Unpack(s.E.B);
    v.Exponent += s.K;
    return Round(v, false, X87_bits, faults);
}

// log(x) for finite x > 0, to 113 bits: x = m 2^e with m in [sqrt(1/2),
// sqrt(2)), log m = 2 atanh(s) with s = (m - 1)/(m + 1), |s| < 0.172.
tQ Log_positive(tBits x) {
    tUnpacked v = Unpack(x);
    const int length = Bit_length(v.Significand);
    int e = v.Exponent + length - 1;
    int unused = 0;
    tQ m{Round(tUnpacked{false, 1 - length, v.Significand}, false, Quadruple_bits, unused)};
    // m in [1, 2); above sqrt(2) (0x1.6a09e6p0) halve it.
    if (v.Significand << (128 - length) > (static_cast<tBits>(0xb504f333f9de6484ULL) << 64)) {
        m = m / Whole(2);
        ++e;
    }
    const tQ s = (m - Whole(1)) / (m + Whole(1));
    const tQ z = s * s;
    const auto& reciprocal = Reciprocals();
    // 2s (1 + z/3 + z^2/5 + ... + z^19/39): the next term is below 2^-117.
    tQ sum = reciprocal[39];
    for (int n = 37; n >= 1; n -= 2)
        sum = reciprocal[static_cast<std::size_t>(n)] + z * sum;
    return Whole(e) * Ln2() + Whole(2) * s * sum;
}

using Double_double::tDD;
using Double_double::Two_product;

// ln 2 to 107 bits, its error 2^-110.
constexpr tDD Ln2_pair{0x1.62e42fefa39efp-1, 0x1.abc9e3b39803fp-56};

// 1/n for the series below.
const std::array<tDD, 18>& Pair_reciprocals() {
    static const std::array<tDD, 18> table = [] {
        std::array<tDD, 18> r{};
        for (int n = 1; n < 18; ++n)
            r[static_cast<std::size_t>(n)] = tDD{1, 0} / tDD{static_cast<double>(n), 0};
        return r;
    }();
    return table;
}

// The 64-bit significand times 2^scale, exactly.
tDD Split(std::uint64_t significand, int scale) {
    return {__builtin_ldexp(static_cast<double>(significand >> 11), scale + 11),
            __builtin_ldexp(static_cast<double>(significand & 0x7ff), scale)};
}

} // namespace

// As Log_positive: log m = 2 atanh(s), s = (m - 1)/(m + 1), |s| < 0.172.
std::optional<tApproximation> Log_approximation(tBits x) {
    tX87_normal v;
    if (!As_x87_normal(x, v) || v.Negative) return std::nullopt;
    int e = v.Exponent;
    tDD m = Split(v.Significand, -63);
    if (v.Significand > 0xb504f333f9de6484ULL) {
        m = tDD{m.Hi / 2, m.Lo / 2};
        ++e;
    }
    if (e == 0 && m.Hi == 1) return std::nullopt; // log 1 = 0, not a normal number
    const tDD s = (m - tDD{1, 0}) / (m + tDD{1, 0});
    const tDD z = s * s;
    // The terms from z^9 on are below 2^-50 of the sum: double precision is
    // enough for them. The first left out, z^19/39, is below 2^-101.
    double tail = 1.0 / 37;
    for (int n = 35; n >= 19; n -= 2)
        tail = 1.0 / n + z.Hi * tail;
    const auto& reciprocal = Pair_reciprocals();
    tDD sum{tail, 0};
    for (int n = 17; n >= 1; n -= 2)
        sum = reciprocal[static_cast<std::size_t>(n)] + z * sum;
    const tDD log_m = tDD{2 * s.Hi, 2 * s.Lo} * sum;
    const tDD e_ln2 = Two_product(e, Ln2_pair.Hi) + tDD{e * Ln2_pair.Lo, 0};
    const tDD log_x = e_ln2 + log_m;
    return tApproximation{log_x.Hi, log_x.Lo, 0};
}

// exp(x) = 2^k exp(r), r = x - k ln 2, and exp(r) = exp(r/32)^32, whose
// Taylor series needs only twelve terms.
std::optional<tApproximation> Exp_approximation(tBits x) {
    tX87_normal v;
    if (!As_x87_normal(x, v) || v.Exponent < -900 || v.Exponent > 13) return std::nullopt;
    tDD a = Split(v.Significand, v.Exponent - 63);
    if (v.Negative) a = -a;
    const double k = __builtin_nearbyint(a.Hi / Ln2_pair.Hi);
    // Both products exact: r's error is k times ln 2's, 2^-96 at most.
    const tDD r = a - Two_product(k, Ln2_pair.Hi) - Two_product(k, Ln2_pair.Lo);
    const tDD t{r.Hi / 32, r.Lo / 32};
    // The terms from t^8/8! on are below 2^-57: double precision is enough.
    // The first left out, t^12/12!, is below 2^-107.
    double tail = 1;
    for (int n = 11; n >= 8; --n)
        tail = 1 + t.Hi / n * tail;
    const auto& reciprocal = Pair_reciprocals();
    tDD sum{tail, 0};
    for (int n = 7; n >= 1; --n)
        sum = tDD{1, 0} + t * reciprocal[static_cast<std::size_t>(n)] * sum;
    for (int squaring = 0; squaring < 5; ++squaring)
        sum = sum * sum;
    return tApproximation{sum.Hi, sum.Lo, static_cast<int>(k)};
}

namespace {

// The approximations' errors are a few units of 2^-100 at most; this bound
// leaves a wide margin, and still gives the result from them for all but
// about one argument in 16,000.
constexpr int Approximation_error_bits = 80;

bool Round_first_attempt(const std::optional<tApproximation>& a, tBits& result) {
    return a && Round_approximation(a->Hi, a->Lo, a->Scale, Approximation_error_bits, result);
}

bool Below_in_magnitude(tBits x, int exponent) {
    const tUnpacked v = Unpack(x);
    return v.Significand == 0 || v.Exponent + Bit_length(v.Significand) - 1 < exponent;
}

} // namespace

tBits Round_to_integer(tBits x, tTo_integer direction) {
    if (Kind(x) != tKind::Finite) return x;
    const tUnpacked v = Unpack(x);
    if (v.Exponent >= 0) return x;
    const int fraction = -v.Exponent;
    const tBits whole = fraction >= 128 ? 0 : v.Significand >> fraction;
    const tBits rest =
        fraction >= 128 ? v.Significand : v.Significand & ((tBits{1} << fraction) - 1);
    // rest against half a unit: -1 below, 0 equal, 1 above.
    int against_half = -1;
    if (fraction <= 127) {
        const tBits half = tBits{1} << (fraction - 1);
        against_half = rest < half ? -1 : rest == half ? 0 : 1;
    }
    bool up = false; // away from zero
    switch (direction) {
    case tTo_integer::Down:
        up = v.Negative && rest != 0;
        break;
    case tTo_integer::Up:
        up = !v.Negative && rest != 0;
        break;
    case tTo_integer::Toward_zero:
        break;
    case tTo_integer::Nearest_even:
        up = against_half > 0 || (against_half == 0 && (whole & 1));
        break;
    case tTo_integer::Nearest_away:
        up = against_half >= 0;
        break;
    }
    int unused = 0;
    return Round(tUnpacked{v.Negative, 0, whole + (up ? 1 : 0)}, false, Quadruple_bits, unused);
}

tBits Exp(tBits x, int& faults) {
    switch (Kind(x)) {
    case tKind::Nan:
        return x;
    case tKind::Infinite:
        return Negative(x) ? Zero(false) : x;
    case tKind::Zero:
        return Whole(1).B;
    case tKind::Finite:
        break;
    }
    if (tBits result; Round_first_attempt(Exp_approximation(x), result)) return result;
    int unused = 0;
    if (!Negative(x) && Add(x, Whole(-Exp_overflow).B, Quadruple_bits, unused) >> 127 == 0) {
        faults |= Fault_overflow;
        return Infinity(false);
    }
    if (Negative(x) && Add(x, Whole(-Exp_underflow).B, Quadruple_bits, unused) >> 127)
        return Zero(false);
    return Round_scaled(Exp_scaled({x}), faults);
}

tBits Exp_minus_one(tBits x, int& faults) {
    if (Kind(x) == tKind::Zero) return x;
    if (Kind(x) == tKind::Infinite && Negative(x)) return Whole(-1).B;
    if (Kind(x) != tKind::Finite) return Exp(x, faults);
    int unused = 0;
    if (Below_in_magnitude(x, -20)) {
        // x + x^2/2! + ... + x^7/7!: the next term is below 2^-140 x.
        const auto& reciprocal = Reciprocals();
        tQ sum = Whole(1);
        for (std::size_t n = 7; n >= 2; --n)
            sum = Whole(1) + tQ{x} * reciprocal[n] * sum;
        return Round(Unpack((tQ{x} * sum).B), false, X87_bits, unused);
    }
    if (Negative(x) && !Below_in_magnitude(x, 7))
        return Round(Unpack(Whole(-1).B), false, X87_bits, unused);
    if (!Negative(x) && !Below_in_magnitude(x, 14)) return Exp(x, faults);
    const tScaled s = Exp_scaled({x});
    tUnpacked e = Unpack(s.E.B);
    e.Exponent += s.K;
    const tQ exp_x{Round(e, false, Quadruple_bits, unused)};
    return Round(Unpack((exp_x - Whole(1)).B), false, X87_bits, unused);
}

tBits Log(tBits x, int& faults) {
    switch (Kind(x)) {
    case tKind::Nan:
        return x;
    case tKind::Zero:
        faults |= Fault_division_by_zero;
        return Infinity(true);
    case tKind::Infinite:
        if (!Negative(x)) return x;
        break;
    case tKind::Finite:
        break;
    }
    if (Negative(x)) {
        faults |= Fault_invalid;
        return Quiet_nan();
    }
    if (tBits result; Round_first_attempt(Log_approximation(x), result)) return result;
    int unused = 0;
    return Round(Unpack(Log_positive(x).B), false, X87_bits, unused);
}

tBits Log_one_plus(tBits x, int& faults) {
    if (Kind(x) == tKind::Zero || Kind(x) == tKind::Nan) return x;
    int unused = 0;
    if (Kind(x) == tKind::Finite && Below_in_magnitude(x, -20)) {
        // x - x^2/2 + ... - x^6/6: the next term is below 2^-140 x.
        const auto& reciprocal = Reciprocals();
        tQ sum = reciprocal[6];
        for (std::size_t n = 5; n >= 1; --n)
            sum = reciprocal[n] - tQ{x} * sum;
        return Round(Unpack((tQ{x} * sum).B), false, X87_bits, unused);
    }
    return Log((tQ{x} + Whole(1)).B, faults);
}

tBits Power(tBits x, tBits y, int& faults) {
    int unused = 0;
    if (Kind(y) == tKind::Zero) return Whole(1).B;
    if (x == Whole(1).B) return x;
    if (Kind(x) == tKind::Nan || Kind(y) == tKind::Nan) return Quiet_nan();
    const bool whole_y = Round_to_integer(y, tTo_integer::Toward_zero) == y;
    const bool odd_y =
        whole_y && Kind(y) == tKind::Finite &&
        Round_to_integer(Divide(y, Whole(2).B, Quadruple_bits, unused), tTo_integer::Toward_zero) !=
            Divide(y, Whole(2).B, Quadruple_bits, unused);
    const bool negative_result = Negative(x) && odd_y;
    if (Kind(x) == tKind::Zero) {
        if (Negative(y)) {
            faults |= Fault_division_by_zero;
            return Infinity(negative_result);
        }
        return Zero(negative_result);
    }
    if (Negative(x) && !whole_y) {
        faults |= Fault_invalid;
        return Quiet_nan();
    }
    const tBits magnitude = x & ~(tBits{1} << 127);
    if (Kind(x) == tKind::Infinite || Kind(y) == tKind::Infinite) {
        // |x| against 1 and the sign of y decide between 0 and infinity.
        const bool large = Kind(x) == tKind::Infinite || magnitude > Whole(1).B;
        if (Kind(y) == tKind::Infinite && magnitude == Whole(1).B) return Whole(1).B;
        const bool infinite = large != Negative(y);
        return infinite ? Infinity(negative_result) : Zero(negative_result);
    }
    const tQ exponent = tQ{y} * Log_positive(magnitude);
    tBits result;
    if (!Negative(exponent.B) && !Below_in_magnitude(exponent.B, 14)) {
        faults |= Fault_overflow;
        result = Infinity(false);
    } else if (Negative(exponent.B) && !Below_in_magnitude(exponent.B, 14)) {
        result = Zero(false);
    } else {
        result = Round_scaled(Exp_scaled(exponent), faults);
    }
    return negative_result ? result ^ (tBits{1} << 127) : result;
}

} // namespace Quadruple
