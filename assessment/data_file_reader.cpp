#include "assessment/data_file_reader.h"

#include <algorithm>

#include "distributions/text_format.h"
#include "matrix/matrix_routines.h"

namespace {

void Check_counts(int rows, int cols) {
    if (rows < 1 || rows > Max_rows || cols < 1 || cols > Max_variables)
        throw std::invalid_argument("Data file reader: rows or columns outside the matrix");
}

bool Holds_word(std::string_view line) {
    return std::any_of(line.begin(), line.end(), [](char c) { return !Is_number_separator(c); });
}

} // namespace

// Reads the lines of a data file: the control rows, then the case rows one at
// a time or only a count of the lines left. A file is never held whole, and
// reading stops as soon as what was asked for is complete.
class tData_lines {
public:
    tData_lines(tLine_reader lines, int cols) : lines_(std::move(lines)), cols_(cols) {}

    // Rows 1..rows of `data`, first cleared to Missing_value. `cases_follow`
    // words the message for too few lines.
    void Read_controls(int rows, tData_matrix& data, bool cases_follow) {
        Clear_data_matrix(data);
        lines_.Limit_bytes(Max_data_file_bytes);
        try {
            for (long long line = 1; line <= rows; ++line) {
                if (!lines_.Next(text_))
                    throw EData_file_error(
                        cases_follow
                            ? Format_text("The data file holds %lld line(s) of data, but the n = "
                                          "%d controls are needed first, followed by the cases.",
                                          line - 1, rows)
                            : Format_text("The data file holds %lld line(s) of data, but n + 1 = "
                                          "%d are needed: the %d controls followed by the case.",
                                          line - 1, rows, rows - 1));
                int column = 0;
                const int count = Words([&](std::string_view word, bool alone) {
                    data(static_cast<int>(line), ++column) = Read_data_number(word, line, alone);
                });
                if (count < cols_) throw EData_file_error(Short_line_message(line, count));
            }
        } catch (const tLimit_passed& passed) {
            throw EData_file_error(
                cases_follow
                    ? Format_text("The data file holds more than %d MB before its %d control "
                                  "rows are complete (line %lld had been reached): it is not a "
                                  "data file of numbers.",
                                  static_cast<int>(Max_data_file_bytes >> 20), rows, passed.Line)
                    : Format_text("The data file holds more than %d MB before its n + 1 = %d "
                                  "rows are complete (line %lld had been reached): it is not a "
                                  "data file of numbers.",
                                  static_cast<int>(Max_data_file_bytes >> 20), rows, passed.Line));
        }
    }

    // The next line holding something, as a case row; false at the end of
    // the data. A bad row refuses that case alone: the next line is read on.
    bool Next_case(tCase_row& row) {
        lines_.Limit_each_line(Max_data_file_bytes);
        try {
            while (lines_.Next(text_)) {
                const long long line = lines_.Line();
                row = tCase_row{};
                row.Line = line;
                int column = 0;
                const int count = Words([&](std::string_view word, bool alone) {
                    ++column;
                    if (!row.Error.empty()) return;
                    try {
                        row.Scores[column] = Read_data_number(word, line, alone);
                    } catch (const EData_file_error& error) {
                        row.Error = error.what();
                    }
                });
                // A line without a word is no case.
                if (count == 0) continue;
                if (row.Error.empty() && count < cols_) row.Error = Short_line_message(line, count);
                return true;
            }
        } catch (const tLimit_passed& passed) {
            throw EData_file_error(
                Format_text("Line %lld of the data file is longer than %d MB: it is not a data "
                            "file of numbers.",
                            passed.Line, static_cast<int>(Max_data_file_bytes >> 20)));
        }
        return false;
    }

    // Reads the rest of the input, as far as the size cap, only to count the
    // lines holding something.
    void Count_rest() {
        unread_.Last_line = lines_.Line();
        lines_.Limit_bytes(Max_data_file_bytes);
        try {
            while (lines_.Next(text_))
                if (Holds_word(text_)) ++unread_.Lines;
        } catch (const tLimit_passed&) {
            // Past the cap the count stops: the lines counted so far are told.
        }
    }

    tUnread Unread() const {
        tUnread unread = unread_;
        unread.Columns = cols_;
        return unread;
    }

private:
    // The line's first cols words, each handed on; returns how many it holds.
    template <typename Take> int Words(Take&& take) {
        const int count = For_each_word(text_, cols_, take);
        unread_.Most_numbers = std::max(unread_.Most_numbers, count);
        return count;
    }

    std::string Short_line_message(long long line, int count) const {
        return Format_text("Line %lld of the data file holds %d number(s), but %d are needed: "
                           "the criterion followed by %d predictor(s).",
                           line, count, cols_, cols_ - 1);
    }

    tLine_reader lines_;
    const int cols_;
    std::string text_;
    tUnread unread_;
};

std::string Data_loaded_message(int rows, int cols) {
    return Format_text("Data file consisting of n + 1 = %2d cases (rows) and %2d variables "
                       "(columns) was loaded successfully ",
                       rows, cols);
}

namespace {

// Reads the n + 1 rows, then counts what follows; returns the loaded message,
// followed on a line of its own by what was not read.
std::string Read_data(tLine_reader lines, int rows, int cols, tData_matrix& data, tUnread* unread) {
    Check_counts(rows, cols);
    tData_lines reader(std::move(lines), cols);
    reader.Read_controls(rows, data, false);
    reader.Count_rest();
    const tUnread passed = reader.Unread();
    if (unread) *unread = passed;
    const std::string notice = Unread_notice(passed);
    return Data_loaded_message(rows, cols) + (notice.empty() ? "" : "\r" + notice);
}

} // namespace

std::string Read_data_bytes(std::string_view bytes, int rows, int cols, tData_matrix& data,
                            tUnread* unread) {
    return Read_data(tLine_reader(bytes), rows, cols, data, unread);
}

std::string Read_data_stream(std::FILE* stream, int rows, int cols, tData_matrix& data,
                             tUnread* unread) {
    return Read_data(tLine_reader(stream), rows, cols, data, unread);
}

std::string Read_data_file(const std::string& path, int rows, int cols, tData_matrix& data,
                           tUnread* unread) {
    Check_counts(rows, cols);
    std::FILE* file = Open_data_file(path);
    struct tCloser {
        std::FILE* file;
        ~tCloser() { std::fclose(file); }
    } closer{file};
    return Read_data_stream(file, rows, cols, data, unread);
}

void tCase_series_reader::Start(tLine_reader lines, int controls, int cols, tData_matrix& data) {
    Check_counts(controls, cols);
    lines_ = std::make_unique<tData_lines>(std::move(lines), cols);
    lines_->Read_controls(controls, data, true);
}

tCase_series_reader::tCase_series_reader(std::string_view bytes, int controls, int cols,
                                         tData_matrix& data) {
    Start(tLine_reader(bytes), controls, cols, data);
}

tCase_series_reader::tCase_series_reader(std::FILE* stream, int controls, int cols,
                                         tData_matrix& data) {
    Start(tLine_reader(stream), controls, cols, data);
}

tCase_series_reader::tCase_series_reader(const std::string& path, int controls, int cols,
                                         tData_matrix& data) {
    Check_counts(controls, cols);
    owned_ = Open_data_file(path);
    try {
        Start(tLine_reader(owned_), controls, cols, data);
    } catch (...) {
        std::fclose(owned_);
        throw;
    }
}

tCase_series_reader::tCase_series_reader(tLine_reader lines, int cols) {
    Check_counts(1, cols);
    lines_ = std::make_unique<tData_lines>(std::move(lines), cols);
}

tCase_series_reader::~tCase_series_reader() {
    lines_.reset();
    if (owned_) std::fclose(owned_);
}

tUnread tCase_series_reader::Unread() const {
    return lines_->Unread();
}

void tCase_series_reader::Count_unread_lines() {
    lines_->Count_rest();
}

bool tCase_series_reader::Next(tCase_row& row) {
    return lines_->Next_case(row);
}
