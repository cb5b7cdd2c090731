#pragma once

// Double-double arithmetic: a value as the unevaluated sum Hi + Lo of two
// doubles, |Lo| at most half a unit of Hi, some 104 significant bits. The
// math functions use it for a first, fast attempt in hardware doubles; each
// operation below has a relative error of a few units of 2^-104 (Joldes,
// Muller and Popescu's bounds for these algorithms).
//
// The error-free steps need every product and sum rounded on its own: the
// library is compiled without contraction into fused multiply-adds.

namespace Double_double {

struct tDD {
    double Hi = 0;
    double Lo = 0;
};

// a + b exactly, as a rounded sum and its error.
inline tDD Two_sum(double a, double b) {
    const double s = a + b, b_part = s - a;
    return {s, (a - (s - b_part)) + (b - b_part)};
}

// The same for |a| >= |b|.
inline tDD Quick_two_sum(double a, double b) {
    const double s = a + b;
    return {s, b - (s - a)};
}

// a * b exactly, by Dekker's splitting of each factor into 26-bit halves.
inline tDD Two_product(double a, double b) {
    constexpr double Splitter = 134217729.0; // 2^27 + 1
    const double p = a * b;
    const double ta = Splitter * a, a_high = ta - (ta - a), a_low = a - a_high;
    const double tb = Splitter * b, b_high = tb - (tb - b), b_low = b - b_high;
    return {p, ((a_high * b_high - p) + a_high * b_low + a_low * b_high) + a_low * b_low};
}

inline tDD operator+(tDD a, tDD b) {
    tDD s = Two_sum(a.Hi, b.Hi);
    const tDD t = Two_sum(a.Lo, b.Lo);
    s = Quick_two_sum(s.Hi, s.Lo + t.Hi);
    return Quick_two_sum(s.Hi, s.Lo + t.Lo);
}

inline tDD operator-(tDD a) {
    return {-a.Hi, -a.Lo};
}

inline tDD operator-(tDD a, tDD b) {
    return a + -b;
}

inline tDD operator*(tDD a, tDD b) {
    tDD p = Two_product(a.Hi, b.Hi);
    p.Lo += a.Hi * b.Lo + a.Lo * b.Hi;
    return Quick_two_sum(p.Hi, p.Lo);
}

// Long division, a quotient digit a double at a time.
inline tDD operator/(tDD a, tDD b) {
    const double q1 = a.Hi / b.Hi;
    const tDD r = a - b * tDD{q1, 0};
    return Quick_two_sum(q1, r.Hi / b.Hi);
}

} // namespace Double_double
