// Cost of the non-central t operations that the confidence-limit search
// repeats: Cdf, Density and Quantile at small and large df and non-centrality.
#include <benchmark/benchmark.h>

#include "distributions/non_central_t_distribution.h"

namespace {
void Arguments(benchmark::internal::Benchmark* bench) {
    for (int df : {8, 497})
        for (int tenths : {5, 50, 400}) // delta 0.5, 5 and 40
            bench->Args({df, tenths});
}

void Non_central_t_cdf(benchmark::State& state) {
    tNon_central_t_distribution nct(state.range(0), state.range(1) / 10.0L);
    const Extended x = state.range(1) / 10.0L + 1;
    for (auto _ : state)
        benchmark::DoNotOptimize(nct.Cdf(x));
}

void Non_central_t_density(benchmark::State& state) {
    tNon_central_t_distribution nct(state.range(0), state.range(1) / 10.0L);
    const Extended x = state.range(1) / 10.0L + 1;
    for (auto _ : state)
        benchmark::DoNotOptimize(nct.Density(x));
}

void Non_central_t_quantile(benchmark::State& state) {
    tNon_central_t_distribution nct(state.range(0), state.range(1) / 10.0L);
    for (auto _ : state)
        benchmark::DoNotOptimize(nct.Quantile(0.975L));
}

// Both 95% quantiles at 2 df and non-centralities in the thousands, where the
// series' remaining weight loses its digits to rounding and a second stopping
// rule ends it (a single quantile once ran for minutes).
void Non_central_t_quantiles_at_thousands(benchmark::State& state) {
    tNon_central_t_distribution nct(2, static_cast<Extended>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(nct.Quantile(0.975L));
        benchmark::DoNotOptimize(nct.Quantile(0.025L));
    }
}
} // namespace

BENCHMARK(Non_central_t_cdf)->Apply(Arguments);
BENCHMARK(Non_central_t_density)->Apply(Arguments);
BENCHMARK(Non_central_t_quantile)->Apply(Arguments);
BENCHMARK(Non_central_t_quantiles_at_thousands)
    ->Arg(3072)
    ->Arg(-3072)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond);
