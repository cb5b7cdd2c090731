// Writes a benchmark sample as a data file, so that the command-line tool and
// other programs can be timed on exactly the numbers analysis_bench uses:
//   write_bench_data N K OFFSET > file
// (OFFSET: the case's distance from the model's prediction, in points; the
// controls' noise SD is 10).
#include <cstdio>
#include <cstdlib>

#include "bench/bench_data.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fputs("Usage: write_bench_data N K OFFSET\n", stderr);
        return 2;
    }
    const int n = std::atoi(argv[1]);
    const int k = std::atoi(argv[2]);
    if (n < 3 || n > 499 || k < 1 || k > 5) {
        std::fputs("N must lie in 3..499 and K in 1..5\n", stderr);
        return 2;
    }
    const auto data = Make_bench_data(n, k, std::atof(argv[3]));
    for (int i = 1; i <= n + 1; ++i)
        for (int j = 1; j <= k + 1; ++j)
            std::printf("%.10g%c", static_cast<double>((*data)(i, j)), j <= k ? ' ' : '\n');
}
