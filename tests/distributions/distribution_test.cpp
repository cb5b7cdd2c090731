// The shared machinery of the family: parameter validation, the default Cdf
// and Interval_probability, and the generic quantile search.
#include "distributions/distribution.h"

#include <gtest/gtest.h>

#include "distributions/beta_distribution.h"
#include "distributions/f_distribution.h"
#include "distributions/gamma_distribution.h"
#include "distributions/normal_distribution.h"
#include "oracle.h"

TEST(Distribution, quantile_at_the_ends_returns_the_support_ends_without_searching) {
    tNormal_distribution normal(0, 1);
    EXPECT_EQ(normal.Quantile(0), -2147483647);
    EXPECT_EQ(normal.Quantile(1), 2147483647);
    EXPECT_EQ(normal.Quantile(3e-12L), -2147483647);
    tBeta_distribution beta(2, 5);
    EXPECT_EQ(beta.Quantile(0), 0);
    EXPECT_EQ(beta.Quantile(1), 1);
}

TEST(Distribution, quantile_refuses_probabilities_outside_zero_to_one) {
    tNormal_distribution normal(0, 1);
    auto [id, message] = Argument_error_of([&] { normal.Quantile(-0.1L); });
    EXPECT_EQ(id, 1302);
    EXPECT_EQ(message.back(), '0');
    std::tie(id, message) = Argument_error_of([&] { normal.Quantile(1.1L); });
    EXPECT_EQ(id, 1315);
    EXPECT_EQ(message.back(), '1');
}

TEST(Distribution, quantile_without_a_mean_searches_down_from_the_middle_of_the_support) {
    tF_distribution f(3, 2);
    ASSERT_FALSE(f.Has_mean());
    const Extended x = f.Quantile(0.5L);
    EXPECT_NEAR(f.Cdf(x), 0.5L, 1e-12L);
    EXPECT_NEAR(x, 1.134942923L, 1e-9L);
}

TEST(Distribution, quantile_inverts_cdf_in_both_tails) {
    tGamma_distribution gamma(3, 2);
    for (Extended p : {1e-9L, 0.01L, 0.5L, 0.99L, 1 - 1e-9L})
        EXPECT_NEAR(gamma.Cdf(gamma.Quantile(p)), p, 1e-12L) << (double)p;
}

TEST(Distribution, interval_probability_clamps_and_is_zero_for_a_reversed_interval) {
    tNormal_distribution normal(0, 1);
    EXPECT_EQ(normal.Interval_probability(1, -1), 0);
    EXPECT_NEAR(normal.Interval_probability(-1.96L, 1.96L), 0.9500042097L, 1e-10L);
    EXPECT_NEAR(normal.Interval_probability(1, 2147483647), 1 - normal.Cdf(1), 1e-15L);
    EXPECT_NEAR(normal.Interval_probability(-2147483647, 1), normal.Cdf(1), 1e-15L);
}

TEST(Distribution, cdf_at_a_support_end_outside_the_support_is_zero_and_terminates) {
    tBeta_distribution beta(0.5L, 2);
    EXPECT_EQ(beta.Cdf(0), 0);
    tGamma_distribution gamma(0.5L, 1);
    EXPECT_EQ(gamma.Cdf(0), 0);
    EXPECT_EQ(gamma.Interval_probability(0, 0), 0);
    tF_distribution f(1, 5);
    EXPECT_EQ(f.Cdf(0), 0);
}

TEST(Distribution, parameters_are_validated_in_order_with_their_own_ids) {
    EXPECT_EQ(Argument_error_of([] { tNormal_distribution(0, 0); }).first, 1305);
    EXPECT_EQ(Argument_error_of([] { tNormal_distribution(0, 2147483647); }).first, 1303);
    EXPECT_EQ(Argument_error_of([] { tNormal_distribution(-2147483647, 1); }).first, 1301);
    // The first failing parameter wins.
    EXPECT_EQ(Argument_error_of([] { tBeta_distribution(0, 0); }).first, 1301);
    // Whole-number parameters: below the upper limit (1299 + 4i) and whole (1300 + 4i).
    EXPECT_EQ(Argument_error_of([] { tF_distribution(2.5L, 10); }).first, 1304);
    EXPECT_EQ(Argument_error_of([] { tF_distribution(3, 10.5L); }).first, 1308);
    EXPECT_EQ(Argument_error_of([] { tF_distribution(3e9L, 10); }).first, 1303);
    EXPECT_EQ(Argument_error_of([] { tF_distribution(3, 3e9L); }).first, 1307);
}

TEST(Distribution, a_live_object_takes_new_parameters) {
    tNormal_distribution normal(0, 1);
    normal.Set_parameters(10, 4, 0);
    EXPECT_EQ(normal.Standard_deviation(), 2);
    EXPECT_EQ(normal.Support_lower, -2147483647);
    EXPECT_EQ(normal.Parameters[3].Value, 0);
}
