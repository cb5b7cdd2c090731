#pragma once

// The analysis behind the request sequence, shared by every front end so that
// they cannot drift: the statistics, the positive-definiteness test, the variable labels, the
// regression equation, the case record and the inference about the case.

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "inference/case_records.h"
#include "inference/limits.h"
#include "inference/regression_results.h"
#include "inference/warning_handler.h"
#include "matrix/matrix_types.h"

// Width of the variable labels in the report.
inline constexpr std::size_t Label_width = 16;
// The most controls of raw data.
inline constexpr int Max_sample_size = 499;

// Texts of the refusals, reused by the window.
extern const char* const Too_many_predictors_format; // filled with n and n - 2
extern const char* const Sample_too_large_message;
extern const char* const Not_positive_definite_message;
extern const char* const Zero_variance_format; // filled with the variable's label
extern const char* const Load_cancelled_message;

// The text followed by blanks up to `length` characters; a text that long or
// longer comes back unchanged.
std::string PadRight(const std::string& text, std::size_t length);

// "Criterion (Y)" for variable 1, "Predictor (X) <i - 1>" for variable i, unpadded.
std::string Variable_label(int variable);

// A refusal of the analysis, with the message the user sees.
class EAnalysis_refused : public std::runtime_error {
public:
    enum class tReason { Not_positive_definite, Zero_variance, Too_extreme };
    EAnalysis_refused(tReason reason, const std::string& message)
        : std::runtime_error(message), reason_(reason) {}
    tReason Reason() const { return reason_; }

private:
    tReason reason_;
};

// The part of the analysis that depends on the control sample alone: done
// once, however many cases are then compared with it.
struct tControl_analysis {
    int K = 0;
    int N = 0;
    int NVars = 0;
    tLimits Limits = tLimits::Two_sided;
    std::unique_ptr<const tData_matrix> Data; // the raw data, controls in rows 1..n; null
                                              // when built from summary statistics
    tVector Means;
    tVector SDs;
    tMatrix Corr;
    std::vector<std::string> Labels; // padded; Labels[i] for variable i = 1..NVars
    tRegression_results Regression;
    tVector Squared_semi_partials; // entries 1..k
    tMatrix R_XX_inverse;          // of the predictors' correlations, leading k x k block
};

// The part that depends on the case.
struct tCase_analysis {
    tVector Case_scores;
    tCase_data Case;
    tCase_results Results;
    Extended Predicted = 0;
    Extended SE_additional = 0;
};

// Everything the report needs.
struct tAnalysis : tControl_analysis, tCase_analysis {};

// The control sample's part of the analysis: the statistics of rows 1..n of
// `data`, the positive-definiteness test, the labels, the regression equation
// and the inverse of the predictors' correlations. Raises EAnalysis_refused
// for a correlation matrix that is not positive definite or a variable
// without variance; numeric faults pass through.
tControl_analysis Analyse_controls(std::unique_ptr<const tData_matrix> data, int k, int n,
                                   tLimits limits);

struct tSummary_statistics;

// The same from published summary statistics (no raw data: Data stays null).
// Raises EAnalysis_refused for a correlation matrix that is not positive
// definite.
tControl_analysis Analyse_summary(const tSummary_statistics& summary, tLimits limits);

// The case's part: its record and the inference about it. Raises
// EAnalysis_refused for a discrepancy too extreme for the limits; numeric
// faults pass through. Safe to call from several threads at once.
tCase_analysis Analyse_case(const tControl_analysis& controls, const tVector& case_scores,
                            const tWarning_handler& warn);

// The control sample's part and one case's, together as the report needs them.
tAnalysis Analyse_with_case(tControl_analysis controls, const tVector& case_scores,
                            const tWarning_handler& warn);

// Runs the analysis on the raw data of n controls and the case (row n + 1)
// with k predictors: the two parts above, one after the other. Raises
// EAnalysis_refused for a correlation matrix that is not positive definite,
// a variable without variance or a discrepancy too extreme for the limits;
// numeric faults (EFloating_point_error, EArgumentError) pass through.
// Warnings that do not stop the run go to `warn`.
tAnalysis Run_analysis(std::unique_ptr<const tData_matrix> data, int k, int n, tLimits limits,
                       const tWarning_handler& warn);

// The same, into `a`, a default tAnalysis: the record is built where it is
// kept, with no copy of it on the stack. `a` holds no finished analysis if
// this raises.
void Run_analysis(std::unique_ptr<const tData_matrix> data, int k, int n, tLimits limits,
                  const tWarning_handler& warn, tAnalysis& a);
