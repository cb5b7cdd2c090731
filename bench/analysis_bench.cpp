// The whole analysis of one case: descriptive statistics, regression equation
// and case inference with its four confidence limits, as Run_analysis does it.
#include <benchmark/benchmark.h>

#include <memory>
#include <utility>

#include "assessment/analysis.h"
#include "bench/bench_data.h"
#include "inference/noncentrality_search.h"

namespace {

void Whole_analysis(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const int k = static_cast<int>(state.range(1));
    const auto data = Make_bench_data(n, k, static_cast<double>(state.range(2)));
    const std::uint64_t evaluations_before = Noncentrality_search_evaluations();
    for (auto _ : state) {
        // The route the window and the tool take, copy of the data included.
        tAnalysis analysis =
            Run_analysis(std::make_unique<const tData_matrix>(*data), k, n, tLimits::Two_sided, {});
        benchmark::DoNotOptimize(analysis.Results);
    }
    // Evaluations of the non-central t distribution function per analysis.
    state.counters["evaluations"] =
        static_cast<double>(Noncentrality_search_evaluations() - evaluations_before) /
        static_cast<double>(state.iterations());
}

// n, k, case offset in points (noise SD 10): 2.5, 3, 10 and 30 SDs below the
// prediction, and 3 above, where the effect size needs two searches of its own.
void Offsets(benchmark::internal::Benchmark* bench) {
    for (const auto& [n, k] : {std::pair{499, 5}, {10, 1}})
        for (int offset : {-25, -30, -100, -300, 30})
            bench->Args({n, k, offset});
}

} // namespace

BENCHMARK(Whole_analysis)->Apply(Offsets)->Unit(benchmark::kMillisecond);
