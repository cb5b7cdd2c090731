#include "standard_normal_tail.h"

#include <cmath>

Extended Standard_normal_cdf(Extended z) {
    const Extended u = z / Extended_sqrt2;
    // erfc(-u) / 2 = P(Z <= z): the lower tail directly, the upper as its complement.
    return z < 0 ? std::erfc(-u) / 2 : 1 - std::erfc(u) / 2;
}
