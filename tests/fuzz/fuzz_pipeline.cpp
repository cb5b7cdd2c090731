// The whole road from a data file to the report on arbitrary bytes. The first
// three bytes choose k, n (within what the worksheet accepts) and the kind of
// limits; the rest is the file. Every outcome must be a report free of "inf"
// and "nan" with a plot of finite figures, or one of the program's own
// refusals and numeric errors.

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "assessment/analysis.h"
#include "assessment/data_file_reader.h"
#include "assessment/report.h"
#include "distributions/argument_error.h"
#include "distributions/floating_point_faults.h"
#include "inference/plot_points.h"
#include "tests/support/text_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    const int k = 1 + data[0] % 5;
    const int n = k + 2 + data[1] % (Max_sample_size - k - 1);
    const auto limits = static_cast<tLimits>(data[2] % 3);
    const std::string_view bytes(reinterpret_cast<const char*>(data + 3), size - 3);

    auto matrix = std::make_unique<tData_matrix>();
    try {
        Read_data_bytes(bytes, n + 1, k + 1, *matrix);
        const tAnalysis analysis = Run_analysis(std::move(matrix), k, n, limits, {});
        for (const bool viewer_has_text : {false, true})
            for (const std::string& line : Report_lines(analysis, {"notes"}, viewer_has_text))
                if (Holds_inf_or_nan(line)) {
                    std::fprintf(stderr, "report line with inf or nan: %s\n", line.c_str());
                    std::abort();
                }
        // The plot of the same analysis: finite figures or a numeric error.
        Make_plot_points(*analysis.Data, n, k, analysis.Regression, analysis.Predicted,
                         analysis.SE_additional, analysis.Results, limits);
    } catch (const EData_file_error&) {
    } catch (const EAnalysis_refused&) {
    } catch (const EFloating_point_error&) {
    } catch (const EArgumentError&) {
    }
    // Anything else (a logic error, an unexpected exception) ends the run.
    return 0;
}
