#include "non_central_t_tails.h"

#include <cmath>
#include <optional>

#include "floating_point_faults.h"
#include "incomplete_beta.h"
#include "standard_normal_tail.h"

namespace {

constexpr Extended Ln_sqrt_2pi = Extended_constant(0.918938533204672741780329736405617639861L);

// A sum stops once its terms fall and what a geometric tail of them could
// still add is below this share of the sum: far below the incomplete beta
// fraction's own 5e-12.
constexpr Extended Sum_tolerance = Extended_constant(1e-17L);
// Each direction runs some 10 sqrt(lambda) terms past the mode at most
// (about 10,000 at the largest non-centrality the series serves); this many
// is far beyond.
constexpr long Max_tail_terms = 10000000;
// ln of the smallest incomplete beta step the sums start from (e^-11000,
// 1e-4777): below it the step is lost to the Extended range.
constexpr Extended Ln_smallest_step = -11000;

// ln Gamma(z + b) - ln Gamma(z) for z, b > 0. For large z both logarithms
// run to millions, and their difference would keep only the digits left
// after that: the terms of Stirling's formula are subtracted first.
Extended Ln_gamma_ratio(Extended z, Extended b) {
    if (z < 15) return std::lgamma(z + b) - std::lgamma(z);
    return (z - 0.5L) * std::log1p(b / z) + b * std::log(z + b) - b + Stirling_error(z + b) -
           Stirling_error(z);
}

// ln(e^-lambda lambda^m / Gamma(s + 1)) with s = m + h, h = 0 or 1/2: a
// Poisson weight (h = 0) or its half-integer companion. m ln lambda and
// ln Gamma(s + 1) both run to millions at large lambda; near the mode their
// difference is formed from ln(lambda / s), which keeps its digits.
Extended Ln_weight(Extended lambda, Extended m, Extended h) {
    const Extended s = m + h;
    if (s == 0) return -lambda;
    const Extended r = (lambda - s) / s;
    return m * (std::log1p(r) - r) - h * r - (h + 0.5L) * std::log(s) - Ln_sqrt_2pi -
           Stirling_error(s);
}

// One of the two incomplete beta series in j at the mode: I_y(j + c, a) for
// the lower tail or I_(1-y)(a, j + c) for the upper, and the step g to the
// next (I_y(j + c + 1, a) = I_y(j + c, a) - g_j).
struct tBeta_series {
    Extended value; // at the mode
    Extended step;  // g at the mode
};

// The series at index m: the regularized incomplete beta from its continued
// fraction on whichever side converges, the other side as its complement
// (at least about a half there, so nothing cancels), and the step
// g_m = y^p (1 - y)^a / (p B(p, a)), p = m + c.
// Empty where that step is beyond the Extended range: the recurrences would
// carry nothing from it.
std::optional<tBeta_series> Beta_start(tTail tail, Extended m, Extended c, Extended a, Extended y,
                                       Extended yc, Extended ln_y, Extended ln_yc) {
    const Extended p = m + c;
    const Extended ln_beta = std::lgamma(a) - Ln_gamma_ratio(p, a);
    const Extended ln_front = p * ln_y + a * ln_yc - ln_beta;
    if (ln_front < Ln_smallest_step) return std::nullopt;
    const Extended front = std::exp(ln_front);
    Extended lower, upper;
    if (y < (p + 1) / (p + a + 2)) {
        lower = front * Beta_fraction_unscoped(y, p, a) / p;
        upper = 1 - lower;
    } else {
        upper = front * Beta_fraction_unscoped(yc, a, p) / a;
        lower = 1 - upper;
    }
    return tBeta_series{tail == tTail::Lower ? lower : upper, front / p};
}

// Whether a sum of falling terms may stop: the last term is below the one
// before, and a geometric tail at their ratio is negligible.
bool Negligible(Extended term, Extended last, Extended sum) {
    if (term <= 0) return true; // a complement worn down to its rounding
    return term < last && term * term < Sum_tolerance * sum * (last - term);
}

} // namespace

Extended Stirling_error(Extended a) {
    if (a < 15) return std::lgamma(a + 1) - (a + 0.5L) * std::log(a) + a - Ln_sqrt_2pi;
    const Extended r = 1 / (a * a);
    return (1.0L / 12 -
            r * (1.0L / 360 - r * (1.0L / 1260 - r * (1.0L / 1680 - r * (1.0L / 1188))))) /
           a;
}

std::optional<Extended> Non_central_t_tail(tTail tail, Extended x, Extended df, Extended delta) {
    const Extended a = df / 2, lambda = delta * delta / 2;
    const Extended xx = x * x;
    const Extended y = xx / (xx + df), yc = df / (xx + df);
    if (y == 0) return std::nullopt;
    const Extended ln_y = -std::log1p(df / xx), ln_yc = -std::log1p(xx / df);
    // The Poisson mode; nearbyint rounds a half to the even neighbour.
    const Extended m = std::nearbyint(lambda);

    const Extended p0 = std::exp(Ln_weight(lambda, m, 0));
    const Extended q0 = delta / Extended_sqrt2 * std::exp(Ln_weight(lambda, m, 0.5L));
    const std::optional<tBeta_series> bp_start = Beta_start(tail, m, 0.5L, a, y, yc, ln_y, ln_yc);
    const std::optional<tBeta_series> bq_start = Beta_start(tail, m, 1, a, y, yc, ln_y, ln_yc);
    if (!bp_start || !bq_start) return std::nullopt;
    const tBeta_series bp0 = *bp_start, bq0 = *bq_start;

    const auto not_converged = [&] {
        Raise_not_converged("Non_central_t tail", "series", Max_tail_terms, "terms",
                            {{"x", x}, {"df", df}, {"delta", delta}});
    };
    // As j rises, I_y falls by the step and its complement rises by it.
    const Extended rising = tail == tTail::Lower ? -1 : 1;
    const Extended inv_lambda = 1 / lambda, inv_y = 1 / y;
    Extended sum = (p0 * bp0.value + q0 * bq0.value) / 2;

    // Downwards from the mode to 0, or until the terms no longer count. The
    // recurrences' divisions share one: division is the costly operation.
    //   P_(j-1) = P_j j / lambda             Q_(j-1) = Q_j (j + 1/2) / lambda
    //   g_(j-1) = g_j (j + c) / (y (j + c - 1 + a)), c = 1/2 for P, 1 for Q
    Extended p = p0, q = q0, ip = bp0.value, iq = bq0.value, gp = bp0.step, gq = bq0.step;
    Extended last = sum;
    for (Extended j = m; j > 0; j = j - 1) {
        if (m - j > Max_tail_terms) not_converged();
        const Extended dp = j - 0.5L + a, dq = j + a;
        const Extended inv = inv_y / (dp * dq);
        p = p * j * inv_lambda;
        q = q * (j + 0.5L) * inv_lambda;
        gp = gp * (j + 0.5L) * dq * inv;
        gq = gq * (j + 1) * dp * inv;
        ip = ip - rising * gp;
        iq = iq - rising * gq;
        const Extended term = (p * ip + q * iq) / 2;
        sum = sum + term;
        Require_finite(sum);
        if (Negligible(term, last, sum)) break;
        last = term;
    }

    // Upwards from the mode.
    //   P_(j+1) = P_j lambda / (j + 1)       Q_(j+1) = Q_j lambda / (j + 3/2)
    //   g_(j+1) = g_j y (j + c + a) / (j + c + 1)
    p = p0, q = q0, ip = bp0.value, iq = bq0.value, gp = bp0.step, gq = bq0.step;
    last = (p0 * bp0.value + q0 * bq0.value) / 2;
    for (Extended j = m;; j = j + 1) {
        if (j - m > Max_tail_terms) not_converged();
        const Extended e1 = j + 1, e15 = j + 1.5L, e2 = j + 2;
        const Extended inv = 1 / (e1 * e15 * e2);
        ip = ip + rising * gp;
        iq = iq + rising * gq;
        p = p * lambda * (e15 * e2) * inv;
        q = q * lambda * (e1 * e2) * inv;
        gp = gp * y * (j + 0.5L + a) * (e1 * e2) * inv;
        gq = gq * y * (j + 1 + a) * (e1 * e15) * inv;
        const Extended term = (p * ip + q * iq) / 2;
        sum = sum + term;
        Require_finite(sum);
        // Below the mode the weights still rise: only past it may the sum stop.
        if (e1 > lambda && Negligible(term, last, sum)) break;
        last = term;
    }
    return tail == tTail::Lower ? Standard_normal_cdf(-delta) + sum : sum;
}
