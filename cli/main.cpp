// pavona-cli: the worksheet's analysis from the command line. The entries go
// through the same checks and the data file through the same reader as in the
// window, and the report is the one the viewer would show first. With
// --cases or --csv, a series of cases follows the controls.

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/analysis.h"
#include "app/data_file_reader.h"
#include "app/notes.h"
#include "app/report.h"
#include "app/summary_file_reader.h"
#include "cli/case_series.h"
#include "cli/cli_options.h"
#include "cli/json_report.h"
#include "distributions/text_format.h"
#include "platform/console_platform.h"
#include "platform/system_error_message.h"

namespace {

constexpr int Exit_refused = 1;
constexpr int Exit_usage = 2;

void Print_error(const std::string& message) {
    std::fputs((message + "\n").c_str(), stderr);
    std::fflush(stderr);
}

tSeries_settings Series_settings(const tOptions& options) {
    tSeries_settings settings;
    settings.Format = options.Csv    ? tSeries_format::Csv
                      : options.Json ? tSeries_format::Json
                                     : tSeries_format::Report;
    settings.Cases = options.Cases;
    settings.Jobs = options.Jobs > 0
                        ? options.Jobs
                        : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    settings.Notes = options.Notes;
    settings.Show_progress = ::isatty(::fileno(stderr)) == 1;
    return settings;
}

// Many cases, or CSV: the control sample once, then each case row.
int Run_series(const tOptions& options, const tEntry_check& entries) {
    auto data = std::make_unique<tData_matrix>();
    std::optional<tCase_series_reader> reader;
    if (*options.Data_file == "-")
        reader.emplace(stdin, entries.N, entries.K + 1, *data);
    else
        reader.emplace(*options.Data_file, entries.N, entries.K + 1, *data);
    const tControl_analysis controls =
        Analyse_controls(std::move(data), entries.K, entries.N, options.Limits);
    return Run_case_series(controls, *reader, Series_settings(options), stdout, stderr);
}

int Write_output(const std::string& output) {
    errno = 0;
    if (std::fwrite(output.data(), 1, output.size(), stdout) != output.size() ||
        std::fflush(stdout) != 0) {
        Print_error(System_error_message(Last_error_or_io()));
        return Exit_refused;
    }
    return 0;
}

std::string Output(const tOptions& options, const tAnalysis& analysis) {
    if (options.Json) return Json_report(analysis);
    std::string output;
    for (const std::string& line : Report_lines(analysis, options.Notes, false))
        output += line + "\n";
    return output;
}

// A control sample given by its published summary statistics.
int Run_summary(const tOptions& options, int k, const tWarning_handler& warn) {
    std::optional<tSummary_reader> reader;
    if (*options.Data_file == "-")
        reader.emplace(stdin, k);
    else
        reader.emplace(*options.Data_file, k);
    tControl_analysis controls = Analyse_summary(reader->Summary(), options.Limits);
    if (Is_series(options))
        return Run_case_series(controls, reader->Cases(), Series_settings(options), stdout, stderr);

    tCase_row row;
    if (!reader->Cases().Next(row))
        throw EData_file_error(Format_text("The summary file ends before line %d, which must "
                                           "hold the case's %d scores, the criterion first.",
                                           k + 5, k + 1));
    if (!row.Error.empty()) throw EData_file_error(row.Error);
    return Write_output(Output(options, Analyse_with_case(std::move(controls), row.Scores, warn)));
}

int Run(int argc, char** argv) {
    tOptions options;
    try {
        options = Parse_arguments(argc, argv);
    } catch (const EUsage& error) {
        Print_error(std::string("pavona-cli: ") + error.what() + "\n\n" + Usage_text);
        return Exit_usage;
    }
    if (options.Help || options.Version) {
        std::fputs(options.Help ? Usage_text : Version_text, stdout);
        return std::fflush(stdout) == 0 ? 0 : Exit_refused;
    }

    const std::size_t notes_length = Notes_length(options.Notes);
    if (notes_length > Max_notes_length) {
        Print_error(Notes_too_long_message(notes_length));
        return Exit_refused;
    }

    tConsole_platform platform;
    const tWarning_handler warn = [&platform](const std::string& message) {
        platform.Message_box(message, tMessage_kind::Warning, Ok_button);
    };
    if (options.Summary) {
        const tEntry_check k = Check_predictors(platform, *options.Predictors);
        return k.Passed() ? Run_summary(options, k.K, warn) : Exit_refused;
    }
    const tEntry_check entries = Check_entries(platform, *options.Predictors, *options.Controls);
    if (!entries.Passed()) {
        // The input checks have already written their warnings.
        if (!entries.Error_message.empty()) Print_error(entries.Error_message);
        return Exit_refused;
    }

    if (Is_series(options)) return Run_series(options, entries);

    auto data = std::make_unique<tData_matrix>();
    const int rows = entries.N + 1;
    const int cols = entries.K + 1;
    if (*options.Data_file == "-")
        Read_data_stream(stdin, rows, cols, *data);
    else
        Read_data_file(*options.Data_file, rows, cols, *data);

    const tAnalysis analysis =
        Run_analysis(std::move(data), entries.K, entries.N, options.Limits, warn);
    return Write_output(Output(options, analysis));
}

} // namespace

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::exception& error) {
        // The text the window's default error handler would show.
        Print_error(With_full_stop(error.what()));
    } catch (...) {
        Print_error("Unexpected error.");
    }
    return Exit_refused;
}
