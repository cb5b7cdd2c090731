#include "distributions/numeric_utilities.h"

#include <gtest/gtest.h>

#include "distributions/floating_point_faults.h"

TEST(Numeric_utilities, nearly_equal_is_a_strict_absolute_test) {
    EXPECT_TRUE(Nearly_equal(1, 1 + 4e-12L));
    EXPECT_FALSE(Nearly_equal(1, 1 + 6e-12L));
    EXPECT_FALSE(Nearly_equal(1e6L, 1e6L + 1e-6L)); // absolute, not relative
}

TEST(Numeric_utilities, whole_numbers_are_recognised_within_the_tolerance) {
    EXPECT_TRUE(Is_whole_number(3.0000000000001L));
    EXPECT_TRUE(Is_whole_number(-7));
    EXPECT_FALSE(Is_whole_number(3.00000001L));
    EXPECT_FALSE(Is_whole_number(2.5L));
    EXPECT_FALSE(Is_whole_number(2147483647));
    EXPECT_TRUE(Is_whole_number(2147483646));
}

TEST(Numeric_utilities, powers_follow_their_special_rules) {
    EXPECT_EQ(Power(0, 0), 1);
    EXPECT_EQ(Power(0, 2), 0);
    EXPECT_EQ(Power(0, 0.5L), 0);
    EXPECT_EQ(Power(2, -2), 0.25L);
    EXPECT_EQ(Power(-2, 3), -8); // whole exponents go through repeated squaring
    EXPECT_NEAR(Power(8, 1.0L / 3), 2, 1e-17L);
    EXPECT_EQ(Int_power(3, 13), 1594323);
    EXPECT_EQ(Int_power(-1, -2147483647 - 1), 1); // the most negative exponent
}

TEST(Numeric_utilities, impossible_powers_are_faults_not_nan_or_infinity) {
    EXPECT_THROW(Power(-8, 1.0L / 3), EFloating_point_error);
    EXPECT_THROW(Power(0, -1), EFloating_point_error);
    EXPECT_THROW(Power(0, -0.5L), EFloating_point_error);
    EXPECT_THROW(Power(1e10L, 1e10L), EFloating_point_error);
}

TEST(Numeric_utilities, floor_rounds_down_on_both_sides_of_zero) {
    EXPECT_EQ(Floor(2.5L), 2);
    EXPECT_EQ(Floor(-2.5L), -3);
    EXPECT_EQ(Floor(-3), -3);
    EXPECT_EQ(Floor(-0.0000001L), -1);
    EXPECT_EQ(Floor(2147483647.9L), 2147483647);
    EXPECT_EQ(Floor(-2147483647.5L), -2147483647 - 1);
}

TEST(Numeric_utilities, floor_outside_the_32_bit_range_is_an_invalid_operation) {
    EXPECT_THROW(Floor(2147483648.0L), EFloating_point_error);
    EXPECT_THROW(Floor(-2147483648.5L), EFloating_point_error);
    EXPECT_THROW(Floor(1e300L), EFloating_point_error);
    EXPECT_THROW(Floor(std::numeric_limits<Extended>::quiet_NaN()), EFloating_point_error);
}
