#include "assessment/report.h"

#include "assessment/program_texts.h"
#include "distributions/text_format.h"
#include "matrix/matrix_printing.h"

const std::string Report_separator(102, '_');
const std::string Table_rule = " " + std::string(97, '_');
const std::string Summary_statistics_line =
    " The regression equation was built from summary statistics (no raw data for controls).";

namespace {

// The report's lines, handed one at a time to a sink as each is formed.
class tLines {
public:
    explicit tLines(const tLine_sink& put) : put_(put) {}
    void push_back(const std::string& line) { put_(line); }
    void emplace_back(const std::string& line = {}) { put_(line); }
    const tLine_sink& Sink() const { return put_; }

private:
    const tLine_sink& put_;
};

// The texts that change with the kind of limits, in the order of tLimits.
// Each format takes the limits it names, lower before upper; printf ignores
// the argument a one-sided format does not use.
struct tLimit_texts {
    const char* Credible_limit; // the INPUTS line
    const char* Effect_size_heading;
    const char* Effect_size_limits; // after the Z-OP
    const char* Percentage_format;  // the limits on the percentage
    bool Upper_only;                // the one limit shown is the upper one
};

constexpr tLimit_texts Limit_texts[] = {
    {" Credible limit required:                                  Two-sided",
     " Effect size (Z-OP) for discrepancy between obtained and predicted scores (plus 95% CI): ",
     " (95%% CI = %3.3Lf  to  %3.3Lf)",
     " 95%% confidence limits on the percentage = %1.4Lf%% to %1.4Lf%% ", false},
    {" Credible limit required:                                  One-sided lower",
     " Effect size (Z-OP) for discrepancy between obtained and predicted scores (plus 95% lower "
     "limit): ",
     " (95%% lower limit = %3.3Lf )",
     " 95%% (one-sided) lower confidence limit on the percentage = %1.4Lf%%", false},
    {" Credible limit required:                                  One-sided upper",
     " Effect size (Z-OP) for discrepancy between obtained and predicted scores (plus 95% upper "
     "limit): ",
     " (95%% upper limit = %3.3Lf )",
     " 95%% (one-sided) upper confidence limit on the percentage = %1.4Lf%%", true},
};

const tLimit_texts& Texts_for(tLimits limits) {
    return Limit_texts[static_cast<int>(limits)];
}

// `format` filled with the limits its kind shows, lower first.
std::string With_limits(const tLimit_texts& texts, const char* format, Extended lower,
                        Extended upper) {
    return texts.Upper_only ? Format_text(format, upper) : Format_text(format, lower, upper);
}

void Heading(tLines& out, bool viewer_has_text) {
    if (viewer_has_text) out.push_back(Report_separator);
    out.emplace_back();
    out.push_back(ProgramDescription);
    out.emplace_back();
    out.emplace_back(
        " THIS PROGRAM IMPLEMENTS STATISTICAL METHODS DEVELOPED IN THE FOLLOWING PAPER:");
    for (const std::string& line : MethodReferenceLines)
        out.push_back(line);
    out.emplace_back();
    out.emplace_back();
}

void Notes(tLines& out, const std::vector<std::string>& notes) {
    if (notes.empty()) return;
    out.push_back(" " + NotesCaption + " " + notes.front());
    for (std::size_t i = 1; i < notes.size(); ++i)
        out.push_back(std::string(15, ' ') + notes[i]);
    out.emplace_back(" ");
}

void Inputs(tLines& out, const tControl_analysis& a) {
    out.emplace_back(" INPUTS :");
    out.push_back(
        Format_text(" Number of predictor (i.e., X) variables  =               %3d", a.K));
    out.push_back(
        Format_text(" Sample size (n) for sample providing the summary data  = %3d", a.N));
    out.emplace_back(Texts_for(a.Limits).Credible_limit);
    out.emplace_back();
    if (a.Data) {
        Print_data_matrix(*a.Data, a.N, a.NVars, " Raw data for controls:", out.Sink());
    } else {
        out.push_back(Summary_statistics_line);
        out.emplace_back();
    }
    out.emplace_back();
}

void Summary_statistics(tLines& out, const tControl_analysis& a, const tCase_analysis& c) {
    out.emplace_back(" INPUTS: Summary statistics for sample providing the data together with "
                     "scores of the case:");
    out.push_back(Table_rule);
    out.emplace_back("  Measure                             Control            Control         "
                     "         Scores   ");
    out.emplace_back("                                       Mean                SD              "
                     "      for Case");
    out.push_back(Table_rule);
    for (int i = 1; i <= a.NVars; ++i)
        out.push_back(" " + a.Labels[i] +
                      Format_text(":      %21.3Lf     %13.3Lf            %13.3Lf ", a.Means[i],
                                  a.SDs[i], c.Case_scores[i]));
    out.push_back(Table_rule);
    out.emplace_back(" ");
    out.emplace_back(" ");
    out.emplace_back();
    Print_matrix(
        a.Corr, a.NVars,
        " INPUTS: Correlation(s) between criterion and predictor(s) in sample:", out.Sink());
    out.emplace_back();
}

void Regression_equation(tLines& out, const tControl_analysis& a) {
    out.emplace_back(" OUTPUTS: Regression equation (alpha & betas) and squared semi-partial "
                     "correlation for predictors:");
    out.push_back(Table_rule);
    out.emplace_back("  Predictor                             Beta             Squared "
                     "semi-partial            ");
    out.emplace_back("                                                              correlation    "
                     "            ");
    out.push_back(Table_rule);
    out.push_back(
        Format_text(" Intercept (alpha):             %13.3Lf                      -        ",
                    a.Regression.Intercept));
    out.emplace_back();
    for (int i = 1; i <= a.K; ++i)
        out.push_back(" " + a.Labels[i + 1] +
                      Format_text(" :             %13.3Lf            %13.3Lf", a.Regression.Coef[i],
                                  a.Squared_semi_partials[i]));
    out.push_back(Table_rule);
    out.emplace_back(" ");
    out.emplace_back(" ");
}

void Model_fit(tLines& out, const tRegression_results& reg) {
    out.emplace_back(" OUTPUTS: FURTHER RESULTS FOR THE MULTIPLE REGRESSION MODEL:");
    out.push_back(
        Format_text(" Standard error of estimate for regression equation =     %11.3Lf", reg.SEE));
    out.push_back(Format_text(" Multiple R for regression equation =                     %11.3Lf",
                              reg.Mult_R));
    out.push_back(Format_text(" R Squared for regression equation  =                     %11.3Lf",
                              reg.R_squared));
    out.push_back(Format_text(" Adjusted (shrunken) R Squared for regression equation =  %11.3Lf",
                              reg.Adj_R_squared));
    out.push_back(
        Format_text(" Significance test for overall regression: F [%2.0Lf, %2.0Lf] =    %11.4Lf ",
                    reg.DF1, reg.DF2, reg.F_value));
    out.push_back(Format_text(" Significance test for overal regression: p value =        %11.4Lf ",
                              reg.F_prob));
    out.emplace_back();
    out.emplace_back();
}

void Case_results(tLines& out, const tControl_analysis& a, const tCase_analysis& c) {
    const tCase_results& res = c.Results;
    const Extended case_y = c.Case.Case_Y;
    out.emplace_back(" OUTPUTS: RESULTS FROM ANALYSIS OF THE INDIVIDUAL CASE:");
    out.emplace_back();
    out.push_back(
        Format_text(" Case's OBTAINED  score on Task of Interest      =       %7.4Lf", case_y));
    out.push_back(Format_text(" Case's PREDICTED score from regression equation =       %7.4Lf",
                              c.Predicted));
    out.push_back(Format_text(" Discrepancy (obtained minus predicted) between case's obtained "
                              "and predicted scores = %3.4Lf",
                              case_y - c.Predicted));
    out.emplace_back();
    const tLimit_texts& texts = Texts_for(a.Limits);
    out.emplace_back(texts.Effect_size_heading);
    out.push_back(Format_text(" Effect size (Z-OP) = %2.3Lf", res.ZOP) +
                  With_limits(texts, texts.Effect_size_limits, res.ZOP_lower, res.ZOP_upper));
    out.emplace_back();
    out.push_back(Format_text(" Standard error for an additional (i.e., N + 1th) case = %7.4Lf",
                              c.SE_additional));
    out.emplace_back();
    out.emplace_back(" Significance test (t) on the discrepancy between the case's obtained and "
                     "predicted scores:");
    out.push_back(Format_text(" t value (on %2.0Lf df) =     %7.4Lf", res.DF, res.T_value));
    out.push_back(Format_text(" One-tailed probability = %7.4Lf", res.P_one_tailed));
    out.push_back(Format_text(" Two-tailed probability = %7.4Lf", res.P_two_tailed));
    out.emplace_back();
    out.push_back(Format_text(" Estimated percentage of population obtaining a discrepancy more "
                              "extreme than the case = %1.6Lf%%",
                              res.Pct_more_extreme));
    out.push_back(With_limits(texts, texts.Percentage_format, res.Pct_lower, res.Pct_upper));
    out.emplace_back();
}

} // namespace

void Report_lines(const tControl_analysis& controls, const tCase_analysis& case_analysis,
                  const std::vector<std::string>& notes, bool viewer_has_text,
                  const tLine_sink& put) {
    tLines out(put);
    Heading(out, viewer_has_text);
    Notes(out, notes);
    Inputs(out, controls);
    Summary_statistics(out, controls, case_analysis);
    Regression_equation(out, controls);
    Model_fit(out, controls.Regression);
    Case_results(out, controls, case_analysis);
}

std::vector<std::string> Report_lines(const tControl_analysis& controls,
                                      const tCase_analysis& case_analysis,
                                      const std::vector<std::string>& notes, bool viewer_has_text) {
    std::vector<std::string> lines;
    // The data listing's rows and some 80 more lines: sized once, not grown.
    constexpr std::size_t other_lines = 96;
    lines.reserve(other_lines + notes.size() +
                  (controls.Data ? static_cast<std::size_t>(controls.N) : 0));
    Report_lines(controls, case_analysis, notes, viewer_has_text, Appending_to(lines));
    return lines;
}

std::vector<std::string> Report_lines(const tAnalysis& analysis,
                                      const std::vector<std::string>& notes, bool viewer_has_text) {
    return Report_lines(analysis, analysis, notes, viewer_has_text);
}
