// The whole analysis of one case: descriptive statistics, regression equation
// and case inference with its four confidence limits, as Run_analysis does it.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>

#include "app/analysis.h"
#include "matrix/matrix_routines.h"

namespace {

// Controls drawn from a linear model with noise SD 10, the case `offset`
// points from its prediction.
std::unique_ptr<tData_matrix> Make_data(int n, int k, double offset) {
    auto data = std::make_unique<tData_matrix>();
    Clear_data_matrix(*data);
    std::mt19937 generator(12345);
    std::normal_distribution<double> normal(0, 1);
    for (int i = 1; i <= n + 1; ++i) {
        double y = 50;
        for (int j = 1; j <= k; ++j) {
            const double x = 20 + 5 * normal(generator);
            (*data)(i, j + 1) = x;
            y += 0.5 * j * x;
        }
        (*data)(i, 1) = y + (i <= n ? 10 * normal(generator) : offset);
    }
    return data;
}

void Whole_analysis(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const int k = static_cast<int>(state.range(1));
    const auto data = Make_data(n, k, static_cast<double>(state.range(2)));
    for (auto _ : state) {
        // The route the window and the tool take, copy of the data included.
        tAnalysis analysis = Run_analysis(std::make_unique<const tData_matrix>(*data), k, n,
                                          tLimit_choice::Two_sided, {});
        benchmark::DoNotOptimize(analysis.Results);
    }
}

} // namespace

// n, k, case offset: 2.5 and 10 noise SDs below the prediction.
BENCHMARK(Whole_analysis)
    ->Args({499, 5, -25})
    ->Args({10, 1, -25})
    ->Args({499, 5, -100})
    ->Args({10, 1, -100})
    ->Unit(benchmark::kMillisecond);
