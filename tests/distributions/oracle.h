#pragma once

// Boost.Math as an independent reference, with a policy that returns values
// instead of throwing at the edges of a domain.

#include <boost/math/policies/policy.hpp>
#include <gtest/gtest.h>

#include <boost/math/special_functions/gamma.hpp>

#include "distributions/argument_error.h"

using Oracle_policy = boost::math::policies::policy<
    boost::math::policies::overflow_error<boost::math::policies::ignore_error>,
    boost::math::policies::domain_error<boost::math::policies::ignore_error>,
    boost::math::policies::evaluation_error<boost::math::policies::ignore_error>>;

// Runs `action`, which must raise EArgumentError; returns its id and message.
template <typename Action> std::pair<int, std::string> Argument_error_of(Action action) {
    try {
        action();
    } catch (const EArgumentError& error) {
        return {error.Message_id(), error.what()};
    }
    ADD_FAILURE() << "no EArgumentError was raised";
    return {0, ""};
}

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "distributions/distribution.h"

// Largest gap between the empirical distribution of `draws` values of
// `distribution` and `cdf`.
inline double Kolmogorov_smirnov_distance(tDistribution& distribution, int draws,
                                          const std::function<double(double)>& cdf) {
    std::vector<double> values(draws);
    for (double& value : values)
        value = static_cast<double>(distribution.Random_value());
    std::sort(values.begin(), values.end());
    double distance = 0;
    for (int i = 0; i < draws; ++i) {
        const double f = cdf(values[i]);
        distance = std::max({distance, f - double(i) / draws, double(i + 1) / draws - f});
    }
    return distance;
}

// The 0.1% critical value of the Kolmogorov-Smirnov distance.
inline double Kolmogorov_smirnov_limit(int draws) {
    return 1.95 / std::sqrt(double(draws));
}

// Regularized lower incomplete gamma as the library computes it: Boost's,
// the series and the fraction both running to their tolerance.
inline Extended Library_gamma_p(Extended x, Extended a) {
    return boost::math::gamma_p(a, x);
}
