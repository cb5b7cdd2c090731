#include "inference/noncentrality_search.h"

#include <cmath>

#include "distributions/floating_point_faults.h"
#include "distributions/non_central_t_distribution.h"
#include "inference/inference_errors.h"

Extended Noncentrality_for_quantile(Extended df, Extended t, Extended p) {
    tFloating_point_scope scope;
    Require_finite(t); // an infinite target is a fault upstream, not an extreme case
    Extended lo = -1;
    Extended hi = 1;
    tNon_central_t_distribution distribution(df, hi);

    // The doubling is capped: past Max_noncentrality the series behind each
    // quantile grows too long, and a data-entry slip can ask for any size.
    while (t > distribution.Quantile(p)) {
        if (2 * hi > Max_noncentrality) throw EDiscrepancy_too_extreme();
        lo = hi;
        hi = 2 * hi;
        distribution.Set_parameters(df, hi, 0);
    }
    if (lo < 0) {
        distribution.Set_parameters(df, lo, 0);
        while (t < distribution.Quantile(p)) {
            if (-2 * lo > Max_noncentrality) throw EDiscrepancy_too_extreme();
            hi = lo;
            lo = 2 * lo;
            distribution.Set_parameters(df, lo, 0);
        }
    }

    Extended mid = 0;
    do {
        mid = (lo + hi) / 2;
        distribution.Set_parameters(df, mid, 0);
        if (t > distribution.Quantile(p))
            lo = mid;
        else
            hi = mid;
    } while (hi - lo >= 0.000001L);
    return scope.Checked(mid);
}
