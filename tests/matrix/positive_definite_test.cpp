#include <gtest/gtest.h>

#include <cmath>

#include "matrix/positive_definite.h"

namespace {

tMatrix Correlation_2x2(Extended r) {
    tMatrix A;
    A(1, 1) = A(2, 2) = 1;
    A(1, 2) = A(2, 1) = r;
    return A;
}

} // namespace

TEST(PositiveDefinite, PerfectCorrelationIsRefusedAndHalfIsAccepted) {
    EXPECT_FALSE(Is_positive_definite(2, Correlation_2x2(1)));
    EXPECT_TRUE(Is_positive_definite(2, Correlation_2x2(0.5L)));
}

TEST(PositiveDefinite, OneVariableOnlyTestsTheFirstPivot) {
    tMatrix A;
    A(1, 1) = 1;
    A(2, 2) = -5; // beyond m
    EXPECT_TRUE(Is_positive_definite(1, A));
    A(1, 1) = 0;
    EXPECT_FALSE(Is_positive_definite(1, A));
}

TEST(PositiveDefinite, ThePivotThresholdIsAbsoluteAndInclusive) {
    tMatrix A;
    A(1, 1) = Min_cholesky_pivot;
    EXPECT_TRUE(Is_positive_definite(1, A));
    A(1, 1) = Min_cholesky_pivot * 0.99L;
    EXPECT_FALSE(Is_positive_definite(1, A));
}

TEST(PositiveDefinite, ALinearCombinationOfThreeVariablesIsRefused) {
    // x3 = (x1 + x2) / sqrt(2 + 2 r) with corr(x1, x2) = r = 0.2.
    const Extended r = 0.2L;
    const Extended c = (1 + r) / std::sqrt(2 + 2 * r);
    tMatrix A;
    A(1, 1) = A(2, 2) = A(3, 3) = 1;
    A(1, 2) = A(2, 1) = r;
    A(1, 3) = A(3, 1) = A(2, 3) = A(3, 2) = c;
    EXPECT_FALSE(Is_positive_definite(3, A));
    A(3, 3) = 1.01L;
    EXPECT_TRUE(Is_positive_definite(3, A));
}

TEST(PositiveDefinite, OnlyTheLowerTriangleIsRead) {
    tMatrix A = Correlation_2x2(0.5L);
    A(1, 2) = 100;
    EXPECT_TRUE(Is_positive_definite(2, A));
}
