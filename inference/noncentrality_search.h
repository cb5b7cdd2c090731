#pragma once

#include "distributions/extended.h"

// Largest non-centrality (in absolute value) the search will try. Beyond it
// the non-central t series needs too many terms for an answer in reasonable
// time; the search then raises EDiscrepancy_too_extreme.
inline constexpr Extended Max_noncentrality = 1024;

// The non-centrality delta for which t is the p-quantile of the non-central t
// distribution with df degrees of freedom: bracket by doubling from [-1, 1],
// then bisect until the bracket is narrower than 1e-6; returns the last
// midpoint tried.
Extended Noncentrality_for_quantile(Extended df, Extended t, Extended p);
