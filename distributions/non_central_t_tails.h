#pragma once

#include <optional>

#include "extended.h"

// ln Gamma(a + 1) - (a + 1/2) ln a + a - ln sqrt(2 pi), the error of
// Stirling's formula, for a > 0.
Extended Stirling_error(Extended a);

// One tail of the non-central t with df degrees of freedom and non-centrality
// delta at x, for x > 0 and delta > 0, where both tails are Poisson series of
// positive terms (lambda = delta^2 / 2, y = x^2 / (x^2 + df), a = df / 2):
//   P(T <= x) = Phi(-delta) + 1/2 sum_j [P_j I_y(j + 1/2, a) + Q_j I_y(j + 1, a)]
//   P(T >  x) = 1/2 sum_j [P_j I_(1-y)(a, j + 1/2) + Q_j I_(1-y)(a, j + 1)]
// with P_j = e^-lambda lambda^j / j! and Q_j = delta / sqrt 2 e^-lambda
// lambda^j / Gamma(j + 3/2). Each is summed on its own, from the Poisson mode
// outwards, so a small tail keeps its relative accuracy: nothing is taken
// from 1. Empty where the terms at the mode are beyond the Extended range
// (tails below some 1e-4000). Runs inside the caller's fault scope.
enum class tTail { Lower, Upper };
std::optional<Extended> Non_central_t_tail(tTail tail, Extended x, Extended df, Extended delta);
