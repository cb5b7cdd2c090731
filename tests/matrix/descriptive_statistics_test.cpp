#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "distributions/floating_point_faults.h"
#include "matrix/descriptive_statistics.h"
#include "matrix/matrix_routines.h"
#include "matrix/statistics_errors.h"

namespace {

std::unique_ptr<tData_matrix> Data(std::initializer_list<std::initializer_list<Extended>> rows) {
    auto data = std::make_unique<tData_matrix>();
    Clear_data_matrix(*data);
    int i = 0;
    for (const auto& row : rows) {
        ++i;
        int j = 0;
        for (Extended value : row)
            (*data)(i, ++j) = value;
    }
    return data;
}

} // namespace

TEST(DescriptiveStatistics, ThreeRowsOfOneTwoThreeGiveMeanTwoAndUnitSpread) {
    auto data = Data({{1}, {2}, {3}});
    tMatrix S;
    Cross_products(*data, 3, 1, S);
    EXPECT_EQ(S(1, 1), 2);
    tMatrix V;
    Cross_products_to_covariance(S, 1, 3, V);
    EXPECT_EQ(V(1, 1), 1);
    tMatrix R;
    tVector means, sds;
    Descriptive_statistics(*data, 3, 1, R, means, sds);
    EXPECT_EQ(means[1], 2);
    EXPECT_EQ(sds[1], 1);
    EXPECT_EQ(R(1, 1), 1);
}

TEST(DescriptiveStatistics, CorrelationOfHalfAndTheStepsAgree) {
    auto data = Data({{1, 1}, {2, 3}, {3, 2}});
    tMatrix R;
    tVector means, sds;
    sds[5] = 9; // all 20 entries are cleared
    Descriptive_statistics(*data, 3, 2, R, means, sds);
    EXPECT_NEAR(static_cast<double>(R(1, 2)), 0.5, 1e-18);
    EXPECT_NEAR(static_cast<double>(R(2, 1)), 0.5, 1e-18);
    EXPECT_EQ(means[2], 2);
    EXPECT_EQ(sds[2], 1);
    EXPECT_EQ(sds[5], 0);

    tData_matrix* deviations = data.get(); // deviations may replace the data
    Centre_columns(*data, 3, 2, *deviations);
    EXPECT_EQ((*deviations)(1, 1), -1);
    EXPECT_EQ((*deviations)(2, 2), 1);
    auto T = std::make_unique<tTransposed_data>();
    Transpose_data(*deviations, 3, 2, *T);
    EXPECT_EQ((*T)(2, 2), 1);
    EXPECT_EQ((*T)(1, 3), 1);
}

TEST(DescriptiveStatistics, CovarianceAndCorrelationMayOverwriteTheirInput) {
    auto data = Data({{4, 1, 2.5L}, {2, 7, -1}, {9, 3, 0.3L}, {5, 5, 8}});
    tMatrix S;
    Cross_products(*data, 4, 3, S);
    tMatrix V, R;
    tVector sds;
    Cross_products_to_covariance(S, 3, 4, V);
    Covariance_to_correlation(V, 3, R, sds);
    tMatrix in_place = S;
    tVector in_place_sds;
    Cross_products_to_covariance(in_place, 3, 4, in_place);
    Covariance_to_correlation(in_place, 3, in_place, in_place_sds);
    for (int i = 1; i <= Max_variables; ++i) {
        EXPECT_EQ(in_place_sds[i], sds[i]) << i;
        for (int j = 1; j <= Max_variables; ++j)
            EXPECT_EQ(in_place(i, j), R(i, j)) << i << "," << j;
    }
}

TEST(DescriptiveStatistics, TheCaseRowHasNoInfluence) {
    auto data = Data({{4, 1}, {2, 7}, {9, 3}, {5, 5}});
    tMatrix R1, R2;
    tVector m1, m2, s1, s2;
    Descriptive_statistics(*data, 4, 2, R1, m1, s1);
    (*data)(5, 1) = 1e6L;
    (*data)(5, 2) = -3;
    Descriptive_statistics(*data, 4, 2, R2, m2, s2);
    EXPECT_EQ(R1(1, 2), R2(1, 2));
    EXPECT_EQ(m1[1], m2[1]);
    EXPECT_EQ(s2[2], s1[2]);
}

TEST(DescriptiveStatistics, ShiftedLargeScoresKeepTheirSpreadThanksToTwoPasses) {
    // One pass (sum of squares minus n * mean^2) would lose every digit here.
    auto data = Data({{1e9L + 1}, {1e9L + 2}, {1e9L + 3}});
    tMatrix R;
    tVector means, sds;
    Descriptive_statistics(*data, 3, 1, R, means, sds);
    EXPECT_EQ(sds[1], 1);
}

TEST(DescriptiveStatistics, AConstantVariableIsRefusedWithItsIndex) {
    auto data = Data({{1, 5, 2}, {2, 5, 4}, {3, 5, 1}});
    tMatrix R;
    tVector means, sds;
    try {
        Descriptive_statistics(*data, 3, 3, R, means, sds);
        FAIL() << "no error for a constant variable";
    } catch (const EZero_variance& e) {
        EXPECT_EQ(e.Variable(), 2);
    }
}

TEST(DescriptiveStatistics, APredictorThatVariesOnlyInTheLastControlIsNotRefused) {
    // Row 4 is the last control and row 5 the case: every control row counts.
    auto data = Data({{1, 7}, {2, 7}, {3, 7}, {4, 9}, {5, 100}});
    tMatrix R;
    tVector means, sds;
    ASSERT_NO_THROW(Descriptive_statistics(*data, 4, 2, R, means, sds));
    EXPECT_NEAR(static_cast<double>(means[2]), 7.5, 1e-15);
    EXPECT_NEAR(static_cast<double>(sds[2]), 1, 1e-15);
}

TEST(DescriptiveStatistics, AConstantVariableIsRefusedEvenWhenItsMeanIsNotExact) {
    // Seven copies of 0.1 sum to a mean one unit in the last place off, which
    // would leave tiny non-zero deviations and arbitrary correlations.
    auto data = Data({});
    for (int i = 1; i <= 7; ++i) {
        (*data)(i, 1) = i;
        (*data)(i, 2) = static_cast<Extended>(0.1);
    }
    tMatrix R;
    tVector means, sds;
    EXPECT_THROW(Descriptive_statistics(*data, 7, 2, R, means, sds), EZero_variance);
}

TEST(DescriptiveStatistics, ZeroVarianceOnTheDiagonalIsRefusedBeforeAnyDivision) {
    tMatrix V;
    V(1, 1) = 2;
    V(2, 2) = 0;
    tMatrix R;
    tVector sds;
    try {
        Covariance_to_correlation(V, 2, R, sds);
        FAIL() << "no error for a zero variance";
    } catch (const EZero_variance& e) {
        EXPECT_EQ(e.Variable(), 2);
    }
}

// The compact cross products must give, bit for bit, what the three steps give
// on the full matrices, at every size, and after its work space has grown and
// holds a larger analysis's values (the order matters: small, large, small);
// and the means, taken several columns at a time, what one column at a time
// gives.
TEST(DescriptiveStatistics, CrossProductsMatchTheStepsBitForBitAtEverySize) {
    struct tSize {
        int R, M;
    };
    const tSize sizes[] = {{3, 1}, {499, 20}, {7, 3}, {500, 6}, {2, 20}, {120, 11}};
    unsigned state = 12345;
    auto next = [&state] {
        state = state * 1103515245u + 12345u;
        return static_cast<Extended>(state >> 8) / 3.0L - 1.0e6L;
    };
    for (const tSize& size : sizes) {
        auto data = Data({});
        for (int i = 1; i <= Max_rows; ++i)
            for (int j = 1; j <= Max_variables; ++j)
                (*data)(i, j) = next() * (j % 3 == 0 ? 1e-7L : 1.0L);
        tMatrix direct;
        Cross_products(*data, size.R, size.M, direct);
        // The means, summed column by column as the simplest loop sums them.
        tVector means;
        Column_means(*data, size.R, size.M, means);
        for (int j = 1; j <= size.M; ++j) {
            Extended sum = 0;
            for (int i = 1; i <= size.R; ++i)
                sum += (*data)(i, j);
            ASSERT_EQ(means[j], sum / size.R) << "r " << size.R << " m " << size.M << " at " << j;
        }
        auto deviations = std::make_unique<tData_matrix>();
        auto T = std::make_unique<tTransposed_data>();
        Centre_columns(*data, size.R, size.M, *deviations);
        Transpose_data(*deviations, size.R, size.M, *T);
        tMatrix stepwise;
        Multiply_transposed(*T, *deviations, size.M, size.R, stepwise);
        for (int i = 1; i <= Max_variables; ++i)
            for (int j = 1; j <= Max_variables; ++j)
                ASSERT_EQ(direct(i, j), stepwise(i, j))
                    << "r " << size.R << " m " << size.M << " at " << i << "," << j;
    }
}
