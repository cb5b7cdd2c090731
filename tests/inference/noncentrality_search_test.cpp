#include <gtest/gtest.h>

#include <boost/math/distributions/non_central_t.hpp>

#include <cfenv>
#include <cmath>
#include <functional>
#include <limits>
#include <sstream>
#include <string>

#include "boost_noncentrality.h"
#include "distributions/argument_error.h"
#include "distributions/floating_point_faults.h"
#include "distributions/non_central_t_distribution.h"
#include "inference/inference_errors.h"
#include "inference/noncentrality_search.h"

namespace {
double D(Extended x) {
    return static_cast<double>(x);
}

using tSearch = std::function<Extended(Extended, Extended, Extended)>;

// What a search gives: its value, or the kind of error it raised.
std::string Outcome(const tSearch& search, Extended df, Extended t, Extended p) {
    std::ostringstream out;
    try {
        out.precision(21);
        out << search(df, t, p);
    } catch (const EDiscrepancy_too_extreme&) {
        out << "too extreme";
    } catch (const EArgumentError& e) {
        out << "argument error " << e.Message_id();
    }
    return out.str();
}

} // namespace

TEST(NoncentralitySearch, TheMedianZeroComesFromNoncentralityZero) {
    // Cdf(0) is 1/2 at delta 0 (a tie moves hi) and above it for every
    // negative delta, so lo climbs -1/2, -1/4, ... to -2^-20.
    EXPECT_EQ(Noncentrality_for_quantile(8, 0, 0.5L), -1.0L / (1 << 20));
    EXPECT_EQ(Noncentrality_for_quantile_stepwise(8, 0, 0.5L), -1.0L / (1 << 20));
}

TEST(NoncentralitySearch, ATieMovesTheUpperEndSoTheLastMidIsJustBelowTheRoot) {
    // The first mid, 0, is the root itself: the tie moves hi there, and every
    // later mid lies below it. The 21st and last mid is -2^-20.
    EXPECT_EQ(Noncentrality_for_quantile(8, 0, 0.5L), -std::ldexp(Extended(1), -20));
}

TEST(NoncentralitySearch, TheFoundNoncentralityPutsTheObservedValueAtTheQuantile) {
    for (Extended t : {-20.0L, -2.95L, 0.7L, 15.0L}) {
        const Extended delta = Noncentrality_for_quantile(8, t, 0.975L);
        tNon_central_t_distribution distribution(8, delta);
        // The bracket is below 1e-6; the quantile moves with delta at a slope of about 1.
        EXPECT_NEAR(D(distribution.Quantile(0.975L)), D(t), 5e-6 * (1 + std::fabs(D(t)) / 4))
            << D(t);
    }
}

TEST(NoncentralitySearch, WithinTheBisectionToleranceOfBoost) {
    for (double df : {1.0, 3.0, 8.0, 60.0, 497.0})
        for (double t : {-40.0, -2.95, 0.0, 0.7, 15.0, 150.0})
            for (double p : {0.975, 0.025, 0.95, 0.05}) {
                if (df < 8 && std::fabs(t) > 100) continue; // beyond the cap
                EXPECT_NEAR(D(Noncentrality_for_quantile(df, t, p)), Boost_noncentrality(df, t, p),
                            1e-6)
                    << "df " << df << " t " << t << " p " << p;
            }
}

TEST(NoncentralitySearch, LargeDegreesOfFreedomKeepTheSameTolerance) {
    // Published norms give df in the tens of thousands; a case up to 30
    // standard errors off its prediction, and a target next to the t
    // distribution's own quantile, where the first bisection step at a
    // non-centrality of 0 decides.
    for (double df : {1000.0, 10000.0, 100000.0})
        for (double t : {-30.0, -10.0, -3.0, -1.96, 0.0, 1.6449, 3.0, 10.0, 30.0})
            for (double p : {0.975, 0.025, 0.95, 0.05})
                EXPECT_NEAR(D(Noncentrality_for_quantile(df, t, p)), Boost_noncentrality(df, t, p),
                            1e-6)
                    << "df " << df << " t " << t << " p " << p;
}

TEST(NoncentralitySearch, ReflectionAndOrderOfTheTwoTargets) {
    for (Extended t : {-3.0L, 1.5L, 40.0L}) {
        const Extended high = Noncentrality_for_quantile(5, t, 0.975L);
        const Extended low = Noncentrality_for_quantile(5, t, 0.025L);
        EXPECT_LT(high, low);
        EXPECT_NEAR(D(Noncentrality_for_quantile(5, -t, 0.025L)), -D(high), 2e-6);
    }
}

TEST(NoncentralitySearch, TheSolvedSearchGivesTheStepwiseResultExactly) {
    // T = 0, small and large |T| (the latter driving the doubling several
    // times), one- and two-sided targets and the median.
    for (Extended df : {1.0L, 2.0L, 3.0L, 5.0L, 8.0L, 20.0L, 60.0L, 200.0L, 497.0L})
        for (Extended t : {0.0L, 0.3L, 1.7778L, 2.95L, 8.0L, 40.0L, 150.0L, 700.0L})
            for (Extended sign : {1.0L, -1.0L})
                for (Extended p : {0.5L, 0.95L, 0.05L, 0.975L, 0.025L}) {
                    if (t == 0 && sign < 0) continue;
                    EXPECT_EQ(Outcome(Noncentrality_for_quantile, df, sign * t, p),
                              Outcome(Noncentrality_for_quantile_stepwise, df, sign * t, p))
                        << "df " << D(df) << " t " << D(sign * t) << " p " << D(p);
                }
}

TEST(NoncentralitySearch, TheSolvedSearchGivesTheStepwiseResultWhereAMidpointIsTheRoot) {
    // t is put at the p-quantile of a delta that the bisection tries as a
    // midpoint (sign * (lo + width * odd / 2^depth)), so that step's decision
    // rests on the last digits of Cdf. Found by a scan: in each of these the
    // side of the root alone, without the evaluations near it, decides that
    // step the other way.
    struct tCase {
        Extended df, p, lo, width;
        int depth;
        long odd;
        Extended sign;
    };
    for (const tCase& c : {tCase{1, 0.95L, -1, 2, 14, 8571, -1},
                           {1, 0.025L, 64, 64, 16, 27807, -1},
                           {1, 0.05L, 8, 8, 15, 18903, 1},
                           {2, 0.975L, 1, 1, 16, 17591, 1},
                           {3, 0.5L, 32, 32, 19, 353089, 1},
                           {5, 0.975L, 32, 32, 15, 21183, 1},
                           {8, 0.5L, 8, 8, 13, 3401, -1},
                           {20, 0.05L, 64, 64, 12, 1369, 1},
                           {60, 0.025L, 8, 8, 17, 88077, -1},
                           {175, 0.95L, 2, 2, 16, 12379, 1},
                           {497, 0.05L, 8, 8, 21, 1061971, -1},
                           {497, 0.5L, 16, 16, 16, 16453, 1},
                           // Where the series serve, a band as narrow as the
                           // mixture integral's bound would leave these to
                           // their position.
                           {1, 0.975L, 1, 1, 18, 137991, -1},
                           {6, 0.025L, 1, 1, 18, 2383, -1},
                           // Where the mixture integral serves throughout.
                           {4, 0.975L, 64, 64, 20, 899085, -1},
                           {41, 0.95L, 256, 256, 16, 28933, -1},
                           {131, 0.05L, 128, 128, 12, 3581, -1},
                           {515, 0.95L, 256, 256, 12, 1245, 1}}) {
        const Extended delta = c.sign * (c.lo + c.width * c.odd / Extended(1L << c.depth));
        const Extended t = tNon_central_t_distribution(c.df, delta).Quantile(c.p);
        EXPECT_EQ(Outcome(Noncentrality_for_quantile, c.df, t, c.p),
                  Outcome(Noncentrality_for_quantile_stepwise, c.df, t, c.p))
            << "df " << D(c.df) << " delta " << D(delta) << " p " << D(c.p);
    }
}

TEST(NoncentralitySearch, TheQuantileSearchChecksOfTheProbabilityStay) {
    for (const auto& search :
         {tSearch(Noncentrality_for_quantile), tSearch(Noncentrality_for_quantile_stepwise)}) {
        EXPECT_EQ(Outcome(search, 8, 1, -0.1L), "argument error 1302");
        EXPECT_EQ(Outcome(search, 8, 1, 1.1L), "argument error 1315");
        // The df is checked before p, as a new distribution checks it, even
        // straight after searches at a valid df.
        EXPECT_EQ(Outcome(search, 0, 1, 1.1L), "argument error 1301");
        // Quantiles 0 and 1 are the ends of the support: no delta reaches t.
        for (Extended p : {0.0L, 1e-13L, 1.0L})
            EXPECT_EQ(Outcome(search, 8, 1, p), "too extreme");
    }
}

TEST(NoncentralitySearch, FaultsAreTheCallersOnlyWhenTheyAreReal) {
    const Extended infinity = std::numeric_limits<Extended>::infinity();
    for (const auto& search :
         {tSearch(Noncentrality_for_quantile), tSearch(Noncentrality_for_quantile_stepwise)}) {
        EXPECT_THROW(search(8, infinity, 0.975L), EFloating_point_error);
        EXPECT_THROW(search(8, std::numeric_limits<Extended>::quiet_NaN(), 0.975L),
                     EFloating_point_error);
        // No fault flag is left behind, and one the caller had before is
        // still there afterwards.
        // (Through the program's own flag functions: where Extended is the
        // software type, its flags are not only the hardware's.)
        for (int outer : {0, Fault_overflow}) {
            Clear_fault_flags(tFloating_point_scope::Fault_flags);
            if (outer) Raise_fault_flags(outer);
            for (Extended t : {-300.0L, -2.95L, 0.0L, 0.7L, 40.0L})
                for (Extended p : {0.975L, 0.5L, 0.05L})
                    search(3, t, p);
            EXPECT_EQ(Test_fault_flags(tFloating_point_scope::Fault_flags), outer);
        }
        Clear_fault_flags(tFloating_point_scope::Fault_flags);
    }
}

TEST(NoncentralitySearch, AnUnreachableNoncentralityIsRefusedInBothDirections) {
    for (Extended t : {1e7L, -1e7L, 2e5L}) {
        try {
            Noncentrality_for_quantile(497, t, 0.975L);
            FAIL() << "no error for t = " << D(t);
        } catch (const EDiscrepancy_too_extreme& e) {
            EXPECT_EQ(std::string(e.what()).rfind("The case's discrepancy is too extreme", 0), 0u);
        }
    }
}

// One cap at every df: a case far off its prediction (t = 1498 is a summary
// file's case row 13050 20 at n = 502) is answered on both sides of 500
// degrees of freedom and at few, not refused at one df and answered at the
// next.
TEST(NoncentralitySearch, FarCasesAreAnsweredAtEveryDf) {
    for (const auto& [df, t] : {std::pair{499.0L, 1498.12L},
                                {500.0L, 1498.12L},
                                {501.0L, -1498.12L},
                                {8.0L, -5000.0L},
                                {2.0L, 3000.0L}})
        for (Extended p : {0.975L, 0.05L}) {
            SCOPED_TRACE(std::to_string((double)df) + " " + std::to_string((double)t));
            Extended delta = 0;
            ASSERT_NO_THROW(delta = Noncentrality_for_quantile(df, t, p));
            // t is the p-quantile at delta, to the search's 1e-6 in delta.
            EXPECT_NEAR(D(tNon_central_t_distribution(df, delta).Cdf(t)), D(p), 1e-6);
        }
}

TEST(NoncentralitySearch, NoncentralitiesUpToTheCapAreFound) {
    // With many degrees of freedom the quantile stays near delta.
    const Extended near_cap = Max_noncentrality * 0.9L;
    const Extended delta = Noncentrality_for_quantile(497, near_cap, 0.5L);
    EXPECT_GT(delta, Max_noncentrality / 2);
    EXPECT_LT(delta, Max_noncentrality);
}

// Near the limits an analysis asks for, the normal approximation's slope
// brackets the root at the first step, the solver stops at an excess within
// rounding of zero, and the band's slope comes from the solver's own
// evaluations: some four or five evaluations a search, where bracketing by
// doubling steps, closing the bracket's far end and measuring the slope
// apart took seven or eight. Far out, where the mixture integral serves, its
// own error bound keeps the band of evaluated steps narrow: the series' bound
// there took one to three more.
TEST(NoncentralitySearch, ALimitNeedsFewEvaluations) {
    struct tRow {
        Extended T;
        std::uint64_t Most;
    };
    for (Extended df : {57.0L, 493.0L})
        for (const tRow& row :
             {tRow{-40, 6}, {-3, 6}, {2, 6}, {35, 6}, {-420, 5}, {-140, 5}, {140, 5}})
            for (Extended p : {0.025L, 0.975L, 0.05L}) {
                const std::uint64_t before = Noncentrality_search_evaluations();
                Noncentrality_for_quantile(df, row.T, p);
                EXPECT_LE(Noncentrality_search_evaluations() - before, row.Most)
                    << "df " << D(df) << " t " << D(row.T) << " p " << D(p);
            }
}
