#include "distributions/f_distribution.h"

#include <boost/math/distributions/fisher_f.hpp>
#include <gtest/gtest.h>

#include "distributions/chi_square_distribution.h"
#include "oracle.h"

TEST(F_distribution, table_quantiles) {
    tF_distribution f(4, 10);
    EXPECT_NEAR(f.Cdf(3.478049691L), 0.95L, 1e-9L);
    EXPECT_NEAR(f.Quantile(0.95L), 3.478049691L, 1e-9L);
    EXPECT_NEAR(tF_distribution(1, 10).Quantile(0.95L), 4.964602744L, 1e-9L);
    EXPECT_NEAR(tF_distribution(3, 2).Quantile(0.5L), 1.134942923L, 1e-9L);
}

TEST(F_distribution, one_and_one_degrees_of_freedom) {
    tF_distribution f(1, 1);
    EXPECT_NEAR(f.Cdf(1), 0.5L, 1e-11L);
    EXPECT_FALSE(f.In_support(0));
    EXPECT_EQ(f.Cdf(0), 0);
}

TEST(F_distribution, moments_exist_only_for_enough_denominator_df) {
    tF_distribution f(5, 20);
    EXPECT_NEAR(f.Mean(), 1.1111111111L, 1e-10L);
    EXPECT_NEAR(f.Variance(), 0.7098765432L, 1e-10L);
    tF_distribution heavy(3, 2);
    EXPECT_FALSE(heavy.Has_mean());
    EXPECT_EQ(Argument_error_of([&] { heavy.Mean(); }).first, 1362);
    EXPECT_EQ(Argument_error_of([&] { heavy.Standard_deviation(); }).first, 1363);
    EXPECT_EQ(Argument_error_of([] { tF_distribution(3, 4).Standard_deviation(); }).first, 1363);
}

TEST(F_distribution, density_at_zero_depends_on_the_numerator_df) {
    EXPECT_NEAR(tF_distribution(2, 7).Density(0), 1, 1e-10L);
    EXPECT_EQ(tF_distribution(4, 7).Density(0), 0);
}

TEST(F_distribution, invalid_degrees_of_freedom) {
    EXPECT_EQ(Argument_error_of([] { tF_distribution(2.5L, 10); }).first, 1304);
    auto [id, message] = Argument_error_of([] { tF_distribution(0, 10); });
    EXPECT_EQ(id, 1301);
    EXPECT_EQ(message.back(), '0');
    std::tie(id, message) = Argument_error_of([] { tF_distribution(3, 0); });
    EXPECT_EQ(id, 1305);
    EXPECT_EQ(message.back(), '0');
}

TEST(F_distribution, large_degrees_of_freedom_keep_their_accuracy_in_the_upper_tail) {
    // The overall test of a regression on published norms: k numerator and
    // up to a million denominator degrees of freedom. The chi-square limit
    // would be 19% off at F = 10 with 1000 df.
    for (Extended df2 : {1001.0L, 10000.0L, 100000.0L, 999995.0L})
        for (Extended df1 : {1.0L, 3.0L, 5.0L}) {
            boost::math::fisher_f_distribution<long double, Oracle_policy> oracle(df1, df2);
            tF_distribution f(df1, df2);
            for (Extended x : {0.5L, 2.0L, 10.0L, 40.0L}) {
                EXPECT_NEAR(f.Cdf(x), cdf(oracle, x), 1e-10L)
                    << (double)df1 << " " << (double)df2 << " " << (double)x;
                // The p value of the overall test, 1 - Cdf, to many digits
                // while it is large enough to be printed.
                const Extended upper = cdf(complement(oracle, x));
                if (upper > 1e-6L) {
                    EXPECT_NEAR((1 - f.Cdf(x)) / upper, 1, 1e-8L);
                }
            }
        }
    tF_distribution many_numerator(5000, 12);
    EXPECT_EQ(many_numerator.Cdf(0), 0);
    boost::math::fisher_f_distribution<long double, Oracle_policy> oracle(5000, 12);
    EXPECT_NEAR(many_numerator.Cdf(2), cdf(oracle, 2.0L), 1e-11L);
}

TEST(F_distribution, agrees_with_boost_up_to_1000_degrees_of_freedom) {
    for (Extended df1 : {1.0L, 2.0L, 5.0L, 30.0L, 497.0L, 1000.0L})
        for (Extended df2 : {1.0L, 3.0L, 10.0L, 120.0L, 1000.0L}) {
            boost::math::fisher_f_distribution<long double, Oracle_policy> oracle(df1, df2);
            tF_distribution f(df1, df2);
            for (Extended x : {1e-3L, 0.2L, 0.9L, 1.0L, 1.5L, 4.0L, 50.0L, 1e4L}) {
                EXPECT_NEAR(f.Cdf(x), cdf(oracle, x), 3e-10L);
                const Extended density = pdf(oracle, x);
                EXPECT_NEAR(f.Density(x), density, 3e-10L * std::max(1.0L, density));
            }
            for (Extended p : {0.01L, 0.5L, 0.95L}) {
                const Extended q = quantile(oracle, p);
                EXPECT_NEAR(f.Quantile(p), q, 1e-8L * std::max(1.0L, q))
                    << (double)df1 << " " << (double)df2 << " " << (double)p;
            }
        }
}

TEST(F_distribution, random_values_follow_the_distribution) {
    tF_distribution f(4, 9);
    const int draws = 4000;
    const double distance =
        Kolmogorov_smirnov_distance(f, draws, [&](double x) { return double(f.Cdf(x)); });
    EXPECT_LT(distance, Kolmogorov_smirnov_limit(draws));
}
