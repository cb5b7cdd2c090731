#pragma once

#include "extended.h"

// ln Gamma(x) for x > 0 by Lanczos' six-term approximation (relative error
// about 2e-10 in Gamma). The argument is not checked: ln of a non-positive
// value is a floating-point fault.
Extended Ln_gamma(Extended x);
// The *_unscoped forms do the same without a fault scope of their own, for
// the library's callers that already run inside one (a scope costs more than
// the arithmetic); faults still reach the enclosing scope's check.
Extended Ln_gamma_unscoped(Extended x);
