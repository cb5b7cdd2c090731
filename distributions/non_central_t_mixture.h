#pragma once

#include "extended.h"

// The non-central t as a mixture over its chi-square variable: with
// T = (Z + delta) / S and S^2 = V / df, V chi-square on df degrees of freedom,
//   P(T <= x) = E[ Phi(x S - delta) ],   density(x) = E[ S phi(x S - delta) ].
// The expectation is integrated over w = ln(V / df) in logarithms, so that no
// weight over- or underflows at any df or non-centrality, and the smaller tail
// is integrated directly, so that both keep their relative accuracy far out.
// The Poisson series costs of the order of the non-centrality in terms; this
// costs a few hundred evaluations of erfc whatever the arguments.
// Both run inside the caller's fault scope; x, df > 0 and delta finite.
Extended Non_central_t_mixture_cdf(Extended x, Extended df, Extended delta);
Extended Non_central_t_mixture_density(Extended x, Extended df, Extended delta);
