// A summary file of arbitrary bytes, through the analysis to the report. The
// first two bytes choose k and the kind of limits; the rest is the file. Every
// outcome must be a report free of "inf" and "nan", or one of the program's own
// refusals and numeric errors.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "assessment/analysis.h"
#include "assessment/report.h"
#include "assessment/summary_file_reader.h"
#include "distributions/argument_error.h"
#include "distributions/floating_point_faults.h"
#include "tests/support/text_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const int k = 1 + data[0] % 5;
    const auto limits = static_cast<tLimits>(data[1] % 3);
    const std::string_view bytes(reinterpret_cast<const char*>(data + 2), size - 2);
    try {
        tSummary_reader reader(bytes, k);
        tControl_analysis controls = Analyse_summary(reader.Summary(), limits);
        tCase_row row;
        if (!reader.Cases().Next(row) || !row.Error.empty()) return 0;
        const tAnalysis analysis = Analyse_with_case(std::move(controls), row.Scores, {});
        for (const std::string& line : Report_lines(analysis, {}, false))
            if (Holds_inf_or_nan(line)) {
                std::fprintf(stderr, "report line with inf or nan: %s\n", line.c_str());
                std::abort();
            }
    } catch (const EData_file_error&) {
    } catch (const EAnalysis_refused&) {
    } catch (const EFloating_point_error&) {
    } catch (const EArgumentError&) {
    }
    return 0;
}
