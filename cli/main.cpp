// pavona-cli: the worksheet's analysis from the command line. The entries go
// through the same request sequence as in the window, and the report is the
// one the viewer would show first. With
// --cases or --csv, a series of cases follows the controls.

#include <unistd.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

#include <algorithm>
#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <thread>

#include "assessment/json_report.h"
#include "assessment/notes.h"
#include "assessment/request.h"
#include "cli/cli_options.h"
#include "platform/console_platform.h"
#include "platform/file_writer.h"
#include "platform/system_error_message.h"

namespace {

constexpr int Exit_refused = 1;
constexpr int Exit_usage = 2;

void Print_error(const std::string& message) {
    std::fputs((message + "\n").c_str(), stderr);
    std::fflush(stderr);
}

// What the file held that was not read; a warning, the exit status unchanged.
void Warn_unread(const tUnread& unread) {
    const std::string notice = Unread_notice(unread);
    if (notice.empty()) return;
    Print_error(notice + (unread.Lines > 0 ? " Give --cases all to analyse each of them as a "
                                             "case as well."
                                           : ""));
}

// Progress is shown only to a person watching a terminal, never into a file or pipe.
bool Errors_go_to_a_terminal() {
#ifdef __EMSCRIPTEN__
    // The WebAssembly runtime calls every standard stream a terminal; Node knows.
    return EM_ASM_INT({ return process.stderr.isTTY ? 1 : 0; }) == 1;
#else
    return ::isatty(::fileno(stderr)) == 1;
#endif
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
    settings.Data_file = *options.Data_file;
    settings.Show_progress = Errors_go_to_a_terminal();
    return settings;
}

// The JSON, or the end of the report whose lines `report` has written as they
// were formed.
int Write_output(const tOptions& options, const tOutcome& outcome, tLine_writer& report) {
    try {
        if (options.Json)
            Write_checked(stdout,
                          Json_report(*outcome.Analysis, {*options.Data_file, options.Notes}));
        else
            report.Finish();
    } catch (const EFile_error& error) {
        Print_error(error.what());
        return Exit_refused;
    }
    return 0;
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

    tRequest request;
    request.Predictors = *options.Predictors;
    request.Sample_size = options.Controls.value_or("");
    request.Limits = options.Limits;
    request.Notes = options.Notes;
    request.Summary = options.Summary;
    request.Plot = false; // the command line draws none
    const tData_source source = tData_source::Argument(*options.Data_file);
    if (Is_series(options))
        return Run_series_request(request, source, Series_settings(options), stdout, stderr);

    tConsole_platform platform;
    tRequest_hooks hooks;
    hooks.Choose_data = [&source] { return std::optional<tData_source>(source); };
    hooks.Warned = [&platform](const std::string& message) {
        platform.Message_box(message, tMessage_kind::Warning, Ok_button);
    };
    // The report goes out line by line as it is formed, never held whole; the
    // JSON is made from the analysis and needs none of its text.
    tLine_writer report(stdout);
    if (options.Json)
        hooks.Report_line = [](std::string_view) {};
    else
        hooks.Report_line = [&report](std::string_view line) { report.Write(line); };
    const tOutcome outcome = Run_request(request, hooks);
    Warn_unread(outcome.Unread);
    if (!outcome.Done) {
        platform.Message_box(With_full_stop(outcome.Message), outcome.Kind, Ok_button);
        return Exit_refused;
    }
    return Write_output(options, outcome, report);
}

} // namespace

int main(int argc, char** argv) {
#ifdef __GLIBC__
    // A run is one analysis, then exit. The 160 KB data matrix comes from the
    // heap rather than from a mapping of its own, whose unmapping costs more
    // than the whole allocation saves, and the heap is never given back early.
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
    mallopt(M_TRIM_THRESHOLD, 4 << 20);
#endif
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
