#include "distribution.h"

#include <algorithm>
#include <cmath>

#include "argument_error.h"
#include "floating_point_faults.h"
#include "numeric_utilities.h"
#include "uniform_random.h"

void tDistribution::Define_parameter(int i, bool is_integer, Extended lower_limit,
                                     Extended upper_limit) {
    Parameters[i].Is_integer = is_integer;
    Parameters[i].Lower_limit = lower_limit;
    Parameters[i].Upper_limit = upper_limit;
}

bool tDistribution::Set_parameters(Extended p1, Extended p2, Extended p3) {
    tFloating_point_scope scope;
    Parameters[1].Value = p1;
    Parameters[2].Value = p2;
    Parameters[3].Value = p3;
    for (int i = 1; i <= Parameter_count; ++i) {
        const tDistribution_parameter& parameter = Parameters[i];
        if (parameter.Is_integer) {
            Check_bound(1299 + 4 * i, parameter.Value, parameter.Upper_limit);
            Raise_if(!Is_whole_number(parameter.Value), 1300 + 4 * i);
        } else {
            Check_bound(1297 + 4 * i, parameter.Value, parameter.Lower_limit);
            Check_bound(1303, parameter.Value, parameter.Upper_limit);
        }
    }
    Support_lower = -Unbounded;
    Support_upper = Unbounded;
    scope.Check();
    return true;
}

bool tDistribution::In_support(Extended x) const {
    return Support_lower <= x && x <= Support_upper;
}

Extended tDistribution::Density(Extended) const {
    return 0;
}

Extended tDistribution::Point_probability(Extended) const {
    return 0;
}

Extended tDistribution::Cdf(Extended x) const {
    tFloating_point_scope scope;
    if (x < Support_lower) return 0;
    if (x >= Support_upper) return 1;
    // The lower end itself, when a class leaves it out of its support: the
    // interval rule would ask Cdf at the same point again without end. The
    // probability up to and including the end is the mass at it.
    if (x == Support_lower) return scope.Checked(std::clamp<Extended>(Point_probability(x), 0, 1));
    return scope.Checked(Interval_probability(Support_lower, x));
}

Extended tDistribution::Interval_probability(Extended a, Extended b) const {
    tFloating_point_scope scope;
    if (a < Support_lower) a = Support_lower;
    if (b > Support_upper) b = Support_upper;
    Extended r;
    if (b >= Unbounded)
        r = 1 - Cdf(a) + Point_probability(a);
    else if (a <= -Unbounded)
        r = Cdf(b);
    else
        r = Cdf(b) - Cdf(a) + Point_probability(a);
    return scope.Checked(std::clamp<Extended>(r, 0, 1));
}

bool tDistribution::Has_mean() const {
    return true;
}

bool tDistribution::Has_variance() const {
    return true;
}

Extended tDistribution::Standard_deviation() const {
    tFloating_point_scope scope;
    Raise_if(!Has_variance(), 1363);
    return scope.Checked(std::sqrt(Variance()));
}

Extended tDistribution::Random_value() {
    tFloating_point_scope scope;
    return scope.Checked(Quantile(Uniform_random()));
}

namespace {
// Each expansion moves a bracket end 8 times as far from the centre, so some
// 5500 reach a support end even from the smallest step Extended holds (but a
// step lost in the rounding of the centre never moves); the Newton steps with
// their bisections took at most 45 rounds over the tests. Far beyond both.
constexpr long Max_quantile_expansions = 100000;
constexpr long Max_quantile_steps = 100000;
} // namespace

void tContinuous_distribution::Raise_quantile_not_converged(const char* loop, long count,
                                                            const char* unit, Extended p) const {
    std::vector<tNamed_argument> arguments{{"p", p}};
    static const char* const names[] = {"", "parameter 1", "parameter 2", "parameter 3"};
    for (int i = 1; i <= Parameter_count && i <= 3; ++i)
        arguments.push_back({names[i], Parameters[i].Value});
    Raise_not_converged("Quantile", loop, count, unit, arguments);
}

Extended tContinuous_distribution::Quantile(Extended p) const {
    tFloating_point_scope scope;
    Check_bound(1302, p, 0);
    if (Nearly_equal_unscoped(p, 0)) return Support_lower;
    Check_bound(1315, p, 1);
    if (Nearly_equal_unscoped(p, 1)) return Support_upper;

    const Extended m = Has_mean() ? Mean() : (Support_lower + Support_upper) / 2;
    const Extended s = Has_variance() ? 2 * Standard_deviation() : 8;

    Extended hi = std::min(Support_upper, m + s);
    Extended lo = std::max(Support_lower, m - s);
    // Each expansion stops at a support end: there is nothing beyond it.
    long expansions = 0;
    while (hi < Support_upper && Cdf(hi) < p) {
        if (++expansions > Max_quantile_expansions)
            Raise_quantile_not_converged("bracket expansion", Max_quantile_expansions, "steps", p);
        lo = hi;
        hi = m + 8 * (hi - m);
        if (hi > Support_upper) hi = Support_upper;
    }
    // Also after clamping at the upper end of the support: the bracket may
    // then still lie wholly above the quantile. (After an upward expansion
    // Cdf(lo) < p, so this loop does nothing.)
    while (lo > Support_lower && Cdf(lo) > p) {
        if (++expansions > Max_quantile_expansions)
            Raise_quantile_not_converged("bracket expansion", Max_quantile_expansions, "steps", p);
        hi = lo;
        lo = m + 8 * (lo - m);
        if (lo < Support_lower) lo = Support_lower;
    }

    Extended x = (lo + hi) / 2;
    Extended x_old;
    long steps = 0;
    do {
        if (++steps > Max_quantile_steps)
            Raise_quantile_not_converged("search", Max_quantile_steps, "steps", p);
        const Extended d = Cdf(x) - p;
        const Extended f = Density(x);
        x_old = x;
        if (d <= 0) lo = x;
        if (d >= 0) hi = x;
        if (std::fabs(2 * d) < (hi - lo) * f)
            x = x - d / f;
        else
            x = (lo + hi) / 2;
        // A non-finite step would never converge: stop at once.
        Require_finite(x);
    } while (!(std::fabs(x - x_old) < Tolerance));
    return scope.Checked(x);
}
