#pragma once

#include "distributions/extended.h"
#include "inference/case_records.h"
#include "inference/warning_handler.h"

// The case's predicted score, the standard error for an additional case, the t
// test on the discrepancy, the percentage of the population more extreme and
// the effect size Z-OP, each with confidence limits at `level` percent
// (two-sided, or one-sided lower and upper). `warn` would carry a warning
// of the inference; none is given today. Raises ENot_positive_definite when the
// predictors' correlation matrix cannot be inverted and
// EDiscrepancy_too_extreme when the limits are beyond reach.
void Infer_case(tCase_data data, bool two_sided, tCase_results& results, Extended level,
                Extended& predicted, Extended& se_additional, const tWarning_handler& warn);

// The same with the inverse of data.R_XX already computed (as Invert_matrix
// gives it), for a series of cases against one control sample; the results
// are those of the form above to the last bit.
void Infer_case(const tCase_data& data, const tMatrix& r_xx_inverse, bool two_sided,
                tCase_results& results, Extended level, Extended& predicted,
                Extended& se_additional, const tWarning_handler& warn);

// P(T <= t) for Student's t with df (>= 1) degrees of freedom, by the exact
// finite series, in double arithmetic.
double T_probability(int df, double t);
