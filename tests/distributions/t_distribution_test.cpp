#include "distributions/t_distribution.h"

#include <boost/math/distributions/normal.hpp>
#include <boost/math/distributions/students_t.hpp>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

#include "oracle.h"

TEST(T_distribution, closed_forms_for_one_and_two_df) {
    tT_distribution cauchy(1);
    EXPECT_NEAR(cauchy.Cdf(1), 0.75L, 1e-12L);
    EXPECT_NEAR(cauchy.Density(0), 1 / std::numbers::pi_v<Extended>, 1e-10L);
    tT_distribution two(2);
    for (Extended x : {-3.0L, 0.4L, 10.0L})
        EXPECT_NEAR(two.Cdf(x), (1 + x / std::sqrt(2 + x * x)) / 2, 1e-12L);
}

TEST(T_distribution, cdf_is_symmetric_about_zero) {
    for (Extended df : {0.5L, 3.0L, 40.0L, 2000.0L}) {
        tT_distribution t(df);
        EXPECT_EQ(t.Cdf(0), 0.5L);
        for (Extended x : {0.3L, 2.0L, 15.0L})
            EXPECT_NEAR(t.Cdf(-x), 1 - t.Cdf(x), 1e-15L);
    }
}

TEST(T_distribution, moments_exist_only_for_enough_df) {
    EXPECT_EQ(Argument_error_of([] { tT_distribution(1).Mean(); }).first, 1362);
    EXPECT_EQ(tT_distribution(1.5L).Mean(), 0);
    EXPECT_EQ(tT_distribution(3).Variance(), 3);
    EXPECT_EQ(Argument_error_of([] { tT_distribution(2).Variance(); }).first, 1363);
    EXPECT_EQ(Argument_error_of([] { tT_distribution(0); }).first, 1301);
}

TEST(T_distribution, quantiles_with_and_without_a_variance) {
    EXPECT_NEAR(tT_distribution(10).Quantile(0.975L), 2.228138852L, 1e-9L);
    EXPECT_NEAR(tT_distribution(2).Quantile(0.975L), 4.302652730L, 1e-9L);
}

TEST(T_distribution, large_df_keep_the_accuracy_of_small_ones_even_far_in_the_tails) {
    // Published norms reach n in the tens of thousands; the normal limit would
    // be off by a half at t = -5 with 1000 df and entirely at t = -30.
    for (Extended df : {1000.0L, 1000.5L, 10000.0L, 100000.0L, 1000000.0L}) {
        boost::math::students_t_distribution<long double, Oracle_policy> oracle(df);
        tT_distribution t(df);
        for (Extended x : {-30.0L, -5.0L, -1.96L, -0.3L, 0.3L, 1.96L, 5.0L, 30.0L}) {
            EXPECT_NEAR(t.Cdf(x), cdf(oracle, x), 1e-10L) << (double)df << " " << (double)x;
            // The lower tail to its last digits, however small.
            if (x < 0) {
                EXPECT_NEAR(t.Cdf(x) / cdf(oracle, x), 1, 1e-9L) << (double)df;
            }
            EXPECT_NEAR(t.Density(x) / pdf(oracle, x), 1, 1e-9L) << (double)df << " " << (double)x;
        }
        for (Extended p : {0.025L, 0.05L, 0.95L, 0.975L})
            EXPECT_NEAR(t.Quantile(p), quantile(oracle, p), 1e-8L)
                << (double)df << " " << (double)p;
    }
}

TEST(T_distribution, agrees_with_boost_up_to_1000_df) {
    for (Extended df : {0.5L, 1.0L, 2.0L, 3.0L, 7.5L, 30.0L, 497.0L, 1000.0L}) {
        boost::math::students_t_distribution<long double, Oracle_policy> oracle(df);
        tT_distribution t(df);
        for (Extended x : {-1e4L, -50.0L, -5.0L, -1.0L, 0.0L, 0.3L, 2.0L, 8.0L, 300.0L}) {
            EXPECT_NEAR(t.Cdf(x), cdf(oracle, x), 2e-10L) << (double)df << " " << (double)x;
            EXPECT_NEAR(t.Density(x), pdf(oracle, x), 1e-10L) << (double)df << " " << (double)x;
        }
        for (Extended p : {0.001L, 0.1L, 0.5L, 0.9L, 0.999L}) {
            const Extended q = quantile(oracle, p);
            EXPECT_NEAR(t.Quantile(p), q, 1e-8L * std::max(1.0L, std::fabs(q)))
                << (double)df << " " << (double)p;
        }
    }
}

TEST(T_distribution, random_values_follow_the_distribution_for_each_method) {
    // 0.4 and 0.8 use normal over root-gamma with Variate_scale; 1 and 3 the
    // polar method; the rest ratio of uniforms.
    for (Extended df : {0.4L, 0.8L, 1.0L, 2.5L, 3.0L, 12.0L}) {
        tT_distribution t(df);
        const int draws = 4000;
        const double distance =
            Kolmogorov_smirnov_distance(t, draws, [&](double x) { return double(t.Cdf(x)); });
        EXPECT_LT(distance, Kolmogorov_smirnov_limit(draws)) << (double)df;
    }
}

TEST(T_distribution, very_large_df_can_be_constructed_and_sampled) {
    tT_distribution t(1e6L);
    EXPECT_NEAR(t.Variate_scale, std::sqrt(2 / std::exp(1.0L)), 1e-6L);
    EXPECT_NO_THROW(t.Random_value());
}
