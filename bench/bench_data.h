#pragma once

// The benchmarks' control samples, shared with the program that writes them to
// a data file (for timing the command-line tool and other programs on the very
// same numbers).

#include <memory>
#include <random>

#include "matrix/matrix_routines.h"

// Noise SD of the controls' criterion: the unit of a case's offset.
inline constexpr double Bench_noise_sd = 10;

// Controls drawn from a linear model with noise SD 10, the case `offset`
// points from the model's prediction.
inline std::unique_ptr<tData_matrix> Make_bench_data(int n, int k, double offset) {
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
        (*data)(i, 1) = y + (i <= n ? Bench_noise_sd * normal(generator) : offset);
    }
    return data;
}
