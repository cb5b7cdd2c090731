// A series of cases against one control sample: what each extra case costs
// once the control sample has been analysed, alone and through pavona-cli's
// series run with several jobs.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "assessment/analysis.h"
#include "assessment/case_series.h"
#include "distributions/text_format.h"
#include "inference/noncentrality_search.h"

namespace {

// Rows of a linear model with noise SD 10 (controls) or 25 (cases), as text.
std::string Rows(int count, int k, double noise, std::mt19937& generator) {
    std::normal_distribution<double> normal(0, 1);
    std::string text;
    for (int i = 0; i < count; ++i) {
        double y = 50;
        std::string predictors;
        for (int j = 1; j <= k; ++j) {
            const double x = 20 + 5 * normal(generator);
            predictors += Format_text(" %.4f", x);
            y += 0.5 * j * x;
        }
        text += Format_text("%.4f", y + noise * normal(generator)) + predictors + "\n";
    }
    return text;
}

struct tSeries_data {
    std::string Controls;
    std::string Cases;
};

tSeries_data Make_series(int n, int k, int cases) {
    std::mt19937 generator(12345);
    tSeries_data data;
    data.Controls = Rows(n, k, 10, generator);
    data.Cases = Rows(cases, k, 25, generator);
    return data;
}

tControl_analysis Controls_of(const std::string& text, int n, int k) {
    auto data = std::make_unique<tData_matrix>();
    tCase_series_reader reader(std::string_view(text), n, k + 1, *data);
    return Analyse_controls(std::move(data), k, n, tLimits::Two_sided);
}

// One extra case: its record and inference, on one thread.
void Extra_case(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const int k = static_cast<int>(state.range(1));
    const tSeries_data series = Make_series(n, k, 256);
    const tControl_analysis controls = Controls_of(series.Controls, n, k);
    std::vector<tVector> cases;
    tData_matrix unused;
    // The reader keeps a view of the text: it must outlive the reader.
    const std::string text = series.Controls + series.Cases;
    tCase_series_reader reader(std::string_view(text), n, k + 1, unused);
    for (tCase_row row; reader.Next(row);)
        cases.push_back(row.Scores);
    std::size_t next = 0;
    const std::uint64_t evaluations_before = Noncentrality_search_evaluations();
    for (auto _ : state) {
        benchmark::DoNotOptimize(Analyse_case(controls, cases[next], {}).Results);
        next = (next + 1) % cases.size();
    }
    state.SetItemsProcessed(state.iterations());
    // Evaluations of the non-central t distribution function per case.
    state.counters["evaluations"] =
        static_cast<double>(Noncentrality_search_evaluations() - evaluations_before) /
        static_cast<double>(state.iterations());
}

// The control sample's part, done once for a whole series.
void Control_part(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const int k = static_cast<int>(state.range(1));
    const tSeries_data series = Make_series(n, k, 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(Controls_of(series.Controls, n, k).Regression);
}

// 200 cases through the tool's series run (reading, analysis on `jobs`
// threads, CSV written to /dev/null); the time per item is the time per case.
void Series_run(benchmark::State& state) {
    constexpr int Cases = 200;
    const int jobs = static_cast<int>(state.range(0));
    const tSeries_data series = Make_series(60, 3, Cases);
    const std::string text = series.Controls + series.Cases;
    std::FILE* const sink = std::fopen("/dev/null", "w");
    tSeries_settings settings;
    settings.Format = tSeries_format::Csv;
    settings.Jobs = jobs;
    for (auto _ : state) {
        auto data = std::make_unique<tData_matrix>();
        tCase_series_reader reader(std::string_view(text), 60, 4, *data);
        const tControl_analysis controls =
            Analyse_controls(std::move(data), 3, 60, tLimits::Two_sided);
        benchmark::DoNotOptimize(Run_case_series(controls, reader, settings, sink, sink));
    }
    std::fclose(sink);
    state.SetItemsProcessed(state.iterations() * Cases);
}

} // namespace

// n, k
BENCHMARK(Extra_case)->Args({60, 3})->Args({499, 5})->Args({10, 1})->Unit(benchmark::kMillisecond);
BENCHMARK(Control_part)->Args({60, 3})->Args({499, 5})->Unit(benchmark::kMicrosecond);
// jobs
BENCHMARK(Series_run)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
