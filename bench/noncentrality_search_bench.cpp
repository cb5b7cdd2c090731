// One confidence-limit search, stepwise (an evaluation of Cdf per step) and
// solved (the root first, the steps replayed), at small and large df and for
// targets near and far from 0.
#include <benchmark/benchmark.h>

#include <utility>

#include "inference/inference_errors.h"
#include "inference/noncentrality_search.h"

namespace {

void Arguments(benchmark::internal::Benchmark* bench) {
    for (int df : {8, 493})
        for (int t : {-3, -30, 30, -300})
            bench->Args({df, t});
    // The costliest searches a raw-data case can reach: a standardized case
    // whose larger non-centrality lies just under the search's cap.
    for (const auto& [df, t] : {std::pair{2, 450}, {35, 700}, {497, 900}})
        bench->Args({df, t});
}

template <Extended (*Search)(Extended, Extended, Extended)>
void Limit_search(benchmark::State& state) {
    const Extended df = state.range(0), t = state.range(1);
    for (auto _ : state)
        benchmark::DoNotOptimize(Search(df, t, 0.975L));
}

// A target no non-centrality within the cap reaches: the search must give up
// at once, in either direction.
void Unreachable_limit(benchmark::State& state) {
    const Extended t = state.range(0);
    for (auto _ : state) {
        try {
            benchmark::DoNotOptimize(Noncentrality_for_quantile(497, t, 0.975L));
        } catch (const EDiscrepancy_too_extreme&) {
        }
    }
}

} // namespace

BENCHMARK_TEMPLATE(Limit_search, Noncentrality_for_quantile_stepwise)
    ->Apply(Arguments)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(Limit_search, Noncentrality_for_quantile)
    ->Apply(Arguments)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(Unreachable_limit)
    ->Arg(10000000)
    ->Arg(-10000000)
    ->Arg(5000)
    ->Unit(benchmark::kMicrosecond);
