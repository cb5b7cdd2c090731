#include "distributions/ln_gamma.h"

#include <boost/math/special_functions/gamma.hpp>
#include <cmath>
#include <gtest/gtest.h>

#include "distributions/floating_point_faults.h"

TEST(Ln_gamma, known_values) {
    EXPECT_NEAR(Ln_gamma(1), 0, 1e-10);
    EXPECT_NEAR(Ln_gamma(2), 0, 1e-10);
    EXPECT_NEAR(Ln_gamma(0.5L), 0.5723649429247001L, 1e-10);
}

TEST(Ln_gamma, lanczos_error_stays_below_2e_10_from_small_to_large_arguments) {
    // The six-term approximation is good to about 2e-10 relative in Gamma,
    // so to about 2e-10 absolute in its logarithm.
    Extended worst = 0;
    for (Extended x = 0.01L; x < 5000; x *= 1.07L)
        worst = std::max(worst, std::fabs(Ln_gamma(x) - boost::math::lgamma(x)));
    EXPECT_LT(worst, 2e-10L);
}

TEST(Ln_gamma, a_non_positive_argument_is_a_fault) {
    EXPECT_THROW(Ln_gamma(-5), EFloating_point_error);
}
