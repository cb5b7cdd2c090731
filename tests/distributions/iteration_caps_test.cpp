// The caps on the library's loops: the message of their fault, and the caps
// that real inputs can drive. (The non-central t series need some 300000
// terms at the largest non-centrality their start index holds; no input
// reaches their cap of 1e7.)
#include <gtest/gtest.h>

#include <string>

#include "distributions/floating_point_faults.h"
#include "distributions/incomplete_beta.h"
#include "distributions/incomplete_gamma.h"
#include "distributions/normal_distribution.h"

namespace {
// The message of the EFloating_point_error that `action` raises.
template <typename Action> std::string Fault_of(Action action) {
    try {
        action();
    } catch (const EFloating_point_error& error) {
        return error.what();
    }
    return "no fault";
}
} // namespace

TEST(Iteration_caps, the_message_names_the_routine_its_loop_and_arguments) {
    EXPECT_EQ(Not_converged_message("Non_central_t Cdf", "series", 10000000, "terms",
                                    {{"x", 2.5L}, {"df", 8}, {"delta", -3.25L}}),
              "Non_central_t Cdf: series did not converge after 10000000 terms (x = 2.5, df = 8, "
              "delta = -3.25)");
    // Ten significant digits, an exponent where needed, nothing for no arguments.
    EXPECT_EQ(Not_converged_message("F", "loop", 7, "steps", {{"p", 0.1L}, {"v", 1e-100L}}),
              "F: loop did not converge after 7 steps (p = 0.1, v = 1e-100)");
    EXPECT_EQ(Not_converged_message("F", "loop", 7, "steps", {{"v", 1234567890123.0L}}),
              "F: loop did not converge after 7 steps (v = 1.23456789e+12)");
    EXPECT_EQ(Not_converged_message("F", "loop", 7, "steps", {}),
              "F: loop did not converge after 7 steps");
}

TEST(Iteration_caps, a_quantile_step_lost_in_the_rounding_of_the_centre_ends_in_the_fault) {
    // The step 2 sd = 2e-50 vanishes beside the centre 1: without the cap the
    // upward expansion never moved and never ended.
    tNormal_distribution narrow(1, 1e-100L);
    EXPECT_EQ(Fault_of([&] { narrow.Quantile(0.975L); }),
              "Quantile: bracket expansion did not converge after 100000 steps (p = 0.975, "
              "parameter 1 = 1, parameter 2 = 1e-100)");
}

TEST(Iteration_caps, fractions_for_shapes_far_beyond_the_distributions_end_in_the_fault) {
    // Of the order of sqrt(shape) terms: some 4.5e6 and 7.5e6 here.
    EXPECT_EQ(Fault_of([] { Beta_fraction(0.5L, 1e18L, 1e18L); }),
              "Beta_fraction: continued fraction did not converge after 1000000 terms (x = 0.5, "
              "a = 1e+18, b = 1e+18)");
    EXPECT_EQ(Fault_of([] { Gamma_fraction(1e18L, 1e18L); }),
              "Gamma_fraction: continued fraction did not converge after 1000000 terms (x = "
              "1e+18, a = 1e+18)");
    // The incomplete beta function passes the fraction's fault on.
    EXPECT_EQ(Fault_of([] { Incomplete_beta(0.5L, 1e18L, 1e18L); }),
              "Beta_fraction: continued fraction did not converge after 1000000 terms (x = 0.5, "
              "a = 1e+18, b = 1e+18)");
    // At x = a the series needs of the order of sqrt(a) terms, 1e7 here; it
    // used to stop silently after 100.
    EXPECT_EQ(Fault_of([] { Gamma_series(1e14L, 1e14L); }),
              "Gamma_series: series did not converge after 1000000 terms (x = 1e+14, a = 1e+14)");
}
