#include "numeric_utilities.h"

#include <cmath>

#include "floating_point_faults.h"

bool Nearly_equal_unscoped(Extended a, Extended b) {
    return std::fabs(a - b) < Tolerance;
}

bool Nearly_equal(Extended a, Extended b) {
    tFloating_point_scope scope;
    const bool result = Nearly_equal_unscoped(a, b);
    scope.Check();
    return result;
}

bool Is_whole_number(Extended x) {
    tFloating_point_scope scope;
    const bool result = std::fabs(x) < Unbounded && Nearly_equal(x, std::nearbyint(x));
    scope.Check();
    return result;
}

Extended Int_power(Extended base, std::int32_t n) {
    tFloating_point_scope scope;
    return scope.Checked(Int_power_unscoped(base, n));
}

Extended Int_power_unscoped(Extended base, std::int32_t n) {
    if (n == 0) return 1;
    // Widened first: the magnitude of the most negative int32 does not fit.
    std::uint64_t m = n < 0 ? -static_cast<std::int64_t>(n) : n;
    Extended r = 1;
    Extended x = base;
    while (m != 0) {
        if (m & 1) r *= x;
        m >>= 1;
        if (m != 0) x *= x;
    }
    return n < 0 ? 1 / r : r;
}

Extended Power(Extended base, Extended exponent) {
    tFloating_point_scope scope;
    return scope.Checked(Power_unscoped(base, exponent));
}

Extended Power_unscoped(Extended base, Extended exponent) {
    if (exponent == 0) return 1;
    if (base == 0 && exponent > 0) return 0;
    if (std::trunc(exponent) == exponent && std::fabs(exponent) <= Unbounded)
        return Int_power_unscoped(base, static_cast<std::int32_t>(exponent));
    return std::exp(exponent * std::log(base));
}

std::int32_t Floor(Extended x) {
    tFloating_point_scope scope;
    // Converting a value outside the int32 range would be undefined behaviour.
    if (!(x >= -2147483648.0L && x < 2147483648.0L)) Raise_floating_point_fault(Fault_invalid);
    const Extended whole = std::trunc(x);
    std::int32_t result = static_cast<std::int32_t>(whole);
    if (x - whole < 0) --result;
    scope.Check();
    return result;
}
