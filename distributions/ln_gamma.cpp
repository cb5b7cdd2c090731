#include "ln_gamma.h"

#include <cmath>

#include "floating_point_faults.h"

Extended Ln_gamma(Extended x) {
    tFloating_point_scope scope;
    return scope.Checked(Ln_gamma_unscoped(x));
}

Extended Ln_gamma_unscoped(Extended x) {
    static constexpr Extended k[6] = {
        Extended_constant(76.18009172947146L),     Extended_constant(-86.50532032941677L),
        Extended_constant(24.01409824083091L),     Extended_constant(-1.231739572450155L),
        Extended_constant(0.1208650973866179e-2L), Extended_constant(-0.5395239384953e-5L)};
    Extended y = x - 1;
    Extended t = y + 5.5L;
    t = (y + 0.5L) * std::log(t) - t;
    Extended s = 1;
    for (const Extended k_j : k) {
        y = y + 1;
        s = s + k_j / y;
    }
    return t + std::log(Extended_constant(2.5066282746310005L) * s);
}
