#include "inference/plot_points.h"

#include <algorithm>
#include <cmath>

#include "distributions/floating_point_faults.h"
#include "distributions/t_distribution.h"
#include "distributions/text_format.h"

namespace {

constexpr int Density_samples = 241;
constexpr int Tail_samples = 81;
constexpr double Score_margin = 0.06; // of the range, on each side

// Charts take doubles; a figure that does not fit one must not reach them.
double Finite(Extended value) {
    const double narrowed = static_cast<double>(value);
    Require_finite(narrowed);
    return narrowed;
}

std::vector<tCurve_point> Density_curve(const tT_distribution& t, double from, double to,
                                        int samples) {
    std::vector<tCurve_point> curve;
    curve.reserve(static_cast<std::size_t>(samples));
    for (int i = 0; i < samples; ++i) {
        const double x = from + (to - from) * i / (samples - 1);
        curve.push_back({x, Finite(t.Density(x))});
    }
    return curve;
}

} // namespace

tPlot_points Make_plot_points(const tData_matrix& data, int n, int k,
                              const tRegression_results& regression, Extended predicted,
                              Extended se_additional, const tCase_results& results,
                              tLimits limits) {
    tFloating_point_scope scope;
    tPlot_points points;
    points.Controls.reserve(static_cast<std::size_t>(n));
    for (int row = 1; row <= n; ++row) {
        Extended equation = regression.Intercept;
        for (int i = 1; i <= k; ++i)
            equation += regression.Coef[i] * data(row, i + 1);
        points.Controls.push_back({Finite(equation), Finite(data(row, 1))});
    }
    points.Case = {Finite(predicted), Finite(data(n + 1, 1))};
    points.SE_additional = Finite(se_additional);

    points.DF = static_cast<int>(results.DF);
    const tT_distribution t(results.DF);
    const Extended two_sided_half = t.Quantile(Extended_constant(0.975L)) * se_additional;
    const Extended one_sided_half = t.Quantile(Extended_constant(0.95L)) * se_additional;
    points.Two_sided_low = Finite(predicted - two_sided_half);
    points.Two_sided_high = Finite(predicted + two_sided_half);
    points.Lower_bound = Finite(predicted - one_sided_half);
    points.Upper_bound = Finite(predicted + one_sided_half);
    points.Limits = limits;

    points.T = Finite(results.T_value);
    points.Tail_below = points.T < 0;
    points.Pct_more_extreme = results.Pct_more_extreme;
    Require_finite(points.Pct_more_extreme);
    // Wide enough to show the case's t with some of the tail beyond it; whole,
    // so that the axis can end where the curve ends.
    points.T_range = std::ceil(std::max(4.0, 1.2 * std::fabs(points.T) + 0.5));
    points.Density = Density_curve(t, -points.T_range, points.T_range, Density_samples);
    points.Tail = points.Tail_below ? Density_curve(t, -points.T_range, points.T, Tail_samples)
                                    : Density_curve(t, points.T, points.T_range, Tail_samples);

    double low = std::min(points.Case.Predicted, points.Case.Obtained);
    double high = std::max(points.Case.Predicted, points.Case.Obtained);
    for (const tScore_point& control : points.Controls) {
        low = std::min({low, control.Predicted, control.Obtained});
        high = std::max({high, control.Predicted, control.Obtained});
    }
    const tInterval_ends interval = Chosen_interval(points);
    if (!interval.Low_open) low = std::min(low, interval.Low);
    if (!interval.High_open) high = std::max(high, interval.High);
    const double margin = high > low ? Score_margin * (high - low) : 1.0;
    points.Score_low = Finite(Extended(low) - margin);
    points.Score_high = Finite(Extended(high) + margin);
    scope.Check();
    return points;
}

tInterval_ends Chosen_interval(const tPlot_points& points) {
    switch (points.Limits) {
    case tLimits::Lower:
        return {points.Lower_bound, points.Score_high, false, true};
    case tLimits::Upper:
        return {points.Score_low, points.Upper_bound, true, false};
    case tLimits::Two_sided:
        break;
    }
    return {points.Two_sided_low, points.Two_sided_high, false, false};
}

std::string Tail_area_text(const tPlot_points& points) {
    return Format_text("%1.6Lf%%", points.Pct_more_extreme);
}

std::string Plot_title(const tPlot_points& points) {
    return Format_text("Plot: obtained %1.4f, predicted %1.4f", points.Case.Obtained,
                       points.Case.Predicted);
}

std::string Interval_legend_text(tLimits limits) {
    switch (limits) {
    case tLimits::Lower:
        return "95% interval for an additional case (lower bound, open above)";
    case tLimits::Upper:
        return "95% interval for an additional case (upper bound, open below)";
    case tLimits::Two_sided:
        break;
    }
    return "95% interval for an additional case";
}

std::string Density_legend_text(const tPlot_points& points) {
    return Format_text("t density (%d df)", points.DF);
}

std::string Case_t_legend_text(const tPlot_points& points) {
    return Format_text("Case's t = %1.4f", points.T);
}

std::string Tail_legend_text(const tPlot_points& points) {
    return "Population more extreme than the case: " + Tail_area_text(points);
}
