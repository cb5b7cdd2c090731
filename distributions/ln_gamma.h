#pragma once

#include "extended.h"

// ln Gamma(x) for x > 0 by Lanczos' six-term approximation (relative error
// about 2e-10 in Gamma). The argument is not checked: ln of a non-positive
// value is a floating-point fault.
Extended Ln_gamma(Extended x);
