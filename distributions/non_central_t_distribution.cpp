#include "non_central_t_distribution.h"

#include <algorithm>
#include <cfenv>
#include <cmath>
#include <limits>
#include <optional>

#include "floating_point_faults.h"
#include "incomplete_beta.h"
#include "incomplete_gamma.h"
#include "ln_gamma.h"
#include "non_central_t_mixture.h"
#include "non_central_t_tails.h"
#include "numeric_utilities.h"

namespace {
// Both series run on past the Poisson mode for some 7 sqrt(lambda) terms (about
// 290000 at delta 65000, where lambda nears what the start index holds, 2^31;
// 49000 at delta 10000, the most the tests reach); this many is far beyond.
constexpr long Max_series_terms = 10000000;

// The Poisson series serves up to these: past them its gamma ratios leave even
// the Extended range (df in the thousands) and its length and rounding grow
// with the non-centrality; the mixture integral serves beyond, at any size.
constexpr Extended Series_largest_df = 500;
constexpr Extended Series_largest_noncentrality = 1100;
// The series' absolute error, some 1e-10 (Lanczos' error in its weights and
// the sum's rounding), is below 1e-9 of a tail only where both tails are at
// least this; a smaller tail is summed on its own with weights formed to full
// precision (Non_central_t_tail), or taken from the mixture integral, which
// keeps its relative accuracy however small the tail.
constexpr Extended Series_smallest_tail = Extended_constant(0.1L);

// Both series, of either tail or of the whole, run to some 12 sqrt(lambda)
// terms, while the mixture integral costs the same at any non-centrality:
// measured here, the integral already costs half what the series do at a
// non-centrality of 20 to 25 and df from 30 up, and at 20 a little less at
// 8 df. Past it the distribution function is the integral's (the density
// keeps the series up to Series_largest_noncentrality).
constexpr Extended Cdf_series_largest_noncentrality = 20;

// Where the normal approximation to the distribution puts a tail beyond this
// many standard deviations (P(Z < -1.3) = 0.097), that tail is most likely
// below Series_smallest_tail and is summed on its own first.
constexpr Extended Clearly_small_tail_z = Extended_constant(1.3L);

// A generous bound on how far a computed Cdf strays from a smooth function of
// delta where the series serve: they and the incomplete beta fractions stop
// at 2.5e-12 and 5e-12, and where the series' start index changes with delta
// the computed value steps (by up to 3e-11 where measured).
constexpr Extended Series_error_bound = Extended_constant(1e-9L);
// The same where the mixture integral serves: against 50-digit values over
// some 3,700 points (df 1 to 3000, non-centralities 20 to 530, tails down to
// 1e-30) its smaller tail was never off by more than 2.3e-14 of itself, nor
// by more than 1.2e-14, and its steps as delta moves (a halving more or
// less, a point more or less) are of that size.
constexpr Extended Mixture_error_bound = Extended_constant(1e-12L);

bool Series_serves(Extended df, Extended delta) {
    return df <= Series_largest_df && std::fabs(delta) <= Series_largest_noncentrality;
}

// What Cdf and Density share: the reflected point and the summation range.
struct tSeries_start {
    Extended x;      // after reflection to a non-negative non-centrality
    Extended d;      // |non-centrality|
    Extended lambda; // d^2 / 2, the Poisson mean
    std::int32_t k0; // lowest index summed
    std::int32_t m;  // start index, the Poisson mode
    Extended s;      // sign of x
    Extended y;      // x^2 / (x^2 + nu)
    bool reflected;
};

// P(Z < -d) for d >= 0. Below d^2 / 2 = 5e-12 the incomplete gamma series
// takes its argument for 0 and gives 1/2, while the true value is still some
// 1e-6 below it: the distribution function would stand still in delta there,
// and a search for the delta that puts t at the median (t near 0) would stop
// up to 3e-6 off. There the first term of the series, d / sqrt(2 pi), is
// exact to about 1e-18.
Extended Normal_below_minus(Extended d) {
    const Extended x = d * d / 2;
    if (x < Tolerance) return 0.5L - d * Extended_inv_sqrtpi / Extended_sqrt2;
    return (1 - Incomplete_gamma_unscoped(x, 0.5L)) / 2;
}

tSeries_start Prepare(Extended x, Extended delta, Extended nu) {
    tSeries_start start{};
    start.reflected = delta < 0;
    start.x = start.reflected ? -x : x;
    start.d = start.reflected ? -delta : delta;
    start.lambda = start.d * start.d / 2;
    start.k0 = std::max<std::int32_t>(0, Floor(start.lambda - 8 * std::sqrt(start.lambda)));
    // nearbyint rounds a half to the even neighbour.
    start.m = std::max(static_cast<std::int32_t>(std::nearbyint(start.lambda)), start.k0);
    start.s = start.x < 0 ? -1 : 1;
    start.y = start.x * start.x / (start.x * start.x + nu);
    return start;
}
} // namespace

Extended tNon_central_t_distribution::Cdf_error_bound(Extended lo, Extended hi) {
    // Only non-centralities past Cdf_series_largest_noncentrality are the
    // mixture's at every df (near 0 the central t serves at large df).
    const bool mixture_throughout =
        lo > Cdf_series_largest_noncentrality || hi < -Cdf_series_largest_noncentrality;
    return mixture_throughout ? Mixture_error_bound : Series_error_bound;
}

tNon_central_t_distribution::tNon_central_t_distribution(Extended df, Extended delta) {
    Parameter_count = 2;
    Define_parameter(1, false, 0, Unbounded);
    Define_parameter(2, false, -Unbounded, Unbounded);
    T_component = std::make_unique<tT_distribution>(df);
    Set_parameters(df, delta, 0);
}

tNon_central_t_distribution::~tNon_central_t_distribution() {
    T_component.reset();
}

bool tNon_central_t_distribution::Set_parameters(Extended p1, Extended p2, Extended p3) {
    tFloating_point_scope scope;
    const bool result = tContinuous_distribution::Set_parameters(p1, p2, p3);
    Df = p1;
    Noncentrality = p2;
    start_terms_.Valid = false;
    start_terms_.Normal_valid = false;
    // The limit searches change only the non-centrality, step after step:
    // the central t's constants need forming again only for a new df.
    if (!(T_component->Df == p1)) T_component->Set_parameters(p1, 0, 0);
    scope.Check();
    return result;
}

const tNon_central_t_distribution::tStart_terms& tNon_central_t_distribution::Start_terms() const {
    if (start_terms_.Valid) return start_terms_;
    // Runs inside the caller's fault scope: a fault here is the caller's.
    const Extended nu = Df, a = nu / 2;
    const tSeries_start st = Prepare(0, Noncentrality, nu);
    const Extended lambda = st.lambda, d = st.d, m = st.m;
    const Extended ln_lambda = std::log(lambda);
    tStart_terms& t = start_terms_;
    t.P0 = 0.5L * std::exp(m * ln_lambda - lambda - Ln_gamma_unscoped(m + 1));
    t.Q0 =
        (d / 2) * std::exp(m * ln_lambda - lambda - Extended_ln2 / 2 - Ln_gamma_unscoped(m + 1.5L));
    t.Gp_factor = std::exp(Ln_gamma_unscoped(m + 0.5L + a) - Ln_gamma_unscoped(m + 1.5L) -
                           Ln_gamma_unscoped(a));
    t.Gq_factor =
        std::exp(Ln_gamma_unscoped(m + 1 + a) - Ln_gamma_unscoped(m + 2) - Ln_gamma_unscoped(a));
    t.Beta_p = Log_beta_constant(m + 0.5L, a);
    t.Beta_q = Log_beta_constant(m + 1, a);
    t.W0 = std::exp(m * ln_lambda - lambda - Ln_gamma_unscoped(m + 1));
    t.V0 = d * std::exp(m * ln_lambda - lambda - Extended_ln2 / 2 - Ln_gamma_unscoped(m + 1.5L));
    t.H_factor = std::exp(Ln_gamma_unscoped(m + 0.5L + a) - Ln_gamma_unscoped(m + 0.5L) -
                          Ln_gamma_unscoped(a));
    t.K_factor =
        std::exp(Ln_gamma_unscoped(m + 1 + a) - Ln_gamma_unscoped(m + 1) - Ln_gamma_unscoped(a));
    // Only terms formed without a fault are kept.
    if (Test_fault_flags(tFloating_point_scope::Fault_flags) == 0) t.Valid = true;
    return t;
}

Extended tNon_central_t_distribution::Cdf(Extended x) const {
    tFloating_point_scope scope;
    if (Nearly_equal_unscoped(Noncentrality, 0)) return scope.Checked(T_component->Cdf(x));
    if (!In_support(x)) return scope.Checked(tContinuous_distribution::Cdf(x));
    if (!Series_serves(Df, Noncentrality) ||
        std::fabs(Noncentrality) > Cdf_series_largest_noncentrality)
        return scope.Checked(Non_central_t_mixture_cdf(x, Df, Noncentrality));
    const Extended nu = Df, a = nu / 2;
    const tSeries_start st = Prepare(x, Noncentrality, nu);
    const Extended lambda = st.lambda, d = st.d, s = st.s, y = st.y;
    const Extended m = st.m;

    // A tail that the normal approximation puts well below Series_smallest_tail
    // is summed on its own at once (see below), without the series of both.
    if (st.x > 0) {
        const Extended z = (st.x * (1 - 1 / (4 * nu)) - d) / std::sqrt(1 + st.x * st.x / (2 * nu));
        if (std::fabs(z) > Clearly_small_tail_z) {
            const bool lower = z < 0;
            const std::optional<Extended> tail =
                Non_central_t_tail(lower ? tTail::Lower : tTail::Upper, st.x, nu, d);
            if (tail && *tail < Series_smallest_tail)
                return scope.Checked(lower != st.reflected ? *tail : 1 - *tail);
        }
    }

    // Poisson weights, incomplete beta values and their recurrence terms at m.
    const tStart_terms& t = Start_terms();
    const Extended p0 = t.P0;
    const Extended q0 = t.Q0;
    const Extended ip0 = Incomplete_beta_unscoped(y, m + 0.5L, a, t.Beta_p);
    const Extended iq0 = Incomplete_beta_unscoped(y, m + 1, a, t.Beta_q);
    // The gamma ratios can far exceed the double range before the powers of y
    // bring them back; Extended holds them.
    const Extended gp0 = t.Gp_factor * Power_unscoped(y, m + 0.5L) * Power_unscoped(1 - y, a);
    const Extended gq0 = t.Gq_factor * Power_unscoped(y, m + 1) * Power_unscoped(1 - y, a);

    Extended p = p0, q = q0, ip = ip0, iq = iq0, gp = gp0, gq = gq0;
    Extended rem = 0.5L - p;
    if (!t.Normal_valid) {
        start_terms_.Normal_term = Normal_below_minus(d);
        start_terms_.Normal_valid = Test_fault_flags(tFloating_point_scope::Fault_flags) == 0;
    }
    Extended sum = t.Normal_term + s * p * ip + q * iq;

    for (std::int32_t j = st.m - 1; j >= st.k0; --j) {
        p = p * (j + 1) / lambda;
        q = q * (j + 1.5L) / lambda;
        rem = rem - p;
        if (y > 0) {
            gp = gp * (j + 1.5L) / ((j + 0.5L + a) * y);
            gq = gq * (j + 2) / ((j + 1 + a) * y);
        }
        ip = ip + gp;
        iq = iq + gq;
        sum = sum + s * p * ip + q * iq;
    }

    p = p0, q = q0, ip = ip0, iq = iq0, gp = gp0, gq = gq0;
    for (Extended j = m + 1;; j = j + 1) {
        if (j - m > Max_series_terms)
            Raise_not_converged("Non_central_t Cdf", "series", Max_series_terms, "terms",
                                {{"x", x}, {"df", Df}, {"delta", Noncentrality}});
        p = p * lambda / j;
        q = q * lambda / (j + 0.5L);
        rem = rem - p;
        ip = ip - gp;
        iq = iq - gq;
        sum = sum + s * p * ip + q * iq;
        gp = gp * y * (j - 0.5L + a) / (j + 0.5L);
        gq = gq * y * (j + a) / (j + 1);
        const Extended remaining = (ip - gp) * rem;
        // A quantity gone infinite or NaN would never converge: stop at once.
        Require_finite(remaining);
        Require_finite(sum);
        if (remaining < Extended_constant(2.5e-12L)) break;
        // rem is 0.5 less every weight so far, so its rounding error grows with
        // lambda; at non-centralities in the thousands it can stay above the
        // tolerance while y^j decays over millions of terms. Past the Poisson
        // mode the weights fall geometrically by lambda / (j + 1) or faster, and
        // every later term is at most its weight (Ip, Iq <= 1): once that
        // geometric tail is below the tolerance, the rest cannot matter.
        // (p + q) r / (1 - r) < tol with r = lambda / (j + 1), without dividing.
        if (j > lambda && (p + q) * lambda < Extended_constant(2.5e-12L) * (j + 1 - lambda)) break;
    }
    const Extended cdf = st.reflected ? 1 - sum : sum;
    if (std::min(cdf, 1 - cdf) >= Series_smallest_tail) return scope.Checked(cdf);
    // Where x and the non-centrality share their sign both tails are series of
    // positive terms: the smaller is summed on its own. Across 0 the smaller
    // tail's terms alternate in sign and cancel; the mixture integral keeps it.
    const bool lower = sum < 0.5L;
    const std::optional<Extended> tail =
        st.x > 0 ? Non_central_t_tail(lower ? tTail::Lower : tTail::Upper, st.x, nu, d)
                 : std::nullopt;
    if (!tail) return scope.Checked(Non_central_t_mixture_cdf(x, Df, Noncentrality));
    return scope.Checked(lower != st.reflected ? *tail : 1 - *tail);
}

Extended tNon_central_t_distribution::Density(Extended x) const {
    tFloating_point_scope scope;
    if (Nearly_equal_unscoped(Noncentrality, 0)) return scope.Checked(T_component->Density(x));
    if (!In_support(x)) return 0;
    if (!Series_serves(Df, Noncentrality))
        return scope.Checked(Non_central_t_mixture_density(x, Df, Noncentrality));
    const Extended nu = Df, a = nu / 2;
    tSeries_start st = Prepare(x, Noncentrality, nu);
    if (st.x == 0) st.m = 0;
    const Extended lambda = st.lambda, d = st.d, s = st.s, y = st.y, xx = st.x * st.x;
    const Extended m = st.m;

    Extended w0, v0, h0, k0;
    if (st.x != 0) {
        const tStart_terms& t = Start_terms();
        w0 = t.W0;
        v0 = t.V0;
        const Extended scale = st.x * nu / ((xx + nu) * (xx + nu));
        h0 = scale * t.H_factor * Power_unscoped(y, m - 0.5L) * Power_unscoped(1 - y, a - 1);
        k0 = scale * t.K_factor * Power_unscoped(y, m) * Power_unscoped(1 - y, a - 1);
    } else {
        // At 0 the series starts at index 0, not at the mode.
        const Extended ln_lambda = std::log(lambda);
        w0 = std::exp(m * ln_lambda - lambda - Ln_gamma_unscoped(m + 1));
        v0 = d * std::exp(m * ln_lambda - lambda - Extended_ln2 / 2 - Ln_gamma_unscoped(m + 1.5L));
        // The central t density at 0.
        h0 = std::exp(Ln_gamma_unscoped(a + 0.5L) - Ln_gamma_unscoped(0.5L) - Ln_gamma_unscoped(a) -
                      std::log(nu) / 2);
        k0 = 0;
    }

    Extended w = w0, v = v0, h = h0, k = k0;
    Extended sum = s * w * h + v * k;
    for (std::int32_t j = st.m - 1; j >= st.k0; --j) {
        w = w * (j + 1) / lambda;
        v = v * (j + 1.5L) / lambda;
        if (st.x != 0) {
            h = h * ((xx + nu) / xx) * (j + 0.5L) / (j + 0.5L + a);
            k = k * ((xx + nu) / xx) * (j + 1) / (j + 1 + a);
        }
        sum = sum + s * w * h + v * k;
    }

    w = w0, v = v0, h = h0, k = k0;
    for (Extended j = m + 1;; j = j + 1) {
        if (j - m > Max_series_terms)
            Raise_not_converged("Non_central_t Density", "series", Max_series_terms, "terms",
                                {{"x", x}, {"df", Df}, {"delta", Noncentrality}});
        w = w * lambda / j;
        v = v * lambda / (j + 0.5L);
        h = h * (xx / (xx + nu)) * (j - 0.5L + a) / (j - 0.5L);
        k = k * (xx / (xx + nu)) * (j + a) / j;
        sum = sum + s * w * h + v * k;
        const Extended last = std::fabs(v * k);
        // A quantity gone infinite or NaN would never converge: stop at once.
        Require_finite(last);
        Require_finite(sum);
        if (last < Tolerance) break;
    }
    // On the far side of 0 from the non-centrality the terms alternate in
    // sign and cancel to their rounding, some -2e-12, where the density is
    // below 1e-100: a density is never negative.
    return scope.Checked(std::max<Extended>(sum, 0));
}

bool tNon_central_t_distribution::Has_mean() const {
    return Df > 1;
}

bool tNon_central_t_distribution::Has_variance() const {
    return Df > 2;
}

Extended tNon_central_t_distribution::Mean() const {
    tFloating_point_scope scope;
    return scope.Checked(std::exp(Ln_gamma_unscoped((Df - 1) / 2) - Ln_gamma_unscoped(Df / 2)) *
                         std::sqrt(Df / 2) * Noncentrality);
}

Extended tNon_central_t_distribution::Variance() const {
    tFloating_point_scope scope;
    const Extended mean = Mean();
    return scope.Checked((Noncentrality * Noncentrality + 1) * Df / (Df - 2) - mean * mean);
}
