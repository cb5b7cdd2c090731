#include "inference/noncentrality_search.h"

#include <cmath>

#include "distributions/floating_point_faults.h"
#include "distributions/non_central_t_distribution.h"
#include "inference/inference_errors.h"

namespace {

// Cdf(t) - p at a non-centrality delta. The distribution function rises with
// x, so this is positive exactly when t lies above the p-quantile; and it
// falls as delta rises, so it is positive exactly below the wanted delta.
class tExcess {
public:
    tExcess(Extended df, Extended t, Extended p) : df_(df), t_(t), p_(p), distribution_(df, 1) {}
    Extended operator()(Extended delta) {
        distribution_.Set_parameters(df_, delta, 0);
        return distribution_.Cdf(t_) - p_;
    }

private:
    const Extended df_, t_, p_;
    tNon_central_t_distribution distribution_;
};

// A bracket [lo, hi] of the wanted delta, with the excess at both ends.
struct tBracket {
    Extended lo, hi;
    Extended excess_lo, excess_hi;
};

// Doubling from [-1, 1]: upwards while t lies above the quantile at hi, then,
// if that never moved lo, downwards while t lies below the quantile at lo.
// The doubling is capped: past Max_noncentrality the series behind each
// evaluation grows too long, and a data-entry slip can ask for any size.
tBracket Bracket_by_doubling(tExcess& excess) {
    tBracket b{-1, 1, 0, excess(1)};
    while (b.excess_hi > 0) {
        if (2 * b.hi > Max_noncentrality) throw EDiscrepancy_too_extreme();
        b.lo = b.hi;
        b.excess_lo = b.excess_hi;
        b.hi = 2 * b.hi;
        b.excess_hi = excess(b.hi);
    }
    if (b.lo < 0) {
        b.excess_lo = excess(b.lo);
        while (b.excess_lo < 0) {
            if (-2 * b.lo > Max_noncentrality) throw EDiscrepancy_too_extreme();
            b.hi = b.lo;
            b.excess_hi = b.excess_lo;
            b.lo = 2 * b.lo;
            b.excess_lo = excess(b.lo);
        }
    }
    return b;
}

// Bisection until the bracket is narrower than 1e-6; `below_root`(mid) says
// whether mid lies below the wanted delta. Returns the last midpoint tried.
template <typename Below_root> Extended Bisect(Extended lo, Extended hi, Below_root below_root) {
    Extended mid = 0;
    do {
        mid = (lo + hi) / 2;
        if (below_root(mid))
            lo = mid;
        else
            hi = mid;
    } while (hi - lo >= 0.000001L);
    return mid;
}

} // namespace

Extended Noncentrality_for_quantile_stepwise(Extended df, Extended t, Extended p) {
    tFloating_point_scope scope;
    Require_finite(t); // an infinite target is a fault upstream, not an extreme case
    tExcess excess(df, t, p);
    const tBracket bracket = Bracket_by_doubling(excess);
    const Extended mid =
        Bisect(bracket.lo, bracket.hi, [&excess](Extended mid) { return excess(mid) > 0; });
    return scope.Checked(mid);
}

Extended Noncentrality_for_quantile(Extended df, Extended t, Extended p) {
    return Noncentrality_for_quantile_stepwise(df, t, p);
}
