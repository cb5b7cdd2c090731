#include "f_distribution.h"

#include <cmath>

#include "argument_error.h"
#include "floating_point_faults.h"
#include "ln_gamma.h"
#include "numeric_utilities.h"

tF_distribution::tF_distribution(Extended df1, Extended df2) {
    Parameter_count = 2;
    Define_parameter(1, true, 1, Unbounded);
    Define_parameter(2, true, 1, Unbounded);
    // Degrees of freedom of 0 or less are refused here, by the beta shapes.
    Beta_component = std::make_unique<tBeta_distribution>(df1 / 2, df2 / 2);
    Set_parameters(df1, df2, 0);
}

tF_distribution::~tF_distribution() {
    Beta_component.reset();
}

bool tF_distribution::Set_parameters(Extended p1, Extended p2, Extended p3) {
    tFloating_point_scope scope;
    const bool result = tContinuous_distribution::Set_parameters(p1, p2, p3);
    Numerator_df = p1;
    Denominator_df = p2;
    Log_norm_constant = Ln_gamma_unscoped((p1 + p2) / 2) - Ln_gamma_unscoped(p1 / 2) -
                        Ln_gamma_unscoped(p2 / 2) + (p1 / 2) * (std::log(p1) - std::log(p2));
    Support_lower = 0;
    Support_upper = Unbounded;
    Beta_component->Set_parameters(p1 / 2, p2 / 2, 0);
    scope.Check();
    return result;
}

bool tF_distribution::In_support(Extended x) const {
    return (Numerator_df != 1 ? x >= 0 : x > 0) && x <= Unbounded;
}

Extended tF_distribution::Density(Extended x) const {
    tFloating_point_scope scope;
    const Extended df1 = Numerator_df, df2 = Denominator_df;
    if (In_support(x) && x > 0) {
        const Extended y = df1 * x / (df1 * x + df2);
        return scope.Checked(Beta_component->Density(y) * df1 * df2 /
                             ((df1 * x + df2) * (df1 * x + df2)));
    }
    if (df1 == 2 && x == 0) return scope.Checked(std::exp(Log_norm_constant));
    return 0;
}

Extended tF_distribution::Cdf(Extended x) const {
    tFloating_point_scope scope;
    const Extended df1 = Numerator_df, df2 = Denominator_df;
    if (!In_support(x)) return scope.Checked(tContinuous_distribution::Cdf(x));
    // The beta form holds for every df; the chi-square limits are off by
    // percents in the tail at a thousand df, where summary norms begin.
    return scope.Checked(Beta_component->Cdf(df1 * x / (df1 * x + df2)));
}

bool tF_distribution::Has_mean() const {
    return Denominator_df > 2;
}

bool tF_distribution::Has_variance() const {
    return Denominator_df > 4;
}

Extended tF_distribution::Mean() const {
    tFloating_point_scope scope;
    Raise_if(!Has_mean(), 1362);
    return scope.Checked(Denominator_df / (Denominator_df - 2));
}

Extended tF_distribution::Variance() const {
    tFloating_point_scope scope;
    Raise_if(!Has_variance(), 1363);
    const Extended m = Mean();
    return scope.Checked(2 * m * m * (Numerator_df + Denominator_df - 2) / Numerator_df /
                         (Denominator_df - 4));
}

Extended tF_distribution::Random_value() {
    tFloating_point_scope scope;
    const Extended y = Beta_component->Random_value();
    return scope.Checked(y * Denominator_df / ((1 - y) * Numerator_df));
}
