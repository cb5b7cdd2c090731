#include "assessment/reading_advice.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

namespace {

TEST(ReadingAdvice, TheUnreadNoticeNamesTheColumnsAndCountsTheLines) {
    const struct {
        tUnread Unread;
        const char* Notice;
    } cases[] = {
        {{0, 11, 2, 2}, ""},
        {{0, 11, 2, 0}, ""}, // nothing read at all is not a notice
        {{0, 11, 2, 3}, "Column 3 was not read."},
        {{0, 11, 2, 6}, "Columns 3 to 6 were not read."},
        {{1, 10, 2, 2}, "1 more line(s) after line 10 were not read."},
        {{9, 31, 4, 4}, "9 more line(s) after line 31 were not read."},
        {{2, 11, 2, 3}, "Column 3 and 2 more line(s) after line 11 were not read."},
        {{2, 11, 2, 6}, "Columns 3 to 6 and 2 more line(s) after line 11 were not read."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Notice);
        EXPECT_EQ(Unread_notice(c.Unread), c.Notice);
    }
}

TEST(ReadingAdvice, SpreadsheetHabitsGetTheirReasonAndRemedy) {
    const std::string decimal_comma =
        "A comma is not a decimal point: write the number with a decimal point.";
    const std::string commas = "Commas do not separate numbers: separate them with blanks or tabs.";
    const std::string semicolons =
        "Semicolons do not separate numbers: separate them with blanks or tabs.";
    const std::string quotes = "Quotes are not part of a number: remove the quotes.";
    const std::string title = "The file must hold numbers only: remove the title row.";
    const struct {
        const char* Token;
        long long Line;
        bool Alone;
        std::string Advice;
    } cases[] = {
        {"21,5", 3, false, decimal_comma},
        {"-0,25", 1, false, decimal_comma},
        {"68,29", 1, true, commas}, // the whole line: two numbers, not one
        {"68,29,31.5", 4, false, commas},
        {"68,", 2, false, commas},
        {"68;29,5", 1, true, semicolons},
        {"\"68\"", 2, false, quotes},
        {"\"-1.5e3\"", 1, true, quotes},
        {"\"68\",\"29\"", 1, true, commas},
        {"score", 1, false, title},
        {"\"Score\"", 1, true, title},
        {"Title:", 1, false, title},
        // No advice: a word below the first line, the library's words for
        // numbers, a quote inside a word, forms that are simply wrong.
        {"score", 2, false, ""},
        {"inf", 1, false, ""},
        {"NaN", 1, false, ""},
        {"4\"5,6", 16, false, ""},
        {",", 1, true, ""},
        {"1,,5", 2, false, commas},
        {"1.2.3", 1, false, ""},
        {"0x10", 1, false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Token);
        EXPECT_EQ(Invalid_number_advice(c.Token, c.Line, c.Alone), c.Advice);
    }
}

TEST(ReadingAdvice, AFileThatIsNotPlainTextIsToldByItsFirstBytes) {
    using namespace std::string_literals;
    const std::string utf16 =
        "The file is UTF-16 text (saved as \"Unicode\"), which is not read here: open it in a "
        "text editor and save it again as plain text, with the encoding UTF-8 or ANSI.";
    const std::string not_text =
        "This is not a text file of numbers: choose the plain text file that holds the scores "
        "(from a spreadsheet, save the sheet as tab-delimited text).";
    const struct {
        std::string Head;
        bool Zero_byte;
        std::string Message;
    } cases[] = {
        {"\xFF\xFE"
         "6\0"s,
         true, utf16},
        {"\xFF\xFE", false, utf16}, // the mark alone
        {"\xFE\xFF\0"
         "6"s,
         true, utf16},
        {"6\0 \0"s, true, utf16}, // no mark: every other byte zero
        {"\0"
         "6\0 "s,
         true, utf16},
        {"6\0"s, true, utf16},
        {"\0\0\0\0"s, true, not_text},
        {"\0"s, true, not_text}, // one zero byte alternates with nothing
        {"12\0 "s, true, not_text},
        {"6\0"
         "12"s,
         true, not_text},
        {"\x89PNG", false, not_text},
        {"%PDF", false, not_text},
        {"PK\x03\x04", false, not_text}, // a ZIP file, as an .xlsx is
        // Text: numbers, a UTF-8 mark, a word that starts like a signature.
        {"1 2\r", false, ""},
        {"\xEF\xBB\xBF"
         "1",
         false, ""},
        {"PK 1", false, ""},
        {"", false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.Head));
        EXPECT_EQ(Not_plain_text_message(c.Head, c.Zero_byte), c.Message);
    }
}

TEST(ReadingAdvice, AnOpeningFailureNamesTheFileWithoutItsControlCharacters) {
    EXPECT_EQ(Open_failure_message("data.txt", ENOENT), "File not found: 'data.txt'.");
    EXPECT_EQ(Open_failure_message("/srv/ré sumé.txt", EACCES),
              "File access denied: '/srv/ré sumé.txt'.");
    EXPECT_EQ(Open_failure_message("a\x1B[2Jb", ENOENT), "File not found: 'a?[2Jb'.");
    EXPECT_EQ(Open_failure_message("a\x7F.txt", ENOENT), "File not found: 'a?.txt'.");
}

} // namespace
