#pragma once

#include "distributions/extended.h"

// erfc(x) in the algorithm, and with the rounding of each step, of the x87
// build's C library (Sun's fdlibm method with S. L. Moshier's 64-bit
// coefficients), so that a build whose own long double erfc is only accurate
// to double precision (WebAssembly's) gets the same bits as the x87 build.
Extended Extended_erfc(Extended x);
