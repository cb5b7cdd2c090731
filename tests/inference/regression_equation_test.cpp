#include <gtest/gtest.h>

#include <cmath>

#include "distributions/floating_point_faults.h"
#include "inference/regression_equation.h"
#include "matrix/descriptive_statistics.h"
#include "matrix/statistics_errors.h"
#include "reference_fit.h"

namespace {

// The worked example: n = 10, criterion mean 50 and SD 10, predictor mean 20
// and SD 5, correlation 0.5.
struct tExample {
    tMatrix corr;
    tVector means, sds;
    tExample() {
        corr(1, 1) = corr(2, 2) = 1;
        corr(1, 2) = corr(2, 1) = 0.5L;
        means[1] = 50;
        means[2] = 20;
        sds[1] = 10;
        sds[2] = 5;
    }
};

double D(Extended x) {
    return static_cast<double>(x);
}

} // namespace

TEST(RegressionEquation, WorkedExampleWithOnePredictor) {
    const tExample e;
    tRegression_results r;
    r.Beta[2] = 77; // entries beyond k are left alone
    Build_regression_equation(2, 10, true, e.corr, e.means, e.sds, r);
    EXPECT_NEAR(D(r.Beta[1]), 0.5, 1e-15);
    EXPECT_NEAR(D(r.Coef[1]), 1.0, 1e-15);
    EXPECT_NEAR(D(r.Intercept), 30, 1e-13);
    EXPECT_NEAR(D(r.Mult_R), 0.5, 1e-15);
    EXPECT_NEAR(D(r.R_squared), 0.25, 1e-15);
    EXPECT_NEAR(D(r.Adj_R_squared), 0.15625, 1e-15);
    EXPECT_NEAR(D(r.F_value), 8.0 / 3.0, 1e-14);
    EXPECT_NEAR(D(r.F_prob), 0.14111, 0.000005);
    EXPECT_EQ(r.DF1, 1);
    EXPECT_EQ(r.DF2, 8);
    EXPECT_NEAR(D(r.SEE), std::sqrt(84.375), 1e-13);
    EXPECT_NEAR(D(r.SD_residual), std::sqrt(75.0), 1e-13);
    EXPECT_EQ(r.Beta[2], 77);
}

TEST(RegressionEquation, CriterionLastGivesTheSameEquation) {
    const tExample e;
    tMatrix corr = e.corr; // symmetric 2 x 2: same matrix with the order swapped
    tVector means, sds;
    means[1] = 20;
    means[2] = 50;
    sds[1] = 5;
    sds[2] = 10;
    tRegression_results first, last;
    Build_regression_equation(2, 10, true, e.corr, e.means, e.sds, first);
    Build_regression_equation(2, 10, false, corr, means, sds, last);
    EXPECT_EQ(first.Coef[1], last.Coef[1]);
    EXPECT_EQ(first.Intercept, last.Intercept);
    EXPECT_EQ(first.F_prob, last.F_prob);
    EXPECT_EQ(first.SEE, last.SEE);
}

TEST(RegressionEquation, UncorrelatedPredictorsGiveBetasEqualToTheirValidities) {
    tMatrix corr;
    for (int i = 1; i <= 3; ++i)
        corr(i, i) = 1;
    corr(1, 2) = corr(2, 1) = 0.3L;
    corr(1, 3) = corr(3, 1) = -0.4L;
    tVector means, sds;
    for (int i = 1; i <= 3; ++i)
        sds[i] = 1;
    tRegression_results r;
    Build_regression_equation(3, 4, true, corr, means, sds, r);
    EXPECT_NEAR(D(r.Beta[1]), 0.3, 1e-18);
    EXPECT_NEAR(D(r.Beta[2]), -0.4, 1e-18);
    EXPECT_NEAR(D(r.R_squared), 0.25, 1e-18);
    // df2 = 1: the shrunken R squared is negative and not clipped.
    EXPECT_NEAR(D(r.Adj_R_squared), 1 - 3 * 0.75, 1e-15);
    EXPECT_NEAR(D(r.SEE / r.SD_residual), std::sqrt(3.0), 1e-15);
}

TEST(RegressionEquation, NearlyCollinearPredictorsAreRefusedRatherThanGivingAWrongEquation) {
    // The predictors correlate 1 - 2.5e-11: the Cholesky test lets this pass,
    // the inverse finds no pivot.
    tMatrix corr;
    for (int i = 1; i <= 3; ++i)
        corr(i, i) = 1;
    corr(2, 3) = corr(3, 2) = 1 - 2.5e-11L;
    corr(1, 2) = corr(2, 1) = 0.3L;
    corr(1, 3) = corr(3, 1) = 0.3L;
    tVector means, sds;
    for (int i = 1; i <= 3; ++i)
        sds[i] = 1;
    tRegression_results r;
    EXPECT_THROW(Build_regression_equation(3, 20, true, corr, means, sds, r),
                 ENot_positive_definite);
}

TEST(RegressionEquation, AgreesWithLeastSquaresOnRawScoresForRandomSamples) {
    std::mt19937 sizes(2024);
    for (int trial = 0; trial < 40; ++trial) {
        const int k = 1 + trial % 5;
        const int n = std::uniform_int_distribution<int>(k + 2, 499)(sizes);
        SCOPED_TRACE("k = " + std::to_string(k) + ", n = " + std::to_string(n));
        const auto data = reference::Random_sample(n, k, 100 + trial);
        tMatrix corr;
        tVector means, sds;
        Descriptive_statistics(*data, n, k + 1, corr, means, sds);
        tRegression_results r;
        Build_regression_equation(k + 1, n, true, corr, means, sds, r);
        const reference::Fit fit = reference::Least_squares(*data, n, k);
        for (int j = 1; j <= k; ++j)
            EXPECT_NEAR(D(r.Coef[j]), D(fit.coef[j]), 1e-9 * (1 + std::fabs(D(fit.coef[j]))));
        EXPECT_NEAR(D(r.Intercept), D(fit.intercept), 1e-9 * (1 + std::fabs(D(fit.intercept))));
        EXPECT_NEAR(D(r.R_squared), D(fit.r_squared), 1e-10);
        EXPECT_NEAR(D(r.SEE), D(fit.see), 1e-9 * D(fit.see));
    }
}

TEST(RegressionEquation, ACriterionFullyExplainedIsAFloatingPointFaultNotAnInfiniteF) {
    tMatrix corr;
    corr(1, 1) = corr(2, 2) = 1;
    corr(1, 2) = corr(2, 1) = 1;
    tVector means, sds;
    sds[1] = sds[2] = 1;
    tRegression_results r;
    EXPECT_THROW(Build_regression_equation(2, 10, true, corr, means, sds, r),
                 EFloating_point_error);
}

TEST(RegressionEquation, SquaredSemiPartialIsTheShareOfTheCriterionOnlyThatPredictorExplains) {
    // Two predictors correlated 0.5 with each other, each with a standardized
    // coefficient of 0.6: the squared semi-partial correlation is 0.6 squared
    // times the 1 - 0.5 squared of the predictor not shared with the other,
    // 0.270, not the squared coefficient 0.360.
    tMatrix r_xx;
    r_xx(1, 1) = r_xx(2, 2) = 1;
    r_xx(1, 2) = r_xx(2, 1) = 0.5L;
    tVector beta;
    beta[1] = beta[2] = 0.6L;
    const tVector share = Squared_semi_partials(r_xx, 2, beta);
    EXPECT_NEAR(D(share[1]), 0.27, 1e-15);
    EXPECT_NEAR(D(share[2]), 0.27, 1e-15);
    // With one predictor it is the squared coefficient itself.
    EXPECT_NEAR(D(Squared_semi_partials(r_xx, 1, beta)[1]), 0.36, 1e-15);
    r_xx(1, 2) = r_xx(2, 1) = 1;
    EXPECT_THROW(Squared_semi_partials(r_xx, 2, beta), ENot_positive_definite);
}
