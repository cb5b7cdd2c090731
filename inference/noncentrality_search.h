#pragma once

#include <cstdint>

#include "distributions/extended.h"

// Largest non-centrality (in absolute value) the search will try; past it the
// search raises EDiscrepancy_too_extreme, since a data-entry slip can ask for
// any size. The distribution function is right at any df and non-centrality,
// and past the Poisson series' range its cost no longer grows with either, so
// one cap (2^17) serves every df: no case is refused at one sample size and
// answered at the next.
inline constexpr Extended Max_noncentrality = 131072;

// The non-centrality delta for which t is the p-quantile of the non-central t
// distribution with df degrees of freedom: bracket by doubling from [-1, 1],
// then bisect until the bracket is narrower than 1e-6; returns the last
// midpoint tried. Each step asks whether t lies above the p-quantile at the
// step's delta, which holds exactly when Cdf(t) > p there.
Extended Noncentrality_for_quantile(Extended df, Extended t, Extended p);

// The same search with every step decided by its own evaluation of Cdf(t):
// the plain form, kept as the reference that Noncentrality_for_quantile must
// match exactly.
Extended Noncentrality_for_quantile_stepwise(Extended df, Extended t, Extended p);

// How many times the searches have evaluated the distribution function, over
// every thread since the program started: what the benchmarks report a
// search's cost in.
std::uint64_t Noncentrality_search_evaluations();
