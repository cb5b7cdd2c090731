#include "beta_distribution.h"

#include <algorithm>
#include <cmath>

#include "floating_point_faults.h"
#include "incomplete_beta.h"
#include "ln_gamma.h"
#include "numeric_utilities.h"
#include "uniform_random.h"

tBeta_distribution::tBeta_distribution(Extended a, Extended b) {
    Parameter_count = 2;
    Define_parameter(1, false, 0, Unbounded);
    Define_parameter(2, false, 0, Unbounded);
    Set_parameters(a, b, 0);
}

bool tBeta_distribution::Set_parameters(Extended p1, Extended p2, Extended p3) {
    tFloating_point_scope scope;
    const bool result = tContinuous_distribution::Set_parameters(p1, p2, p3);
    Shape_a = p1;
    Shape_b = p2;
    Shape_sum = p1 + p2;
    Log_beta_constant =
        Ln_gamma_unscoped(Shape_sum) - Ln_gamma_unscoped(p1) - Ln_gamma_unscoped(p2);
    Support_lower = 0;
    Support_upper = 1;
    if (p1 > 1 && p2 > 1)
        Cheng_beta_inverse = std::sqrt((2 * p1 * p2 - Shape_sum) / (Shape_sum - 2));
    else
        Cheng_beta_inverse = std::min(p1, p2);
    Cheng_gamma = p1 + Cheng_beta_inverse;
    scope.Check();
    return result;
}

bool tBeta_distribution::In_support(Extended x) const {
    const bool lower_end_in = Shape_a >= 1;
    const bool upper_end_in = Shape_b >= 1;
    return (lower_end_in ? x >= 0 : x > 0) && (upper_end_in ? x <= 1 : x < 1);
}

Extended tBeta_distribution::Density(Extended x) const {
    tFloating_point_scope scope;
    if (Shape_a == 1 && x == 0) return Shape_b;
    if (Shape_b == 1 && x == 1) return Shape_a;
    if (x <= 0 || x >= 1) return 0;
    return scope.Checked(std::exp((Shape_a - 1) * std::log(x) + Log_beta_constant +
                                  (Shape_b - 1) * std::log(1 - x)));
}

Extended tBeta_distribution::Cdf(Extended x) const {
    tFloating_point_scope scope;
    if (In_support(x)) return scope.Checked(Incomplete_beta_unscoped(x, Shape_a, Shape_b));
    return scope.Checked(tContinuous_distribution::Cdf(x));
}

Extended tBeta_distribution::Mean() const {
    tFloating_point_scope scope;
    return scope.Checked(Shape_a / Shape_sum);
}

Extended tBeta_distribution::Variance() const {
    tFloating_point_scope scope;
    return scope.Checked(Mean() * Shape_b / Shape_sum / (Shape_sum + 1));
}

Extended tBeta_distribution::Random_value() {
    tFloating_point_scope scope;
    const Extended s = Shape_sum, k = Cheng_beta_inverse, g = Cheng_gamma;
    for (;;) {
        const Extended u1 = Uniform_random();
        const Extended v = std::log(u1 / (1 - u1)) / k;
        const Extended w = Shape_a * std::exp(v);
        const Extended left = s * std::log(s / (Shape_b + w)) + g * v - std::log(4.0L);
        const Extended u2 = Uniform_random();
        const Extended right = std::log(u1 * u1 * u2);
        if (!(left < right)) return scope.Checked(w / (Shape_b + w));
    }
}
