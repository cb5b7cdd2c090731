#include "distributions/gamma_distribution.h"

#include <boost/math/distributions/gamma.hpp>
#include <boost/math/distributions/normal.hpp>
#include <cmath>
#include <gtest/gtest.h>

#include "distributions/numeric_utilities.h"
#include "oracle.h"

TEST(Gamma_distribution, shape_one_is_the_exponential) {
    tGamma_distribution gamma(1, 2);
    EXPECT_EQ(gamma.Density(0), 2);
    EXPECT_NEAR(gamma.Cdf(1), 0.8646647168L, 1e-10L);
    EXPECT_EQ(gamma.Mean(), 0.5L);
    EXPECT_EQ(gamma.Variance(), 0.25L);
}

TEST(Gamma_distribution, shape_below_one_leaves_zero_out_of_the_support) {
    tGamma_distribution gamma(0.5L, 1);
    EXPECT_FALSE(gamma.In_support(0));
    EXPECT_EQ(gamma.Density(0), 0);
    EXPECT_EQ(gamma.Cdf(0), 0);
    EXPECT_EQ(gamma.Cdf(-1), 0);
}

TEST(Gamma_distribution, invalid_parameters_and_points) {
    EXPECT_EQ(Argument_error_of([] { tGamma_distribution(0, 1); }).first, 1301);
    EXPECT_EQ(Argument_error_of([] { tGamma_distribution(1, -1); }).first, 1305);
    tGamma_distribution gamma(2, 4);
    EXPECT_EQ(Argument_error_of([&] { gamma.Cdf(1e9L); }).first, 1361);
}

TEST(Gamma_distribution, agrees_with_boost_up_to_shape_500) {
    for (Extended shape : {0.3L, 1.0L, 2.5L, 20.0L, 150.0L, 500.0L})
        for (Extended rate : {0.5L, 3.0L}) {
            boost::math::gamma_distribution<long double, Oracle_policy> oracle(shape, 1 / rate);
            tGamma_distribution gamma(shape, rate);
            const Extended sd = std::sqrt(shape) / rate, mean = shape / rate;
            for (Extended z : {-4.0L, -2.0L, -0.5L, 0.0L, 1.0L, 3.0L, 8.0L, 20.0L}) {
                const Extended x = std::max(mean + z * sd, mean * 1e-3L);
                EXPECT_NEAR(gamma.Cdf(x), Library_gamma_p(rate * x, shape), 2e-10L);
                const Extended density = pdf(oracle, x);
                EXPECT_NEAR(gamma.Density(x), density, 2e-10L * std::max(1.0L, density));
            }
            for (Extended p : {1e-6L, 0.05L, 0.5L, 0.95L, 1 - 1e-6L}) {
                const Extended q = gamma.Quantile(p);
                // Above shape 100 the truncated series moves the quantile
                // itself, so there it is checked as the inverse of Cdf.
                if (shape < 100) {
                    EXPECT_NEAR(q, quantile(oracle, p), 1e-8L * std::max(1.0L, mean))
                        << (double)shape << " " << (double)rate << " " << (double)p;
                } else {
                    EXPECT_NEAR(gamma.Cdf(q), p, 1e-12L);
                }
            }
        }
}

TEST(Gamma_distribution, above_shape_500_cdf_is_the_wilson_hilferty_approximation) {
    // Checked against the approximation's own formula (normal at the scaled
    // cube root), not the exact gamma, which it only approaches.
    boost::math::normal_distribution<long double, Oracle_policy> standard;
    for (Extended shape : {500.5L, 1000.0L, 50000.0L}) {
        tGamma_distribution gamma(shape, 2);
        for (Extended z : {-6.0L, -1.0L, 0.0L, 1.5L, 6.0L}) {
            const Extended x = (shape + z * std::sqrt(shape)) / 2;
            const Extended w = std::cbrt(2 * x / shape);
            const Extended expected =
                cdf(standard, (w - 1 + 1 / (9 * shape)) * std::sqrt(9 * shape));
            EXPECT_NEAR(gamma.Cdf(x), expected, 5e-12L) << (double)shape << " " << (double)z;
        }
    }
}

TEST(Gamma_distribution, random_values_follow_the_distribution_for_each_method) {
    for (Extended shape : {0.3L, 1.0L, 1.2L, 4.0L, 60.0L}) {
        tGamma_distribution gamma(shape, 2);
        const int draws = 4000;
        const double distance = Kolmogorov_smirnov_distance(
            gamma, draws, [&](double x) { return double(gamma.Cdf(x)); });
        EXPECT_LT(distance, Kolmogorov_smirnov_limit(draws)) << (double)shape;
    }
}
