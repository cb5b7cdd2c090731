// One analysis from summary statistics, as --summary runs it: the control
// part and one case, a case 4 residual SDs below its prediction at the
// predictor's mean (the largest non-centralities for its offset, some
// 4 sqrt(n)). The goal: a million controls cost at most three times 499.
#include <benchmark/benchmark.h>

#include <string>

#include "assessment/analysis.h"
#include "assessment/summary_file_reader.h"

namespace {

void Summary_analysis(benchmark::State& state) {
    // Criterion mean 25, SD 5; predictor mean 60, SD 12; correlation 0.6:
    // Y = 10 + 0.25 X with a residual SD of 4, so Y = 9 is 4 SDs below.
    const std::string text = std::to_string(state.range(0)) + "\n25 60\n5 12\n1 0.6\n0.6 1\n9 60\n";
    tSummary_reader reader{std::string_view(text), 1};
    tCase_row row;
    reader.Cases().Next(row);
    for (auto _ : state) {
        tAnalysis analysis = Analyse_with_case(
            Analyse_summary(reader.Summary(), tLimits::Two_sided), row.Scores, {});
        benchmark::DoNotOptimize(analysis.Results);
    }
}

} // namespace

BENCHMARK(Summary_analysis)->Arg(499)->Arg(1000000)->Unit(benchmark::kMillisecond);
