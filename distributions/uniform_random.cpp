#include "uniform_random.h"

#include "floating_point_faults.h"

namespace {
// The only state of the library: the generator's seed words, one pair a
// thread, so that draws in parallel neither race nor depend on each other.
thread_local std::int32_t s1 = Uniform_random_start_seeds.S1;
thread_local std::int32_t s2 = Uniform_random_start_seeds.S2;
} // namespace

Extended Uniform_random() {
    tFloating_point_scope scope;
    // Schrage's decomposition keeps every product within 32 bits.
    std::int32_t k = s1 / 53668;
    s1 = 40014 * (s1 - k * 53668) - k * 12211;
    if (s1 < 0) s1 = s1 + 2147483563;
    k = s2 / 52774;
    s2 = 40692 * (s2 - k * 52774) - k * 3791;
    if (s2 < 0) s2 = s2 + 2147483399;
    std::int32_t z = s1 - s2;
    if (z < 1) z = z + 2147483562;
    return scope.Checked(z * Extended_constant(4.656613e-10L));
}

tUniform_random_seeds Uniform_random_seeds() {
    return {s1, s2};
}

void Reset_uniform_random() {
    s1 = Uniform_random_start_seeds.S1;
    s2 = Uniform_random_start_seeds.S2;
}
