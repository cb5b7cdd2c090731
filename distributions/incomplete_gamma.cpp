#include "incomplete_gamma.h"

#include <cmath>

#include "argument_error.h"
#include "floating_point_faults.h"
#include "ln_gamma.h"
#include "numeric_utilities.h"

Extended Gamma_series(Extended x, Extended a) {
    tFloating_point_scope scope;
    return scope.Checked(Gamma_series_unscoped(x, a));
}

// The series is summed only below x = a + 1, where its terms fall at once;
// it needs of the order of sqrt(a) terms at x near a, some 330000 for a shape
// of 2^31. Past this many it raises rather than return a partial sum (which
// stopped at 100 terms once, and P(500, 500) came out 1.3e-5 low).
constexpr long Max_gamma_series_terms = 1000000;

Extended Gamma_series_unscoped(Extended x, Extended a) {
    if (Nearly_equal_unscoped(0, x)) return 0;
    Extended ap = a;
    Extended term = 1 / a;
    Extended sum = term;
    long n = 1;
    do {
        if (n > Max_gamma_series_terms)
            Raise_not_converged("Gamma_series", "series", Max_gamma_series_terms, "terms",
                                {{"x", x}, {"a", a}});
        ap = ap + 1;
        term = term * x / ap;
        sum = sum + term;
        n = n + 1;
        // A term gone infinite or NaN would never converge: stop at once.
        Require_finite(sum);
    } while (!(std::fabs(term) < std::fabs(sum) * Tolerance));
    return sum * std::exp(a * std::log(x) - x - Ln_gamma_unscoped(a));
}

Extended Gamma_fraction(Extended x, Extended a) {
    tFloating_point_scope scope;
    return scope.Checked(Gamma_fraction_unscoped(x, a));
}

// The fraction needs of the order of sqrt(a) terms, about 9700 for a shape of
// 2^31 at the mean; this many is far beyond any shape below that.
constexpr long Max_gamma_fraction_terms = 1000000;

Extended Gamma_fraction_unscoped(Extended x, Extended a) {
    Extended g = 0, g_old = 1;
    Extended a0 = 1, a1 = x, b0 = 0, b1 = 1, fac = 1;
    Extended n = 1;
    Extended change;
    do {
        if (n > Max_gamma_fraction_terms)
            Raise_not_converged("Gamma_fraction", "continued fraction", Max_gamma_fraction_terms,
                                "terms", {{"x", x}, {"a", a}});
        const Extended an = n;
        const Extended ana = an - a;
        a0 = (a1 + a0 * ana) * fac;
        b0 = (b1 + b0 * ana) * fac;
        const Extended anf = an * fac;
        a1 = x * a0 + anf * a1;
        b1 = x * b0 + anf * b1;
        if (a1 != 0) {
            g_old = g;
            fac = 1 / a1;
            g = b1 * fac;
        }
        n = n + 1;
        change = std::fabs((g - g_old) / g);
        // A change that is no longer finite would never pass the test: stop
        // at once.
        Require_finite(change);
    } while (!(change < Tolerance));
    return g * std::exp(a * std::log(x) - x - Ln_gamma_unscoped(a));
}

Extended Incomplete_gamma(Extended x, Extended a) {
    tFloating_point_scope scope;
    return scope.Checked(Incomplete_gamma_unscoped(x, a));
}

Extended Incomplete_gamma_unscoped(Extended x, Extended a) {
    Check_bound(1302, x, 0);
    Raise_if(x > Unbounded, 1361);
    Check_bound(1301, a, 0);
    Raise_if(a > Unbounded, 1361);
    if (x < a + 1) return Gamma_series_unscoped(x, a);
    return 1 - Gamma_fraction_unscoped(x, a);
}
