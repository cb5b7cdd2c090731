#include "distributions/non_central_t_distribution.h"

#include <boost/math/distributions/non_central_t.hpp>
#include <boost/math/distributions/normal.hpp>
#include <cmath>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <tuple>

#include "oracle.h"

TEST(Non_central_t_distribution, zero_non_centrality_is_the_central_t) {
    tNon_central_t_distribution nct(8, 1e-13L);
    tT_distribution t(8);
    for (Extended x : {-3.0L, 0.0L, 1.2L}) {
        EXPECT_EQ(nct.Cdf(x), t.Cdf(x));
        EXPECT_EQ(nct.Density(x), t.Density(x));
    }
    EXPECT_NEAR(nct.Quantile(0.5L), 0, 1e-12L);
}

TEST(Non_central_t_distribution, at_zero_only_the_normal_term_remains) {
    boost::math::normal_distribution<long double, Oracle_policy> standard;
    for (Extended delta : {0.5L, 3.0L, 12.0L}) {
        tNon_central_t_distribution nct(6, delta);
        // Lanczos' error reaches both through the incomplete gamma and Ln_gamma.
        EXPECT_NEAR(nct.Cdf(0), cdf(standard, -delta), 1e-11L);
        EXPECT_NEAR(nct.Density(0), std::exp(-delta * delta / 2) * tT_distribution(6).Density(0),
                    1e-11L);
    }
}

TEST(Non_central_t_distribution, a_tiny_non_centrality_still_moves_the_normal_term) {
    // Below delta ~3.2e-6 the incomplete gamma series takes delta^2 / 2 for 0.
    boost::math::normal_distribution<long double, Oracle_policy> standard;
    for (Extended delta : {1e-11L, 1e-6L, 3.1e-6L, 3.2e-6L}) {
        for (Extended sign : {1.0L, -1.0L}) {
            tNon_central_t_distribution nct(8, sign * delta);
            EXPECT_NEAR(nct.Cdf(0), cdf(standard, -sign * delta), 1e-15L) << (double)delta;
        }
    }
}

TEST(Non_central_t_distribution, the_density_is_never_negative_far_across_zero) {
    // The true values are below 1e-100; the series' alternating terms once
    // cancelled to -2.5e-12.
    for (const auto& [df, delta, x] : {std::tuple{3.5L, -100.0L, 100.0L},
                                       {10.0L, 1100.0L, -1100.0L},
                                       {497.0L, 100.0L, -300.0L}}) {
        const Extended density = tNon_central_t_distribution(df, delta).Density(x);
        EXPECT_GE(density, 0);
        EXPECT_LT(density, 1e-100L);
    }
}

TEST(Non_central_t_distribution, negative_non_centrality_reflects) {
    // 2000 is past the Poisson series' range, where the mixture integral serves.
    for (Extended delta : {0.7L, 4.0L, 40.0L, 2000.0L}) {
        tNon_central_t_distribution negative(12, -delta), positive(12, delta);
        for (Extended x : {-45.0L, -2.0L, 0.5L, 3.0L, 41.0L, -delta, delta}) {
            EXPECT_NEAR(negative.Cdf(x), 1 - positive.Cdf(-x), 1e-15L);
            EXPECT_EQ(negative.Density(x), positive.Density(-x));
        }
    }
}

// The smaller tail, lower or upper (an upper tail as the lower one of the
// reflected distribution), to its relative accuracy: from df 1 to 2000,
// non-centralities up to 1000, tails from 0.08 down to 1e-15, from the Poisson
// series and (non-centralities past 20) the mixture integral. The values are
// Boost.Math's at 50 digits. A tail taken from 1 - x, or from a series
// stopped early, is off by far more; so was the integral whose trapezoid
// steps stopped halving too soon (6e-9 at df 120, 1.3e-9 at df 497).
TEST(Non_central_t_distribution, each_small_tail_keeps_its_relative_accuracy) {
    struct tPoint {
        Extended df, delta, x, cdf;
    };
    const tPoint points[] = {
        {8, 5, 3, 0.0477642345977385949280989445677L},
        {8, -5, -9, 0.0562843691880049817172996675531L},
        {497, 100, 95, 0.056656018729157614011561977145L},
        {120, -100, -110, 0.0848475189248934344578729407283L},
        {497, -100, -107, 0.0239964103284617448542363481481L},
        {1, 2, 0.5L, 0.0632768874799467490325785927505L},
        {2.5L, -0.3L, -8, 0.00627038243327440027286316853362L},
        {30, 40, 25, 1.13415083273097659193313836294e-05L},
        {3, -15, -200, 0.00058772111567599628966242022185L},
        {120, 10, 2, 1.03550378417183379102239508068e-15L},
        {500, -1000, -1200, 3.12307193687743296433203225009e-08L},
        {500, 1000, 940, 0.0218146334598288458032259299059L},
        {1, -0.5L, -300, 0.00185586089692616587098658040011L},
        {8, 25, 14, 0.00168815224122100214906554722297L},
        {493, 22, 19, 0.00507028882836909859102343521795L},
        {2000, 450, 420, 4.73814219167538702896865900851e-06L},
    };
    for (const tPoint& point : points) {
        const Extended cdf = tNon_central_t_distribution(point.df, point.delta).Cdf(point.x);
        EXPECT_LT(std::fabs(cdf / point.cdf - 1), 1e-11L)
            << (double)point.df << " " << (double)point.delta << " " << (double)point.x;
    }
}

TEST(Non_central_t_distribution, moments_and_their_existence) {
    EXPECT_FALSE(tNon_central_t_distribution(1, 2).Has_mean());
    tNon_central_t_distribution two(2, 2);
    EXPECT_TRUE(two.Has_mean());
    EXPECT_FALSE(two.Has_variance());
    boost::math::non_central_t_distribution<long double, Oracle_policy> oracle(10, 1.5L);
    tNon_central_t_distribution nct(10, 1.5L);
    EXPECT_NEAR(nct.Mean(), mean(oracle), 1e-9L);
    EXPECT_NEAR(nct.Variance(), variance(oracle), 1e-8L);
    EXPECT_EQ(Argument_error_of([] { tNon_central_t_distribution(0, 1); }).first, 1301);
    EXPECT_EQ(Argument_error_of([] { tNon_central_t_distribution(5, -2147483647); }).first, 1305);
}

TEST(Non_central_t_distribution, median_rises_with_the_non_centrality) {
    Extended previous = 0;
    for (Extended delta : {0.25L, 1.0L, 3.0L, 10.0L, 40.0L}) {
        tNon_central_t_distribution nct(20, delta);
        const Extended median = nct.Quantile(0.5L);
        EXPECT_GT(median, previous);
        previous = median;
    }
}

TEST(Non_central_t_distribution, hundreds_of_non_centrality_at_the_largest_sample) {
    // The gamma ratios of the series pass the double range here; Extended holds them.
    boost::math::non_central_t_distribution<long double, Oracle_policy> oracle(493, 300);
    tNon_central_t_distribution nct(493, 300);
    const Extended median = quantile(oracle, 0.5L);
    for (Extended x : {median - 20, median, median + 20}) {
        EXPECT_NEAR(nct.Cdf(x), cdf(oracle, x), 1e-9L) << (double)x;
        EXPECT_NEAR(nct.Density(x), pdf(oracle, x), 1e-9L) << (double)x;
    }
    EXPECT_NEAR(nct.Quantile(0.025L), quantile(oracle, 0.025L), 1e-6L);
}

// Measured against Boost over this grid: Cdf within 1.1e-10, Density within
// 1.5e-10 (the density series stops at the Poisson index lambda - 8 sqrt(lambda),
// which at delta 40 and small x drops terms of about that size). Lanczos'
// ~2e-10 relative error reaches every term through the incomplete beta and
// the Poisson weights, so 2e-10 is the honest tolerance for both.
TEST(Non_central_t_distribution, cdf_and_density_agree_with_boost_over_df_and_non_centrality) {
    for (Extended df : {1.0L, 2.0L, 3.0L, 8.0L, 30.0L, 120.0L, 497.0L})
        for (Extended delta : {-40.0L, -10.0L, -2.5L, -0.5L, 0.5L, 1.0L, 5.0L, 15.0L, 40.0L}) {
            boost::math::non_central_t_distribution<long double, Oracle_policy> oracle(df, delta);
            tNon_central_t_distribution nct(df, delta);
            for (Extended x :
                 {-1e4L, -100.0L, -8.0L, -1.0L, 0.0L, 0.7L, 3.0L, 12.0L, 45.0L, 1e4L}) {
                EXPECT_NEAR(nct.Cdf(x), cdf(oracle, x), 2e-10L)
                    << (double)df << " " << (double)delta << " " << (double)x;
                EXPECT_NEAR(nct.Density(x), pdf(oracle, x), 2e-10L)
                    << (double)df << " " << (double)delta << " " << (double)x;
            }
        }
}

TEST(Non_central_t_distribution, quantiles_agree_with_boost) {
    // Relative 1e-8, except that with one or two df the far quantiles lie in
    // the hundreds or thousands where the density is tiny, and a Cdf error of
    // 1e-11 moves the quantile by that over the density: there 1e-6 relative.
    for (Extended df : {1.0L, 2.0L, 8.0L, 30.0L, 497.0L})
        for (Extended delta : {-40.0L, -5.0L, 0.5L, 5.0L, 40.0L})
            for (Extended p : {0.001L, 0.025L, 0.5L, 0.975L, 0.999L}) {
                boost::math::non_central_t_distribution<long double, Oracle_policy> oracle(df,
                                                                                           delta);
                tNon_central_t_distribution nct(df, delta);
                const Extended q = quantile(oracle, p);
                const Extended relative = df <= 2 && (p < 0.01L || p > 0.99L) ? 1e-6L : 1e-8L;
                EXPECT_NEAR(nct.Quantile(p), q, relative * std::max(1.0L, std::fabs(q)))
                    << (double)df << " " << (double)delta << " " << (double)p;
            }
}

// The remaining Poisson weight is 0.5 less every weight summed, and at
// non-centralities in the thousands its rounding error alone stays above the
// series' tolerance: without a second stopping rule a single Cdf far in the
// upper tail ran for seconds and the quantile search for minutes (its cost
// is measured by bench/non_central_t_bench.cpp).
TEST(Non_central_t_distribution, thousands_of_non_centrality_stay_consistent) {
    for (const Extended delta : {3072.0L, -3072.0L, 10000.0L}) {
        SCOPED_TRACE(static_cast<double>(delta));
        tNon_central_t_distribution dist(2, delta);
        const Extended upper = dist.Quantile(0.975L);
        const Extended lower = dist.Quantile(0.025L);
        EXPECT_NEAR(static_cast<double>(dist.Cdf(upper)), 0.975, 1e-10);
        EXPECT_NEAR(static_cast<double>(dist.Cdf(lower)), 0.025, 1e-10);
        EXPECT_LT(lower, upper);
    }
    // Far in the upper tail with 2 df, P(T > x) = E[1 - exp(-(Z + delta)^2 / x^2)],
    // which is (1 + delta^2) / x^2 to first order.
    tNon_central_t_distribution dist(2, 3072);
    const Extended x = 1e7L;
    EXPECT_NEAR(static_cast<double>(1 - dist.Cdf(x)),
                static_cast<double>((1 + 3072.0L * 3072.0L) / (x * x)), 2e-11);
}

// The start terms are kept between evaluations: a re-parametrized object must
// give exactly what a new one gives, as the limit search re-parametrizes one
// object at every step.
TEST(Non_central_t_distribution, re_parametrizing_gives_exactly_what_a_new_object_gives) {
    tNon_central_t_distribution reused(8, 5);
    (void)reused.Cdf(6);
    (void)reused.Density(6);
    for (const auto& [df, delta] :
         {std::pair<Extended, Extended>{8, 40}, {497, -12.5L}, {8, 5}, {3.5L, 0.75L}, {3.5L, 0}}) {
        reused.Set_parameters(df, delta, 0);
        const tNon_central_t_distribution fresh(df, delta);
        for (const Extended x : {-30.0L, -1.0L, 0.0L, 2.5L, 45.0L}) {
            EXPECT_EQ(reused.Cdf(x), fresh.Cdf(x));
            EXPECT_EQ(reused.Density(x), fresh.Density(x));
        }
        EXPECT_EQ(reused.Quantile(0.975L), fresh.Quantile(0.975L));
    }
}

// Every point of a published high-precision table (its file names the
// source): df from 0.56 to 53489, non-centrality up to 40117 in size. Both
// tails relative to themselves; the upper one only where 1 - Cdf can hold it
// (its rounding is some 1e-19 absolute).
//
// The source itself leaves its last seven points out of its own test, and
// four of them are off by 4e-9 to 6e-8 relative: two independent 50-digit
// quadratures (over the chi-square variable of Phi(x S - delta), and over the
// normal variable of the regularized incomplete gamma function) agree with
// each other to 1e-13 and give the values below. Those four are checked
// against these values instead.
struct tCorrected_point {
    Extended df, delta, x, cdf;
};
const tCorrected_point Corrected_points[] = {
    {1879.048828125L, 7516.1953125L, 7678.77294921875L, 0.9017566032383225701377677952502L},
    {2308.069091796875L, -11540.345703125L, -11799.05078125L, 0.0687260819371482113538470294663L},
    {20005.421875L, -10002.7109375L, -10202.453125L, 4.33753105908506082795185962e-5L},
    {53489.1484375L, -40116.859375L, -40730.8984375L, 3.88338176558293332265929192579e-7L},
};

TEST(Non_central_t_distribution, every_point_of_the_published_table) {
    std::ifstream table(PAVONA_TEST_DATA "/non_central_t_published.tsv");
    ASSERT_TRUE(table.is_open());
    int points = 0, corrected = 0;
    for (std::string line; std::getline(table, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        Extended df, delta, x, lower, upper;
        ASSERT_TRUE(fields >> df >> delta >> x >> lower >> upper) << line;
        ++points;
        SCOPED_TRACE(line);
        for (const tCorrected_point& point : Corrected_points) {
            if (point.df == df && point.delta == delta && point.x == x) {
                lower = point.cdf;
                upper = 1 - point.cdf;
                ++corrected;
            }
        }
        Extended cdf = 0;
        ASSERT_NO_THROW(cdf = tNon_central_t_distribution(df, delta).Cdf(x));
        EXPECT_LT(std::fabs(cdf / lower - 1), 1e-9L);
        if (upper > 1e-6L) {
            EXPECT_LT(std::fabs((1 - cdf) / upper - 1), 1e-9L);
        }
    }
    EXPECT_EQ(points, 209);
    EXPECT_EQ(corrected, 4);
}
