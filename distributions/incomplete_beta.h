#pragma once

#include "extended.h"

// Continued fraction of the incomplete beta function.
Extended Beta_fraction(Extended x, Extended a, Extended b);
// Regularized incomplete beta function I_x(a, b). Any failure inside the
// evaluation (a fault, an argument error, non-positive shapes) gives 1.
Extended Incomplete_beta(Extended x, Extended a, Extended b);
