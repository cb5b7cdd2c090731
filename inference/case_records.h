#pragma once

#include <cstdint>

#include "distributions/extended.h"
#include "inference/regression_results.h"
#include "matrix/matrix_types.h"

// Everything the case inference needs about the equation and the case.
struct tCase_data {
    std::int32_t N = 0; // control sample size n
    std::int32_t K = 0; // number of predictors k
    tVector Mean_X;     // predictors' control means, entries 1..k
    tVector SD_X;       // predictors' control standard deviations
    tMatrix R_XX;       // predictors' correlation matrix, leading k x k block
    tVector Coef;       // raw regression coefficients
    Extended Intercept = 0;
    Extended SEE = 0;
    Extended SD_residual = 0;
    Extended Case_Y = 0; // the case's obtained criterion score
    tVector Case_X;      // the case's predictor scores, entries 1..k
};

// The inferences about the case: ten reals in this order.
struct tCase_results {
    Extended T_value = 0;
    Extended DF = 0;
    Extended P_one_tailed = 0;
    Extended P_two_tailed = 0;
    Extended Pct_more_extreme = 0;
    Extended Pct_lower = 0;
    Extended Pct_upper = 0;
    Extended ZOP = 0;
    Extended ZOP_lower = 0;
    Extended ZOP_upper = 0;
};

// The case record of a control sample with k predictors (variables 2..k + 1 of
// `means`, `sds` and `corr`; the criterion is variable 1), its regression
// equation and the case's scores (criterion first).
tCase_data Make_case_data(int n, int k, const tVector& means, const tVector& sds,
                          const tMatrix& corr, const tRegression_results& regression,
                          const tVector& case_scores);
