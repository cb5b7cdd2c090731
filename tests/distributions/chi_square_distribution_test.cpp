#include "distributions/chi_square_distribution.h"

#include <boost/math/distributions/chi_squared.hpp>
#include <cmath>
#include <gtest/gtest.h>

#include "oracle.h"

TEST(Chi_square_distribution, two_degrees_of_freedom_is_exponential_with_mean_two) {
    tChi_square_distribution chi(2);
    EXPECT_EQ(chi.Degrees_of_freedom, 2);
    EXPECT_EQ(chi.Mean(), 2);
    EXPECT_EQ(chi.Variance(), 4);
    for (Extended x : {0.1L, 1.0L, 7.0L})
        EXPECT_NEAR(chi.Cdf(x), 1 - std::exp(-x / 2), 1e-11L);
}

TEST(Chi_square_distribution, one_degree_of_freedom_quantile) {
    tChi_square_distribution chi(1);
    EXPECT_NEAR(chi.Quantile(0.95L), 3.841458821L, 1e-9L);
    EXPECT_NEAR(chi.Cdf(3.841458821L), 0.95L, 1e-10L);
    EXPECT_EQ(chi.Cdf(0), 0); // shape 1/2: zero is outside the support
}

TEST(Chi_square_distribution, wilson_hilferty_values_above_shape_500) {
    tChi_square_distribution chi(2000);
    EXPECT_NEAR(chi.Cdf(2000), 0.5042051L, 5e-8L);
    EXPECT_NEAR(chi.Cdf(1900), 0.0550540L, 5e-8L);
    EXPECT_NEAR(chi.Cdf(2100), 0.9413299L, 5e-8L);
    Extended previous = 0;
    for (Extended x = 1700; x <= 2300; x += 25) {
        const Extended p = chi.Cdf(x);
        EXPECT_GT(p, previous);
        previous = p;
    }
}

TEST(Chi_square_distribution, zero_degrees_of_freedom_are_refused_as_a_zero_shape) {
    auto [id, message] = Argument_error_of([] { tChi_square_distribution(0); });
    EXPECT_EQ(id, 1301);
    EXPECT_EQ(message.back(), '0');
}

TEST(Chi_square_distribution, agrees_with_boost_up_to_1000_degrees_of_freedom) {
    for (Extended df : {1.0L, 2.0L, 3.0L, 10.0L, 97.0L, 500.0L, 1000.0L}) {
        boost::math::chi_squared_distribution<long double, Oracle_policy> oracle(df);
        tChi_square_distribution chi(df);
        for (Extended f : {0.01L, 0.3L, 0.8L, 1.0L, 1.3L, 2.0L, 4.0L})
            EXPECT_NEAR(chi.Cdf(df * f), Library_gamma_p(df * f / 2, df / 2), 2e-10L) << (double)df;
        for (Extended p : {1e-6L, 0.05L, 0.5L, 0.95L, 0.999999L})
            if (df < 200) { // above, the truncated gamma series moves the quantile
                EXPECT_NEAR(chi.Quantile(p), quantile(oracle, p), 1e-8L * df) << (double)df;
            }
    }
}
