#include <gtest/gtest.h>

#include <boost/math/distributions/non_central_t.hpp>
#include <boost/math/distributions/normal.hpp>
#include <boost/math/distributions/students_t.hpp>

#include <algorithm>
#include <cmath>
#include <string>

#include "boost_noncentrality.h"
#include "distributions/floating_point_faults.h"
#include "inference/case_inference.h"
#include "inference/inference_errors.h"
#include "inference/regression_equation.h"
#include "matrix/descriptive_statistics.h"
#include "matrix/matrix_routines.h"
#include "matrix/statistics_errors.h"
#include "reference_fit.h"

namespace {

double D(Extended x) {
    return static_cast<double>(x);
}

// The worked example's equation (n = 10, k = 1) and a case with X = 30, Y = 40.
tCase_data Example_case() {
    tCase_data c;
    c.N = 10;
    c.K = 1;
    c.Mean_X[1] = 20;
    c.SD_X[1] = 5;
    c.R_XX(1, 1) = 1;
    c.Coef[1] = 1;
    c.Intercept = 30;
    c.SEE = std::sqrt(84.375L);
    c.SD_residual = std::sqrt(75.0L);
    c.Case_X[1] = 30;
    c.Case_Y = 40;
    return c;
}

struct tRun {
    tCase_results results;
    Extended predicted = 0;
    Extended se = 0;
    int warnings = 0;
};

tRun Analyse(const tCase_data& c, bool two_sided) {
    tRun run;
    Infer_case(c, two_sided, run.results, 95, run.predicted, run.se,
               [&run](const std::string&) { ++run.warnings; });
    return run;
}

// The product's route from raw scores to the case record.
tCase_data Case_from_sample(const tData_matrix& data, int n, int k) {
    const int nvars = k + 1;
    tMatrix corr;
    tVector means, sds;
    Descriptive_statistics(data, n, nvars, corr, means, sds);
    tRegression_results regression;
    Build_regression_equation(nvars, n, true, corr, means, sds, regression);
    tVector row;
    Get_data_row(data, n + 1, nvars, row);
    return Make_case_data(n, k, means, sds, corr, regression, row);
}

// Checks all four limits against Boost on the non-centrality scale, with cf,
// the discrepancy and SEE taken from an independent least-squares fit.
// Returns the largest non-centrality involved, in absolute value.
double Expect_limits_match_boost(const tData_matrix& data, int n, int k, bool two_sided) {
    const tRun run = Analyse(Case_from_sample(data, n, k), two_sided);
    const reference::Fit fit = reference::Least_squares(data, n, k);
    const double df = n - k - 1;
    const double cf = 1.0 / n + D(fit.mahalanobis) / (n - 1);
    const double root_cf = std::sqrt(cf);
    const double discrepancy = D(data(n + 1, 1) - fit.prediction);
    const double t_z = discrepancy / D(fit.see) / root_cf;
    const double t_p = -std::fabs(t_z);
    const double p_hi = two_sided ? 0.975 : 0.95;
    const double p_lo = two_sided ? 0.025 : 0.05;

    const double zop_high = Boost_noncentrality(df, t_z, p_hi);
    const double zop_low = Boost_noncentrality(df, t_z, p_lo);
    EXPECT_NEAR(D(run.results.ZOP_lower) / root_cf, zop_high, 2e-6);
    EXPECT_NEAR(D(run.results.ZOP_upper) / root_cf, zop_low, 2e-6);

    const boost::math::normal standard;
    for (const auto& [pct, p] :
         {std::pair{run.results.Pct_lower, p_hi}, {run.results.Pct_upper, p_lo}}) {
        const double x = root_cf * Boost_noncentrality(df, t_p, p);
        // 2e-6 on the non-centrality scale plus the integration's tolerance.
        const double tolerance = 100 * (boost::math::pdf(standard, x) * root_cf * 2e-6 + 1e-6);
        EXPECT_NEAR(D(pct), 100 * boost::math::cdf(standard, x), tolerance);
    }
    return std::max(std::fabs(zop_high), std::fabs(zop_low));
}

} // namespace

TEST(CaseInference, WorkedExampleTwoSided) {
    const tRun run = Analyse(Example_case(), true);
    const tCase_results& r = run.results;
    EXPECT_NEAR(D(run.predicted), 60, 1e-15);
    EXPECT_NEAR(D(run.se), 11.25, 1e-15);
    EXPECT_NEAR(D(r.T_value), -1.7778, 0.00005);
    EXPECT_EQ(r.DF, 8);
    EXPECT_NEAR(D(r.P_one_tailed), 0.05667, 0.000005);
    EXPECT_NEAR(D(r.P_two_tailed), 0.11333, 0.000005);
    EXPECT_NEAR(D(r.Pct_more_extreme), 5.6667, 0.00005);
    EXPECT_NEAR(D(r.ZOP), -2.3094, 0.00005);
    EXPECT_NEAR(D(r.Pct_lower), 0.0044, 0.00005);
    EXPECT_NEAR(D(r.Pct_upper), 36.3977, 0.00005);
    EXPECT_NEAR(D(r.ZOP_lower), -3.9205, 0.00005);
    EXPECT_NEAR(D(r.ZOP_upper), -0.3478, 0.00005);
    EXPECT_EQ(run.warnings, 0);
}

TEST(CaseInference, WorkedExampleOneSidedLimitsLieInsideTheTwoSidedOnes) {
    const tRun one = Analyse(Example_case(), false);
    const tRun two = Analyse(Example_case(), true);
    EXPECT_NEAR(D(one.results.Pct_lower), 0.0145, 0.00005);
    EXPECT_NEAR(D(one.results.Pct_upper), 26.5827, 0.00005);
    EXPECT_NEAR(D(one.results.ZOP_lower), -3.6241, 0.00005);
    EXPECT_NEAR(D(one.results.ZOP_upper), -0.6255, 0.00005);
    EXPECT_GT(one.results.Pct_lower, two.results.Pct_lower);
    EXPECT_LT(one.results.Pct_upper, two.results.Pct_upper);
    EXPECT_GT(one.results.ZOP_lower, two.results.ZOP_lower);
    EXPECT_LT(one.results.ZOP_upper, two.results.ZOP_upper);
    // Only the limits depend on the choice.
    EXPECT_EQ(one.results.T_value, two.results.T_value);
    EXPECT_EQ(one.results.P_one_tailed, two.results.P_one_tailed);
    EXPECT_EQ(one.results.ZOP, two.results.ZOP);
}

TEST(CaseInference, ReversingTheDiscrepancyMirrorsTheEffectSizeAndKeepsThePercentages) {
    tCase_data below = Example_case();
    tCase_data above = Example_case();
    above.Case_Y = 80; // 20 above the prediction of 60 instead of 20 below
    const tCase_results a = Analyse(below, true).results;
    const tCase_results b = Analyse(above, true).results;
    EXPECT_EQ(a.T_value, -b.T_value);
    EXPECT_EQ(a.ZOP, -b.ZOP);
    EXPECT_EQ(a.P_one_tailed, b.P_one_tailed);
    EXPECT_EQ(a.Pct_lower, b.Pct_lower);
    EXPECT_EQ(a.Pct_upper, b.Pct_upper);
    EXPECT_NEAR(D(a.ZOP_lower), -D(b.ZOP_upper), 2e-6);
    EXPECT_NEAR(D(a.ZOP_upper), -D(b.ZOP_lower), 2e-6);
}

TEST(CaseInference, ACaseOnItsPredictionAtTheControlMeans) {
    tCase_data c = Example_case();
    c.Case_X[1] = 20; // z = 0: cf = 1/n
    c.Case_Y = 50;    // exactly the prediction
    const tRun run = Analyse(c, true);
    const tCase_results& r = run.results;
    EXPECT_NEAR(D(run.se), D(c.SEE) * std::sqrt(1.1), 1e-14);
    EXPECT_EQ(r.T_value, 0);
    EXPECT_NEAR(D(r.P_one_tailed), 0.5, 1e-9);
    EXPECT_EQ(r.P_two_tailed, 2 * r.P_one_tailed);
    EXPECT_NEAR(D(r.Pct_more_extreme), 50, 1e-7);
    EXPECT_EQ(r.ZOP, 0);
    EXPECT_NEAR(D(r.ZOP_lower), -D(r.ZOP_upper), 2e-6);
    // cf = 1/n: the limits are the non-centrality limits scaled by sqrt(1/10).
    const double delta = Boost_noncentrality(8, 0, 0.975);
    EXPECT_NEAR(D(r.ZOP_lower), delta * std::sqrt(0.1), 2e-6);
}

TEST(CaseInference, NearlyCollinearPredictorsAreRefused) {
    tCase_data c = Example_case();
    c.K = 2;
    c.Mean_X[2] = 0;
    c.SD_X[2] = 1;
    c.R_XX(2, 2) = 1;
    c.R_XX(1, 2) = c.R_XX(2, 1) = 1 - 2.5e-11L;
    tCase_results r;
    Extended predicted, se;
    EXPECT_THROW(Infer_case(c, true, r, 95, predicted, se, {}), ENot_positive_definite);
}

TEST(CaseInference, AZeroStandardErrorIsAFloatingPointFaultNotAnExtremeCase) {
    tCase_data c = Example_case();
    c.SEE = 0;
    tCase_results r;
    Extended predicted, se;
    EXPECT_THROW(Infer_case(c, true, r, 95, predicted, se, {}), EFloating_point_error);
}

TEST(CaseInference, LimitsAgreeWithBoostOnRandomSamples) {
    std::mt19937 sizes(77);
    for (int trial = 0; trial < 10; ++trial) {
        const int k = 1 + trial % 5;
        const int n = std::uniform_int_distribution<int>(k + 2, 499)(sizes);
        SCOPED_TRACE("k = " + std::to_string(k) + ", n = " + std::to_string(n));
        const auto data = reference::Random_sample(n, k, 500 + trial);
        (*data)(n + 1, 1) += (trial % 2 ? 12.0 : -9.0); // a case off its prediction
        Expect_limits_match_boost(*data, n, k, trial % 3 != 0);
    }
}

TEST(CaseInference, TProbabilityMatchesStudentT) {
    EXPECT_NEAR(T_probability(1, 1), 0.75, 1e-9);
    EXPECT_EQ(T_probability(2, 0), 0.5);
    // Up to the df of a million-strong published norm, the case 30 standard
    // errors off at most.
    for (int df : {1, 2, 3, 4, 7, 8, 29, 30, 497, 1000, 10001, 100000, 999999})
        for (double t : {-30.0, -3.0, 0.3, 1.0, 2.5, 8.0, 30.0}) {
            const double expected = boost::math::cdf(boost::math::students_t(df), t);
            EXPECT_NEAR(T_probability(df, t), expected, 1e-9) << df << " " << t;
        }
}

TEST(CaseInferenceExtremes, ACaseAMillionStandardErrorsOffIsRefused) {
    const auto data = reference::Random_sample(499, 5, 9);
    const reference::Fit fit = reference::Least_squares(*data, 499, 5);
    (*data)(500, 1) = fit.prediction - 1e6L * fit.see;
    try {
        Analyse(Case_from_sample(*data, 499, 5), true);
        FAIL() << "limits reported for an absurd discrepancy";
    } catch (const EDiscrepancy_too_extreme& e) {
        EXPECT_EQ(std::string(e.what()).rfind("The case's discrepancy is too extreme", 0), 0u);
        EXPECT_NE(std::string(e.what()).find("cannot be computed"), std::string::npos);
    }
}

TEST(CaseInferenceExtremes, ALargeSampleCaseTenStandardErrorsBelowStillGetsLimits) {
    const auto data = reference::Random_sample(499, 5, 11);
    // Predictors at the control means make cf = 1/n, the smallest scale, and
    // so the largest non-centralities (over 200).
    for (int j = 2; j <= 6; ++j) {
        long double sum = 0;
        for (int i = 1; i <= 499; ++i)
            sum += (*data)(i, j);
        (*data)(500, j) = sum / 499;
    }
    const reference::Fit fit = reference::Least_squares(*data, 499, 5);
    (*data)(500, 1) = fit.prediction - 10 * fit.see;
    EXPECT_GT(Expect_limits_match_boost(*data, 499, 5, true), 200);
}

TEST(CaseInferenceExtremes, ASmallSampleCaseThirtyStandardErrorsOffStillGetsLimits) {
    for (int n : {3, 10}) {
        SCOPED_TRACE("n = " + std::to_string(n));
        const auto data = reference::Random_sample(n, 1, 21);
        const reference::Fit fit = reference::Least_squares(*data, n, 1);
        (*data)(n + 1, 1) = fit.prediction + 30 * fit.see;
        Expect_limits_match_boost(*data, n, 1, false);
    }
}

TEST(CaseInferenceExtremes, TheCostliestReachableCasesGetOrderedLimits) {
    // Standardized case (cf = 1/n) above its prediction: four distinct searches,
    // the larger non-centrality just under the search's limit.
    for (const auto& [n, t] : {std::pair{4, 450.0}, {37, 700.0}, {499, 900.0}}) {
        SCOPED_TRACE("n = " + std::to_string(n));
        tCase_data c;
        c.N = n;
        c.K = 1;
        c.R_XX(1, 1) = 1;
        c.SD_X[1] = 1;
        c.Coef[1] = 1;
        c.SEE = 1;
        c.SD_residual = 1;
        c.Case_Y = t / std::sqrt(Extended(n));
        const tRun run = Analyse(c, true);
        EXPECT_GT(run.results.ZOP_upper, run.results.ZOP_lower);
    }
}
