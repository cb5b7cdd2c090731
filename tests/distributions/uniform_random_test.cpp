#include "distributions/uniform_random.h"

#include <cmath>
#include <gtest/gtest.h>

TEST(Uniform_random, the_stream_starts_the_same_in_every_run) {
    Reset_uniform_random();
    const Extended first = Uniform_random();
    EXPECT_EQ(Uniform_random_seeds().S1, 415845629);
    EXPECT_EQ(Uniform_random_seeds().S2, 1442593794);
    // Rounded as the x87 unit rounds the product (where long double is
    // quadruple, the compiler would fold it to 113 bits).
    EXPECT_EQ(first, Extended_constant(1120735397 * Extended_constant(4.656613e-10L)));
    EXPECT_NEAR(first, 0.5218831019L, 5e-11L);
    EXPECT_NEAR(Uniform_random(), 0.1752744006L, 5e-11L);
    EXPECT_NEAR(Uniform_random(), 0.1156913916L, 5e-11L);
    Reset_uniform_random();
    EXPECT_EQ(Uniform_random(), first);
}

TEST(Uniform_random, values_stay_inside_the_open_interval_and_spread_evenly) {
    Reset_uniform_random();
    int counts[10] = {};
    const int draws = 100000;
    for (int i = 0; i < draws; ++i) {
        const Extended u = Uniform_random();
        ASSERT_GT(u, 0);
        ASSERT_LT(u, 1);
        ++counts[static_cast<int>(u * 10)];
    }
    // Each tenth holds 10000 draws give or take a few standard deviations (95).
    for (int c : counts)
        EXPECT_NEAR(c, draws / 10, 500);
}
