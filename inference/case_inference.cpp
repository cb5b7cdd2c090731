#include "inference/case_inference.h"

#include <cmath>
#include <limits>

#include "distributions/floating_point_faults.h"
#include "distributions/incomplete_beta.h"
#include "distributions/standard_normal_tail.h"
#include "inference/noncentrality_search.h"
#include "matrix/matrix_inverse.h"
#include "matrix/statistics_errors.h"

namespace {

struct tLimit_pair {
    Extended high_target; // non-centrality for the p_hi quantile: the smaller one
    Extended low_target;  // non-centrality for the p_lo quantile
};

tLimit_pair Noncentrality_limits(Extended df, Extended t, Extended p_hi, Extended p_lo) {
    return {Noncentrality_for_quantile(df, t, p_hi), Noncentrality_for_quantile(df, t, p_lo)};
}

// P(T > t) for t >= 0. 1 - T_probability, in double, keeps no digit of a
// tail below 1e-16, and above this many degrees of freedom (samples from
// summary statistics) its finite series runs to df / 2 terms. There, and for
// tails below Smallest_series_tail, the tail comes from the incomplete beta
// function, P(T > t) = I_x(df / 2, 1 / 2) / 2 with x = df / (df + t^2), to
// the library's tolerance relative to the tail.
constexpr int Largest_series_df = 500;
constexpr Extended Smallest_series_tail = Extended_constant(1e-6L);

Extended Upper_t_tail(int df, Extended t) {
    if (df <= Largest_series_df) {
        const Extended tail = 1 - T_probability(df, static_cast<double>(t));
        if (tail >= Smallest_series_tail) return tail;
    }
    const Extended nu = df;
    return Incomplete_beta_unscoped(nu / (nu + t * t), nu / 2, 0.5L) / 2;
}

// 100 P(Z <= z), to the normal tail's relative accuracy wherever the
// percentage is a positive double, and 0 below that.
Extended Percentage_below(Extended z) {
    const Extended percentage = 100 * Standard_normal_cdf(z);
    return percentage < std::numeric_limits<double>::denorm_min() ? 0 : percentage;
}

} // namespace

double T_probability(int df, double t) {
    tFloating_point_scope scope;
    const double theta = std::atan(t / std::sqrt(double(df)));
    const double s = std::sin(theta);
    const double co = std::cos(theta);
    double sum = 0;
    if (df > 1) {
        const bool odd = df % 2 == 1;
        int i = odd ? 3 : 2;
        double term = odd ? co : 1;
        sum = term;
        while (df > i) {
            term = term * co * co * (i - 1) / i;
            sum += term;
            i += 2;
        }
        sum = s * sum;
    }
    if (df % 2 == 1) sum = (sum + theta) * 0.636619772;
    return scope.Checked((1 + sum) * 0.5);
}

void Infer_case(tCase_data data, bool two_sided, tCase_results& results, Extended level,
                Extended& predicted, Extended& se_additional, const tWarning_handler& warn) {
    tMatrix inverse;
    if (!Invert_matrix(data.R_XX, data.K, inverse)) throw ENot_positive_definite();
    Infer_case(data, inverse, two_sided, results, level, predicted, se_additional, warn);
}

// The percentages come from the normal tail in closed form, which has no
// warning to give; `warn` stays for the callers' handlers.
void Infer_case(const tCase_data& data, const tMatrix& inverse, bool two_sided,
                tCase_results& results, Extended level, Extended& predicted,
                Extended& se_additional, const tWarning_handler& /*warn*/) {
    tFloating_point_scope scope;
    const int n = data.N;
    const int k = data.K;
    Extended pred = 0;
    Extended s1 = 0;
    Extended s2 = 0;

    tVector z;
    for (int i = 1; i <= k; ++i) {
        z[i] = (data.Case_X[i] - data.Mean_X[i]) / data.SD_X[i];
        pred += data.Coef[i] * data.Case_X[i];
    }
    pred += data.Intercept;

    for (int i = 1; i <= k; ++i)
        s1 += inverse(i, i) * z[i] * z[i];
    for (int i = 1; i <= k; ++i)
        for (int j = i + 1; j <= k; ++j)
            s2 += inverse(i, j) * z[i] * z[j];

    // The quadratic form over n here, over n - 1 in the scale factor below.
    const Extended se = (data.SEE / std::sqrt(Extended(n))) * std::sqrt(n + 1 + s1 + 2 * s2);
    const Extended discrepancy = data.Case_Y - pred;
    results.T_value = discrepancy / se;

    const int df = static_cast<int>(std::lround(static_cast<double>(n - k - 1)));
    results.DF = df;
    results.P_one_tailed = Upper_t_tail(df, std::fabs(results.T_value));
    results.P_two_tailed = 2 * results.P_one_tailed;
    results.Pct_more_extreme = 100 * results.P_one_tailed;

    const Extended fraction = level / 100;
    const Extended p_hi = two_sided ? (1 - fraction) / 2 + fraction : fraction;
    const Extended p_lo = two_sided ? (1 - fraction) / 2 : 1 - fraction;

    const Extended cf = Extended(1) / n + (2 * s2 + s1) / (n - 1);
    const Extended root_cf = std::sqrt(cf);
    const Extended real_df = Extended(n - k - 1);

    const Extended t_p = -std::fabs(discrepancy) / data.SEE / root_cf;
    const Extended t_z = (discrepancy / data.SEE) / root_cf;
    // A fault so far (say a zero SEE) must not reach the searches as an
    // infinite target, which they would report as an extreme discrepancy.
    scope.Check();
    const tLimit_pair pct = Noncentrality_limits(real_df, t_p, p_hi, p_lo);
    results.Pct_lower = Percentage_below(root_cf * pct.high_target);
    results.Pct_upper = Percentage_below(root_cf * pct.low_target);

    results.ZOP = discrepancy / data.SD_residual;

    // For a case below its prediction both searches have the same target: the
    // search is deterministic, so its answers are taken over.
    const tLimit_pair zop = t_z == t_p ? pct : Noncentrality_limits(real_df, t_z, p_hi, p_lo);
    results.ZOP_lower = root_cf * zop.high_target;
    results.ZOP_upper = root_cf * zop.low_target;

    predicted = pred;
    se_additional = se;
    scope.Check();
}
