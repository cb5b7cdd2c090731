#include "distributions/incomplete_gamma.h"

#include <boost/math/special_functions/gamma.hpp>
#include <cmath>
#include <gtest/gtest.h>

#include "distributions/floating_point_faults.h"
#include "oracle.h"

TEST(Incomplete_gamma, starts_at_zero_and_is_one_minus_exp_for_shape_one) {
    EXPECT_EQ(Incomplete_gamma(0, 0.5L), 0);
    for (Extended x : {0.1L, 1.0L, 1.9L, 2.0L, 5.0L, 30.0L})
        EXPECT_NEAR(Incomplete_gamma(x, 1), 1 - std::exp(-x), 1e-11L) << (double)x;
}

TEST(Incomplete_gamma, arguments_are_checked_point_first_then_shape) {
    EXPECT_EQ(Argument_error_of([] { Incomplete_gamma(-1, 2); }).first, 1302);
    EXPECT_EQ(Argument_error_of([] { Incomplete_gamma(1, 0); }).first, 1301);
    EXPECT_EQ(Argument_error_of([] { Incomplete_gamma(3e9L, 1); }).first, 1361);
    EXPECT_EQ(Argument_error_of([] { Incomplete_gamma(1, 3e9L); }).first, 1361);
    EXPECT_EQ(Argument_error_of([] { Incomplete_gamma(-1, -1); }).first, 1302);
}

TEST(Incomplete_gamma, series_and_fraction_agree_with_boost_on_both_sides_of_the_switch) {
    // Error budget: the exp(a ln x - x - Ln_gamma(a)) prefactor carries
    // Lanczos' ~2e-10 relative error.
    for (Extended a : {0.5L, 1.5L, 3.0L, 10.0L, 50.0L, 250.0L, 500.0L})
        for (Extended f : {0.01L, 0.3L, 0.9L, 1.0L, 1.1L, 2.0L, 4.0L})
            for (Extended shift : {0.0L, 1.0L}) {
                const Extended x = a * f + shift;
                EXPECT_NEAR(Incomplete_gamma(x, a), Library_gamma_p(x, a), 2e-10L)
                    << "a " << (double)a << " x " << (double)x;
            }
}

TEST(Incomplete_gamma, the_series_runs_to_its_tolerance_at_large_shapes) {
    // Just below x = a + 1 the series needs far more than 100 terms: P(500,
    // 500) was once that partial sum, 1.3e-5 low. Lanczos' prefactor error
    // leaves some 2e-10.
    for (Extended a : {250.0L, 500.0L, 20000.0L})
        EXPECT_NEAR(Incomplete_gamma(a, a) / boost::math::gamma_p(a, a), 1, 4e-10L) << (double)a;
}

TEST(Incomplete_gamma, the_fraction_is_q_and_the_series_is_p) {
    EXPECT_NEAR(Gamma_fraction(20, 3), boost::math::gamma_q(3.0L, 20.0L), 1e-15L);
    EXPECT_NEAR(Gamma_series(2, 3), boost::math::gamma_p(3.0L, 2.0L), 1e-11L);
}
