#pragma once

// Test oracle: the non-centrality delta with P(T <= t) = p for the
// non-central t, from Boost, far tighter than the product's 1e-6.

#include <boost/math/distributions/non_central_t.hpp>

#include <cmath>

inline double Boost_noncentrality(double df, double t, double p) {
    const auto excess = [&](double delta) {
        return boost::math::cdf(boost::math::non_central_t(df, delta), t) - p;
    };
    // The distribution function falls as delta rises.
    double lo = t - 10, hi = t + 10;
    while (excess(lo) < 0)
        lo = lo - 2 * (hi - lo);
    while (excess(hi) > 0)
        hi = hi + 2 * (hi - lo);
    while (hi - lo > 1e-11 * (1 + std::fabs(lo))) {
        const double mid = (lo + hi) / 2;
        (excess(mid) > 0 ? lo : hi) = mid;
    }
    return (lo + hi) / 2;
}
