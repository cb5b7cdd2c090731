// One confidence-limit search, stepwise (an evaluation of Cdf per step) and
// solved (the root first, the steps replayed), at small and large df and for
// targets near and far from 0.
#include <benchmark/benchmark.h>

#include "inference/noncentrality_search.h"

namespace {

void Arguments(benchmark::internal::Benchmark* bench) {
    for (int df : {8, 493})
        for (int t : {-3, -30, 30, -300})
            bench->Args({df, t});
}

template <Extended (*Search)(Extended, Extended, Extended)>
void Limit_search(benchmark::State& state) {
    const Extended df = state.range(0), t = state.range(1);
    for (auto _ : state)
        benchmark::DoNotOptimize(Search(df, t, 0.975L));
}

} // namespace

BENCHMARK_TEMPLATE(Limit_search, Noncentrality_for_quantile_stepwise)
    ->Apply(Arguments)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(Limit_search, Noncentrality_for_quantile)
    ->Apply(Arguments)
    ->Unit(benchmark::kMicrosecond);
