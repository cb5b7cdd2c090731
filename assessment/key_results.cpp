#include "assessment/key_results.h"

#include "distributions/text_format.h"

namespace {

// The report's precisions; its widths only pad.
std::string Score(Extended value) {
    return Format_text("%.4Lf", value);
}
std::string Degrees_of_freedom(Extended value) {
    return Format_text("%.0Lf", value);
}
std::string Probability(Extended value) {
    return Format_text("%.4Lf", value);
}
std::string Percentage(Extended value) {
    return Format_text("%.6Lf", value);
}
std::string Percentage_limit(Extended value) {
    return Format_text("%.4Lf", value);
}
std::string Effect_size(Extended value) {
    return Format_text("%.3Lf", value);
}

// "(95% CI = a to b)", "(95% lower limit = a)" or "(95% upper limit = b)",
// each limit written by `write`.
template <typename tWrite>
std::string Limits_text(tLimits limits, Extended lower, Extended upper, tWrite write,
                        const char* unit) {
    switch (limits) {
    case tLimits::Two_sided:
        return "(95% CI = " + write(lower) + unit + " to " + write(upper) + unit + ")";
    case tLimits::Lower:
        return "(95% lower limit = " + write(lower) + unit + ")";
    case tLimits::Upper:
        break;
    }
    return "(95% upper limit = " + write(upper) + unit + ")";
}

} // namespace

tKey_results Key_results(const tControl_analysis& controls, const tCase_analysis& c) {
    const tCase_results& r = c.Results;
    const Extended discrepancy = c.Case.Case_Y - c.Predicted;
    tKey_results key;
    key.Figures = {
        {"Obtained score", Score(c.Case.Case_Y)},
        {"Predicted score", Score(c.Predicted)},
        {"Discrepancy (obtained minus predicted)", Score(discrepancy)},
        {"t on the discrepancy", Score(r.T_value) + " on " + Degrees_of_freedom(r.DF) + " df"},
        {"Probability", "one-tailed " + Probability(r.P_one_tailed) + ", two-tailed " +
                            Probability(r.P_two_tailed)},
        {"Population more extreme than the case",
         Percentage(r.Pct_more_extreme) + "% " +
             Limits_text(controls.Limits, r.Pct_lower, r.Pct_upper, Percentage_limit, "%")},
        {"Effect size (Z-OP)",
         Effect_size(r.ZOP) + " " +
             Limits_text(controls.Limits, r.ZOP_lower, r.ZOP_upper, Effect_size, "")},
    };
    if (discrepancy < 0)
        key.Direction = "The case's obtained score lies below the score the regression equation "
                        "predicts for the case.";
    else if (discrepancy > 0)
        key.Direction = "The case's obtained score lies above the score the regression equation "
                        "predicts for the case.";
    else
        key.Direction = "The case's obtained score equals the score the regression equation "
                        "predicts for the case.";
    return key;
}

std::vector<std::string> Rounded_case_figures(const tCase_analysis& c, tLimits limits) {
    const tCase_results& r = c.Results;
    const bool lower = limits != tLimits::Upper;
    const bool upper = limits != tLimits::Lower;
    return {Score(c.Case.Case_Y),
            Score(c.Predicted),
            Score(c.Case.Case_Y - c.Predicted),
            Score(c.SE_additional),
            Score(r.T_value),
            Degrees_of_freedom(r.DF),
            Probability(r.P_one_tailed),
            Probability(r.P_two_tailed),
            Percentage(r.Pct_more_extreme),
            lower ? Percentage_limit(r.Pct_lower) : "",
            upper ? Percentage_limit(r.Pct_upper) : "",
            Effect_size(r.ZOP),
            lower ? Effect_size(r.ZOP_lower) : "",
            upper ? Effect_size(r.ZOP_upper) : ""};
}
