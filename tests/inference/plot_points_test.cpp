#include "inference/plot_points.h"

#include <gtest/gtest.h>

#include <boost/math/distributions/students_t.hpp>

#include <cmath>

#include "distributions/floating_point_faults.h"
#include "inference/case_inference.h"
#include "inference/regression_equation.h"
#include "matrix/descriptive_statistics.h"
#include "matrix/matrix_routines.h"
#include "reference_fit.h"

namespace {

double D(Extended x) {
    return static_cast<double>(x);
}

// The product's route from the raw scores to the plot, as the compute command takes it.
struct tPlotted {
    tRegression_results regression;
    tCase_results results;
    Extended predicted = 0;
    Extended se = 0;
    tPlot_points points;
};

tPlotted Plot(const tData_matrix& data, int n, int k, tLimits limits) {
    const int nvars = k + 1;
    tMatrix corr;
    tVector means, sds, row;
    Descriptive_statistics(data, n, nvars, corr, means, sds);
    tPlotted p;
    Build_regression_equation(nvars, n, true, corr, means, sds, p.regression);
    Get_data_row(data, n + 1, nvars, row);
    const tCase_data c = Make_case_data(n, k, means, sds, corr, p.regression, row);
    Infer_case(c, limits == tLimits::Two_sided, p.results, 95, p.predicted, p.se,
               [](const std::string&) {});
    p.points = Make_plot_points(data, n, k, p.regression, p.predicted, p.se, p.results, limits);
    return p;
}

} // namespace

TEST(PlotPoints, ControlsAndCaseSitAtTheirLeastSquaresPredictionAndObtainedScore) {
    for (int k : {1, 3}) {
        SCOPED_TRACE(k);
        const int n = 9;
        const auto data = reference::Random_sample(n, k, 1300 + k);
        const reference::Fit fit = reference::Least_squares(*data, n, k);
        const tPlot_points points = Plot(*data, n, k, tLimits::Two_sided).points;

        ASSERT_EQ(points.Controls.size(), static_cast<std::size_t>(n));
        for (int i = 1; i <= n; ++i) {
            long double predicted = fit.intercept;
            for (int j = 1; j <= k; ++j)
                predicted += fit.coef[j] * (*data)(i, j + 1);
            EXPECT_NEAR(points.Controls[i - 1].Predicted, D(predicted), 1e-9) << "control " << i;
            EXPECT_EQ(points.Controls[i - 1].Obtained, D((*data)(i, 1))) << "control " << i;
        }
        EXPECT_NEAR(points.Case.Predicted, D(fit.prediction), 1e-9);
        EXPECT_EQ(points.Case.Obtained, D((*data)(n + 1, 1)));

        // One range on both axes holds every point.
        for (const tScore_point& p : points.Controls) {
            EXPECT_LT(points.Score_low, std::min(p.Predicted, p.Obtained));
            EXPECT_GT(points.Score_high, std::max(p.Predicted, p.Obtained));
        }
    }
}

TEST(PlotPoints, IntervalEndsAreThePredictionPlusMinusTQuantileTimesTheStandardError) {
    const int n = 12, k = 2;
    const auto data = reference::Random_sample(n, k, 77);
    const reference::Fit fit = reference::Least_squares(*data, n, k);
    // The standard error for an additional case as the report prints it (and
    // the t test uses), from the raw-score fit: this method divides the
    // quadratic form by n, not by the textbook's n - 1.
    const double se = D(fit.see * std::sqrt(1 + 1.0L / n + fit.mahalanobis / n));
    const boost::math::students_t t(n - k - 1);
    const double two = boost::math::quantile(t, 0.975) * se;
    const double one = boost::math::quantile(t, 0.95) * se;
    const double predicted = D(fit.prediction);

    for (tLimits limits : {tLimits::Two_sided, tLimits::Lower, tLimits::Upper}) {
        SCOPED_TRACE(static_cast<int>(limits));
        const tPlot_points points = Plot(*data, n, k, limits).points;
        EXPECT_NEAR(points.Two_sided_low, predicted - two, 1e-8);
        EXPECT_NEAR(points.Two_sided_high, predicted + two, 1e-8);
        EXPECT_NEAR(points.Lower_bound, predicted - one, 1e-8);
        EXPECT_NEAR(points.Upper_bound, predicted + one, 1e-8);

        const tInterval_ends ends = Chosen_interval(points);
        switch (limits) {
        case tLimits::Two_sided:
            EXPECT_FALSE(ends.Low_open || ends.High_open);
            EXPECT_EQ(ends.Low, points.Two_sided_low);
            EXPECT_EQ(ends.High, points.Two_sided_high);
            break;
        case tLimits::Lower: // from the bound upward, to the chart's top
            EXPECT_FALSE(ends.Low_open);
            EXPECT_TRUE(ends.High_open);
            EXPECT_EQ(ends.Low, points.Lower_bound);
            EXPECT_EQ(ends.High, points.Score_high);
            break;
        case tLimits::Upper: // from the chart's bottom up to the bound
            EXPECT_TRUE(ends.Low_open);
            EXPECT_FALSE(ends.High_open);
            EXPECT_EQ(ends.Low, points.Score_low);
            EXPECT_EQ(ends.High, points.Upper_bound);
            break;
        }
        // A closed end is inside the chart.
        if (!ends.Low_open) {
            EXPECT_GT(ends.Low, points.Score_low);
        }
        if (!ends.High_open) {
            EXPECT_LT(ends.High, points.Score_high);
        }
    }
}

TEST(PlotPoints, ShadedTailIsOnTheCasesSideAndHoldsThePercentageMoreExtreme) {
    // A case far below its prediction, then one far above it.
    for (const Extended shift : {-30.0L, 25.0L}) {
        SCOPED_TRACE(D(shift));
        const int n = 7, k = 1; // few df: heavy tails, much area beyond the curve's end
        auto data = reference::Random_sample(n, k, 5);
        (*data)(n + 1, 1) = reference::Least_squares(*data, n, k).prediction + shift;
        const tPlotted plotted = Plot(*data, n, k, tLimits::Two_sided);
        const tPlot_points& points = plotted.points;

        EXPECT_EQ(points.T, D(plotted.results.T_value));
        EXPECT_EQ(points.DF, n - k - 1);
        EXPECT_EQ(points.Tail_below, shift < 0);
        EXPECT_GE(points.T_range, std::fabs(points.T));
        ASSERT_GE(points.Tail.size(), 2u);
        EXPECT_EQ(points.Tail_below ? points.Tail.back().X : points.Tail.front().X, points.T);

        // The drawn tail plus what lies beyond the curve's end is the report's figure.
        const boost::math::students_t t(points.DF);
        double area = 0;
        for (std::size_t i = 1; i < points.Tail.size(); ++i) {
            const tCurve_point& a = points.Tail[i - 1];
            const tCurve_point& b = points.Tail[i];
            EXPECT_NEAR(b.Y, boost::math::pdf(t, b.X), 1e-12);
            area += (b.X - a.X) * (a.Y + b.Y) / 2;
        }
        area += boost::math::cdf(t, -points.T_range);
        EXPECT_NEAR(100 * area, D(points.Pct_more_extreme), 0.01 * D(points.Pct_more_extreme));

        // The whole curve spans the same range, symmetric about 0.
        EXPECT_EQ(points.Density.front().X, -points.T_range);
        EXPECT_EQ(points.Density.back().X, points.T_range);
    }
}

TEST(PlotPoints, AScoreBeyondTheChartsNumbersIsRefused) {
    // Fine in 80 bits, infinite once narrowed for drawing.
    tData_matrix data;
    tRegression_results regression;
    regression.Coef[1] = 1e300L;
    data(1, 1) = 1;
    data(1, 2) = 1e300L;
    data(2, 1) = 2;
    data(3, 1) = 3;
    tCase_results results;
    results.DF = 1;
    EXPECT_THROW(Make_plot_points(data, 2, 1, regression, 0, 1, results, tLimits::Two_sided),
                 EFloating_point_error);
}
