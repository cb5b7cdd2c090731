#include "assessment/reading_advice.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <initializer_list>
#include <vector>

#include "assessment/number_lines.h"
#include "distributions/text_format.h"
#include "platform/system_error_message.h"

std::string Unread_notice(const tUnread& unread) {
    std::string columns;
    if (unread.Most_numbers == unread.Columns + 1)
        columns = Format_text("Column %d", unread.Most_numbers);
    else if (unread.Most_numbers > unread.Columns)
        columns = Format_text("Columns %d to %d", unread.Columns + 1, unread.Most_numbers);
    const std::string lines = unread.Lines > 0 ? Format_text("%lld more line(s) after line %lld",
                                                             unread.Lines, unread.Last_line)
                                               : "";
    if (lines.empty())
        return columns.empty()                             ? ""
               : unread.Most_numbers == unread.Columns + 1 ? columns + " was not read."
                                                           : columns + " were not read.";
    return (columns.empty() ? lines : columns + " and " + lines) + " were not read.";
}

namespace {

// The token split at `separator`; the empty pieces kept.
std::vector<std::string> Pieces(const std::string& token, char separator) {
    std::vector<std::string> pieces(1);
    for (const char c : token) {
        if (c == separator)
            pieces.emplace_back();
        else
            pieces.back() += c;
    }
    return pieces;
}

// A number written with a decimal comma in place of the point: "21,5".
bool Has_decimal_comma(const std::string& token) {
    if (std::count(token.begin(), token.end(), ',') != 1) return false;
    const std::size_t comma = token.find(',');
    std::string pointed = token;
    pointed[comma] = '.';
    // Digits on both sides, as a spreadsheet writes it.
    const auto digit = [&](std::size_t i) {
        return i < token.size() && std::isdigit(static_cast<unsigned char>(token[i]));
    };
    return comma > 0 && digit(comma - 1) && digit(comma + 1) && Is_decimal_number(pointed);
}

// Numbers joined by `separator`, as a CSV line holds them: every piece a
// number (with a decimal comma, where the separator is a semicolon) or empty,
// and at least one a number.
bool Is_separated_list(const std::string& token, char separator) {
    if (token.find(separator) == std::string::npos) return false;
    bool any = false;
    for (const std::string& piece : Pieces(token, separator)) {
        if (piece.empty()) continue;
        if (!Is_decimal_number(piece) && !(separator == ';' && Has_decimal_comma(piece)))
            return false;
        any = true;
    }
    return any;
}

bool Starts_a_word(const std::string& token) {
    if (token.empty() || !std::isalpha(static_cast<unsigned char>(token.front()))) return false;
    std::string lower;
    for (const char c : token)
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    // The library's words for numbers are refused as numbers, not as titles.
    return lower != "inf" && lower != "infinity" && lower != "nan";
}

} // namespace

std::string Invalid_number_advice(const std::string& token, long long line, bool alone) {
    // A spreadsheet quotes whole fields: "68" or "68","29".
    const bool quoted = !token.empty() && token.front() == '"';
    std::string bare = token;
    if (quoted) std::erase(bare, '"');
    if (quoted && Is_decimal_number(bare))
        return "Quotes are not part of a number: remove the quotes.";
    // "21,5" among other numbers is a decimal comma; alone on its line, or
    // beside other commas, it is two numbers of a comma-separated line.
    if (!alone && Has_decimal_comma(bare))
        return "A comma is not a decimal point: write the number with a decimal point.";
    if (Is_separated_list(bare, ','))
        return "Commas do not separate numbers: separate them with blanks or tabs.";
    if (Is_separated_list(bare, ';'))
        return "Semicolons do not separate numbers: separate them with blanks or tabs.";
    if (line == 1 && Starts_a_word(bare))
        return "The file must hold numbers only: remove the title row.";
    return "";
}

namespace {

bool Starts_with_any(std::string_view head, std::initializer_list<std::string_view> starts) {
    return std::any_of(starts.begin(), starts.end(),
                       [&](std::string_view start) { return head.starts_with(start); });
}

// Zero bytes at `zeros` (0: even, 1: odd places) and none elsewhere, as far as
// the head goes: one-byte characters in UTF-16.
bool Zeros_alternate(std::string_view head, std::size_t zeros) {
    if (head.size() < 2) return false;
    for (std::size_t i = 0; i < head.size(); ++i)
        if ((head[i] == '\0') != (i % 2 == zeros)) return false;
    return true;
}

} // namespace

std::string Not_plain_text_message(std::string_view head, bool zero_byte) {
    using namespace std::string_view_literals;
    const bool utf16 = Starts_with_any(head, {"\xFF\xFE"sv, "\xFE\xFF"sv}) ||
                       (zero_byte && (Zeros_alternate(head, 0) || Zeros_alternate(head, 1)));
    if (utf16)
        return "The file is UTF-16 text (saved as \"Unicode\"), which is not read here: open it "
               "in a text editor and save it again as plain text, with the encoding UTF-8 or "
               "ANSI.";
    if (zero_byte || Starts_with_any(head, {"\x89PNG"sv, "%PDF"sv, "PK\x03\x04"sv}))
        return "This is not a text file of numbers: choose the plain text file that holds the "
               "scores (from a spreadsheet, save the sheet as tab-delimited text).";
    return "";
}

std::string Open_failure_message(const std::string& path, int code) {
    // Control characters of a name typed on a command line are not shown as
    // they are, so that no terminal acts on them.
    std::string shown;
    for (const char c : path)
        shown += static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? '?' : c;
    return System_error_message(code) + ": '" + shown + "'.";
}

std::FILE* Open_data_file(const std::string& path) {
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) throw EData_file_error(Open_failure_message(path, errno));
    struct stat status {};
    if (::fstat(::fileno(file), &status) == 0 && S_ISDIR(status.st_mode)) {
        std::fclose(file);
        throw EData_file_error(Open_failure_message(path, EISDIR));
    }
    return file;
}
