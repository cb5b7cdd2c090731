#include "standard_normal_tail.h"

#include <cmath>

namespace {
// Past this argument erfc(u) = exp(-u^2) / (u sqrt(pi)) * (1 - ...) leaves the
// Extended range (near u = 106.5); its logarithm is taken from the series.
constexpr Extended Largest_erfc_argument = 100;
} // namespace

Extended Standard_normal_cdf(Extended z) {
    const Extended u = z / Extended_sqrt2;
    // erfc(-u) / 2 = P(Z <= z): the lower tail directly, the upper as its complement.
    return z < 0 ? std::erfc(-u) / 2 : 1 - std::erfc(u) / 2;
}

Extended Log_standard_normal_cdf(Extended z) {
    const Extended u = -z / Extended_sqrt2;
    if (z >= 0) return std::log1p(-std::erfc(-u) / 2);
    if (u < Largest_erfc_argument) return std::log(std::erfc(u) / 2);
    // The asymptotic series of erfc(u) u sqrt(pi) exp(u^2); at u >= 100 its
    // fourth term is below 2e-16 and the next one below 1e-19.
    const Extended r = 1 / (2 * u * u);
    const Extended series = 1 - r * (1 - 3 * r * (1 - 5 * r * (1 - 7 * r)));
    return -u * u - std::log(2 * u / Extended_inv_sqrtpi) + std::log(series);
}
