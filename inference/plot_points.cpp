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
constexpr int Score_ticks = 5;        // asked for; round ends give 3 to 7
constexpr int Most_t_steps = 8;
constexpr double Density_step = 0.1;
constexpr int Most_ticks = 50; // far above any rule's count: a bound, not a rule
// A label longer than this in fixed notation is written with an exponent
// where that is shorter.
constexpr std::size_t Long_label = 12;

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

// The power of ten of `x` > 0; a hair of slack keeps 0.1 at -1 whatever its
// last bit.
int Decade(double x) {
    return static_cast<int>(std::floor(std::log10(x) + 1e-9));
}

// 1, 2 or 5 times a power of ten: the least at or above `x`, or the nearest
// to it. The slack keeps a quotient a bit off 2 or 5 in its last bits (the
// power of ten is inexact) from rounding up a whole step.
double Round_number(double x, bool at_least) {
    const double power = std::pow(10.0, Decade(x));
    const double q = x / power;
    constexpr double slack = 1e-9;
    double round = 10;
    if (at_least)
        round = q <= 1 + slack ? 1 : q <= 2 + slack ? 2 : q <= 5 + slack ? 5 : 10;
    else
        round = q < 1.5 ? 1 : q < 3 ? 2 : q < 7 ? 5 : 10;
    return round * power;
}

// The tick texts: the decimals the step needs, so that neighbours differ, or
// an exponent where that is shorter.
std::vector<std::string> Tick_labels(const std::vector<double>& ticks, double step) {
    const int decimals = std::max(0, -Decade(step));
    double largest = 0;
    for (const double tick : ticks)
        largest = std::max(largest, std::fabs(tick));
    const int digits = largest > 0 ? std::clamp(Decade(largest) - Decade(step), 0, 16) : 0;
    // Written out, not "%.*f": the WebAssembly build formats one value a conversion.
    const std::string fixed_format = "%." + std::to_string(decimals) + "f";
    const std::string exponent_format = "%." + std::to_string(digits) + "e";
    std::vector<std::string> fixed, exponent;
    std::size_t fixed_length = 0, exponent_length = 0;
    for (const double tick : ticks) {
        fixed.push_back(Format_text(fixed_format.c_str(), tick));
        exponent.push_back(Format_text(exponent_format.c_str(), tick));
        fixed_length = std::max(fixed_length, fixed.back().size());
        exponent_length = std::max(exponent_length, exponent.back().size());
    }
    return fixed_length > Long_label && exponent_length < fixed_length ? exponent : fixed;
}

// Ticks at whole steps from `low` to `high`; a tick that narrowing or its
// text cannot tell from the one before is left out.
void Set_ticks(tPlot_axis& axis, double step) {
    axis.Ticks.clear();
    const double first = std::ceil(axis.Low / step - 1e-9);
    for (int i = 0; i < Most_ticks; ++i) {
        // Adding 0 turns -0 into 0, so that no label reads "-0".
        const double tick = (first + i) * step + 0.0;
        if (tick > axis.High + 1e-9 * step) break;
        if (axis.Ticks.empty() || tick > axis.Ticks.back()) axis.Ticks.push_back(tick);
    }
    axis.Labels = Tick_labels(axis.Ticks, step);
    for (std::size_t i = 1; i < axis.Labels.size();)
        if (axis.Labels[i] == axis.Labels[i - 1]) {
            axis.Labels.erase(axis.Labels.begin() + static_cast<std::ptrdiff_t>(i));
            axis.Ticks.erase(axis.Ticks.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
            ++i;
        }
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

// The case's figures shared by both kinds of plot: the title, the interval
// for an additional case, and the t chart.
void Set_case(tPlot_points& points, Extended obtained, Extended predicted, Extended se_additional,
              const tCase_results& results, tLimits limits) {
    points.Case = {Finite(predicted), Finite(obtained)};
    points.SE_additional = Finite(se_additional);
    points.Title = Format_text("Plot: obtained %1.4f, predicted %1.4f", points.Case.Obtained,
                               points.Case.Predicted);

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
    points.Tail_area = Format_text("%1.6Lf%%", points.Pct_more_extreme);

    // Wide enough to show the case's t with some of the tail beyond it; whole,
    // so that the axis ends where the curve ends.
    const double range = std::ceil(std::max(4.0, 1.2 * std::fabs(points.T) + 0.5));
    points.Density = Density_curve(t, -range, range, Density_samples);
    points.Tail = points.Tail_below ? Density_curve(t, -range, points.T, Tail_samples)
                                    : Density_curve(t, points.T, range, Tail_samples);
    double peak = 0;
    for (const tCurve_point& p : points.Density)
        peak = std::max(peak, p.Y);
    // Room above the peak for the tail's label.
    points.Case_t_top = peak * 1.05;

    tChart_frame& frame = points.Discrepancy;
    frame.Caption =
        "The case's t on the t distribution, with the population more extreme than the case";
    // t at round whole steps from 0; the density every 0.1, up past the peak.
    frame.X = {"t on the discrepancy", -range, range, {}, {}};
    Set_ticks(frame.X, std::max(1.0, Round_number(2 * range / Most_t_steps, true)));
    const double top = std::max(Density_step, std::ceil(peak * 12) / 10);
    frame.Y = {"Density", 0, top, {}, {}};
    Set_ticks(frame.Y, Density_step);
    frame.Legend = {
        {tPlot_mark::Density, Format_text("t density (%d df)", points.DF)},
        {tPlot_mark::Case_t, Format_text("Case's t = %1.4f", points.T)},
        {tPlot_mark::Tail, "Population more extreme than the case: " + points.Tail_area}};
}

} // namespace

tPlot_axis Round_axis(const std::string& title, double low, double high) {
    Require_finite(high - low);
    // Scores so close that doubles cannot tell them apart give no axis.
    if (!(high > low)) throw EFloating_point_error("Plot: the scores' range is empty");
    // A span near the largest double rounds up to infinity.
    const double range = Round_number(high - low, true);
    Require_finite(range);
    const double step = Round_number(range / (Score_ticks - 1), false);
    tPlot_axis axis{
        title, std::floor(low / step) * step + 0.0, std::ceil(high / step) * step + 0.0, {}, {}};
    Set_ticks(axis, step);
    return axis;
}

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
    Set_case(points, data(n + 1, 1), predicted, se_additional, results, limits);

    // One range for both axes, so that equal scores lie on the diagonal: every
    // control, the case and the interval's closed ends fit, with a margin.
    double low = std::min(points.Case.Predicted, points.Case.Obtained);
    double high = std::max(points.Case.Predicted, points.Case.Obtained);
    for (const tScore_point& control : points.Controls) {
        low = std::min({low, control.Predicted, control.Obtained});
        high = std::max({high, control.Predicted, control.Obtained});
    }
    // An open end runs to the border and widens nothing.
    if (limits != tLimits::Upper)
        low = std::min(low, limits == tLimits::Lower ? points.Lower_bound : points.Two_sided_low);
    if (limits != tLimits::Lower)
        high =
            std::max(high, limits == tLimits::Upper ? points.Upper_bound : points.Two_sided_high);
    const double margin = high > low ? Score_margin * (high - low) : 1.0;
    tChart_frame& frame = points.Scores;
    frame.Caption = "Obtained against predicted scores: the controls, the case and its interval";
    frame.X = Round_axis("Predicted score (regression equation)", Finite(Extended(low) - margin),
                         Finite(Extended(high) + margin));
    frame.Y = frame.X;
    frame.Y.Title = "Obtained score (criterion Y)";
    frame.Legend = {{tPlot_mark::Controls, "Controls"},
                    {tPlot_mark::Case, "Case"},
                    {tPlot_mark::Equal_scores, "Line of equal scores"},
                    {tPlot_mark::Interval, Interval_legend_text(limits)}};
    points.Cap_half_width = 0.015 * (frame.X.High - frame.X.Low);
    scope.Check();
    return points;
}

tPlot_points Make_plot_points(Extended obtained, Extended predicted, Extended se_additional,
                              const tCase_results& results, tLimits limits) {
    tFloating_point_scope scope;
    tPlot_points points;
    points.Has_scores = false;
    Set_case(points, obtained, predicted, se_additional, results, limits);
    scope.Check();
    return points;
}

tInterval_ends Chosen_interval(const tPlot_points& points) {
    switch (points.Limits) {
    case tLimits::Lower:
        return {points.Lower_bound, points.Scores.Y.High, false, true};
    case tLimits::Upper:
        return {points.Scores.Y.Low, points.Upper_bound, true, false};
    case tLimits::Two_sided:
        break;
    }
    return {points.Two_sided_low, points.Two_sided_high, false, false};
}
