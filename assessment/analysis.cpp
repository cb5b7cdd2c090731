#include "assessment/analysis.h"

#include "assessment/input_validation.h"
#include "assessment/program_texts.h"
#include "assessment/summary_file_reader.h"
#include "distributions/text_format.h"
#include "inference/case_inference.h"
#include "inference/inference_errors.h"
#include "inference/regression_equation.h"
#include "matrix/descriptive_statistics.h"
#include "matrix/matrix_inverse.h"
#include "matrix/matrix_routines.h"
#include "matrix/positive_definite.h"
#include "matrix/statistics_errors.h"

const char* const Too_many_predictors_format =
    " With a normative/control sample size of %2d, the maximum number of predictor variables is "
    "%2d ";
const char* const Sample_too_large_message =
    " The n entered exceeds the maximum size (n=499) for the control or normative sample.";
const char* const Not_positive_definite_message =
    "Analysis cannot proceed as the correlation matrix is not positive definite: check for errors "
    "in entry of the control sample data (alternatively it may be that one variable is linearly "
    "dependent on other variables and should be dropped)";
const char* const Zero_variance_format =
    "Analysis cannot proceed as every control has the same score on %s (a standard deviation of "
    "zero): check for errors in entry of the control sample data";
const char* const Load_cancelled_message = "Load data cancelled by user";

namespace {

constexpr Extended Confidence_level = 95.0L;

EAnalysis_refused Not_positive_definite() {
    return EAnalysis_refused(EAnalysis_refused::tReason::Not_positive_definite,
                             Not_positive_definite_message);
}

} // namespace

std::string PadRight(const std::string& text, std::size_t length) {
    if (text.size() >= length) return text;
    return text + std::string(length - text.size(), ' ');
}

std::string Variable_label(int variable) {
    if (variable == 1) return "Criterion (Y)";
    return Format_text("Predictor (X) %1d", variable - 1);
}

namespace {

// The entry checks keep k and n in these ranges; anything else is a caller's fault.
void Require_counts(const char* routine, int k, int n, long long max_n) {
    if (k < 1 || k > Max_predictors || n < k + 2 || n > max_n)
        throw std::invalid_argument(std::string(routine) + ": k or n outside the checked range");
}

void Set_header(tControl_analysis& a, int k, int n, tLimits limits) {
    a.K = k;
    a.N = n;
    a.NVars = k + 1;
    a.Limits = limits;
}

// The squared semi-partial correlations and the inverse of the predictors'
// correlations, taken from those correlations as the case record holds them,
// so that each case's inference uses exactly the inverse it would compute.
// Out of line: the record would otherwise take room in the frame beneath
// which the regression equation is built, and a short run pays for every
// page of stack it touches.
[[gnu::noinline]] void Invert_predictor_correlations(tControl_analysis& a) {
    const tCase_data record =
        Make_case_data(a.N, a.K, a.Means, a.SDs, a.Corr, a.Regression, tVector{});
    a.Squared_semi_partials = Squared_semi_partials(record.R_XX, a.K, a.Regression.Beta);
    if (!Invert_matrix(record.R_XX, a.K, a.R_XX_inverse)) throw ENot_positive_definite();
}

// From the statistics on: the positive-definiteness test, the labels, the
// regression equation and the inverse of the predictors' correlations.
void Build_equation(tControl_analysis& a) {
    if (!Is_positive_definite(a.NVars, a.Corr)) throw Not_positive_definite();

    a.Labels.assign(static_cast<std::size_t>(a.NVars) + 1, std::string());
    for (int i = 1; i <= a.NVars; ++i)
        a.Labels[i] = PadRight(Variable_label(i), Label_width);

    try {
        Build_regression_equation(a.NVars, a.N, true, a.Corr, a.Means, a.SDs, a.Regression);
        Invert_predictor_correlations(a);
    } catch (const ENot_positive_definite&) {
        throw Not_positive_definite();
    }
}

} // namespace

namespace {

// The analyses below fill records that the caller holds: a record is some
// 20 KB, and each copy of it on the stack is fresh pages for a short process.
void Analyse_controls_into(tControl_analysis& a, std::unique_ptr<const tData_matrix> data, int k,
                           int n, tLimits limits) {
    Set_header(a, k, n, limits);
    a.Data = std::move(data);
    const tData_matrix& raw = *a.Data;

    try {
        Descriptive_statistics(raw, n, a.NVars, a.Corr, a.Means, a.SDs);
    } catch (const EZero_variance& error) {
        throw EAnalysis_refused(
            EAnalysis_refused::tReason::Zero_variance,
            Format_text(Zero_variance_format, Variable_label(error.Variable()).c_str()));
    }
    Build_equation(a);
}

void Analyse_case_into(tCase_analysis& c, const tControl_analysis& controls,
                       const tVector& case_scores, const tWarning_handler& warn) {
    c.Case_scores = case_scores;
    c.Case = Make_case_data(controls.N, controls.K, controls.Means, controls.SDs, controls.Corr,
                            controls.Regression, case_scores);
    try {
        Infer_case(c.Case, controls.R_XX_inverse, controls.Limits == tLimits::Two_sided, c.Results,
                   Confidence_level, c.Predicted, c.SE_additional, warn);
    } catch (const EDiscrepancy_too_extreme& error) {
        throw EAnalysis_refused(EAnalysis_refused::tReason::Too_extreme, error.what());
    }
}

} // namespace

tControl_analysis Analyse_controls(std::unique_ptr<const tData_matrix> data, int k, int n,
                                   tLimits limits) {
    Require_counts("Analyse_controls", k, n, Max_sample_size);
    if (!data) throw std::invalid_argument("Analyse_controls: no data");
    tControl_analysis a;
    Analyse_controls_into(a, std::move(data), k, n, limits);
    return a;
}

tControl_analysis Analyse_summary(const tSummary_statistics& summary, tLimits limits) {
    const int k = summary.K;
    const int n = summary.N;
    Require_counts("Analyse_summary", k, n, Max_summary_sample_size);
    tControl_analysis a;
    Set_header(a, k, n, limits);
    a.Means = summary.Means;
    a.SDs = summary.SDs;
    a.Corr = summary.Corr;
    Build_equation(a);
    return a;
}

tCase_analysis Analyse_case(const tControl_analysis& controls, const tVector& case_scores,
                            const tWarning_handler& warn) {
    tCase_analysis c;
    Analyse_case_into(c, controls, case_scores, warn);
    return c;
}

void Run_analysis(std::unique_ptr<const tData_matrix> data, int k, int n, tLimits limits,
                  const tWarning_handler& warn, tAnalysis& a) {
    Require_counts("Run_analysis", k, n, Max_sample_size);
    if (!data) throw std::invalid_argument("Run_analysis: no data");
    tVector case_scores;
    Get_data_row(*data, n + 1, k + 1, case_scores);
    Analyse_controls_into(a, std::move(data), k, n, limits);
    Analyse_case_into(a, a, case_scores, warn);
}

tAnalysis Run_analysis(std::unique_ptr<const tData_matrix> data, int k, int n, tLimits limits,
                       const tWarning_handler& warn) {
    tAnalysis a;
    Run_analysis(std::move(data), k, n, limits, warn, a);
    return a;
}

tAnalysis Analyse_with_case(tControl_analysis controls, const tVector& case_scores,
                            const tWarning_handler& warn) {
    tAnalysis a;
    static_cast<tControl_analysis&>(a) = std::move(controls);
    Analyse_case_into(a, a, case_scores, warn);
    return a;
}
