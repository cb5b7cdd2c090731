#include "non_central_t_mixture.h"

#include <cmath>

#include "floating_point_faults.h"
#include "non_central_t_tails.h"
#include "standard_normal_tail.h"

namespace {

// What is integrated: the lower tail Phi(x S - delta), the upper tail
// Phi(delta - x S), or the density S phi(x S - delta).
enum class tKernel { Lower, Upper, Density };

constexpr Extended Ln_sqrt_2pi = Extended_constant(0.918938533204672741780329736405617639861L);

// ln Phi(z) to some sixteen digits, which is all the integral needs: from
// the double erfc, several times cheaper than the Extended one, and past its
// range (erfc(26.5) underflows a double) from the asymptotic series, whose
// first term left out is below 2e-17 there.
Extended Log_phi(Extended z) {
    const Extended u = -z / Extended_sqrt2;
    if (u <= 0) return std::log1p(-std::erfc(static_cast<double>(-u)) / 2);
    if (u < 26) return std::log(std::erfc(static_cast<double>(u)) / 2);
    const Extended r = 1 / (2 * u * u);
    const Extended series =
        1 - r * (1 - 3 * r * (1 - 5 * r * (1 - 7 * r * (1 - 9 * r * (1 - 11 * r)))));
    return -u * u - std::log(2 * u / Extended_inv_sqrtpi) + std::log(series);
}

// ln of the integrand at w = ln(V / df), and its slope in w. V / df has the
// gamma density a^a / Gamma(a) u^(a - 1) exp(-a u) with a = df / 2, so w has
// the density a^a / Gamma(a) exp(a (w - e^w)) = sqrt(a / (2 pi)) exp(-Stirling_error(a)
// - a (e^w - 1 - w)); e^w - 1 - w is formed from expm1 so that it keeps its
// digits near the mode w = 0, where a in the millions multiplies it.
class tIntegrand {
public:
    tIntegrand(tKernel kernel, Extended x, Extended df, Extended delta)
        : kernel_(kernel), x_(x), delta_(delta), a_(df / 2),
          constant_(std::log(a_) / 2 - Ln_sqrt_2pi - Stirling_error(a_)) {}

    // The exponentials in double, as above: the integral needs no more, and
    // x S - delta, where large terms cancel, is formed in Extended.
    Extended Log(Extended w) const {
        const double v = static_cast<double>(w);
        const Extended s = std::exp(v / 2), z = x_ * s - delta_;
        const Extended mixing = constant_ - a_ * (std::expm1(v) - v);
        switch (kernel_) {
        case tKernel::Lower:
            return mixing + Log_phi(z);
        case tKernel::Upper:
            return mixing + Log_phi(-z);
        case tKernel::Density:
            break;
        }
        return mixing + w / 2 - z * z / 2 - Ln_sqrt_2pi;
    }

    Extended Slope(Extended w) const {
        const double v = static_cast<double>(w);
        const Extended s = std::exp(v / 2), z = x_ * s - delta_, dz = x_ * s / 2;
        const Extended mixing = -a_ * std::expm1(v);
        // phi / Phi, the slope of ln Phi, from logarithms: it grows like |z|.
        // Only the slope's sign is asked for, so its exponential is a double's.
        const auto mills = [](Extended u) {
            return std::exp(static_cast<double>(-u * u / 2 - Ln_sqrt_2pi - Log_phi(u)));
        };
        switch (kernel_) {
        case tKernel::Lower:
            return mixing + mills(z) * dz;
        case tKernel::Upper:
            return mixing - mills(-z) * dz;
        case tKernel::Density:
            break;
        }
        return mixing + 0.5L - z * dz;
    }

    // The width over which the integrand changes by a factor e near w: from
    // the curvature of the mixing density (a e^w) and of the normal factor
    // (at most (dz/dw)^2, plus 1/4 from the density's S).
    Extended Scale(Extended w) const {
        const Extended e = std::exp(w);
        return 1 / std::sqrt(a_ * e + (x_ * x_ * e + 1) / 4);
    }

private:
    const tKernel kernel_;
    const Extended x_, delta_, a_, constant_;
};

// The integrand falls this far below its peak (e^-36, 2e-16) where the sums
// stop: what lies beyond is far below the 1e-12 the integral is good to. The
// trapezoid rule on a smooth integrand that decays this fast has an error that
// falls like exp(-c / h) or faster as the step h shrinks, but not yet at the
// coarse steps: a halving that moved the sum by 1e-6 once left an error of
// 6e-9 (df 120, delta 100, x 110). Once a halving moves it by less than
// Step_agreement, the error measured against 50-digit values is some 1e-12
// or smaller.
constexpr Extended Range_drop = 36;
constexpr Extended Step_agreement = Extended_constant(1e-8L);
// The steps grow exponentially only beyond this many of the integrand's own
// scales from the peak (the map is linear within it). The integrand is close
// to normal in shape there, and the trapezoid rule's error on a normal curve
// falls like exp(-2 pi^2 / h^2) in steps of h scales: a step of half a scale
// leaves some 1e-34. A map that curves sooner narrows the strip about the
// real line in which the integrand stays bounded, and needs steps four times
// finer for the same error.
constexpr double Linear_reach = 7;
constexpr Extended First_step = 1;
constexpr int Max_steps = 200;   // doublings and halvings in the search for the peak
constexpr int Max_halvings = 12; // of the trapezoid step
constexpr long Max_points = 1000000;

// ln of the integral of exp(f.Log) over the real line.
Extended Log_integral(const tIntegrand& f, const char* routine, Extended x, Extended df,
                      Extended delta) {
    const auto not_converged = [&](const char* loop, long count, const char* unit) {
        Raise_not_converged(routine, loop, count, unit, {{"x", x}, {"df", df}, {"delta", delta}});
    };
    // The peak, roughly: the slope falls from +a at the far left to minus
    // infinity at the far right. Bracket its sign change by doubling steps,
    // then halve the bracket to the integrand's own scale there.
    Extended lo = 0, hi = 0;
    Extended step = f.Scale(0);
    int steps = 0;
    if (f.Slope(0) > 0) {
        for (hi = step; f.Slope(hi) > 0; hi += step, step *= 2) {
            lo = hi;
            if (++steps > Max_steps) not_converged("search for the peak", Max_steps, "steps");
        }
    } else {
        for (lo = -step; f.Slope(lo) <= 0; lo -= step, step *= 2) {
            hi = lo;
            if (++steps > Max_steps) not_converged("search for the peak", Max_steps, "steps");
        }
    }
    while (hi - lo > f.Scale(hi) / 2) {
        const Extended mid = (lo + hi) / 2;
        (f.Slope(mid) > 0 ? lo : hi) = mid;
        if (++steps > Max_steps) not_converged("search for the peak", Max_steps, "steps");
    }
    const Extended top = (lo + hi) / 2, peak = f.Log(top);
    Require_finite(peak);

    // The trapezoid rule in v, with w = top + scale L sinh(v / L), L the
    // linear reach: steps of the integrand's own scale near the peak, growing
    // exponentially away from it, so that a narrow peak on a broad shoulder
    // (a normal factor far sharper than the mixing density, at large x) costs
    // little more than a round one. Sums exp(Log - peak) dw/dv over
    // v = (j + offset) h, outwards both ways until the integrand is negligible,
    // dw/dv in units of the scale (which multiplies the whole).
    const Extended scale = f.Scale(top);
    const double reach = static_cast<double>(scale) * Linear_reach;
    const double negligible = std::exp(-static_cast<double>(Range_drop));
    long points = 0;
    const auto grid_sum = [&](Extended h, Extended offset) {
        Extended sum = 0;
        for (const Extended direction : {1.0L, -1.0L}) {
            // The point v = 0 itself is summed once, going right.
            const long first = direction < 0 && offset == 0 ? 1 : 0;
            // e = exp(v / L), from one exponential a direction and a product
            // a point: sinh and cosh are formed from it, and the sum needs no
            // more than double's digits of either.
            const double factor = std::exp(static_cast<double>(direction * h) / Linear_reach);
            double e =
                std::exp(static_cast<double>(direction * (first + offset) * h) / Linear_reach);
            for (long j = first;; ++j, e *= factor) {
                const double inverse = 1 / e;
                const Extended w = top + reach * ((e - inverse) / 2);
                const double term =
                    std::exp(static_cast<double>(f.Log(w) - peak)) * ((e + inverse) / 2);
                sum += term;
                if (++points > Max_points) not_converged("integration", Max_points, "points");
                if (term < negligible && j > 1) break;
            }
        }
        return sum;
    };
    Extended h = First_step;
    Extended total = scale * h * grid_sum(h, 0);
    for (int halving = 1;; ++halving) {
        if (halving > Max_halvings) not_converged("integration", Max_halvings, "step halvings");
        const Extended finer = total / 2 + scale * (h / 2) * grid_sum(h, 0.5L);
        Require_finite(finer);
        h /= 2;
        const bool agreed = std::fabs(finer - total) <= Step_agreement * finer;
        total = finer;
        if (agreed) break;
    }
    return peak + std::log(total);
}

} // namespace

Extended Non_central_t_mixture_cdf(Extended x, Extended df, Extended delta) {
    if (x == 0) return Standard_normal_cdf(-delta);
    // The tail that the normal approximation puts below one half is integrated;
    // the other is its complement. Near one half either keeps its digits.
    const Extended approximate = x * (1 - 1 / (4 * df)) - delta;
    const tKernel kernel = approximate <= 0 ? tKernel::Lower : tKernel::Upper;
    const Extended tail =
        std::exp(Log_integral(tIntegrand(kernel, x, df, delta), "Non_central_t Cdf", x, df, delta));
    return kernel == tKernel::Lower ? tail : 1 - tail;
}

Extended Non_central_t_mixture_density(Extended x, Extended df, Extended delta) {
    return std::exp(Log_integral(tIntegrand(tKernel::Density, x, df, delta),
                                 "Non_central_t Density", x, df, delta));
}
