#include "assessment/data_file_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "distributions/text_format.h"
#include "matrix/matrix_routines.h"
#include "platform/system_error_message.h"

namespace {

// Takes the data a piece at a time, so a file is never held whole and reading
// stops as soon as the last row is complete. When case rows follow the
// controls, each one is handed out as soon as its line ends.
class tData_parser {
public:
    tData_parser(int rows, int cols, tData_matrix& data, bool cases_follow = false)
        : rows_(rows), cols_(cols), cases_follow_(cases_follow), data_(data) {
        Clear_data_matrix(data_);
    }

    // Case rows alone, the first on line `first_line`, from the middle of an
    // input whose head another reader has taken (and with it any byte-order
    // mark).
    tData_parser(long long first_line, int cols, tData_matrix& unused)
        : rows_(0), cols_(cols), cases_follow_(true), data_(unused), line_(first_line),
          at_start_(false) {}

    // Takes bytes from the front of `piece` until no more input is wanted or a
    // case row is complete; returns how many it took.
    std::size_t Feed(std::string_view piece) {
        std::size_t taken = 0;
        for (const char c : piece) {
            if (done_ || case_ready_) break;
            ++taken;
            Count_byte();
            if (at_start_) {
                // A byte-order mark, or the part of it seen so far.
                if (c == Byte_order_mark[bom_matched_]) {
                    if (++bom_matched_ == Byte_order_mark.size()) at_start_ = false;
                    continue;
                }
                if (Take_held_mark()) break;
            }
            Take(c);
        }
        return taken;
    }

    // The end of the input: the last line may lack its line end.
    void Finish() {
        if (done_) return;
        if (at_start_ && Take_held_mark()) return;
        End_of_data();
    }

    bool Done() const { return done_; }
    bool Controls_read() const { return In_cases(); }

    // From here on, the lines are only counted (see tUnread); the input is
    // read to its end, or as far as the size cap.
    void Count_rest() {
        scanning_ = true;
        unread_.Last_line = line_ - 1;
    }
    tUnread Unread() const {
        tUnread unread = unread_;
        unread.Columns = cols_;
        return unread;
    }

    // A case row whose line has ended; Take_case hands it out.
    bool Case_ready() const { return case_ready_; }
    void Take_case(tCase_row& row) {
        row = std::move(case_);
        case_ = tCase_row{};
        case_ready_ = false;
    }

private:
    bool In_cases() const { return line_ > rows_; }

    // The start of a byte-order mark that turned out not to be one is data;
    // true when it ended the data.
    bool Take_held_mark() {
        at_start_ = false;
        const std::string held(Byte_order_mark.substr(0, bom_matched_));
        for (const char h : held)
            Take(h);
        return done_;
    }

    void Count_byte() {
        if (scanning_) {
            if (++scanned_ > Max_data_file_bytes) done_ = true;
        } else if (In_cases()) {
            if (++line_bytes_ > Max_data_file_bytes)
                throw EData_file_error(
                    Format_text("Line %lld of the data file is longer than %d MB: it is not a "
                                "data file of numbers.",
                                line_, static_cast<int>(Max_data_file_bytes >> 20)));
        } else if (++consumed_ > Max_data_file_bytes) {
            throw EData_file_error(
                cases_follow_
                    ? Format_text("The data file holds more than %d MB before its %d control "
                                  "rows are complete (line %lld had been reached): it is not a "
                                  "data file of numbers.",
                                  static_cast<int>(Max_data_file_bytes >> 20), rows_, line_)
                    : Format_text("The data file holds more than %d MB before its n + 1 = %d "
                                  "rows are complete (line %lld had been reached): it is not a "
                                  "data file of numbers.",
                                  static_cast<int>(Max_data_file_bytes >> 20), rows_, line_));
        }
    }

    void Take(char c) {
        if (scanning_) {
            Scan(c);
            return;
        }
        if (c == Ctrl_z) {
            End_of_data();
            return;
        }
        if (c == '\n' && after_cr_) {
            after_cr_ = false; // the LF of a CR LF pair
            return;
        }
        after_cr_ = c == '\r';
        if (c == '\r' || c == '\n') {
            End_line();
            return;
        }
        line_has_text_ = true;
        if (Is_number_separator(c)) {
            End_token();
        } else {
            in_token_ = true;
            // Numbers after the last needed are ignored, and so is the rest of
            // a case row already refused.
            if (count_ < cols_ && case_.Error.empty()) token_ += c;
        }
    }

    // A line's only token may be a whole comma-separated line.
    void End_token(bool at_line_end = false) {
        if (!in_token_) return;
        in_token_ = false;
        const bool alone = at_line_end && count_ == 0;
        ++count_;
        if (count_ <= cols_) {
            if (!In_cases()) {
                data_(static_cast<int>(line_), count_) = Read_data_number(token_, line_, alone);
            } else if (case_.Error.empty()) {
                // A bad case row refuses that case alone: the next line is read on.
                try {
                    case_.Scores[count_] = Read_data_number(token_, line_, alone);
                } catch (const EData_file_error& error) {
                    case_.Error = error.what();
                }
            }
        }
        token_.clear();
    }

    std::string Short_line_message() const {
        return Format_text("Line %lld of the data file holds %d number(s), but %d are needed: "
                           "the criterion followed by %d predictor(s).",
                           line_, count_, cols_, cols_ - 1);
    }

    void End_line() {
        End_token(true);
        unread_.Most_numbers = std::max(unread_.Most_numbers, count_);
        if (In_cases()) {
            // A line without a number, nor a refused word, is no case.
            const bool blank = count_ == 0 && case_.Error.empty();
            if (!blank) {
                if (case_.Error.empty() && count_ < cols_) case_.Error = Short_line_message();
                case_.Line = line_;
                case_ready_ = true;
            }
        } else if (count_ < cols_) {
            throw EData_file_error(Short_line_message());
        }
        count_ = 0;
        line_has_text_ = false;
        line_bytes_ = 0;
        ++line_;
        if (!cases_follow_ && line_ > rows_) Count_rest();
    }

    void Scan(char c) {
        if (c == Ctrl_z) {
            End_of_data();
        } else if (c == '\r' || c == '\n') {
            if (scan_line_holds_) ++unread_.Lines;
            scan_line_holds_ = false;
        } else if (!Is_number_separator(c)) {
            scan_line_holds_ = true;
        }
    }

    void End_of_data() {
        if (scanning_) {
            if (scan_line_holds_) ++unread_.Lines;
            scan_line_holds_ = false;
            done_ = true;
            return;
        }
        // A last line without its line end still counts as a line.
        if (line_has_text_) End_line();
        if (done_) return;
        done_ = true;
        if (In_cases()) return;
        throw EData_file_error(
            cases_follow_
                ? Format_text("The data file holds %lld line(s) of data, but the n = %d controls "
                              "are needed first, followed by the cases.",
                              line_ - 1, rows_)
                : Format_text("The data file holds %lld line(s) of data, but n + 1 = %d are "
                              "needed: the %d controls followed by the case.",
                              line_ - 1, rows_, rows_ - 1));
    }

    const int rows_;
    const int cols_;
    const bool cases_follow_;
    tData_matrix& data_;
    long long line_ = 1; // the line being read, which fills the row of the same number
    int count_ = 0;      // numbers completed on this line
    std::string token_;
    bool in_token_ = false;
    bool line_has_text_ = false;
    bool after_cr_ = false;
    bool at_start_ = true;
    std::size_t bom_matched_ = 0;
    bool done_ = false;
    std::size_t consumed_ = 0;   // bytes before the controls are complete
    std::size_t line_bytes_ = 0; // bytes of the case row being read
    tCase_row case_;
    bool case_ready_ = false;
    bool scanning_ = false;
    bool scan_line_holds_ = false;
    std::size_t scanned_ = 0; // bytes counted after the rows
    tUnread unread_;
};

void Check_counts(int rows, int cols) {
    if (rows < 1 || rows > Max_rows || cols < 1 || cols > Max_variables)
        throw std::invalid_argument("Data file reader: rows or columns outside the matrix");
}

} // namespace

std::string Data_loaded_message(int rows, int cols) {
    return Format_text("Data file consisting of n + 1 = %2d cases (rows) and %2d variables "
                       "(columns) was loaded successfully ",
                       rows, cols);
}

namespace {

// The loaded message, followed on a line of its own by what was not read.
std::string Loaded(const tData_parser& parser, int rows, int cols, tUnread* unread) {
    const tUnread passed = parser.Unread();
    if (unread) *unread = passed;
    const std::string notice = Unread_notice(passed);
    return Data_loaded_message(rows, cols) + (notice.empty() ? "" : "\r" + notice);
}

} // namespace

std::string Read_data_bytes(std::string_view bytes, int rows, int cols, tData_matrix& data,
                            tUnread* unread) {
    Check_counts(rows, cols);
    tData_parser parser(rows, cols, data);
    parser.Feed(bytes);
    if (!parser.Done()) parser.Finish();
    return Loaded(parser, rows, cols, unread);
}

std::string Read_data_stream(std::FILE* stream, int rows, int cols, tData_matrix& data,
                             tUnread* unread) {
    Check_counts(rows, cols);
    tData_parser parser(rows, cols, data);
    char buffer[65536];
    for (;;) {
        errno = 0;
        const std::size_t got = std::fread(buffer, 1, sizeof buffer, stream);
        if (got > 0) {
            parser.Feed(std::string_view(buffer, got));
            if (parser.Done()) return Loaded(parser, rows, cols, unread);
        }
        if (got < sizeof buffer) {
            if (std::ferror(stream))
                throw EData_file_error(System_error_message(Last_error_or_io()));
            parser.Finish();
            return Loaded(parser, rows, cols, unread);
        }
    }
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

struct tCase_series_reader::tState {
    tState(int controls, int cols, tData_matrix& data) : parser(controls, cols, data, true) {}
    tState(long long first_line, int cols)
        : unused(std::make_unique<tData_matrix>()), parser(first_line, cols, *unused) {}
    ~tState() {
        if (owned) std::fclose(owned);
    }

    // More input for the parser: the rest of the bytes, or from the stream up
    // to the next line end, so that a case arriving on a pipe is taken as soon
    // as its line is complete. False at the end of the input.
    bool Fill() {
        if (!stream) {
            if (position >= bytes.size()) return false;
            piece = bytes.substr(position);
            position = bytes.size();
            return true;
        }
        std::size_t got = 0;
        while (got < buffer.size()) {
            const int c = getc_unlocked(stream);
            if (c == EOF) break;
            buffer[got++] = static_cast<char>(c);
            if (c == '\n' || c == '\r') break;
        }
        if (got == 0 && std::ferror(stream))
            throw EData_file_error(System_error_message(Last_error_or_io()));
        piece = std::string_view(buffer.data(), got);
        return got > 0;
    }

    // Feeds the parser until a case row is ready or the data has ended (or,
    // with `controls_only`, the controls are read).
    void Advance(bool controls_only = false) {
        while (!parser.Case_ready() && !parser.Done() &&
               !(controls_only && parser.Controls_read())) {
            if (piece.empty()) {
                errno = 0;
                if (!Fill()) {
                    parser.Finish();
                    break;
                }
            }
            piece.remove_prefix(parser.Feed(piece));
        }
    }

    std::unique_ptr<tData_matrix> unused; // no control rows to fill
    tData_parser parser;
    std::FILE* stream = nullptr;
    std::FILE* owned = nullptr;
    std::string_view bytes;
    std::size_t position = 0;
    std::string buffer = std::string(65536, '\0');
    std::string_view piece;
};

tCase_series_reader::tCase_series_reader(std::string_view bytes, int controls, int cols,
                                         tData_matrix& data) {
    Check_counts(controls, cols);
    state_ = std::make_unique<tState>(controls, cols, data);
    state_->bytes = bytes;
    state_->Advance(true);
}

tCase_series_reader::tCase_series_reader(std::FILE* stream, int controls, int cols,
                                         tData_matrix& data) {
    Check_counts(controls, cols);
    state_ = std::make_unique<tState>(controls, cols, data);
    state_->stream = stream;
    state_->Advance(true);
}

tCase_series_reader::tCase_series_reader(std::string_view bytes, long long first_line, int cols) {
    Check_counts(1, cols);
    state_ = std::make_unique<tState>(first_line, cols);
    state_->bytes = bytes;
}

tCase_series_reader::tCase_series_reader(std::FILE* stream, long long first_line, int cols) {
    Check_counts(1, cols);
    state_ = std::make_unique<tState>(first_line, cols);
    state_->stream = stream;
}

tCase_series_reader::tCase_series_reader(const std::string& path, int controls, int cols,
                                         tData_matrix& data) {
    Check_counts(controls, cols);
    state_ = std::make_unique<tState>(controls, cols, data);
    state_->owned = Open_data_file(path);
    state_->stream = state_->owned;
    state_->Advance(true);
}

tCase_series_reader::~tCase_series_reader() = default;

tUnread tCase_series_reader::Unread() const {
    return state_->parser.Unread();
}

void tCase_series_reader::Count_unread_lines() {
    state_->parser.Count_rest();
    state_->Advance();
}

bool tCase_series_reader::Next(tCase_row& row) {
    state_->Advance();
    if (!state_->parser.Case_ready()) return false;
    state_->parser.Take_case(row);
    return true;
}
