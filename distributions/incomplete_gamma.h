#pragma once

#include "extended.h"

// P(a, x) by its series, to the library's tolerance.
Extended Gamma_series(Extended x, Extended a);
// Q(a, x) = 1 - P(a, x) by its continued fraction.
Extended Gamma_fraction(Extended x, Extended a);
// Regularized lower incomplete gamma function P(a, x): point first, shape second.
// Requires 0 <= x <= 2147483647 and 0 < a <= 2147483647 (EArgumentError).
Extended Incomplete_gamma(Extended x, Extended a);
// The *_unscoped forms do the same without a fault scope of their own, for
// the library's callers that already run inside one (a scope costs more than
// the arithmetic); faults still reach the enclosing scope's check.
Extended Gamma_series_unscoped(Extended x, Extended a);
Extended Gamma_fraction_unscoped(Extended x, Extended a);
Extended Incomplete_gamma_unscoped(Extended x, Extended a);
