#pragma once

#include "distributions/extended.h"

// Largest non-centrality (in absolute value) the search will try; past it the
// search raises EDiscrepancy_too_extreme. It keeps a whole analysis to about a
// second at worst (the series' length and cost grow with the non-centrality),
// and well below the point (about 2000) where the rounding of the series'
// Poisson weights, summed over millions of terms, can keep its stopping test
// from ever being met. It still reaches cases some 40 standard errors off
// their prediction in a sample of 499.
inline constexpr Extended Max_noncentrality = 1024;
// Above this many degrees of freedom (samples from summary statistics) the
// distribution function costs the same at any non-centrality, and cases some
// 8 standard errors off their prediction in a sample of a million need
// non-centralities near 8000; the cap there is this (2^17).
inline constexpr Extended Largest_df_of_the_first_cap = 500;
inline constexpr Extended Max_noncentrality_many_df = 131072;

// The cap at df degrees of freedom.
inline constexpr Extended Noncentrality_cap(Extended df) {
    return df > Largest_df_of_the_first_cap ? Max_noncentrality_many_df : Max_noncentrality;
}

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
