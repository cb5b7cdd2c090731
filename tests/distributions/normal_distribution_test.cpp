#include "distributions/normal_distribution.h"

#include <boost/math/distributions/normal.hpp>
#include <cmath>
#include <gtest/gtest.h>

#include "distributions/uniform_random.h"
#include "oracle.h"

TEST(Normal_distribution, standard_values) {
    tNormal_distribution normal(0, 1);
    EXPECT_EQ(normal.Cdf(0), 0.5L);
    EXPECT_NEAR(normal.Cdf(1.96L), 0.97500210485L, 5e-12L);
    EXPECT_NEAR(normal.Cdf(-1.96L), 1 - normal.Cdf(1.96L), 1e-15L);
    EXPECT_NEAR(normal.Density(0), 0.3989422804L, 1e-10L);
    EXPECT_NEAR(normal.Quantile(0.975L), 1.959963985L, 1e-9L);
    EXPECT_NEAR(normal.Quantile(0.5L), 0, 1e-12L);
}

TEST(Normal_distribution, mean_and_variance_shift_and_scale) {
    tNormal_distribution normal(10, 4);
    tNormal_distribution standard(0, 1);
    EXPECT_EQ(normal.Standard_deviation(), 2);
    EXPECT_NEAR(normal.Cdf(12), standard.Cdf(1), 1e-15L);
    EXPECT_NEAR(normal.Density(12), standard.Density(1) / 2, 1e-15L);
}

TEST(Normal_distribution, points_beyond_the_support_and_beyond_the_gamma_range) {
    tNormal_distribution normal(0, 1);
    EXPECT_EQ(normal.Cdf(2147483648.0L), 1);
    EXPECT_EQ(normal.Cdf(-2147483648.0L), 0);
    EXPECT_EQ(Argument_error_of([&] { normal.Cdf(2147483647); }).first, 1361);
    auto [id, message] = Argument_error_of([] { tNormal_distribution(0, 0); });
    EXPECT_EQ(id, 1305);
    EXPECT_EQ(message.back(), '0');
}

TEST(Normal_distribution, agrees_with_boost_far_into_both_tails) {
    boost::math::normal_distribution<long double, Oracle_policy> oracle(1.5L, 2.0L);
    tNormal_distribution normal(1.5L, 4);
    for (Extended z = -38; z <= 38; z += 0.37L) {
        const Extended x = 1.5L + 2 * z;
        EXPECT_NEAR(normal.Cdf(x), cdf(oracle, x), 1e-10L) << (double)x;
        EXPECT_NEAR(normal.Density(x), pdf(oracle, x), 1e-10L) << (double)x;
    }
    for (Extended p : {1e-10L, 1e-6L, 0.01L, 0.3L, 0.5L, 0.8L, 0.999L, 1 - 1e-9L})
        EXPECT_NEAR(normal.Quantile(p), quantile(oracle, p), 1e-8L) << (double)p;
}

TEST(Normal_distribution, first_variate_after_start_and_its_distribution) {
    Reset_uniform_random();
    tNormal_distribution normal(0, 1);
    EXPECT_NEAR(normal.Random_value(), -1.0674340313L, 5e-11L);
    const int draws = 5000;
    const double distance =
        Kolmogorov_smirnov_distance(normal, draws, [&](double x) { return double(normal.Cdf(x)); });
    EXPECT_LT(distance, Kolmogorov_smirnov_limit(draws));
}
