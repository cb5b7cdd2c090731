#include "assessment/request.h"

#include <exception>
#include <memory>
#include <string_view>
#include <utility>

#include "assessment/data_file_reader.h"
#include "assessment/input_validation.h"
#include "assessment/program_texts.h"
#include "assessment/report.h"
#include "assessment/summary_file_reader.h"
#include "distributions/floating_point_faults.h"
#include "distributions/text_format.h"
#include "platform/console_platform.h"

tData_source tData_source::File(std::string path) {
    return {tKind::File, std::move(path), {}};
}

tData_source tData_source::Standard_input() {
    return {tKind::Standard_input, "-", {}};
}

tData_source tData_source::In_memory(std::string name, std::string text) {
    return {tKind::Text, std::move(name), std::move(text)};
}

tData_source tData_source::Argument(const std::string& argument) {
    return argument == "-" ? Standard_input() : File(argument);
}

tEntry_check Check_predictors(const std::string& predictors_text) {
    tEntry_check check;
    const tField_reading k = ReadNumericField(predictors_text, PredictorsCaption);
    check.Message = k.Warning.empty() ? CheckPredictorCount(PredictorsCaption, k.Value) : k.Warning;
    if (check.Message.empty())
        check.K = static_cast<int>(k.Value);
    else
        check.Failed = tEntry_field::Predictors;
    return check;
}

tEntry_check Check_entries(const std::string& predictors_text,
                           const std::string& sample_size_text) {
    tEntry_check check = Check_predictors(predictors_text);
    if (!check.Passed()) return check;
    const tField_reading n_reading = ReadNumericField(sample_size_text, SampleSizeCaption);
    check.Message = n_reading.Warning.empty() ? CheckSampleSize(SampleSizeCaption, n_reading.Value)
                                              : n_reading.Warning;
    if (!check.Message.empty()) {
        check.Failed = tEntry_field::Sample_size;
        return check;
    }
    // Both are whole numbers by now: k in 1..5, n at least 3 (but possibly huge).
    const auto k = static_cast<long long>(check.K);
    const auto n = static_cast<long long>(n_reading.Value);
    check.Kind = tMessage_kind::Error;
    if (k >= n - 1) {
        check.Failed = tEntry_field::Predictors;
        check.Message =
            Format_text(Too_many_predictors_format, static_cast<int>(n), static_cast<int>(n - 2));
        return check;
    }
    if (n > Max_sample_size) {
        check.Failed = tEntry_field::Sample_size;
        check.Message = Sample_too_large_message;
        return check;
    }
    check.Kind = tMessage_kind::Warning;
    check.N = static_cast<int>(n);
    return check;
}

tEntry_check Check_request(const tRequest& request) {
    return request.Summary ? Check_predictors(request.Predictors)
                           : Check_entries(request.Predictors, request.Sample_size);
}

namespace {

// A reader built on the source: its constructors take a path, a stream or
// the bytes themselves, each followed by `arguments`.
template <class tReader, class... tArguments>
std::unique_ptr<tReader> Open(const tData_source& source, tArguments&&... arguments) {
    switch (source.Kind) {
    case tData_source::tKind::Standard_input:
        return std::make_unique<tReader>(stdin, std::forward<tArguments>(arguments)...);
    case tData_source::tKind::Text:
        return std::make_unique<tReader>(std::string_view(source.Text),
                                         std::forward<tArguments>(arguments)...);
    case tData_source::tKind::File:
        break;
    }
    return std::make_unique<tReader>(source.Name, std::forward<tArguments>(arguments)...);
}

std::string Read_data(const tData_source& source, int rows, int cols, tData_matrix& data,
                      tUnread& unread) {
    switch (source.Kind) {
    case tData_source::tKind::Standard_input:
        return Read_data_stream(stdin, rows, cols, data, &unread);
    case tData_source::tKind::Text:
        return Read_data_bytes(source.Text, rows, cols, data, &unread);
    case tData_source::tKind::File:
        break;
    }
    return Read_data_file(source.Name, rows, cols, data, &unread);
}

// A series reads every case row it is asked for: only columns can be passed
// over, and they are told as a warning.
void Warn_unread_columns(tUnread unread, tConsole_platform& console) {
    unread.Lines = 0;
    const std::string notice = Unread_notice(unread);
    if (!notice.empty()) console.Message_box(notice, tMessage_kind::Warning, Ok_button);
}

// Raw data: n controls and the case. The plot is drawn from the same analysis
// as the report; scores beyond what a chart can hold (a double) still get
// their report, without a plot.
void Analyse_raw(const tRequest& request, const tEntry_check& entries, const tData_source& source,
                 const tRequest_hooks& hooks, const tWarning_handler& warn, tOutcome& outcome) {
    const int k = entries.K;
    const int n = entries.N;
    auto data = std::make_unique<tData_matrix>();
    outcome.Load_message = Read_data(source, n + 1, k + 1, *data, outcome.Unread);
    if (hooks.Loaded) hooks.Loaded(outcome.Load_message);
    Run_analysis(std::move(data), k, n, request.Limits, warn, outcome.Analysis.emplace());
    if (!request.Plot) return;
    const tAnalysis& a = *outcome.Analysis;
    try {
        outcome.Plot = Make_plot_points(*a.Data, n, k, a.Regression, a.Predicted, a.SE_additional,
                                        a.Results, request.Limits);
    } catch (const EFloating_point_error&) {
    }
}

// Published summary statistics and the first case row after them.
void Analyse_summary_file(const tRequest& request, const tEntry_check& entries,
                          const tData_source& source, const tWarning_handler& warn,
                          tOutcome& outcome) {
    const int k = entries.K;
    const auto reader = Open<tSummary_reader>(source, k);
    tControl_analysis controls = Analyse_summary(reader->Summary(), request.Limits);
    tCase_row row;
    if (!reader->Cases().Next(row))
        throw EData_file_error(Format_text("The summary file ends before line %d, which must "
                                           "hold the case's %d scores, the criterion first.",
                                           Summary_first_case_line(k), k + 1));
    if (!row.Error.empty()) throw EData_file_error(row.Error);
    reader->Cases().Count_unread_lines();
    outcome.Unread = reader->Unread();
    outcome.Analysis = Analyse_with_case(std::move(controls), row.Scores, warn);
    if (!request.Plot) return;
    // No controls to draw: the case's t chart alone.
    const tAnalysis& a = *outcome.Analysis;
    try {
        outcome.Plot = Make_plot_points(a.Case_scores[1], a.Predicted, a.SE_additional, a.Results,
                                        request.Limits);
    } catch (const EFloating_point_error&) {
    }
}

void Refuse(tOutcome& outcome, const std::string& message, tMessage_kind kind,
            tEntry_field field = tEntry_field::None) {
    outcome.Done = false;
    outcome.Field = field;
    outcome.Message = message;
    outcome.Kind = kind;
}

} // namespace

tOutcome Run_request(const tRequest& request, const tRequest_hooks& hooks) {
    tOutcome outcome;
    const tEntry_check entries = Check_request(request);
    if (!entries.Passed()) {
        Refuse(outcome, entries.Message, entries.Kind, entries.Failed);
        return outcome;
    }
    const tWarning_handler warn = [&](const std::string& warning) {
        outcome.Warnings.push_back(warning);
        if (hooks.Warned) hooks.Warned(warning);
    };
    try {
        const std::optional<tData_source> source =
            hooks.Choose_data ? hooks.Choose_data() : std::nullopt;
        if (!source) {
            Refuse(outcome, Load_cancelled_message, tMessage_kind::Information);
            return outcome;
        }
        if (request.Summary)
            Analyse_summary_file(request, entries, *source, warn, outcome);
        else
            Analyse_raw(request, entries, *source, hooks, warn, outcome);
        if (hooks.Report_line)
            Report_lines(*outcome.Analysis, *outcome.Analysis, request.Notes,
                         request.After_earlier_report, hooks.Report_line);
        else
            outcome.Report =
                Report_lines(*outcome.Analysis, request.Notes, request.After_earlier_report);
        outcome.Done = true;
    } catch (const EAnalysis_refused& refusal) {
        // A matrix that is not positive definite points at the entries; the
        // other refusals are failures like any other.
        if (refusal.Reason() == EAnalysis_refused::tReason::Not_positive_definite) {
            Refuse(outcome, refusal.what(), tMessage_kind::Error, tEntry_field::Predictors);
        } else {
            Refuse(outcome, refusal.what(), tMessage_kind::Error);
            outcome.Failure = true;
        }
    } catch (const std::exception& error) {
        Refuse(outcome, error.what(), tMessage_kind::Error);
        outcome.Failure = true;
    }
    if (!outcome.Done) {
        outcome.Analysis.reset();
        outcome.Plot.reset();
    }
    return outcome;
}

tOutcome Run_request(const tRequest& request, const tData_source& source) {
    tRequest_hooks hooks;
    hooks.Choose_data = [&source] { return std::optional<tData_source>(source); };
    return Run_request(request, hooks);
}

int Run_series_request(const tRequest& request, const tData_source& source,
                       const tSeries_settings& settings, std::FILE* out, std::FILE* errors) {
    tConsole_platform console(errors);
    const auto refuse = [&](const std::string& message) {
        console.Message_box(With_full_stop(message), tMessage_kind::Error, Ok_button);
        return 1;
    };
    const tEntry_check entries = Check_request(request);
    if (!entries.Passed()) return refuse(entries.Message);
    try {
        if (request.Summary) {
            const auto reader = Open<tSummary_reader>(source, entries.K);
            const tControl_analysis controls = Analyse_summary(reader->Summary(), request.Limits);
            const int status = Run_case_series(controls, reader->Cases(), settings, out, errors);
            Warn_unread_columns(reader->Unread(), console);
            return status;
        }
        auto data = std::make_unique<tData_matrix>();
        const auto reader = Open<tCase_series_reader>(source, entries.N, entries.K + 1, *data);
        const tControl_analysis controls =
            Analyse_controls(std::move(data), entries.K, entries.N, request.Limits);
        const int status = Run_case_series(controls, *reader, settings, out, errors);
        Warn_unread_columns(reader->Unread(), console);
        return status;
    } catch (const std::exception& error) {
        return refuse(error.what());
    }
}
