// The whole analysis of one case: descriptive statistics, regression equation
// and case inference with its four confidence limits.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>

#include "inference/case_inference.h"
#include "inference/regression_equation.h"
#include "matrix/descriptive_statistics.h"
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

void Run_analysis(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const int k = static_cast<int>(state.range(1));
    const auto data = Make_data(n, k, static_cast<double>(state.range(2)));
    const int nvars = k + 1;
    for (auto _ : state) {
        tMatrix corr;
        tVector means, sds;
        Descriptive_statistics(*data, n, nvars, corr, means, sds);
        tRegression_results regression;
        Build_regression_equation(nvars, n, true, corr, means, sds, regression);

        tSelection predictors;
        Fill_selection(nvars, predictors);
        predictors[1] = false;
        tCase_data c;
        c.N = n;
        c.K = k;
        Select_subvector(nvars, means, predictors, c.Mean_X);
        Select_subvector(nvars, sds, predictors, c.SD_X);
        Select_submatrix(corr, nvars, predictors, c.R_XX);
        c.Coef = regression.Coef;
        c.Intercept = regression.Intercept;
        c.SEE = regression.SEE;
        c.SD_residual = regression.SD_residual;
        tVector case_row;
        Get_data_row(*data, n + 1, nvars, case_row);
        c.Case_Y = case_row[1];
        Select_subvector(nvars, case_row, predictors, c.Case_X);

        tCase_results results;
        Extended predicted = 0, se = 0;
        Infer_case(c, true, results, 95, predicted, se, {});
        benchmark::DoNotOptimize(results);
    }
}

} // namespace

// n, k, case offset: 2.5 and 10 noise SDs below the prediction.
BENCHMARK(Run_analysis)
    ->Args({499, 5, -25})
    ->Args({10, 1, -25})
    ->Args({499, 5, -100})
    ->Args({10, 1, -100})
    ->Unit(benchmark::kMillisecond);
