#pragma once

#include "distributions/extended.h"
#include "matrix/matrix_types.h"

// The regression equation and its fit statistics: 50 extended reals in this order.
struct tRegression_results {
    tVector Beta;          // standardized coefficients, entries 1..k
    tVector Coef;          // raw coefficients b1..bk, entries 1..k
    Extended Intercept = 0;
    Extended Mult_R = 0;
    Extended R_squared = 0;
    Extended Adj_R_squared = 0;
    Extended F_value = 0;
    Extended F_prob = 0;      // upper-tail p of F_value
    Extended DF1 = 0;         // k
    Extended DF2 = 0;         // n - k - 1
    Extended SEE = 0;         // standard error of estimate
    Extended SD_residual = 0; // criterion SD * sqrt(1 - R squared)
};

static_assert(sizeof(tRegression_results) == 50 * sizeof(Extended));
