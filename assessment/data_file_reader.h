#pragma once

// Reads the raw data file: n + 1 rows (the controls, then the case) of k + 1
// numbers (the criterion, then the predictors) into a tData_matrix.
//
// Lines and numbers follow the rules of number_lines.h, and numbers after the
// k + 1st on a line are ignored. Lines after the n + 1st are not read. Every
// one of the n + 1 rows must be filled: a short or empty line, or too few
// lines, is refused rather than leaving Missing_value cells behind to enter
// the statistics.

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "assessment/number_lines.h"
#include "assessment/reading_advice.h"
#include "matrix/matrix_types.h"

// "Data file consisting of n + 1 = %2d cases (rows) and %2d variables
// (columns) was loaded successfully " with the counts asked for.
std::string Data_loaded_message(int rows, int cols);

// Reads `rows` rows of `cols` numbers from the bytes of a data file into
// `data`, which is first cleared to Missing_value. The rest of the input is
// only looked through, up to the size cap, for lines that were not read.
// Returns the loaded message, followed after a CR by the Unread_notice when
// something was not read; `unread`, when given, receives what it names.
// Raises EData_file_error; the cells read before the failure keep their values.
std::string Read_data_bytes(std::string_view bytes, int rows, int cols, tData_matrix& data,
                            tUnread* unread = nullptr);

// The same from a file. Opening failures give "File not found", "File access
// denied" or "I/O error <code>", naming the file (Open_failure_message).
std::string Read_data_file(const std::string& path, int rows, int cols, tData_matrix& data,
                           tUnread* unread = nullptr);

// The same from an already open stream (standard input for the tool's "-").
std::string Read_data_stream(std::FILE* stream, int rows, int cols, tData_matrix& data,
                             tUnread* unread = nullptr);

// One case row of a series: a line after the controls that holds something.
struct tCase_row {
    long long Line = 0; // its line in the file
    tVector Scores;     // the criterion, then the predictors (entries 1..cols)
    std::string Error;  // why the row cannot be used, naming its line; empty when it can
};

class tData_lines;

// A data file of n control rows followed by any number of case rows, for a
// series of cases against one control sample. The controls are read as above
// (every failure refuses the file); each case row is then read only when
// asked for, so memory does not grow with the number of cases. A case row
// that is short or holds a word is handed out with its message, and reading
// goes on with the next line; lines holding nothing but blanks are skipped.
class tCase_series_reader {
public:
    // Reads the controls into rows 1..controls of `data`, which is first
    // cleared to Missing_value. Raises EData_file_error.
    tCase_series_reader(std::string_view bytes, int controls, int cols, tData_matrix& data);
    tCase_series_reader(std::FILE* stream, int controls, int cols, tData_matrix& data);
    // Case rows alone, from the lines left after a head another reader took.
    tCase_series_reader(tLine_reader lines, int cols);
    // Opens the file, with the opening failures of Read_data_file.
    tCase_series_reader(const std::string& path, int controls, int cols, tData_matrix& data);
    ~tCase_series_reader();
    tCase_series_reader(const tCase_series_reader&) = delete;
    tCase_series_reader& operator=(const tCase_series_reader&) = delete;

    // The next case row; false at the end of the data (the end of the input
    // or Ctrl-Z). Raises EData_file_error for a read error or a line that
    // goes on past Max_data_file_bytes.
    bool Next(tCase_row& row);

    // The most numbers a line read so far held, and after Count_unread_lines
    // the lines holding anything after the last row handed out.
    tUnread Unread() const;
    // Reads the rest of the input, up to the size cap, only to count its
    // lines: for a run that uses fewer case rows than the file holds.
    void Count_unread_lines();

private:
    void Start(tLine_reader lines, int controls, int cols, tData_matrix& data);

    std::unique_ptr<tData_lines> lines_;
    std::FILE* owned_ = nullptr;
};
