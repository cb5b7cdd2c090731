#pragma once

#include "extended.h"

// The standard normal distribution function, each tail from the complementary
// error function, so that the relative error stays at a few units of the last
// place however far out z lies: P(Z <= -38) is 2.9e-316, not 0 and not a
// floor of rounding. Below the Extended range the value is 0. It runs inside
// the caller's fault scope.
Extended Standard_normal_cdf(Extended z);
