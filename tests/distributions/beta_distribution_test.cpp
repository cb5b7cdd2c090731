#include "distributions/beta_distribution.h"

#include <boost/math/distributions/beta.hpp>
#include <gtest/gtest.h>

#include "oracle.h"

TEST(Beta_distribution, one_one_is_the_uniform_distribution) {
    tBeta_distribution beta(1, 1);
    EXPECT_EQ(beta.Density(0), 1);
    EXPECT_EQ(beta.Density(1), 1);
    EXPECT_NEAR(beta.Density(0.42L), 1, 1e-10L);
    EXPECT_NEAR(beta.Cdf(0.3L), 0.3L, 1e-11L);
    EXPECT_NEAR(beta.Quantile(0.3L), 0.3L, 1e-11L);
    EXPECT_EQ(beta.Cdf(-0.5L), 0);
    EXPECT_EQ(beta.Cdf(1.5L), 1);
}

TEST(Beta_distribution, moments_and_a_closed_form_cdf) {
    tBeta_distribution beta(2, 3);
    EXPECT_NEAR(beta.Mean(), 0.4L, 1e-18L);
    EXPECT_NEAR(beta.Variance(), 0.04L, 1e-18L);
    EXPECT_NEAR(beta.Cdf(0.4L), 0.5248L, 1e-11L); // Lanczos error of the prefactor
}

TEST(Beta_distribution, ends_with_an_unbounded_density_are_outside_the_support) {
    tBeta_distribution beta(2, 0.5L);
    EXPECT_FALSE(beta.In_support(1));
    EXPECT_EQ(beta.Cdf(1), 1);
    EXPECT_EQ(beta.Density(1), 0);
    EXPECT_EQ(beta.Density(0), 0);
    tBeta_distribution arcsine(0.5L, 0.5L);
    EXPECT_FALSE(arcsine.In_support(0));
    EXPECT_EQ(arcsine.Density(0), 0);
    EXPECT_EQ(arcsine.Density(1), 0);
    EXPECT_EQ(arcsine.Cdf(0), 0);
    EXPECT_EQ(arcsine.Quantile(0), 0);
    EXPECT_EQ(arcsine.Quantile(1), 1);
}

TEST(Beta_distribution, a_shape_of_zero_is_refused) {
    auto [id, message] = Argument_error_of([] { tBeta_distribution(0, 2); });
    EXPECT_EQ(id, 1301);
    EXPECT_EQ(message.back(), '0');
}

TEST(Beta_distribution, agrees_with_boost_over_shapes) {
    // Cdf within 3e-10, the Lanczos error of the incomplete beta prefactor;
    // the density carries it too, times the density's size.
    for (Extended a : {0.5L, 1.0L, 2.0L, 7.5L, 60.0L})
        for (Extended b : {0.5L, 1.0L, 3.0L, 40.0L}) {
            boost::math::beta_distribution<long double, Oracle_policy> oracle(a, b);
            tBeta_distribution beta(a, b);
            for (Extended x : {1e-4L, 0.05L, 0.3L, 0.5L, 0.7L, 0.95L, 0.9999L}) {
                EXPECT_NEAR(beta.Cdf(x), cdf(oracle, x), 3e-10L);
                const Extended density = pdf(oracle, x);
                EXPECT_NEAR(beta.Density(x), density, 3e-10L * std::max(1.0L, density));
            }
            for (Extended p : {0.001L, 0.2L, 0.5L, 0.9L, 0.999L})
                EXPECT_NEAR(beta.Quantile(p), quantile(oracle, p), 1e-8L)
                    << (double)a << " " << (double)b << " " << (double)p;
        }
}

TEST(Beta_distribution, random_values_follow_the_distribution) {
    for (auto [a, b] : {std::pair{0.4L, 0.7L}, {2.0L, 5.0L}, {30.0L, 1.5L}}) {
        tBeta_distribution beta(a, b);
        const int draws = 4000;
        const double distance =
            Kolmogorov_smirnov_distance(beta, draws, [&](double x) { return double(beta.Cdf(x)); });
        EXPECT_LT(distance, Kolmogorov_smirnov_limit(draws)) << (double)a << " " << (double)b;
    }
}
