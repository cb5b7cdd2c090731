#pragma once

// A series of cases against one control sample: the case rows are read one at
// a time, analysed several at once, and written in input order.

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "assessment/analysis.h"
#include "assessment/data_file_reader.h"

enum class tSeries_format { Report, Csv, Json };

struct tSeries_settings {
    tSeries_format Format = tSeries_format::Report;
    long long Cases = 0; // how many case rows to use; 0: every one in the file
    int Jobs = 1;        // cases analysed at once
    std::vector<std::string> Notes;
    std::string Data_file;      // as named, "-" for standard input: for the JSON
    bool Show_progress = false; // on the error stream, once the run has taken a second
};

// The CSV header line, with its line end.
extern const char* const Csv_header;

// A CSV field, quoted as RFC 4180 says when it holds a comma, a quote or a
// line end.
std::string Csv_field(const std::string& text);

// What one case adds: its piece of the output, and for a case not analysed
// its message, naming its line in the file.
struct tCase_outcome {
    std::string Text;
    std::string Error;
    std::vector<std::string> Warnings;      // that did not stop the analysis
    std::optional<tCase_analysis> Analysis; // the figures of a case analysed
};

// Analyses case `number` (counted from 1) from its row and writes its piece
// of the output in the settings' format; a report is headed by the case's
// number and line. Never raises for a bad case: its
// message goes into Error and the piece shows it in place of the figures.
tCase_outcome Run_case(const tControl_analysis& controls, long long number, const tCase_row& row,
                       const tSeries_settings& settings);

// "1200 cases done, 48.3 a second, about 2 min 05 s left"; the time left only
// when the number of cases is known (`total` above 0).
std::string Progress_text(long long done, long long total, double seconds);

// Reads the case rows from `reader`, analyses them with settings.Jobs threads
// (at most a few times that many cases in hand at any time, so memory stays
// flat) and writes their output to `out` in input order, with the header and
// tail of the format. Messages (refused cases, warnings, fewer rows than
// asked for, a failure to read or write) go to `errors`. Returns 0 when every
// case was analysed and written, else 1.
int Run_case_series(const tControl_analysis& controls, tCase_series_reader& reader,
                    const tSeries_settings& settings, std::FILE* out, std::FILE* errors);
