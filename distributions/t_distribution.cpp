#include "t_distribution.h"

#include <cmath>

#include "argument_error.h"
#include "floating_point_faults.h"
#include "incomplete_beta.h"
#include "ln_gamma.h"
#include "numeric_utilities.h"
#include "uniform_random.h"

tT_distribution::tT_distribution(Extended df) {
    Parameter_count = 1;
    Define_parameter(1, false, 0, Unbounded);
    Normal_component = std::make_unique<tNormal_distribution>(0, 1);
    Gamma_component = std::make_unique<tGamma_distribution>(df / 2, 1);
    Set_parameters(df, 0, 0);
}

tT_distribution::~tT_distribution() {
    Normal_component.reset();
    Gamma_component.reset();
}

bool tT_distribution::Set_parameters(Extended p1, Extended p2, Extended p3) {
    tFloating_point_scope scope;
    const bool result = tContinuous_distribution::Set_parameters(p1, p2, p3);
    Df = p1;
    Log_norm_constant = Ln_gamma_unscoped((Df + 1) / 2) - Ln_gamma_unscoped(Df / 2) -
                        std::log(Df * Extended_pi) / 2;
    if (Df == 1) {
        Variate_scale = 1;
    } else if (Df > 1) {
        // sqrt(2 Df) (Df - 1)^((Df - 1)/4) / (Df + 1)^((Df + 1)/4), taken in
        // logarithms: each power alone overflows from about 5000 df on.
        Variate_scale = std::exp(std::log(2 * Df) / 2 + (Df - 1) / 4 * std::log(Df - 1) -
                                 (Df + 1) / 4 * std::log(Df + 1));
    } else {
        // z / sqrt(g) with g ~ Gamma(Df/2, 1) is z / sqrt(chi2/Df) divided by
        // sqrt(Df/2), since chi2 = 2g; the factor puts that back.
        Variate_scale = std::sqrt(Df / 2);
        Gamma_component->Set_parameters(Df / 2, 1, 0);
    }
    scope.Check();
    return result;
}

Extended tT_distribution::Density(Extended x) const {
    tFloating_point_scope scope;
    if (!In_support(x)) return 0;
    return scope.Checked(
        std::exp(Log_norm_constant + ((Df + 1) / 2) * std::log(Df / (x * x + Df))));
}

Extended tT_distribution::Cdf(Extended x) const {
    tFloating_point_scope scope;
    if (!In_support(x)) return scope.Checked(tContinuous_distribution::Cdf(x));
    // The beta form holds for every df: normal norms give df in the tens of
    // thousands, where the normal limit is still visibly off in the tails.
    const Extended b = Df / (x * x + Df);
    const Extended i = Incomplete_beta_unscoped(b, Df / 2, 0.5L);
    return scope.Checked(x >= 0 ? 1 - i / 2 : i / 2);
}

bool tT_distribution::Has_mean() const {
    return tContinuous_distribution::Has_mean() && Df > 1;
}

bool tT_distribution::Has_variance() const {
    return tContinuous_distribution::Has_variance() && Df > 2;
}

Extended tT_distribution::Mean() const {
    Raise_if(!Has_mean(), 1362);
    return 0;
}

Extended tT_distribution::Variance() const {
    tFloating_point_scope scope;
    Raise_if(!Has_variance(), 1363);
    return scope.Checked(Df / (Df - 2));
}

Extended tT_distribution::Random_value() {
    tFloating_point_scope scope;
    if (Df == 1 || Df == 3) {
        Extended u1, u2;
        do {
            u1 = 2 * Uniform_random() - 1;
            u2 = 2 * Uniform_random() - 1;
        } while (!(u1 * u1 + u2 * u2 <= 1));
        if (Df == 1) return scope.Checked(u2 / u1);
        return scope.Checked(std::sqrt(3.0L) * u2 / (u1 + 1));
    }
    if (Df > 1) {
        Extended x;
        for (;;) {
            const Extended u = Uniform_random();
            const Extended v = (2 * Uniform_random() - 1) * Variate_scale;
            x = v / u;
            if (Df * (Power_unscoped(u, -4 / (Df + 1)) - 1) >= x * x) break;
        }
        return scope.Checked(x);
    }
    const Extended z = Normal_component->Random_value();
    const Extended g = Gamma_component->Random_value();
    return scope.Checked(Variate_scale * z / std::sqrt(g));
}
