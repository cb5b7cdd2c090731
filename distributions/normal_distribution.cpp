#include "normal_distribution.h"

#include <cmath>

#include "floating_point_faults.h"
#include "incomplete_gamma.h"
#include "numeric_utilities.h"
#include "uniform_random.h"

tNormal_distribution::tNormal_distribution(Extended mean, Extended variance) {
    Parameter_count = 2;
    Define_parameter(1, false, -Unbounded, Unbounded);
    Define_parameter(2, false, 0, Unbounded);
    Set_parameters(mean, variance, 0);
}

bool tNormal_distribution::Set_parameters(Extended p1, Extended p2, Extended p3) {
    tFloating_point_scope scope;
    const bool result = tContinuous_distribution::Set_parameters(p1, p2, p3);
    Mu = p1;
    Sigma_squared = p2;
    Sigma = std::sqrt(p2);
    Log_norm_constant = -(std::log(Extended_constant(6.283185307179586477L)) + std::log(p2)) / 2;
    Ratio_bound = std::sqrt(2 / std::exp(1.0L));
    scope.Check();
    return result;
}

Extended tNormal_distribution::Density(Extended x) const {
    tFloating_point_scope scope;
    if (!In_support(x)) return 0;
    return scope.Checked(std::exp(Log_norm_constant - (x - Mu) * (x - Mu) / (2 * Sigma_squared)));
}

Extended tNormal_distribution::Cdf(Extended x) const {
    tFloating_point_scope scope;
    if (!In_support(x)) return scope.Checked(tContinuous_distribution::Cdf(x));
    const Extended z = (x - Mu) / Sigma;
    const Extended p = Incomplete_gamma_unscoped(z * z / 2, 0.5L);
    return scope.Checked(z >= 0 ? 0.5L + 0.5L * p : 0.5L - 0.5L * p);
}

Extended tNormal_distribution::Mean() const {
    return Mu;
}

Extended tNormal_distribution::Variance() const {
    return Sigma_squared;
}

Extended tNormal_distribution::Random_value() {
    tFloating_point_scope scope;
    Extended x;
    for (;;) {
        const Extended u = Uniform_random();
        const Extended v = Uniform_random();
        x = (2 * v - 1) * Ratio_bound / u;
        const Extended q = x * x;
        if (q <= 2 * u * u + 6 - 8 * u) break;
        if (q >= 2 / u - 2 * u) continue;
        if (q <= -4 * std::log(u)) break;
    }
    return scope.Checked(x * Sigma + Mu);
}
