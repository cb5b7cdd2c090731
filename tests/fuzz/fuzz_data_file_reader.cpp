// The data file reader on arbitrary bytes, as one file and as a series of
// cases. The first two bytes choose k and n (within what the worksheet
// accepts); the rest is the file.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "assessment/data_file_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const int k = 1 + data[0] % 5;
    const int n = k + 2 + data[1] % (499 - k - 1);
    const std::string_view bytes(reinterpret_cast<const char*>(data + 2), size - 2);

    auto matrix = std::make_unique<tData_matrix>();

    // The same bytes as a series: a few controls, then case rows. Every case
    // row is usable with finite scores or refused with a message, and the
    // rows come in the order of their lines.
    try {
        const int controls = k + 2 + data[1] % 8;
        tCase_series_reader reader(bytes, controls, k + 1, *matrix);
        long long last_line = controls;
        tCase_row row;
        while (reader.Next(row)) {
            if (row.Line <= last_line) std::abort();
            last_line = row.Line;
            if (row.Error.empty())
                for (int col = 1; col <= k + 1; ++col)
                    if (!std::isfinite(row.Scores[col])) std::abort();
        }
    } catch (const EData_file_error&) {
    }

    try {
        Read_data_bytes(bytes, n + 1, k + 1, *matrix);
    } catch (const EData_file_error&) {
        return 0;
    }
    // A successful read fills every cell of the n + 1 rows with a finite number.
    for (int row = 1; row <= n + 1; ++row)
        for (int col = 1; col <= k + 1; ++col)
            if (!std::isfinite((*matrix)(row, col))) std::abort();
    return 0;
}
