#include "app/report.h"

#include <clocale>
#include <cstdio>
#include <locale.h>
#include <stdexcept>

#include "app/program_texts.h"
#include "matrix/matrix_inverse.h"
#include "matrix/matrix_printing.h"
#include "matrix/matrix_routines.h"

const std::string Report_separator(102, '_');
const std::string Table_rule = " " + std::string(97, '_');

namespace {

// printf-style formatting switched to the C locale for the life of the
// object: the windows set the process locale to the user's, which may write a
// decimal comma. The switch is per thread and undone on the way out.
class tC_numeric_formatting {
public:
    tC_numeric_formatting() {
        static const locale_t c_locale =
            newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
        if (c_locale) previous_ = uselocale(c_locale);
    }
    ~tC_numeric_formatting() {
        if (previous_) uselocale(previous_);
    }
    tC_numeric_formatting(const tC_numeric_formatting&) = delete;
    tC_numeric_formatting& operator=(const tC_numeric_formatting&) = delete;

private:
    locale_t previous_ = nullptr;
};

template <typename... Args> std::string Format(const char* format, Args... args) {
    // Sized for any value: a wild data value can print hundreds of digits.
    const int length = std::snprintf(nullptr, 0, format, args...);
    std::string text(static_cast<std::size_t>(length), ' ');
    std::snprintf(text.data(), text.size() + 1, format, args...);
    return text;
}

// The number of characters of a UTF-8 text (continuation bytes not counted).
std::size_t Character_count(const std::string& text) {
    std::size_t count = 0;
    for (const char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
    return count;
}

// The squared semi-partial correlation of each predictor: the share of the
// criterion's variance that it alone explains, Beta_i squared times the part
// of the predictor not shared with the others, 1 / (R_xx inverse)[i, i].
// Beta_i squared alone would overstate it for correlated predictors, even
// beyond 1.
tVector Squared_semi_partials(const tAnalysis& a) {
    tSelection predictors;
    Fill_selection(a.NVars, predictors);
    predictors[1] = false;
    tMatrix r_xx;
    Select_submatrix(a.Corr, a.NVars, predictors, r_xx);
    tMatrix inverse;
    // The analysis has inverted this same matrix to build the equation.
    if (!Invert_matrix(r_xx, a.K, inverse))
        throw std::logic_error("Report: the predictors' correlations cannot be inverted");
    tVector result;
    for (int i = 1; i <= a.K; ++i)
        result[i] = a.Regression.Beta[i] * a.Regression.Beta[i] / inverse(i, i);
    return result;
}

} // namespace

std::size_t Notes_length(const std::vector<std::string>& notes) {
    std::size_t length = 0;
    for (std::size_t i = 0; i < notes.size(); ++i)
        length += Character_count(notes[i]) + (i > 0 ? 2 : 0);
    return length;
}

std::vector<std::string> Report_lines(const tAnalysis& a, const std::vector<std::string>& notes,
                                      bool viewer_has_text) {
    const tC_numeric_formatting c_formatting;
    std::vector<std::string> out;
    const auto empty = [&] { out.emplace_back(); };
    const auto blank = [&] { out.emplace_back(" "); };
    const tRegression_results& reg = a.Regression;
    const tCase_results& res = a.Results;
    const int nvars = a.NVars;

    // Heading.
    if (viewer_has_text) out.push_back(Report_separator);
    empty();
    out.push_back(ProgramDescription);
    empty();
    out.emplace_back(
        " THIS PROGRAM IMPLEMENTS STATISTICAL METHODS DEVELOPED IN THE FOLLOWING PAPER:");
    out.insert(out.end(), MethodReferenceLines.begin(), MethodReferenceLines.end());
    empty();
    empty();

    if (!notes.empty()) {
        out.push_back(" " + NotesCaption + " " + notes.front());
        for (std::size_t i = 1; i < notes.size(); ++i)
            out.push_back(std::string(15, ' ') + notes[i]);
        blank();
    }

    // Inputs.
    out.emplace_back(" INPUTS :");
    out.push_back(Format(" Number of predictor (i.e., X) variables  =               %3d", a.K));
    out.push_back(Format(" Sample size (n) for sample providing the summary data  = %3d", a.N));
    switch (a.Limits) {
    case tLimit_choice::Two_sided:
        out.emplace_back(" Credible limit required:                                  Two-sided");
        break;
    case tLimit_choice::One_sided_lower:
        out.emplace_back(
            " Credible limit required:                                  One-sided lower");
        break;
    case tLimit_choice::One_sided_upper:
        out.emplace_back(
            " Credible limit required:                                  One-sided upper");
        break;
    }
    empty();

    Print_data_matrix(*a.Data, a.N, nvars, " Raw data for controls:", out);
    empty();

    // Summary statistics.
    out.emplace_back(" INPUTS: Summary statistics for sample providing the data together with "
                     "scores of the case:");
    out.push_back(Table_rule);
    out.emplace_back("  Measure                             Control            Control         "
                     "         Scores   ");
    out.emplace_back("                                       Mean                SD              "
                     "      for Case");
    out.push_back(Table_rule);
    for (int i = 1; i <= nvars; ++i)
        out.push_back(" " + a.Labels[i] +
                      Format(":      %21.3Lf     %13.3Lf            %13.3Lf ", a.Means[i], a.SDs[i],
                             a.Case_scores[i]));
    out.push_back(Table_rule);
    blank();
    blank();
    empty();

    Print_matrix(a.Corr, nvars,
                 " INPUTS: Correlation(s) between criterion and predictor(s) in sample:", out);
    empty();

    // Regression equation.
    out.emplace_back(" OUTPUTS: Regression equation (alpha & betas) and squared semi-partial "
                     "correlation for predictors:");
    out.push_back(Table_rule);
    out.emplace_back("  Predictor                             Beta             Squared "
                     "semi-partial            ");
    out.emplace_back("                                                              correlation    "
                     "            ");
    out.push_back(Table_rule);
    out.push_back(Format(" Intercept (alpha):             %13.3Lf                      -        ",
                         reg.Intercept));
    empty();
    const tVector semi_partial = Squared_semi_partials(a);
    for (int i = 1; i <= a.K; ++i)
        out.push_back(
            " " + a.Labels[i + 1] +
            Format(" :             %13.3Lf            %13.3Lf", reg.Coef[i], semi_partial[i]));
    out.push_back(Table_rule);
    blank();
    blank();

    // Further results for the regression model.
    out.emplace_back(" OUTPUTS: FURTHER RESULTS FOR THE MULTIPLE REGRESSION MODEL:");
    out.push_back(
        Format(" Standard error of estimate for regression equation =     %11.3Lf", reg.SEE));
    out.push_back(
        Format(" Multiple R for regression equation =                     %11.3Lf", reg.Mult_R));
    out.push_back(
        Format(" R Squared for regression equation  =                     %11.3Lf", reg.R_squared));
    out.push_back(Format(" Adjusted (shrunken) R Squared for regression equation =  %11.3Lf",
                         reg.Adj_R_squared));
    out.push_back(
        Format(" Significance test for overall regression: F [%2.0Lf, %2.0Lf] =    %11.4Lf ",
               reg.DF1, reg.DF2, reg.F_value));
    out.push_back(
        Format(" Significance test for overal regression: p value =        %11.4Lf ", reg.F_prob));
    empty();
    empty();

    // Results for the case.
    const Extended case_y = a.Case.Case_Y;
    out.emplace_back(" OUTPUTS: RESULTS FROM ANALYSIS OF THE INDIVIDUAL CASE:");
    empty();
    out.push_back(
        Format(" Case's OBTAINED  score on Task of Interest      =       %7.4Lf", case_y));
    out.push_back(
        Format(" Case's PREDICTED score from regression equation =       %7.4Lf", a.Predicted));
    out.push_back(Format(" Discrepancy (obtained minus predicted) between case's obtained and "
                         "predicted scores = %3.4Lf",
                         case_y - a.Predicted));
    empty();
    switch (a.Limits) {
    case tLimit_choice::Two_sided:
        out.emplace_back(" Effect size (Z-OP) for discrepancy between obtained and predicted "
                         "scores (plus 95% CI): ");
        out.push_back(Format(" Effect size (Z-OP) = %2.3Lf (95%% CI = %3.3Lf  to  %3.3Lf)", res.ZOP,
                             res.ZOP_lower, res.ZOP_upper));
        break;
    case tLimit_choice::One_sided_lower:
        out.emplace_back(" Effect size (Z-OP) for discrepancy between obtained and predicted "
                         "scores (plus 95% lower limit): ");
        out.push_back(Format(" Effect size (Z-OP) = %2.3Lf (95%% lower limit = %3.3Lf )", res.ZOP,
                             res.ZOP_lower));
        break;
    case tLimit_choice::One_sided_upper:
        out.emplace_back(" Effect size (Z-OP) for discrepancy between obtained and predicted "
                         "scores (plus 95% upper limit): ");
        out.push_back(Format(" Effect size (Z-OP) = %2.3Lf (95%% upper limit = %3.3Lf )", res.ZOP,
                             res.ZOP_upper));
        break;
    }
    empty();
    out.push_back(
        Format(" Standard error for an additional (i.e., N + 1th) case = %7.4Lf", a.SE_additional));
    empty();
    out.emplace_back(" Significance test (t) on the discrepancy between the case's obtained and "
                     "predicted scores:");
    out.push_back(Format(" t value (on %2.0Lf df) =     %7.4Lf", res.DF, res.T_value));
    out.push_back(Format(" One-tailed probability = %7.4Lf", res.P_one_tailed));
    out.push_back(Format(" Two-tailed probability = %7.4Lf", res.P_two_tailed));
    empty();
    out.push_back(Format(" Estimated percentage of population obtaining a discrepancy more "
                         "extreme than the case = %1.6Lf%%",
                         res.Pct_more_extreme));
    switch (a.Limits) {
    case tLimit_choice::Two_sided:
        out.push_back(Format(" 95%% confidence limits on the percentage = %1.4Lf%% to %1.4Lf%% ",
                             res.Pct_lower, res.Pct_upper));
        break;
    case tLimit_choice::One_sided_lower:
        out.push_back(
            Format(" 95%% (one-sided) lower confidence limit on the percentage = %1.4Lf%%",
                   res.Pct_lower));
        break;
    case tLimit_choice::One_sided_upper:
        out.push_back(
            Format(" 95%% (one-sided) upper confidence limit on the percentage = %1.4Lf%%",
                   res.Pct_upper));
        break;
    }
    empty();
    return out;
}
