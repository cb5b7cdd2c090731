#pragma once

// Files of lines of numbers: the data file, the summary file and the state
// file share these rules. A line ends at CR LF, LF or CR; a UTF-8 byte-order
// mark at the start is skipped; Ctrl-Z (code 26) ends the data; within a line
// any byte at or below the blank separates numbers.

#include <cstdio>
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
Extended Read_data_number(std::string_view token, long long line, bool alone = false);

// Hands the words of a line (runs of bytes above the blank) to `take`, the
// first `most` of them, each with whether it is the line's only word; returns
// how many words the line holds. A word is a view into `line`. A template,
// so that `take`, called for every number of a file, is inlined.
template <typename Take> int For_each_word(std::string_view line, int most, Take&& take) {
    int words = 0;
    const std::size_t size = line.size();
    // Each pass takes a word; the line holds fewer words than bytes.
    for (std::size_t i = 0; i < size;) {
        if (Is_number_separator(line[i])) {
            ++i;
            continue;
        }
        const std::size_t start = i;
        while (i < size && !Is_number_separator(line[i]))
            ++i;
        // Alone: the first word, ending with the line.
        if (words < most) take(line.substr(start, i - start), i == size && words == 0);
        ++words;
    }
    return words;
}

// Raised by tLine_reader::Next when more bytes are taken than a limit set
// allows; the reader of the file names what was too long.
struct tLimit_passed {
    long long Line; // the line being read
};

// Hands out the lines of a file one at a time from its bytes or a stream,
// without their line ends. A stream is read no further than the line asked
// for, and the LF of a CR LF pair only with the next line, so that a line
// arriving on a pipe is taken as soon as it ends.
class tLine_reader {
public:
    // `plain`: no byte-order mark is skipped, Ctrl-Z is a blank and the file
    // is not checked for being text, as in a file this program writes itself.
    explicit tLine_reader(std::string_view bytes, bool plain = false);
    explicit tLine_reader(std::FILE* stream, bool plain = false);

    // The next line's text; false when the data has ended before it began.
    // Raises EData_file_error for a read error or a file that is not plain
    // text (Not_plain_text_message), and tLimit_passed past a limit.
    bool Next(std::string& text);
    // The number of the line last handed out, from 1.
    long long Line() const { return line_; }

    // From now on, no more than `bytes` more bytes in all are taken.
    void Limit_bytes(std::size_t bytes);
    // From the next line on, each line (with the line end before it) takes
    // no more than `bytes`.
    void Limit_each_line(std::size_t bytes);
    // A line's text holds no more than `bytes`.
    void Limit_text(std::size_t bytes) { text_limit_ = bytes; }

private:
    int Get();
    int Get_unchecked();
    int Take(int c);
    int Take_checked(int c);
    int Take_run(int c, std::string& text);
    // The bytes already read but not yet taken (none where they cannot be
    // seen), and taking `count` of them.
    std::string_view At_hand() const;
    void Pass(std::size_t count);
    [[noreturn]] void Refuse_zero_byte();
    void Check_head();

    std::string_view bytes_;
    std::size_t position_ = 0;
    std::FILE* stream_ = nullptr;
    bool plain_ = false;
    long long line_ = 0;
    long long reading_ = 1; // the line the next byte belongs to
    bool after_cr_ = false;
    bool ended_ = false; // Ctrl-Z was read
    std::size_t taken_ = 0;
    std::size_t limit_at_ = static_cast<std::size_t>(-1);
    std::size_t each_line_ = 0;
    std::size_t text_limit_ = static_cast<std::size_t>(-1);
    std::string head_; // the file's first bytes, as far as they tell its kind
    bool head_checked_ = false;
    bool head_passed_ = false; // plain, or the head checked: a byte needs fewer checks
};
