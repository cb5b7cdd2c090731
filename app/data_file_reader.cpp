#include "app/data_file_reader.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "distributions/floating_point_faults.h"
#include "distributions/text_format.h"
#include "matrix/matrix_routines.h"
#include "platform/system_error_message.h"

namespace {

constexpr char Ctrl_z = 26;
constexpr std::size_t Max_token_shown = 40;

// The offending text as it can be shown safely: cut to a sensible length, and
// bytes outside printable ASCII replaced so that no terminal or box sees them.
std::string Shown_token(const std::string& token) {
    std::string shown;
    for (std::size_t i = 0; i < token.size() && i < Max_token_shown; ++i) {
        const auto c = static_cast<unsigned char>(token[i]);
        shown += c < 0x7F ? static_cast<char>(c) : '?';
    }
    if (token.size() > Max_token_shown) shown += "...";
    return shown;
}

// A decimal number: optional sign, digits with an optional point (at least one
// digit in the mantissa), optional exponent with at least one digit. The
// library's converters also take inf, nan and hexadecimal forms, which are
// refused here first.
bool Is_decimal_number(const std::string& text) {
    std::size_t i = 0;
    const std::size_t size = text.size();
    auto digits = [&] {
        const std::size_t start = i;
        while (i < size && text[i] >= '0' && text[i] <= '9')
            ++i;
        return i - start;
    };
    if (i < size && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t mantissa_digits = digits();
    if (i < size && text[i] == '.') {
        ++i;
        mantissa_digits += digits();
    }
    if (mantissa_digits == 0) return false;
    if (i < size && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < size && (text[i] == '+' || text[i] == '-')) ++i;
        if (digits() == 0) return false;
    }
    return i == size;
}

Extended Convert_number(const std::string& token, int line) {
    const auto refuse = [&] {
        return EData_file_error("Invalid numeric input '" + Shown_token(token) + "' on line " +
                                std::to_string(line));
    };
    if (!Is_decimal_number(token)) throw refuse();
    // The scope drops the overflow or underflow flags the conversion may raise.
    tFloating_point_scope scope;
    const locale_t locale = C_locale();
    const Extended value =
        locale ? strtold_l(token.c_str(), nullptr, locale) : std::strtold(token.c_str(), nullptr);
    // Overflow is refused; underflow to zero or a denormal is a usable value.
    if (!std::isfinite(value)) throw refuse();
    // A typed -0 is zero: adding zero clears its sign, so the report never
    // shows -0.00000 for it.
    return value + 0;
}

// Takes the data a piece at a time, so a file is never held whole and reading
// stops as soon as the last row is complete.
class tData_parser {
public:
    tData_parser(int rows, int cols, tData_matrix& data) : rows_(rows), cols_(cols), data_(data) {
        Clear_data_matrix(data_);
    }

    // Feeds the next piece; returns false once no more input is wanted.
    bool Feed(std::string_view piece) {
        for (const char c : piece) {
            if (done_) return false;
            if (++consumed_ > Max_data_file_bytes)
                throw EData_file_error(Format_text(
                    "The data file holds more than %d MB before its n + 1 = %d rows are complete "
                    "(line %d had been reached): it is not a data file of numbers.",
                    static_cast<int>(Max_data_file_bytes >> 20), rows_, line_));
            if (at_start_) {
                // A UTF-8 byte-order mark, or the part of it seen so far.
                static constexpr char Bom[] = "\xEF\xBB\xBF";
                if (c == Bom[bom_matched_]) {
                    if (++bom_matched_ == 3) at_start_ = false;
                    continue;
                }
                at_start_ = false;
                const std::string held(Bom, bom_matched_);
                for (const char h : held)
                    Take(h);
                if (done_) return false;
            }
            Take(c);
        }
        return !done_;
    }

    // The end of the input: the last line may lack its line end.
    void Finish() {
        if (done_) return;
        if (at_start_ && bom_matched_ > 0) {
            at_start_ = false;
            const std::string held("\xEF\xBB\xBF", bom_matched_);
            for (const char h : held)
                Take(h);
            if (done_) return;
        }
        End_of_data();
    }

private:
    void Take(char c) {
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
        if (static_cast<unsigned char>(c) <= ' ') {
            End_token();
        } else {
            in_token_ = true;
            if (count_ < cols_) token_ += c; // numbers after the last needed are ignored
        }
    }

    void End_token() {
        if (!in_token_) return;
        in_token_ = false;
        ++count_;
        if (count_ <= cols_) data_(line_, count_) = Convert_number(token_, line_);
        token_.clear();
    }

    void End_line() {
        End_token();
        if (count_ < cols_)
            throw EData_file_error(Format_text(
                "Line %d of the data file holds %d number(s), but %d are needed: the criterion "
                "followed by %d predictor(s).",
                line_, count_, cols_, cols_ - 1));
        count_ = 0;
        line_has_text_ = false;
        if (++line_ > rows_) done_ = true;
    }

    void End_of_data() {
        // A last line without its line end still counts as a line.
        if (line_has_text_) End_line();
        if (done_) return;
        done_ = true;
        throw EData_file_error(Format_text(
            "The data file holds %d line(s) of data, but n + 1 = %d are needed: the %d controls "
            "followed by the case.",
            line_ - 1, rows_, rows_ - 1));
    }

    const int rows_;
    const int cols_;
    tData_matrix& data_;
    int line_ = 1;  // the line being read, which fills the row of the same number
    int count_ = 0; // numbers completed on this line
    std::string token_;
    bool in_token_ = false;
    bool line_has_text_ = false;
    bool after_cr_ = false;
    bool at_start_ = true;
    int bom_matched_ = 0;
    bool done_ = false;
    std::size_t consumed_ = 0;
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

std::string Read_data_bytes(std::string_view bytes, int rows, int cols, tData_matrix& data) {
    Check_counts(rows, cols);
    tData_parser parser(rows, cols, data);
    if (parser.Feed(bytes)) parser.Finish();
    return Data_loaded_message(rows, cols);
}

std::string Read_data_stream(std::FILE* stream, int rows, int cols, tData_matrix& data) {
    Check_counts(rows, cols);
    tData_parser parser(rows, cols, data);
    char buffer[65536];
    for (;;) {
        errno = 0;
        const std::size_t got = std::fread(buffer, 1, sizeof buffer, stream);
        if (got > 0 && !parser.Feed(std::string_view(buffer, got)))
            return Data_loaded_message(rows, cols);
        if (got < sizeof buffer) {
            if (std::ferror(stream))
                throw EData_file_error(System_error_message(Last_error_or_io()));
            parser.Finish();
            return Data_loaded_message(rows, cols);
        }
    }
}

std::string Read_data_file(const std::string& path, int rows, int cols, tData_matrix& data) {
    Check_counts(rows, cols);
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        throw EData_file_error(System_error_message(errno));
    }
    struct tCloser {
        std::FILE* file;
        ~tCloser() { std::fclose(file); }
    } closer{file};
    return Read_data_stream(file, rows, cols, data);
}
