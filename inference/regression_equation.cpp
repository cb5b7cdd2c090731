#include "inference/regression_equation.h"

#include <cmath>

#include "distributions/f_distribution.h"
#include "distributions/floating_point_faults.h"
#include "matrix/matrix_inverse.h"
#include "matrix/matrix_routines.h"
#include "matrix/statistics_errors.h"

void Build_regression_equation(int nvars, int n, bool criterion_first, const tMatrix& corr,
                               const tVector& means, const tVector& sds,
                               tRegression_results& result) {
    tFloating_point_scope scope;
    const int k = nvars - 1;
    const int iy = criterion_first ? 1 : nvars;
    const Extended df2 = Extended(n - k) - 1;

    tSelection predictors;
    Fill_selection(nvars, predictors);
    predictors[iy] = false;

    const Extended mean_y = means[iy];
    const Extended sd_y = sds[iy];
    tVector mean_x, sd_x, r_xy;
    for (int i = 1; i <= k; ++i) {
        const int v = criterion_first ? i + 1 : i;
        mean_x[i] = means[v];
        sd_x[i] = sds[v];
        r_xy[i] = criterion_first ? corr(1, i + 1) : corr(nvars, i);
    }

    tMatrix r_xx;
    Select_submatrix(corr, nvars, predictors, r_xx);
    tMatrix r_xx_inverse;
    if (!Invert_matrix(r_xx, k, r_xx_inverse)) throw ENot_positive_definite();

    tVector beta;
    Matrix_times_vector(r_xx_inverse, k, r_xy, beta);

    Extended s = 0;
    Extended r2 = 0;
    for (int i = 1; i <= k; ++i) {
        result.Beta[i] = beta[i];
        result.Coef[i] = (sd_y / sd_x[i]) * beta[i];
        s += result.Coef[i] * mean_x[i];
        r2 += r_xy[i] * beta[i];
    }
    result.Intercept = mean_y - s;
    result.R_squared = r2;
    result.Mult_R = std::sqrt(r2);
    result.Adj_R_squared = 1 - ((n - 1) / df2) * (1 - r2);
    result.F_value = (r2 / k) / ((1 - r2) / df2);
    scope.Check(); // before the F distribution sees a non-finite F

    {
        tF_distribution f(k, df2);
        result.F_prob = 1 - f.Cdf(result.F_value);
    }
    result.DF1 = k;
    result.DF2 = df2;
    const Extended ss_y = sd_y * sd_y * (n - 1);
    result.SEE = std::sqrt((1 - r2) * ss_y / df2);
    result.SD_residual = std::sqrt(1 - r2) * sd_y;
    scope.Check();
}

tVector Squared_semi_partials(const tMatrix& r_xx, int k, const tVector& beta) {
    tFloating_point_scope scope;
    tMatrix inverse;
    if (!Invert_matrix(r_xx, k, inverse)) throw ENot_positive_definite();
    tVector result;
    for (int i = 1; i <= k; ++i)
        result[i] = beta[i] * beta[i] / inverse(i, i);
    scope.Check();
    return result;
}
