#include "inference/case_records.h"

#include "matrix/matrix_routines.h"

tCase_data Make_case_data(int n, int k, const tVector& means, const tVector& sds,
                          const tMatrix& corr, const tRegression_results& regression,
                          const tVector& case_scores) {
    const int nvars = k + 1;
    tSelection predictors;
    Fill_selection(nvars, predictors);
    predictors[1] = false;
    tCase_data c;
    c.N = n;
    c.K = k;
    Select_subvector(nvars, means, predictors, c.Mean_X);
    Select_subvector(nvars, sds, predictors, c.SD_X);
    Select_submatrix(corr, nvars, predictors, c.R_XX);
    c.Coef = regression.Coef;
    c.Intercept = regression.Intercept;
    c.SEE = regression.SEE;
    c.SD_residual = regression.SD_residual;
    c.Case_Y = case_scores[1];
    Select_subvector(nvars, case_scores, predictors, c.Case_X);
    return c;
}
