#pragma once

#include <cstdint>

#include "extended.h"

// The library's own uniform generator, L'Ecuyer's combined congruential
// generator. Its two seed words start at fixed values, and each thread has its
// own, so every run (and every thread) draws the same sequence. Returns a value
// in (0, 1), never 0 or 1.
Extended Uniform_random();

struct tUniform_random_seeds {
    std::int32_t S1;
    std::int32_t S2;
};
inline constexpr tUniform_random_seeds Uniform_random_start_seeds{897183450, 1841323562};

// The calling thread's current seed words.
tUniform_random_seeds Uniform_random_seeds();
// Puts the calling thread's seed words back to their start values (for tests).
void Reset_uniform_random();
