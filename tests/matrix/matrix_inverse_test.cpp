#include <gtest/gtest.h>

#include "matrix/matrix_inverse.h"

TEST(MatrixInverse, PermutationMatrixIsItsOwnInverse) {
    tMatrix A;
    A(1, 2) = 1;
    A(2, 1) = 1;
    tMatrix inverse;
    ASSERT_TRUE(Invert_matrix(A, 2, inverse));
    EXPECT_EQ(inverse(1, 1), 0);
    EXPECT_EQ(inverse(1, 2), 1);
    EXPECT_EQ(inverse(2, 1), 1);
    EXPECT_EQ(inverse(2, 2), 0);
}

TEST(MatrixInverse, ProductWithTheInverseIsTheIdentityAndTheInverseMayReplaceItsInput) {
    tMatrix A;
    const Extended values[3][3] = {{1, 0.5L, 0.2L}, {0.5L, 1, 0.3L}, {0.2L, 0.3L, 1}};
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j)
            A(i, j) = values[i - 1][j - 1];
    tMatrix inverse = A;
    ASSERT_TRUE(Invert_matrix(inverse, 3, inverse));
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) {
            Extended sum = 0;
            for (int l = 1; l <= 3; ++l)
                sum += A(i, l) * inverse(l, j);
            EXPECT_NEAR(static_cast<double>(sum), i == j ? 1.0 : 0.0, 1e-15);
        }
}

TEST(MatrixInverse, NoPivotInTheFirstColumnIsReportedAndLeavesTheIdentity) {
    tMatrix A;
    A(1, 1) = 1e-11L;
    A(2, 1) = -5e-11L;
    A(1, 2) = 3;
    A(2, 2) = 4;
    tMatrix inverse;
    inverse(5, 5) = 7; // the whole output is cleared first
    EXPECT_FALSE(Invert_matrix(A, 2, inverse));
    EXPECT_EQ(inverse(1, 1), 1);
    EXPECT_EQ(inverse(1, 2), 0);
    EXPECT_EQ(inverse(2, 1), 0);
    EXPECT_EQ(inverse(2, 2), 1);
    EXPECT_EQ(inverse(5, 5), 0);
}

TEST(MatrixInverse, NearlyCollinearCorrelationsPassingTheCholeskyThresholdAreStillRefused) {
    // Pivot 1 - r * r = 5e-11 at the second column, under the 1e-10 pivot limit.
    const Extended r = 1 - 2.5e-11L;
    tMatrix A;
    A(1, 1) = A(2, 2) = 1;
    A(1, 2) = A(2, 1) = r;
    tMatrix inverse;
    EXPECT_FALSE(Invert_matrix(A, 2, inverse));
}
