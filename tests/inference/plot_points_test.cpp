#include "inference/plot_points.h"

#include <gtest/gtest.h>

#include <boost/math/distributions/students_t.hpp>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "distributions/floating_point_faults.h"
#include "distributions/text_format.h"
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
            EXPECT_LT(points.Scores.X.Low, std::min(p.Predicted, p.Obtained));
            EXPECT_GT(points.Scores.X.High, std::max(p.Predicted, p.Obtained));
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
            EXPECT_EQ(ends.High, points.Scores.Y.High);
            break;
        case tLimits::Upper: // from the chart's bottom up to the bound
            EXPECT_TRUE(ends.Low_open);
            EXPECT_FALSE(ends.High_open);
            EXPECT_EQ(ends.Low, points.Scores.Y.Low);
            EXPECT_EQ(ends.High, points.Upper_bound);
            break;
        }
        // A closed end is inside the chart.
        if (!ends.Low_open) {
            EXPECT_GT(ends.Low, points.Scores.Y.Low);
        }
        if (!ends.High_open) {
            EXPECT_LT(ends.High, points.Scores.Y.High);
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
        const double range = points.Discrepancy.X.High;
        EXPECT_EQ(points.Discrepancy.X.Low, -range);
        EXPECT_GE(range, std::fabs(points.T));
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
        area += boost::math::cdf(t, -range);
        EXPECT_NEAR(100 * area, D(points.Pct_more_extreme), 0.01 * D(points.Pct_more_extreme));

        // The whole curve spans the same range, symmetric about 0.
        EXPECT_EQ(points.Density.front().X, -range);
        EXPECT_EQ(points.Density.back().X, range);
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

TEST(PlotPoints, TheScoreAxisHoldsTheChosenBoundsAndStopsShortOfTheOpenEnd) {
    // Controls scoring 100 to 102 and an interval far wider than they are.
    tData_matrix data;
    for (int row = 1; row <= 4; ++row) {
        data(row, 1) = 99 + std::min(row, 3);
        data(row, 2) = std::min(row, 3);
    }
    tRegression_results regression;
    regression.Intercept = 99;
    regression.Coef[1] = 1;
    tCase_results results;
    results.DF = 1;
    results.Pct_more_extreme = 50;
    const struct {
        tLimits Limits;
        bool Low_closed;
        bool High_closed;
    } cases[] = {{tLimits::Two_sided, true, true},
                 {tLimits::Lower, true, false},
                 {tLimits::Upper, false, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.Limits));
        const tPlot_points p = Make_plot_points(data, 3, 1, regression, 101, 10, results, c.Limits);
        const tInterval_ends ends = Chosen_interval(p);
        // A closed end is on the chart; an open one adds nothing to the axis,
        // which ends at the round number after the points (the bounds on
        // those sides would be about 38 and 164).
        if (c.Low_closed)
            EXPECT_GE(ends.Low, p.Scores.Y.Low);
        else
            EXPECT_EQ(p.Scores.Y.Low, 80);
        if (c.High_closed)
            EXPECT_LE(ends.High, p.Scores.Y.High);
        else
            EXPECT_EQ(p.Scores.Y.High, 120);
    }
}

namespace {

// The ticks as the labels say them, one string, for a table's expectations.
std::string Joined(const std::vector<std::string>& labels) {
    std::string joined;
    for (const std::string& label : labels)
        joined += (joined.empty() ? "" : " ") + label;
    return joined;
}

void Expect_whole_steps(const tPlot_axis& axis) {
    ASSERT_GE(axis.Ticks.size(), 2u);
    ASSERT_EQ(axis.Labels.size(), axis.Ticks.size());
    const double step = axis.Ticks[1] - axis.Ticks[0];
    for (std::size_t i = 1; i < axis.Ticks.size(); ++i)
        EXPECT_NEAR(axis.Ticks[i] - axis.Ticks[i - 1], step, 1e-9 * step) << "tick " << i;
    EXPECT_GE(axis.Ticks.front(), axis.Low);
    EXPECT_LE(axis.Ticks.back(), axis.High);
}

} // namespace

TEST(PlotPoints, ScoreAxesWidenToRoundEndsWithTicksLabelledAsTheStepNeeds) {
    const struct {
        double Low, High; // what must fit
        double Axis_low, Axis_high;
        std::string Labels;
    } cases[] = {
        {8, 38, 0, 40, "0 10 20 30 40"},
        {0.12, 0.87, 0, 1, "0.0 0.2 0.4 0.6 0.8 1.0"},
        {-3.7, -1.2, -4, -1, "-4 -3 -2 -1"},
        {-0.3, 0.3, -0.4, 0.4, "-0.4 -0.2 0.0 0.2 0.4"}, // never "-0.0"
        {-0.05, 0.13, -0.05, 0.15, "-0.05 0.00 0.05 0.10 0.15"},
        {98.6, 104.9, 98, 106, "98 100 102 104 106"},
        {1e15 + 0.3, 1e15 + 2.6, 1e15, 1e15 + 3,
         "1000000000000000 1000000000000001 1000000000000002 1000000000000003"},
        // Where fixed decimals run long, an exponent says it shorter.
        {1.2e-15, 3.9e-15, 1e-15, 4e-15, "1e-15 2e-15 3e-15 4e-15"},
        {1.2e20, 3.9e20, 1e20, 4e20, "1e+20 2e+20 3e+20 4e+20"},
        {-2.5e-11, 2.5e-11, -3e-11, 3e-11, "-3e-11 -2e-11 -1e-11 0e+00 1e-11 2e-11 3e-11"},
        {-2.5e-7, 2.5e-7, -3e-7, 3e-7,
         "-0.0000003 -0.0000002 -0.0000001 0.0000000 0.0000001 0.0000002 0.0000003"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Low << " to " << c.High);
        const tPlot_axis axis = Round_axis("Scores", c.Low, c.High);
        EXPECT_EQ(axis.Title, "Scores");
        EXPECT_DOUBLE_EQ(axis.Low, c.Axis_low);
        EXPECT_DOUBLE_EQ(axis.High, c.Axis_high);
        EXPECT_EQ(Joined(axis.Labels), c.Labels);
        Expect_whole_steps(axis);
        // The ends are ticks, so that the frame is labelled at both.
        EXPECT_EQ(axis.Ticks.front(), axis.Low);
        EXPECT_DOUBLE_EQ(axis.Ticks.back(), axis.High);
    }
    // Scores that doubles cannot tell apart give no axis, not a division by zero.
    EXPECT_THROW(Round_axis("Scores", 1e300, 1e300), EFloating_point_error);
    EXPECT_THROW(Round_axis("Scores", -0.8e308, 0.8e308), EFloating_point_error);
}

TEST(PlotPoints, TheScoresChartFrameIsOneRoundRangeOnBothAxesWithItsTexts) {
    const struct {
        tLimits Limits;
        const char* Interval;
    } cases[] = {
        {tLimits::Two_sided, "95% interval for an additional case"},
        {tLimits::Lower, "95% interval for an additional case (lower bound, open above)"},
        {tLimits::Upper, "95% interval for an additional case (upper bound, open below)"},
    };
    const int n = 10, k = 2;
    const auto data = reference::Random_sample(n, k, 4242);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Interval);
        const tPlotted plotted = Plot(*data, n, k, c.Limits);
        const tPlot_points& points = plotted.points;
        const tChart_frame& frame = points.Scores;
        EXPECT_TRUE(points.Has_scores);
        EXPECT_EQ(points.Title, Format_text("Plot: obtained %1.4f, predicted %1.4f",
                                            D((*data)(n + 1, 1)), D(plotted.predicted)));
        EXPECT_EQ(frame.Caption,
                  "Obtained against predicted scores: the controls, the case and its interval");
        EXPECT_EQ(frame.X.Title, "Predicted score (regression equation)");
        EXPECT_EQ(frame.Y.Title, "Obtained score (criterion Y)");
        EXPECT_EQ(frame.X.Low, frame.Y.Low);
        EXPECT_EQ(frame.X.High, frame.Y.High);
        EXPECT_EQ(frame.X.Labels, frame.Y.Labels);
        // The axis is the round widening of the points and closed ends it holds.
        const tPlot_axis round = Round_axis("", frame.X.Low, frame.X.High);
        EXPECT_EQ(round.Low, frame.X.Low);
        EXPECT_EQ(round.High, frame.X.High);
        EXPECT_NEAR(points.Cap_half_width, 0.015 * (frame.X.High - frame.X.Low), 1e-12);

        ASSERT_EQ(frame.Legend.size(), 4u);
        const tPlot_mark marks[] = {tPlot_mark::Controls, tPlot_mark::Case,
                                    tPlot_mark::Equal_scores, tPlot_mark::Interval};
        const char* texts[] = {"Controls", "Case", "Line of equal scores", c.Interval};
        for (std::size_t i = 0; i < 4; ++i) {
            EXPECT_EQ(frame.Legend[i].Mark, marks[i]);
            EXPECT_EQ(frame.Legend[i].Text, texts[i]);
        }
    }
}

TEST(PlotPoints, TheTChartFrameFollowsTheCasesTWithRoundStepsAndTheDensityInTenths) {
    const struct {
        double T;
        int DF;
        double Range;
        std::string T_labels;
        std::string Density_labels;
    } cases[] = {
        {-1.7778, 8, 4, "-4 -3 -2 -1 0 1 2 3 4", "0.0 0.1 0.2 0.3 0.4 0.5"},
        {3.9, 1, 6, "-6 -4 -2 0 2 4 6", "0.0 0.1 0.2 0.3 0.4"}, // the Cauchy peak, 1/pi
        {-25, 30, 31, "-30 -20 -10 0 10 20 30", "0.0 0.1 0.2 0.3 0.4 0.5"},
        {0, 497, 4, "-4 -3 -2 -1 0 1 2 3 4", "0.0 0.1 0.2 0.3 0.4 0.5"},
        {412.5, 5, 496, "-400 -200 0 200 400", "0.0 0.1 0.2 0.3 0.4 0.5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.T);
        tCase_results results;
        results.T_value = c.T;
        results.DF = c.DF;
        results.Pct_more_extreme = 4.438207;
        const tPlot_points points = Make_plot_points(40, 60, 10, results, tLimits::Two_sided);
        const tChart_frame& frame = points.Discrepancy;
        EXPECT_EQ(frame.Caption,
                  "The case's t on the t distribution, with the population more extreme than the "
                  "case");
        EXPECT_EQ(frame.X.Title, "t on the discrepancy");
        EXPECT_EQ(frame.Y.Title, "Density");
        EXPECT_EQ(frame.X.Low, -c.Range);
        EXPECT_EQ(frame.X.High, c.Range);
        EXPECT_EQ(Joined(frame.X.Labels), c.T_labels);
        EXPECT_EQ(frame.Y.Low, 0);
        EXPECT_EQ(Joined(frame.Y.Labels), c.Density_labels);
        Expect_whole_steps(frame.X);
        Expect_whole_steps(frame.Y);
        // The case's line stands above the peak and below the top of the axis.
        double peak = 0;
        for (const tCurve_point& p : points.Density)
            peak = std::max(peak, p.Y);
        EXPECT_GT(points.Case_t_top, peak);
        EXPECT_LT(points.Case_t_top, frame.Y.High);

        EXPECT_EQ(points.Tail_area, "4.438207%");
        ASSERT_EQ(frame.Legend.size(), 3u);
        EXPECT_EQ(frame.Legend[0].Mark, tPlot_mark::Density);
        EXPECT_EQ(frame.Legend[0].Text, Format_text("t density (%d df)", c.DF));
        EXPECT_EQ(frame.Legend[1].Mark, tPlot_mark::Case_t);
        EXPECT_EQ(frame.Legend[1].Text, Format_text("Case's t = %1.4f", c.T));
        EXPECT_EQ(frame.Legend[2].Mark, tPlot_mark::Tail);
        EXPECT_EQ(frame.Legend[2].Text, "Population more extreme than the case: 4.438207%");
    }
}

TEST(PlotPoints, SummaryStatisticsGetTheSameTChartAndNoScoresChart) {
    const int n = 9, k = 1;
    const auto data = reference::Random_sample(n, k, 31);
    const tPlotted raw = Plot(*data, n, k, tLimits::Lower);
    const tPlot_points summary =
        Make_plot_points((*data)(n + 1, 1), raw.predicted, raw.se, raw.results, tLimits::Lower);
    EXPECT_FALSE(summary.Has_scores);
    EXPECT_TRUE(summary.Controls.empty());
    EXPECT_EQ(summary.Title, raw.points.Title);
    EXPECT_EQ(summary.Discrepancy.X.Labels, raw.points.Discrepancy.X.Labels);
    EXPECT_EQ(summary.Discrepancy.Y.Labels, raw.points.Discrepancy.Y.Labels);
    EXPECT_EQ(summary.Discrepancy.Legend.size(), raw.points.Discrepancy.Legend.size());
    EXPECT_EQ(summary.Tail.size(), raw.points.Tail.size());
    EXPECT_EQ(summary.Tail.front().X, raw.points.Tail.front().X);
    EXPECT_EQ(summary.Case_t_top, raw.points.Case_t_top);
    EXPECT_EQ(summary.Tail_area, raw.points.Tail_area);
}
