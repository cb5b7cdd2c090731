#pragma once

#include "extended.h"

// Continued fraction of the incomplete beta function.
Extended Beta_fraction(Extended x, Extended a, Extended b);
// Regularized incomplete beta function I_x(a, b); 0 for x <= 0 and 1 for
// x >= 1. Shapes that are not positive end in a floating-point fault, a
// fraction that does not converge in EFloating_point_error naming it.
Extended Incomplete_beta(Extended x, Extended a, Extended b);
// The *_unscoped forms do the same without a fault scope of their own, for
// the library's callers that already run inside one (a scope costs more than
// the arithmetic); faults still reach the enclosing scope's check.
Extended Beta_fraction_unscoped(Extended x, Extended a, Extended b);
Extended Incomplete_beta_unscoped(Extended x, Extended a, Extended b);

// Ln_gamma(a + b) - Ln_gamma(a) - Ln_gamma(b), as Incomplete_beta forms it.
Extended Log_beta_constant(Extended a, Extended b);
// Incomplete_beta with that constant already known (a caller that evaluates
// the same shapes at many points computes it once); the same value, bit for
// bit.
Extended Incomplete_beta_unscoped(Extended x, Extended a, Extended b, Extended log_beta_constant);
