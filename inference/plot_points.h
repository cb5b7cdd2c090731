#pragma once

// What the plot draws, computed from the analysis the report came from: the
// controls and the case as (predicted, obtained) pairs with the case's
// interval for an additional case, and the t density with the case's tail.
// The charts' frames come with them (axis ranges, ticks and their labels,
// titles, legend texts), so that every front end draws the same chart and
// only draws: the rules live here, once, and are checked without a screen.

#include <string>
#include <vector>

#include "distributions/extended.h"
#include "inference/case_records.h"
#include "inference/limits.h"
#include "inference/regression_results.h"
#include "matrix/matrix_types.h"

struct tScore_point {
    double Predicted = 0; // from the regression equation
    double Obtained = 0;  // the criterion Y
};

struct tCurve_point {
    double X = 0;
    double Y = 0;
};

// An axis as it is drawn: its title, its ends, and its ticks with the text of
// each (every label with the decimals the step between ticks needs).
struct tPlot_axis {
    std::string Title;
    double Low = 0;
    double High = 0;
    std::vector<double> Ticks; // ascending, from Low to High
    std::vector<std::string> Labels;
};

// What a legend entry stands for; each front end gives it its symbol.
enum class tPlot_mark { Controls, Case, Equal_scores, Interval, Density, Case_t, Tail };

struct tLegend_entry {
    tPlot_mark Mark;
    std::string Text;
};

// One chart's frame: a caption saying what it shows (for those who cannot
// see it), its two axes and its legend, in order.
struct tChart_frame {
    std::string Caption;
    tPlot_axis X;
    tPlot_axis Y;
    std::vector<tLegend_entry> Legend;
};

struct tPlot_points {
    std::string Title; // "Plot: obtained 40.0000, predicted 60.0000"

    // Obtained against predicted scores. Summary statistics have no controls
    // to draw: then there is no such chart.
    bool Has_scores = true;
    tChart_frame Scores;                // both axes have the same range and ticks
    std::vector<tScore_point> Controls; // rows 1..n of the raw data, in order
    tScore_point Case;
    double SE_additional = 0;

    // 95% interval for an additional case at the case's predicted score, for
    // each kind of limits: predicted -/+ t(0.975, df) SE two-sided, or the
    // one-sided bound predicted -/+ t(0.95, df) SE.
    double Two_sided_low = 0;
    double Two_sided_high = 0;
    double Lower_bound = 0; // one-sided lower: from here upward
    double Upper_bound = 0; // one-sided upper: up to here
    tLimits Limits = tLimits::Two_sided;
    double Cap_half_width = 0; // of the caps on the interval's closed ends

    // The discrepancy as t on DF degrees of freedom; the shaded tail lies on
    // the case's side (below t for a negative t) and its area is the
    // percentage more extreme the report prints.
    tChart_frame Discrepancy; // t from -X.High to X.High; the density from 0
    double T = 0;
    int DF = 0;
    bool Tail_below = false;
    Extended Pct_more_extreme = 0;
    std::vector<tCurve_point> Density; // the t density over the whole t axis
    std::vector<tCurve_point> Tail;    // the density from t to the axis' end on the case's side
    double Case_t_top = 0;             // the case's line runs from 0 up to here
    std::string Tail_area;             // written beside the tail: "4.438207%"
};

// The plot of an analysis of n controls (raw data rows 1..n, criterion in
// column 1, predictor i in column i + 1) and the case (row n + 1) with k
// predictors. `predicted`, `se_additional` and `results` are the case
// inference's. Raises EFloating_point_error when a figure is not finite.
tPlot_points Make_plot_points(const tData_matrix& data, int n, int k,
                              const tRegression_results& regression, Extended predicted,
                              Extended se_additional, const tCase_results& results, tLimits limits);

// The plot of an analysis from summary statistics: the case's t chart alone.
tPlot_points Make_plot_points(Extended obtained, Extended predicted, Extended se_additional,
                              const tCase_results& results, tLimits limits);

// The interval the user's limits call for; an open end is the score axis'
// end (the bar runs to the chart's border on that side).
struct tInterval_ends {
    double Low = 0;
    double High = 0;
    bool Low_open = false;
    bool High_open = false;
};
tInterval_ends Chosen_interval(const tPlot_points& points);

// A score axis from `low` to `high` widened to round ends: a step of 1, 2 or
// 5 times a power of ten giving about five ticks, each end a whole number of
// steps. Low < high.
tPlot_axis Round_axis(const std::string& title, double low, double high);
