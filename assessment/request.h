#pragma once

// The request sequence every front end runs: the entries in, then the figures
// and the report's text out, or the refusal and its message. The window, the
// command-line tool and the web page each only show the outcome their own way.
//
// The order is the window's: the entry checks, then the choice of the data
// (where the window saves its state and opens its dialog), the reading, the
// analysis and the report.

#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "assessment/analysis.h"
#include "assessment/case_series.h"
#include "assessment/reading_advice.h"
#include "inference/limits.h"
#include "inference/plot_points.h"
#include "inference/warning_handler.h"
#include "matrix/matrix_printing.h"
#include "platform/platform.h"

// The entries of a request, as typed.
struct tRequest {
    std::string Predictors;
    std::string Sample_size; // not read for a summary file, which gives n itself
    tLimits Limits = tLimits::Two_sided;
    std::vector<std::string> Notes;
    // The data is a control sample's published summary statistics, not raw data.
    bool Summary = false;
    // Earlier reports precede this one (it then starts with the separator).
    bool After_earlier_report = false;
    // The plot's points are made; a front end that draws no plot skips them.
    bool Plot = true;
};

// Where the data comes from: a named file, standard input, or text in memory
// (the web page's file, read by the browser) with the name it is shown by.
struct tData_source {
    enum class tKind { File, Standard_input, Text };
    tKind Kind = tKind::File;
    std::string Name; // the path of a file, the shown name of a text
    std::string Text; // the contents of a text

    static tData_source File(std::string path);
    static tData_source Standard_input();
    static tData_source In_memory(std::string name, std::string text);
    // A command-line argument: "-" is standard input, anything else a file.
    static tData_source Argument(const std::string& argument);
};

// Which entry a refusal concerns, so that a front end can show it beside
// that field (the window gives it the focus).
enum class tEntry_field { None, Predictors, Sample_size };

// The outcome of the entry checks: k and n, or the first failure's message.
struct tEntry_check {
    tEntry_field Failed = tEntry_field::None;
    std::string Message;
    tMessage_kind Kind = tMessage_kind::Warning;
    int K = 0;
    int N = 0;
    bool Passed() const { return Failed == tEntry_field::None; }
};

// The number of predictors alone (a summary file gives n).
tEntry_check Check_predictors(const std::string& predictors_text);

// Both entries in the compute command's order: k, then n, then k against n,
// then n against 499. Only the first failure speaks: a warning for an entry
// that is not a number or out of its range, an error for the two limits.
tEntry_check Check_entries(const std::string& predictors_text, const std::string& sample_size_text);

// The checks the request needs: both entries, or k alone for a summary file.
tEntry_check Check_request(const tRequest& request);

struct tOutcome {
    bool Done = false;
    // A refusal: the field it concerns, its message and the message's kind.
    tEntry_field Field = tEntry_field::None;
    std::string Message;
    tMessage_kind Kind = tMessage_kind::Error;
    // The refusal is a failure of the reading or of the analysis, which the
    // window shows in its default error box (titled with the program's name,
    // the message ended with a full stop).
    bool Failure = false;

    std::string Load_message; // "Data file consisting of ..." (raw data only)
    // What the file held that was not read (its notice ends the load message).
    tUnread Unread;
    std::vector<std::string> Warnings; // raised by the analysis without stopping it, in order
    std::optional<tAnalysis> Analysis;
    std::vector<std::string> Report;
    // The points of the plot (for summary statistics, with no controls to
    // draw, the t chart alone); none for scores beyond what a chart can hold.
    std::optional<tPlot_points> Plot;
};

// What a front end does while the request runs; every one may be left empty.
struct tRequest_hooks {
    // Runs once the entries have passed their checks: the data to read, or
    // nothing when the user cancelled. Empty: the request refuses.
    std::function<std::optional<tData_source>()> Choose_data;
    // Told the load message as soon as the data is read.
    std::function<void(const std::string&)> Loaded;
    // Told each warning as it is raised.
    tWarning_handler Warned;
    // When set, handed the report's lines one at a time as they are formed,
    // and the outcome's Report stays empty: a front end that only writes the
    // report out need not hold it whole.
    tLine_sink Report_line;
};

// Runs the whole sequence. Never raises for bad input: every refusal, a
// failure to read the data included, comes back in the outcome.
tOutcome Run_request(const tRequest& request, const tRequest_hooks& hooks);
tOutcome Run_request(const tRequest& request, const tData_source& source);

// A series of cases against one control sample (see Run_case_series), from
// the request's entries and data: the checks, the controls, then the case
// rows, each written to `out` as it is done. Every refusal is written to
// `errors` as the console platform shows a box. Returns 0 when every case was
// analysed and written, else 1.
int Run_series_request(const tRequest& request, const tData_source& source,
                       const tSeries_settings& settings, std::FILE* out, std::FILE* errors);
