#include "inference/noncentrality_search.h"

#include <algorithm>
#include <atomic>
#include <boost/math/tools/toms748_solve.hpp>
#include <cmath>
#include <cstdint>
#include <memory>
#include <utility>

#include "distributions/argument_error.h"
#include "distributions/floating_point_faults.h"
#include "distributions/non_central_t_distribution.h"
#include "distributions/numeric_utilities.h"
#include "inference/inference_errors.h"

namespace {

std::atomic<std::uint64_t> cdf_evaluations{0};

// The solver's only errors are a bracket out of order or without a change of
// sign, which the search never hands it. Were one raised, the result would
// not be finite and the search would refuse it. The default policy's
// throwing handlers would also bring in the library's whole text-stream
// machinery, which the program does not otherwise need.
using Solver_policy = boost::math::policies::policy<
    boost::math::policies::domain_error<boost::math::policies::errno_on_error>>;

// Cdf(t) - p at a non-centrality delta. The distribution function rises with
// x, so this is positive exactly when t lies above the p-quantile; and it
// falls as delta rises, so it is positive exactly below the wanted delta.
// Building the distribution costs as much as a dozen re-parametrizations,
// and an analysis searches four times at one df: each thread keeps the last
// search's object for the next at the same df. A re-parametrized object gives
// exactly what a new one gives; a new df gets a new object, which checks it.
class tExcess {
public:
    tExcess(Extended df, Extended t, Extended p)
        : df_(df), t_(t), p_(p), distribution_(Take_distribution(df)) {}
    ~tExcess() { Kept_distribution() = std::move(distribution_); }
    tExcess(const tExcess&) = delete;
    tExcess& operator=(const tExcess&) = delete;

    Extended operator()(Extended delta) {
        cdf_evaluations.fetch_add(1, std::memory_order_relaxed);
        distribution_->Set_parameters(df_, delta, 0);
        return distribution_->Cdf(t_) - p_;
    }
    // +1, 0 or -1 as the excess at delta is positive, zero or negative.
    int Sign(Extended delta) {
        const Extended excess = (*this)(delta);
        return (excess > 0) - (excess < 0);
    }

private:
    static std::unique_ptr<tNon_central_t_distribution>& Kept_distribution() {
        thread_local std::unique_ptr<tNon_central_t_distribution> kept;
        return kept;
    }
    // The kept object is taken, not shared, so that searches alive together
    // never share one.
    static std::unique_ptr<tNon_central_t_distribution> Take_distribution(Extended df) {
        std::unique_ptr<tNon_central_t_distribution>& kept = Kept_distribution();
        if (kept && kept->Df == df) return std::move(kept);
        return std::make_unique<tNon_central_t_distribution>(df, 1);
    }

    const Extended df_, t_, p_;
    std::unique_ptr<tNon_central_t_distribution> distribution_;
};

// The checks that the quantile search made of p: outside 0..1 an argument
// error; at 0 or 1 (to within the library's tolerance) the quantile is an end
// of the support, which no finite delta moves past t.
void Check_probability(Extended p) {
    Check_bound(1302, p, 0);
    Check_bound(1315, p, 1);
    if (Nearly_equal_unscoped(p, 0) || Nearly_equal_unscoped(p, 1))
        throw EDiscrepancy_too_extreme();
}

// The search proper. `sign`(delta) is the sign of the excess at delta, as
// one evaluation gives it. Doubling from [-1, 1]: upwards while t lies above
// the quantile at hi, then, if that never moved lo, downwards while t lies
// below the quantile at lo; then bisection until the bracket is narrower than
// 1e-6 (a zero excess moves hi). Returns the last midpoint tried.
// The doubling is capped (Max_noncentrality): a data-entry slip can ask for
// any size.
template <typename Sign> Extended Double_and_bisect(Extended cap, Sign sign) {
    Extended lo = -1, hi = 1;
    while (sign(hi) > 0) {
        if (2 * hi > cap) throw EDiscrepancy_too_extreme();
        lo = hi;
        hi = 2 * hi;
    }
    if (lo < 0) {
        while (sign(lo) < 0) {
            if (-2 * lo > cap) throw EDiscrepancy_too_extreme();
            hi = lo;
            lo = 2 * lo;
        }
    }
    Extended mid = 0;
    do {
        mid = (lo + hi) / 2;
        if (sign(mid) > 0)
            lo = mid;
        else
            hi = mid;
    } while (hi - lo >= Extended_constant(0.000001L));
    return mid;
}

// The standard normal p-quantile to about 5e-4 (Hastings' rational
// approximation): enough for a first guess.
Extended Rough_normal_quantile(Extended p) {
    const Extended tail = std::min(p, 1 - p);
    const Extended u = std::sqrt(-2 * std::log(tail));
    const Extended z =
        u - (Extended_constant(2.515517L) +
             u * (Extended_constant(0.802853L) + u * Extended_constant(0.010328L))) /
                (1 + u * (Extended_constant(1.432788L) +
                          u * (Extended_constant(0.189269L) + u * Extended_constant(0.001308L))));
    return p < 0.5L ? -z : z;
}

// The root of the excess is found to this width before the search is
// replayed; it is far below the bisection's last step of 1e-6, and the band
// of steps decided by their own evaluation only widens by it. Narrower costs
// the solver one or two more evaluations a limit and decides nothing more.
constexpr Extended Root_width = Extended_constant(1e-10L);
// The solver needs about half a dozen evaluations from the bracket found
// below; past this many it stops with the bracket it has, which only widens
// the band decided by evaluations.
constexpr std::uintmax_t Max_root_evaluations = 100;
// An excess this near zero puts its delta within about Root_excess over the
// slope of the root; the band left to evaluations is widened by it.
constexpr Extended Root_excess = Extended_constant(1e-10L);
// The first step goes this much further than the normal approximation's slope
// puts the root, so that it most likely brackets it.
constexpr Extended Overshoot = Extended_constant(1.5L);

// Where the search for the root starts, and its first step: the normal
// approximation to the non-central t, by which (t (1 - 1/(4 df)) - delta) over
// sqrt(1 + t^2/(2 df)) is roughly standard normal.
struct tFirst_guess {
    Extended Delta;
    Extended Step;
    Extended Slope;  // of the excess in delta there, as the approximation has it (negative)
    Extended Spread; // the approximation's standard deviation in delta
};

tFirst_guess First_guess(Extended df, Extended t, Extended p) {
    // Only a start: arithmetic that overflows here (absurd t or df) costs
    // steps, not the result, so its flags are dropped with this scope.
    tFloating_point_scope guess_arithmetic;
    const Extended spread = std::sqrt(1 + t * t / (2 * df));
    const Extended z = Rough_normal_quantile(p);
    const Extended guess = t * (1 - 1 / (4 * df)) - z * spread;
    const Extended slope = -std::exp(-z * z / 2) * Extended_inv_sqrtpi / Extended_sqrt2 / spread;
    if (!std::isfinite(guess) || !std::isfinite(spread) || !(slope < 0)) return {0, 1, 0, 1};
    const Extended cap = Max_noncentrality;
    return {std::clamp(guess, -cap, cap), spread / 4, slope, spread};
}

// An evaluation of the excess, kept so that its slope near the root can be
// read from two of them.
struct tEvaluation {
    Extended Delta, Excess;
};

// The excess's evaluations in the search for its root: few, as the solver
// needs about half a dozen.
class tEvaluations {
public:
    Extended operator()(tExcess& excess, Extended delta) {
        const Extended value = excess(delta);
        if (count_ < Capacity) kept_[count_++] = {delta, value};
        last_ = {delta, value};
        return value;
    }

    const tEvaluation& Last() const { return last_; }

    // The slope of the excess (made positive) from the closest pair of
    // evaluations either side of [lo, hi] that are at least `least` apart and
    // at most `most`; 0 where there is no such pair.
    Extended Secant_slope(Extended lo, Extended hi, Extended least, Extended most) const {
        Extended slope = 0, width = most;
        for (int i = 0; i < count_; ++i)
            for (int j = 0; j < count_; ++j) {
                const tEvaluation& below = kept_[i];
                const tEvaluation& above = kept_[j];
                if (below.Delta > lo || above.Delta < hi || below.Excess <= 0 || above.Excess >= 0)
                    continue;
                const Extended apart = above.Delta - below.Delta;
                if (apart < least || apart > width) continue;
                width = apart;
                slope = (below.Excess - above.Excess) / apart;
            }
        return slope;
    }

private:
    static constexpr int Capacity = 32;
    tEvaluation kept_[Capacity];
    int count_ = 0;
    tEvaluation last_{0, 1};
};

// Where the root of the excess lies: a bracket of width Root_width at most
// (zero where an evaluation hit it exactly), or the one point whose excess
// came within Root_excess of zero, with that excess.
struct tRoot {
    Extended Lo, Hi;
    Extended Residual; // |excess| at Lo = Hi, or 0
};

// Steps away from the first guess until the excess changes sign, then hands
// that bracket to the solver. The first step is the one the approximation's
// slope puts just past the root (at most a quarter of the spread); each step
// after it doubles.
// A root beyond the cap is where the stepwise search gives up: its
// doubling would find the excess at the cap still of the same sign, as it is
// here.
tRoot Root_of(tExcess& excess, tEvaluations& evaluated, const tFirst_guess& guess) {
    Extended a = guess.Delta, step = guess.Step;
    const Extended cap = Max_noncentrality;
    Extended excess_a = evaluated(excess, a);
    if (excess_a == 0) return {a, a, 0};
    const Extended direction = excess_a > 0 ? 1 : -1; // towards the root
    if (guess.Slope < 0) {
        const Extended past_root = Overshoot * std::fabs(excess_a / guess.Slope);
        if (past_root > 0) step = std::min(step, past_root);
    }
    Extended b, excess_b;
    for (;;) {
        if (direction * a >= cap) throw EDiscrepancy_too_extreme();
        b = std::clamp(a + direction * step, -cap, cap);
        excess_b = evaluated(excess, b);
        if (excess_b == 0) return {b, b, 0};
        if ((excess_b > 0) != (excess_a > 0)) break;
        a = b;
        excess_a = excess_b;
        step = 2 * step;
    }
    if (b < a) {
        std::swap(a, b);
        std::swap(excess_a, excess_b);
    }

    std::uintmax_t evaluations = Max_root_evaluations;
    std::pair<Extended, Extended> bracket;
    {
        // Flags from the solver's own interpolation (none seen, but its
        // guards compare magnitudes rather than watch the flags) are no
        // faults of the result. Each evaluation checks and raises its own.
        tFloating_point_scope solver_arithmetic;
        // The solver closes in on the root from one side and may take
        // several evaluations more to move the other end; an evaluation
        // within Root_excess of zero ends it at once.
        const auto near_enough = [&](Extended lo, Extended hi) {
            return std::fabs(hi - lo) <= Root_width ||
                   std::fabs(evaluated.Last().Excess) <= Root_excess;
        };
        bracket = boost::math::tools::toms748_solve(
            [&](Extended delta) { return evaluated(excess, delta); }, a, b, excess_a, excess_b,
            near_enough, evaluations, Solver_policy());
    }
    Require_finite(bracket.first);
    Require_finite(bracket.second);
    const tEvaluation& last = evaluated.Last();
    if (std::fabs(bracket.second - bracket.first) > Root_width &&
        std::fabs(last.Excess) <= Root_excess)
        return {last.Delta, last.Delta, std::fabs(last.Excess)};
    return {bracket.first, bracket.second, 0};
}

// Distance from the root at which the excess's slope is measured: far enough
// that the Cdf's error bound is negligible in the difference, near enough
// that the slope is the root's own (delta moves the distribution on a scale
// of one or more).
constexpr Extended Slope_step = Extended_constant(1e-3L);
// The widest pair of evaluations whose secant is taken for that slope, as a
// share of the spread: over it the slope changes by some 15% at most (at
// 2.6 standard deviations), within the band's factor of two.
constexpr Extended Widest_secant = Extended_constant(0.05L);

} // namespace

std::uint64_t Noncentrality_search_evaluations() {
    return cdf_evaluations.load(std::memory_order_relaxed);
}

Extended Noncentrality_for_quantile_stepwise(Extended df, Extended t, Extended p) {
    tFloating_point_scope scope;
    Require_finite(t);        // an infinite target is a fault upstream, not an extreme case
    tExcess excess(df, t, p); // checks df first, as the quantile search's object did
    Check_probability(p);
    return scope.Checked(Double_and_bisect(
        Max_noncentrality, [&excess](Extended delta) { return excess.Sign(delta); }));
}

// Every step of the search only asks on which side of the root its delta lies.
// So the root is found first, by a solver that converges superlinearly, and
// the search is replayed on numbers; a delta too near the root to tell is
// decided by its own evaluation, as the stepwise search decides it.
Extended Noncentrality_for_quantile(Extended df, Extended t, Extended p) {
    tFloating_point_scope scope;
    Require_finite(t);        // an infinite target is a fault upstream, not an extreme case
    tExcess excess(df, t, p); // checks df first, as the quantile search's object did
    Check_probability(p);
    tEvaluations evaluated;
    const tFirst_guess guess = First_guess(df, t, p);
    const tRoot root = Root_of(excess, evaluated, guess);

    // Half-width of the band around the root where the excess may be within
    // the Cdf's error bound of 0: the bound, and the excess left at a root
    // found as one point, over the slope, with a factor of two for the
    // slope's change over the band. Within this distance of the
    // root the sign of the excess is rounding, not position, and only an
    // evaluation tells what the stepwise search decides. The slope is the
    // secant of two of the solver's evaluations where a close pair straddles
    // the root, and is otherwise measured. A slope that does not come out
    // positive leaves every step to an evaluation. The bound is the one that
    // holds over the widest band any bound gives (the bound near 0).
    Extended slope =
        evaluated.Secant_slope(root.Lo, root.Hi, Slope_step, Widest_secant * guess.Spread);
    if (!(slope > 0)) slope = -excess(root.Hi + Slope_step) / Slope_step;
    const auto band_for = [&](Extended bound) {
        return slope > 0 ? 2 * (bound + root.Residual) / slope : 4 * Max_noncentrality;
    };
    const Extended widest = band_for(tNon_central_t_distribution::Cdf_error_bound(0, 0));
    const Extended band =
        band_for(tNon_central_t_distribution::Cdf_error_bound(root.Lo - widest, root.Hi + widest));
    const Extended below = root.Lo - band, above = root.Hi + band;

    return scope.Checked(Double_and_bisect(Max_noncentrality, [&](Extended delta) {
        if (delta < below) return 1;
        if (delta > above) return -1;
        return excess.Sign(delta);
    }));
}
