#pragma once

// Files of lines of numbers: the data file, the summary file and the state
// file share these rules. A line ends at CR LF, LF or CR; a UTF-8 byte-order
// mark at the start is skipped; Ctrl-Z (code 26) ends the data; within a line
// any byte at or below the blank separates numbers.

#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "distributions/extended.h"

inline constexpr char Ctrl_z = 26;
inline constexpr std::string_view Byte_order_mark = "\xEF\xBB\xBF";

// No file of numbers this program reads comes near this size; input that goes
// on past it (an endless line, /dev/zero, a pipe that never ends) is refused
// instead of being read forever.
inline constexpr std::size_t Max_data_file_bytes = 32u << 20;

inline bool Is_number_separator(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

// Every failure to read a file of numbers, with the message the user sees.
class EData_file_error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A decimal number: optional sign, digits with an optional point (at least
// one digit in the mantissa), optional exponent with at least one digit. The
// library's converters also take inf, nan and hexadecimal forms, which this
// refuses first.
bool Is_decimal_number(std::string_view text);

// A number of a data or summary file: a decimal number, finite, and 0 for a
// typed -0. Raises EData_file_error "Invalid numeric input '<text>' on line
// <line>", followed by advice where the text looks like a spreadsheet's
// (`alone`: the text was the only one on its line).
Extended Read_data_number(const std::string& token, long long line, bool alone = false);

// Hands the words of a line (runs of bytes above the blank) to `take`, the
// first `most` of them, each with whether it is the line's only word; returns
// how many words the line holds.
int For_each_word(std::string_view line, int most,
                  const std::function<void(const std::string& word, bool alone)>& take);

// Hands out the lines of a file one at a time from its bytes or a stream,
// without their line ends. A stream is read no further than the line asked
// for, so what follows stays for the next reader.
class tLine_reader {
public:
    struct tRules {
        bool Skip_byte_order_mark = true;
        bool Ctrl_z_ends_data = true;
        // Longer lines are refused with this message, given the line's
        // number; none: no cap.
        std::function<std::string(long long)> Too_long;
    };

    tLine_reader(std::string_view bytes, tRules rules);
    tLine_reader(std::FILE* stream, tRules rules);

    // The next line's text; false when the data has ended before it began.
    // Ctrl-Z is left unread for the next reader to see. Raises
    // EData_file_error for a read error or a line that is too long.
    bool Next(std::string& text);
    // How much of the bytes has been taken.
    std::size_t Position() const { return position_; }

private:
    int Get();
    void Unget(int c);

    tRules rules_;
    std::string_view bytes_;
    std::size_t position_ = 0;
    std::FILE* stream_ = nullptr;
    long long line_ = 0;
};
