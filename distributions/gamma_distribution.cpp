#include "gamma_distribution.h"

#include <cmath>

#include "floating_point_faults.h"
#include "incomplete_gamma.h"
#include "ln_gamma.h"
#include "numeric_utilities.h"
#include "uniform_random.h"

tGamma_distribution::tGamma_distribution() {
    Parameter_count = 2;
    Define_parameter(1, false, 0, Unbounded);
    Define_parameter(2, false, 0, Unbounded);
}

tGamma_distribution::tGamma_distribution(Extended shape, Extended rate) : tGamma_distribution() {
    Set_parameters(shape, rate, 0);
}

bool tGamma_distribution::Set_parameters(Extended p1, Extended p2, Extended p3) {
    tFloating_point_scope scope;
    const bool result = tContinuous_distribution::Set_parameters(p1, p2, p3);
    Shape = p1;
    Rate = p2;
    Log_norm_constant = p1 * std::log(p2) - Ln_gamma_unscoped(p1);
    Support_lower = 0;
    Support_upper = Unbounded;
    if (Shape > 1) {
        const Extended h = std::sqrt(2 * Shape - 1);
        Sampler_constant_1 =
            (1 - h) *
            std::sqrt(std::exp((Shape - 1) * (std::log(Shape - h) - std::log(Shape - 1)) + h - 1));
        Sampler_constant_2 =
            (1 + h) *
            std::sqrt(std::exp((Shape - 1) * std::log((Shape + h) / (Shape - 1)) - h - 1));
    } else if (Shape < 1) {
        const Extended e = std::exp(1.0L);
        Sampler_constant_1 = (e + Shape) / e;
        Sampler_constant_2 = 1 / Shape;
    }
    scope.Check();
    return result;
}

bool tGamma_distribution::In_support(Extended x) const {
    return (Shape >= 1 ? x >= 0 : x > 0) && x <= Unbounded;
}

Extended tGamma_distribution::Density(Extended x) const {
    tFloating_point_scope scope;
    if (In_support(x) && x > 0)
        return scope.Checked(std::exp((Shape - 1) * std::log(x) + Log_norm_constant - Rate * x));
    if (Nearly_equal_unscoped(Shape, 1) && x == 0) return Rate;
    return 0;
}

Extended tGamma_distribution::Cdf(Extended x) const {
    tFloating_point_scope scope;
    if (!In_support(x)) return scope.Checked(tContinuous_distribution::Cdf(x));
    if (Shape <= 500) return scope.Checked(Incomplete_gamma_unscoped(Rate * x, Shape));
    // Wilson-Hilferty: the cube root of a scaled gamma variate is nearly normal.
    const Extended w = Power_unscoped(Rate * x / Shape, 1.0L / 3);
    const Extended d = w - 1 + 1 / (9 * Shape);
    const Extended p = Incomplete_gamma_unscoped(4.5L * Shape * d * d, 0.5L);
    return scope.Checked(d >= 0 ? (1 + p) / 2 : (1 - p) / 2);
}

Extended tGamma_distribution::Mean() const {
    tFloating_point_scope scope;
    return scope.Checked(Shape / Rate);
}

Extended tGamma_distribution::Variance() const {
    tFloating_point_scope scope;
    return scope.Checked(Shape / (Rate * Rate));
}

Extended tGamma_distribution::Random_value() {
    tFloating_point_scope scope;
    Extended x;
    if (Shape == 1) {
        x = -std::log(Uniform_random());
    } else if (Shape > 1) {
        const Extended lo = Sampler_constant_1, hi = Sampler_constant_2;
        for (;;) {
            const Extended u = Uniform_random();
            const Extended t = (Uniform_random() * (hi - lo) + lo) / u;
            const Extended y = t + Shape - 1;
            const Extended q = t * t;
            const Extended squeeze = 8 * u - 2 * u * u - 6;
            if (t >= 0) {
                if (-q * (t + y) >= y * y * squeeze) {
                    x = y;
                    break;
                }
                if (-u * q <= (2 * u * u - 2) * y) continue;
            } else {
                if (-q >= y * squeeze) {
                    x = y;
                    break;
                }
                if (-u * q <= (2 * u * u - 2) * (Shape - 1)) continue;
            }
            if (y <= 0) continue;
            if (2 * std::log(u) + t <= (Shape - 1) * std::log(t / (Shape - 1) + 1)) {
                x = y;
                break;
            }
        }
    } else {
        const Extended b = Sampler_constant_1;
        for (;;) {
            const Extended p = b * Uniform_random();
            const Extended u2 = Uniform_random();
            if (p <= 1) {
                x = Power_unscoped(p, Sampler_constant_2);
                if (-x >= std::log(u2)) break;
            } else {
                x = -std::log((b - p) * Sampler_constant_2);
                if (u2 <= Power_unscoped(x, Shape - 1)) break;
            }
        }
    }
    return scope.Checked(x / Rate);
}
