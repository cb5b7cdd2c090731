#include <gtest/gtest.h>

#include <cmath>
#include <latch>
#include <string>
#include <thread>
#include <vector>

#include "inference/normal_integration.h"

namespace {

struct tWarnings {
    std::vector<std::string> seen;
    tWarning_handler Handler() {
        return [this](const std::string& message) { seen.push_back(message); };
    }
};

} // namespace

TEST(NormalIntegration, UpperTwoAndAHalfPercentPointAndSymmetry) {
    tWarnings warnings;
    EXPECT_NEAR(Normal_probability(1.959964, warnings.Handler()), 0.975, 2e-8);
    for (double x : {0.3, 1.0, 2.5, 6.0})
        EXPECT_NEAR(Normal_probability(-x, warnings.Handler()),
                    1 - Normal_probability(x, warnings.Handler()), 1e-7);
    EXPECT_NEAR(Normal_probability(-1.0, warnings.Handler()), 0.5 * std::erfc(1 / std::sqrt(2.0)),
                1e-7);
    EXPECT_TRUE(warnings.seen.empty());
}

TEST(NormalIntegration, FarTailsStillConvergeWithoutWarning) {
    tWarnings warnings;
    EXPECT_NEAR(Normal_probability(-40, warnings.Handler()), 0, 1e-7);
    EXPECT_NEAR(Normal_probability(300, warnings.Handler()), 1, 1e-7);
    EXPECT_TRUE(warnings.seen.empty());
}

TEST(NormalIntegration, AnIntervalThatMeetsTheToleranceAtStageNineteenDoesNotWarn) {
    // The wider the interval, the more stages its narrow peak needs: [0, 6e4]
    // meets the tolerance at the nineteenth stage, [0, 1e5] at the twentieth,
    // which is the limit and so warns.
    tWarnings warnings;
    EXPECT_NEAR(Simpson_integral(0, 6e4, warnings.Handler()), 0.5, 1e-6);
    EXPECT_TRUE(warnings.seen.empty());
    Simpson_integral(0, 1e5, warnings.Handler());
    EXPECT_EQ(warnings.seen, std::vector<std::string>{"Too many steps"});
}

TEST(NormalIntegration, AnEmptyIntervalRunsAllStagesAndWarnsOnce) {
    tWarnings warnings;
    EXPECT_EQ(Normal_probability(0, warnings.Handler()), 0.5);
    ASSERT_EQ(warnings.seen.size(), 1u);
    EXPECT_EQ(warnings.seen[0], "Too many steps");
    // Without a handler the warning is dropped and the estimate still returned.
    EXPECT_EQ(Simpson_integral(1, 1, {}), 0);
}

TEST(NormalIntegration, ANewIntervalRestartsTheTrapezoidStages) {
    const double first = Simpson_integral(0, 1, {});
    Simpson_integral(-3, 7, {});
    EXPECT_EQ(Simpson_integral(0, 1, {}), first);
}

TEST(NormalIntegration, TrapezoidStagesRefineToTheCompositeRule) {
    // Stage j equals the composite trapezoid rule with 2^(j-1) panels.
    const double a = -0.5, b = 2.0;
    for (int stage = 1; stage <= 5; ++stage) {
        const double got = Trapezoid_stage(stage, a, b);
        const int panels = 1 << (stage - 1);
        const double h = (b - a) / panels;
        double sum = 0.5 * (Normal_density(a) + Normal_density(b));
        for (int i = 1; i < panels; ++i)
            sum += Normal_density(a + i * h);
        EXPECT_NEAR(got, sum * h, 1e-15) << stage;
    }
}

TEST(NormalIntegration, DensityUsesTheEightDecimalConstant) {
    EXPECT_EQ(Normal_density(0), 0.39894228);
    EXPECT_NEAR(Normal_density(1), std::exp(-0.5) * 0.39894228, 1e-17);
}

TEST(NormalIntegration, ThreadsIntegratingAtOnceDoNotRefineEachOthersStages) {
    // Far-apart limits need different numbers of stages, so an estimate taken
    // over from another thread's interval would show.
    const std::vector<double> limits = {-3.7, -1.2, 0.3, 1.96, 2.8, 4.1};
    std::vector<double> sequential;
    for (const double x : limits)
        sequential.push_back(Normal_probability(x, {}));
    constexpr int Threads = 4;
    constexpr int Rounds = 20000;
    std::vector<int> mismatches(Threads, 0);
    std::latch start(Threads);
    std::vector<std::thread> threads;
    for (int t = 0; t < Threads; ++t)
        threads.emplace_back([&, t] {
            start.arrive_and_wait();
            for (int round = 0; round < Rounds; ++round) {
                const std::size_t i = static_cast<std::size_t>(round + t) % limits.size();
                if (Normal_probability(limits[i], {}) != sequential[i]) ++mismatches[t];
            }
        });
    for (std::thread& thread : threads)
        thread.join();
    for (int t = 0; t < Threads; ++t)
        EXPECT_EQ(mismatches[t], 0) << "thread " << t;
}
