#pragma once

// erfc(x) in the algorithm, and with the rounding of each step, of the x87
// build's C library (Sun's fdlibm method with S. L. Moshier's 64-bit
// coefficients), so that a target whose own long double erfc has another
// precision (WebAssembly's is only double, aarch64's quadruple) gets the same
// bits as the x87 build when its long double is the software extended type.
long double Extended_erfc(long double x);
