#include "incomplete_beta.h"

#include <cmath>

#include "floating_point_faults.h"
#include "ln_gamma.h"
#include "numeric_utilities.h"

Extended Beta_fraction(Extended x, Extended a, Extended b) {
    tFloating_point_scope scope;
    return scope.Checked(Beta_fraction_unscoped(x, a, b));
}

// The fraction needs of the order of sqrt(max(a, b)) terms, about 5900 for
// shapes of 2^31 at the mean; this many is far beyond any shapes below that.
constexpr long Max_beta_fraction_terms = 1000000;

Extended Beta_fraction_unscoped(Extended x, Extended a, Extended b) {
    const Extended qab = a + b, qap = a + 1, qam = a - 1;
    Extended am = 1, bm = 1, az = 1;
    Extended bz = 1 - qab * x / qap;
    Extended az_old;
    Extended m = 1;
    do {
        if (m > Max_beta_fraction_terms)
            Raise_not_converged("Beta_fraction", "continued fraction", Max_beta_fraction_terms,
                                "terms", {{"x", x}, {"a", a}, {"b", b}});
        const Extended em = m;
        const Extended tem = 2 * m;
        Extended d = em * (b - em) * x / ((qam + tem) * (a + tem));
        const Extended ap = az + d * am;
        const Extended bp = bz + d * bm;
        d = -(a + em) * (qab + em) * x / ((a + tem) * (qap + tem));
        const Extended app = ap + d * az;
        const Extended bpp = bp + d * bz;
        az_old = az;
        am = ap / bpp;
        bm = bp / bpp;
        az = app / bpp;
        bz = 1;
        m = m + 1;
        // A quantity gone infinite or NaN would never converge: stop at once.
        Require_finite(az);
    } while (!(std::fabs(az - az_old) < Tolerance * std::fabs(az)));
    return az;
}

Extended Incomplete_beta(Extended x, Extended a, Extended b) {
    tFloating_point_scope scope;
    return scope.Checked(Incomplete_beta_unscoped(x, a, b));
}

Extended Log_beta_constant(Extended a, Extended b) {
    return Ln_gamma_unscoped(a + b) - Ln_gamma_unscoped(a) - Ln_gamma_unscoped(b);
}

// A failure (shapes that are not positive, a fraction that does not converge)
// is raised: a value of 1 in its place would pass for a result.
Extended Incomplete_beta_unscoped(Extended x, Extended a, Extended b) {
    if (x <= 0) return 0;
    if (x >= 1) return 1;
    return Incomplete_beta_unscoped(x, a, b, Log_beta_constant(a, b));
}

Extended Incomplete_beta_unscoped(Extended x, Extended a, Extended b, Extended log_beta_constant) {
    if (x <= 0) return 0;
    if (x >= 1) return 1;
    const Extended bt = std::exp(log_beta_constant + a * std::log(x) + b * std::log(1 - x));
    if (x < (a + 1) / (a + b + 2)) return bt * Beta_fraction_unscoped(x, a, b) / a;
    return 1 - bt * Beta_fraction_unscoped(1 - x, b, a) / b;
}
