#pragma once

// What the readers tell the user beyond the figures: what a file held that
// was not read, and for a number that cannot be read, why and what to do.
// Spreadsheets export decimal commas, commas between numbers, quotes and
// title rows; each gets its remedy in one sentence.

#include <cstdio>
#include <string>
#include <string_view>

// What a reader passed over. Reading only the lines and numbers asked for is
// intended, but the user is told, since a wrong sample size or number of
// predictors would otherwise analyse the wrong scores in silence.
struct tUnread {
    long long Lines = 0;     // lines after Last_line holding anything but blanks
    long long Last_line = 0; // the last line read
    int Columns = 0;         // the numbers read from a line
    int Most_numbers = 0;    // the most numbers (or words) a line read held
};

// One sentence naming the columns and the count of lines not read, as
// "Columns 3 to 4 and 9 more line(s) after line 11 were not read."; empty
// when nothing was passed over.
std::string Unread_notice(const tUnread& unread);

// The reason and the remedy for a token that is not a number, as one
// sentence, or empty when there is no advice. `alone`: the token was the
// only one on its line (a comma-separated line rather than a decimal comma).
std::string Invalid_number_advice(const std::string& token, long long line, bool alone);

// A file that is not plain text is refused as a whole, before any number,
// by what its first bytes (up to four) say: a UTF-16 byte-order mark, or a
// zero byte beside every other byte (digits and blanks in UTF-16), is UTF-16
// text; any other zero byte, or the start of a PNG, PDF or ZIP file (an .xlsx
// is one), is no text at all. `zero_byte`: a zero byte was met. Returns the
// message, or empty where the file may be text.
std::string Not_plain_text_message(std::string_view head, bool zero_byte);

// The opening failure of a file (System_error_message) naming the file:
// "File not found: 'data.txt'."
std::string Open_failure_message(const std::string& path, int code);

// Opens a data or summary file for reading; a folder is refused as it is
// opened rather than at its first read. Raises EData_file_error with the
// Open_failure_message.
std::FILE* Open_data_file(const std::string& path);
