#include <gtest/gtest.h>

#include <chrono>
#include <cmath>

#include "distributions/non_central_t_distribution.h"
#include "inference/inference_errors.h"
#include "inference/noncentrality_search.h"

namespace {
double D(Extended x) {
    return static_cast<double>(x);
}
} // namespace

TEST(NoncentralitySearch, TheMedianZeroComesFromNoncentralityZero) {
    EXPECT_NEAR(D(Noncentrality_for_quantile(8, 0, 0.5L)), 0, 1e-6);
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

TEST(NoncentralitySearch, ReflectionAndOrderOfTheTwoTargets) {
    for (Extended t : {-3.0L, 1.5L, 40.0L}) {
        const Extended high = Noncentrality_for_quantile(5, t, 0.975L);
        const Extended low = Noncentrality_for_quantile(5, t, 0.025L);
        EXPECT_LT(high, low);
        EXPECT_NEAR(D(Noncentrality_for_quantile(5, -t, 0.025L)), -D(high), 2e-6);
    }
}

TEST(NoncentralitySearch, AnUnreachableNoncentralityIsRefusedQuicklyInBothDirections) {
    for (Extended t : {1e7L, -1e7L, 5000.0L}) {
        const auto start = std::chrono::steady_clock::now();
        try {
            Noncentrality_for_quantile(497, t, 0.975L);
            FAIL() << "no error for t = " << D(t);
        } catch (const EDiscrepancy_too_extreme& e) {
            EXPECT_EQ(std::string(e.what()).rfind("The case's discrepancy is too extreme", 0), 0u);
        }
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    }
}

TEST(NoncentralitySearch, NoncentralitiesUpToTheCapAreFound) {
    // With many degrees of freedom the quantile stays near delta.
    const Extended near_cap = Max_noncentrality * 0.9L;
    const Extended delta = Noncentrality_for_quantile(497, near_cap, 0.5L);
    EXPECT_GT(delta, Max_noncentrality / 2);
    EXPECT_LT(delta, Max_noncentrality);
}
