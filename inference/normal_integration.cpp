#include "inference/normal_integration.h"

#include <cmath>

#include "distributions/floating_point_faults.h"

namespace {

// Kept between the stages of one interval; one copy a thread, so that cases
// inferred in parallel do not refine each other's estimates.
thread_local int Stage_points = 1;
thread_local double Stage_estimate = 0;

constexpr int Max_stages = 20;

// The density without a fault scope of its own: the trapezoid stage calls it
// up to half a million times and checks the faults once for all of them.
double Density(double x) {
    return std::exp(-0.5 * x * x) * 0.39894228;
}

} // namespace

double Normal_density(double x) {
    tFloating_point_scope scope;
    return scope.Checked(Density(x));
}

double Trapezoid_stage(int stage, double a, double b) {
    tFloating_point_scope scope;
    if (stage == 1) {
        Stage_estimate = 0.5 * (b - a) * (Density(a) + Density(b));
        Stage_points = 1;
    } else {
        const int m = Stage_points;
        const double width = (b - a) / m;
        double x = a + 0.5 * width;
        double sum = 0;
        for (int i = 1; i <= m; ++i) {
            sum += Density(x);
            x += width;
        }
        Stage_estimate = 0.5 * (Stage_estimate + (b - a) * sum / m);
        Stage_points = 2 * m;
    }
    return scope.Checked(Stage_estimate);
}

double Simpson_integral(double a, double b, const tWarning_handler& warn) {
    tFloating_point_scope scope;
    double s = 1.0;
    double os = -1e30;
    double st = -1e30;
    int j = 1;
    while (j <= Max_stages && std::fabs(s - os) >= 0.000001 * std::fabs(os)) {
        os = s;
        const double ost = st;
        st = Trapezoid_stage(j, a, b);
        s = (4 * st - ost) / 3;
        ++j;
    }
    if (j > Max_stages && warn) warn("Too many steps");
    return scope.Checked(s);
}

double Normal_probability(double x, const tWarning_handler& warn) {
    tFloating_point_scope scope;
    return scope.Checked(Simpson_integral(0, x, warn) + 0.5);
}
