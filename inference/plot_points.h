#pragma once

// What the plot window draws, computed from the analysis the report came from:
// the controls and the case as (predicted, obtained) pairs, the case's interval
// for an additional case, and the t density with the case's tail. Plain data,
// so that the window only draws and the figures can be checked without Qt.

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

struct tPlot_points {
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

    // The discrepancy as t on DF degrees of freedom; the shaded tail lies on
    // the case's side (below t for a negative t) and its area is the
    // percentage more extreme the report prints.
    double T = 0;
    int DF = 0;
    bool Tail_below = false;
    Extended Pct_more_extreme = 0;
    std::vector<tCurve_point> Density; // the t density over [-T_range, T_range]
    std::vector<tCurve_point> Tail;    // the density from t to the end on the case's side
    double T_range = 0;

    // One range for both score axes, so that equal scores lie on the diagonal:
    // every control, the case and the interval's closed ends fit, with a margin.
    double Score_low = 0;
    double Score_high = 0;
};

// The plot of an analysis of n controls (raw data rows 1..n, criterion in
// column 1, predictor i in column i + 1) and the case (row n + 1) with k
// predictors. `predicted`, `se_additional` and `results` are the case
// inference's. Raises EFloating_point_error when a figure is not finite.
tPlot_points Make_plot_points(const tData_matrix& data, int n, int k,
                              const tRegression_results& regression, Extended predicted,
                              Extended se_additional, const tCase_results& results, tLimits limits);

// The interval the user's limits call for; an open end is the score range's
// edge (the bar runs to the chart's border on that side).
struct tInterval_ends {
    double Low = 0;
    double High = 0;
    bool Low_open = false;
    bool High_open = false;
};
tInterval_ends Chosen_interval(const tPlot_points& points);

// The tail's area as the report writes the percentage more extreme: "4.438207%".
std::string Tail_area_text(const tPlot_points& points);

// The texts beside the charts, the same in every front end that draws them.
std::string Plot_title(const tPlot_points& points); // "Plot: obtained ..., predicted ..."
std::string Interval_legend_text(tLimits limits);
std::string Density_legend_text(const tPlot_points& points); // "t density (8 df)"
std::string Case_t_legend_text(const tPlot_points& points);  // "Case's t = -1.7778"
std::string Tail_legend_text(const tPlot_points& points);
