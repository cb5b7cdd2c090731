#include "distributions/incomplete_beta.h"

#include <boost/math/special_functions/beta.hpp>
#include <cfenv>
#include <cmath>
#include <gtest/gtest.h>

#include "distributions/floating_point_faults.h"

TEST(Incomplete_beta, ends_and_symmetric_cases) {
    for (Extended a : {0.3L, 1.0L, 7.0L})
        for (Extended b : {0.5L, 2.0L, 40.0L}) {
            EXPECT_EQ(Incomplete_beta(0, a, b), 0);
            EXPECT_EQ(Incomplete_beta(1, a, b), 1);
            EXPECT_EQ(Incomplete_beta(-3, a, b), 0);
        }
    // Up to 1e-10: three Lanczos logarithms enter the prefactor.
    for (Extended x : {0.1L, 0.5L, 0.77L})
        EXPECT_NEAR(Incomplete_beta(x, 1, 1), x, 1e-11L);
    for (Extended a : {0.5L, 3.0L, 100.0L})
        EXPECT_NEAR(Incomplete_beta(0.5L, a, a), 0.5L, 1e-10L);
}

TEST(Incomplete_beta, a_failure_is_raised_and_leaves_the_callers_flags_alone) {
    // A value of 1 in place of the failure would pass for a result.
    const struct {
        Extended x, a, b;
    } failures[] = {
        {0.5L, -1, 2}, {0.5L, 2, 0}, {std::numeric_limits<Extended>::quiet_NaN(), 2, 3}};
    for (const auto& f : failures) {
        tFloating_point_scope scope;
        EXPECT_THROW(Incomplete_beta(f.x, f.a, f.b), EFloating_point_error) << (double)f.a;
        EXPECT_NO_THROW(scope.Check());
    }
}

TEST(Incomplete_beta, agrees_with_boost_over_shapes_and_points) {
    // Within 3e-10: the prefactor uses three Lanczos logarithms.
    for (Extended a : {0.5L, 1.0L, 2.5L, 10.0L, 100.0L, 250.0L})
        for (Extended b : {0.5L, 1.0L, 4.0L, 30.0L, 250.0L})
            for (Extended x : {1e-6L, 0.01L, 0.2L, 0.5L, 0.8L, 0.99L, 0.999999L})
                EXPECT_NEAR(Incomplete_beta(x, a, b), boost::math::ibeta(a, b, x), 3e-10L)
                    << "a " << (double)a << " b " << (double)b << " x " << (double)x;
}
