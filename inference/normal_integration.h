#pragma once

// The standard normal distribution function by Simpson's rule on the density,
// in double arithmetic.

#include "inference/warning_handler.h"

// P(Z <= x) = integral of the density from 0 to x, plus 0.5.
double Normal_probability(double x, const tWarning_handler& warn);

// Integral of Normal_density from a to b; after 20 stages without meeting the
// relative tolerance 1e-6 it sends "Too many steps" to `warn` and returns the
// last estimate.
double Simpson_integral(double a, double b, const tWarning_handler& warn);

// Stage `stage` of the extended trapezoidal rule on [a, b]. Stages of one
// interval must be called in order 1, 2, 3, ... on one thread: each refines
// the previous stage's estimate, which is kept between calls (a copy a thread).
double Trapezoid_stage(int stage, double a, double b);

// exp(-x * x / 2) * 0.39894228.
double Normal_density(double x);
