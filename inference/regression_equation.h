#pragma once

#include "inference/regression_results.h"
#include "matrix/matrix_types.h"

// The multiple regression equation of one criterion on the other nvars - 1
// variables, from their correlations, means and standard deviations over a
// control sample of n. With criterion_first the criterion is variable 1 and
// predictor i is variable i + 1; otherwise the criterion is variable nvars and
// predictor i is variable i. Entries of Beta and Coef beyond k are left alone.
// Raises ENot_positive_definite when the predictors' correlation matrix cannot
// be inverted, EFloating_point_error for a degenerate fit (R squared 1).
void Build_regression_equation(int nvars, int n, bool criterion_first, const tMatrix& corr,
                               const tVector& means, const tVector& sds,
                               tRegression_results& result);

// Each predictor's squared semi-partial correlation with the criterion: the
// share of the criterion's variance that predictor alone explains, Beta_i
// squared times the part of the predictor not shared with the others,
// 1 / (R_xx inverse)[i, i]. Beta_i squared alone would overstate it for
// correlated predictors, even beyond 1. `r_xx` is the predictors' k x k
// correlation matrix. Raises ENot_positive_definite when it cannot be inverted.
tVector Squared_semi_partials(const tMatrix& r_xx, int k, const tVector& beta);
