#include "assessment/data_file_reader.h"

#include <cerrno>
#include <cmath>
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

#include "assessment/reading_advice.h"
#include "matrix/matrix_types.h"

namespace {

struct tRead {
    std::unique_ptr<tData_matrix> Data = std::make_unique<tData_matrix>();
    std::string Message;
    std::string Error; // empty when the read succeeded
};

tRead Read(const std::string& bytes, int rows, int cols) {
    tRead result;
    try {
        result.Message = Read_data_bytes(bytes, rows, cols, *result.Data);
    } catch (const EData_file_error& error) {
        result.Error = error.what();
    }
    return result;
}

// 31 lines of 4 numbers: line i holds i, 10 i, 100 i, 1000 i (plus `extra`).
std::string Thirty_one_lines(const std::string& separator, const std::string& line_end,
                             const std::string& extra = "") {
    std::string text;
    for (int i = 1; i <= 31; ++i) {
        text += std::to_string(i) + separator + std::to_string(10 * i) + separator +
                std::to_string(100 * i) + separator + std::to_string(1000 * i) + extra + line_end;
    }
    return text;
}

void Expect_thirty_one_rows(const tRead& read) {
    ASSERT_EQ(read.Error, "");
    for (int i = 1; i <= 31; ++i) {
        EXPECT_EQ((*read.Data)(i, 1), i) << "row " << i;
        EXPECT_EQ((*read.Data)(i, 2), 10 * i) << "row " << i;
        EXPECT_EQ((*read.Data)(i, 3), 100 * i) << "row " << i;
        EXPECT_EQ((*read.Data)(i, 4), 1000 * i) << "row " << i;
    }
}

} // namespace

TEST(DataFileReader, AllThreeLineEndsReadEveryCellAndGiveTheLoadedMessage) {
    for (const std::string line_end : {"\r\n", "\n", "\r"}) {
        SCOPED_TRACE(line_end == "\r\n" ? "CR LF" : line_end == "\n" ? "LF" : "CR");
        const tRead read = Read(Thirty_one_lines(" ", line_end), 31, 4);
        Expect_thirty_one_rows(read);
        EXPECT_EQ(read.Message, "Data file consisting of n + 1 = 31 cases (rows) and  4 variables "
                                "(columns) was loaded successfully ");
        // Cells outside the rows and columns asked for stay missing.
        EXPECT_EQ((*read.Data)(32, 1), Missing_value);
        EXPECT_EQ((*read.Data)(1, 5), Missing_value);
    }
}

TEST(DataFileReader, TabsAndRunsOfBlanksSeparateLikeOneBlank) {
    Expect_thirty_one_rows(Read(Thirty_one_lines("\t", "\r\n"), 31, 4));
    Expect_thirty_one_rows(Read(Thirty_one_lines(" \t  \v", "\n"), 31, 4));
}

TEST(DataFileReader, NumbersAfterTheNeededOnesAreIgnoredEvenWhenNotNumbers) {
    Expect_thirty_one_rows(Read(Thirty_one_lines(" ", "\r\n", " 5"), 31, 4));
    Expect_thirty_one_rows(Read(Thirty_one_lines(" ", "\n", " note,1"), 31, 4));
}

TEST(DataFileReader, TrailingBlanksBeforeTheLineEndNeverShiftLaterRows) {
    const tRead read = Read(Thirty_one_lines(" ", " \t\r\n"), 31, 4);
    Expect_thirty_one_rows(read);
}

TEST(DataFileReader, LinesAfterTheLastNeededRowAreNotRead) {
    std::string text = Thirty_one_lines(" ", "\r\n");
    for (int i = 32; i <= 40; ++i)
        text += "this line is never read\r\n";
    Expect_thirty_one_rows(Read(text, 31, 4));
}

// Lines and numbers passed over are counted, and the loaded message says so
// on a line of its own (Unread_notice owns the sentence).
TEST(DataFileReader, WhatWasNotReadFollowsTheLoadedMessage) {
    const struct {
        const char* Name;
        std::string Bytes;
        tUnread Expected;
    } cases[] = {
        {"exactly the rows", "1 2\n3 4\n5 6\n", {0, 3, 2, 2}},
        {"blank and Ctrl-Z after",
         "1 2\n3 4\n5 6\n \t\r\n\n\x1A"
         "7 8\n",
         {0, 3, 2, 2}},
        {"a case row more", "1 2\n3 4\n5 6\n7 8\n", {1, 3, 2, 2}},
        {"words and a last line without its end", "1 2\n3 4\n5 6\r\n\r\nnotes\r\n9", {2, 3, 2, 2}},
        {"a third number, once", "1 2\n3 4 x\n5 6\n", {0, 3, 2, 3}},
        {"both", "1 2 3 4\n3 4\n5 6\n7\n", {1, 3, 2, 4}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        tData_matrix data;
        tUnread unread;
        const std::string message = Read_data_bytes(c.Bytes, 3, 2, data, &unread);
        EXPECT_EQ(unread.Lines, c.Expected.Lines);
        EXPECT_EQ(unread.Last_line, c.Expected.Last_line);
        EXPECT_EQ(unread.Columns, c.Expected.Columns);
        EXPECT_EQ(unread.Most_numbers, c.Expected.Most_numbers);
        const std::string notice = Unread_notice(c.Expected);
        EXPECT_EQ(message, Data_loaded_message(3, 2) + (notice.empty() ? "" : "\r" + notice));
    }
}

TEST(DataFileReader, TheLastLineMayLackItsLineEnd) {
    const tRead read = Read("1 2\n3 4\n5 6", 3, 2);
    ASSERT_EQ(read.Error, "");
    EXPECT_EQ((*read.Data)(3, 2), 6);
}

TEST(DataFileReader, AByteOrderMarkAtTheStartIsSkipped) {
    const tRead read = Read("\xEF\xBB\xBF"
                            "1 2\r\n3 4\r\n",
                            2, 2);
    ASSERT_EQ(read.Error, "");
    EXPECT_EQ((*read.Data)(1, 1), 1);
    // Only at the very start: elsewhere it is part of a token.
    EXPECT_NE(Read("1 2\n\xEF\xBB\xBF"
                   "3 4\n",
                   2, 2)
                  .Error,
              "");
}

TEST(DataFileReader, CtrlZEndsTheData) {
    const tRead complete = Read("1 2\r\n3 4\r\n\x1A"
                                "garbage",
                                2, 2);
    ASSERT_EQ(complete.Error, "");
    EXPECT_EQ((*complete.Data)(2, 2), 4);
    // A Ctrl-Z right after the last number ends that line as well.
    EXPECT_EQ(Read("1 2\r\n3 4\x1A", 2, 2).Error, "");
    EXPECT_EQ(Read("1 2\r\n\x1A"
                   "3 4\r\n",
                   2, 2)
                  .Error,
              "The data file holds 1 line(s) of data, but n + 1 = 2 are needed: the 1 controls "
              "followed by the case.");
}

TEST(DataFileReader, ShortRowsAreRefusedWithTheirLineNumber) {
    std::string text = Thirty_one_lines(" ", "\r\n");
    // Line 5 loses its last number.
    const auto start = text.find("5 50 500 5000");
    text.replace(start, 13, "5 50 500");
    EXPECT_EQ(Read(text, 31, 4).Error,
              "Line 5 of the data file holds 3 number(s), but 4 are needed: the criterion "
              "followed by 3 predictor(s).");
    // The same with a blank before the line end: still refused, not shifted.
    text.replace(start, 8, "5 50 500 ");
    EXPECT_EQ(Read(text, 31, 4).Error,
              "Line 5 of the data file holds 3 number(s), but 4 are needed: the criterion "
              "followed by 3 predictor(s).");
}

TEST(DataFileReader, AnEmptyOrBlankLineAmongTheRowsIsAShortRow) {
    EXPECT_EQ(Read("1 2\r\n\r\n3 4\r\n", 3, 2).Error,
              "Line 2 of the data file holds 0 number(s), but 2 are needed: the criterion "
              "followed by 1 predictor(s).");
    EXPECT_EQ(Read("1 2\n \t\n3 4\n", 3, 2).Error,
              "Line 2 of the data file holds 0 number(s), but 2 are needed: the criterion "
              "followed by 1 predictor(s).");
}

TEST(DataFileReader, TooFewLinesAreRefusedWithTheCounts) {
    std::string text;
    for (int i = 1; i <= 20; ++i)
        text += "1 2 3 4\r\n";
    EXPECT_EQ(Read(text, 31, 4).Error,
              "The data file holds 20 line(s) of data, but n + 1 = 31 are needed: the 30 "
              "controls followed by the case.");
    EXPECT_EQ(Read("", 4, 2).Error, "The data file holds 0 line(s) of data, but n + 1 = 4 are "
                                    "needed: the 3 controls followed by the case.");
}

TEST(DataFileReader, LoneLineFeedsEndLinesInsteadOfJoiningThem) {
    const tRead read = Read("1 2\n3 4\n5 6\n", 3, 2);
    ASSERT_EQ(read.Error, "");
    EXPECT_EQ((*read.Data)(2, 1), 3);
    EXPECT_EQ((*read.Data)(3, 2), 6);
}

TEST(DataFileReader, DecimalFormsWithSignPointAndExponentAreNumbers) {
    const tRead read = Read("5. .5 +5 -0 1.2E3 -3.5e-2 7e+1\n", 1, 7);
    ASSERT_EQ(read.Error, "");
    const tData_matrix& d = *read.Data;
    EXPECT_EQ(d(1, 1), 5);
    EXPECT_EQ(d(1, 2), 0.5L);
    EXPECT_EQ(d(1, 3), 5);
    EXPECT_EQ(d(1, 4), 0);
    EXPECT_FALSE(std::signbit(d(1, 4))); // a typed -0 is not echoed as -0.00000
    EXPECT_EQ(d(1, 5), 1200);
    EXPECT_EQ(d(1, 6), Extended_constant(-0.035L));
    EXPECT_EQ(d(1, 7), 70);
}

TEST(DataFileReader, LongNumbersAndUnderflowAreAccepted) {
    // Longer than 64 characters, converted exactly as written.
    const std::string long_number = "12." + std::string(100, '0') + "5";
    const tRead read = Read(long_number + " 1e-4950 1e-99999\n", 1, 3);
    ASSERT_EQ(read.Error, "");
    EXPECT_EQ((*read.Data)(1, 1), 12.0L);
    EXPECT_GE((*read.Data)(1, 2), 0);
    EXPECT_LT((*read.Data)(1, 2), 1e-4900L);
    EXPECT_EQ((*read.Data)(1, 3), 0);
}

TEST(DataFileReader, NonDecimalTextIsInvalidNumericInputNamingTextAndLine) {
    const std::vector<std::string> refused = {"abc",     ".",    "e5",    "1e",    "--1",
                                              "inf",     "nan",  "0x1p3", "1.2.3", "5-",
                                              "1e99999", "+.e1", "1e5.5"};
    for (const std::string& token : refused) {
        SCOPED_TRACE(token);
        EXPECT_EQ(Read("1 2\n3 " + token + "\n", 2, 2).Error,
                  "Invalid numeric input '" + token + "' on line 2");
    }
}

// Invalid_number_advice owns the sentences; here only which one the reader
// asks for: the token, its line, and whether it stood alone on the line.
TEST(DataFileReader, SpreadsheetHabitsAddTheirAdviceToTheMessage) {
    const struct {
        std::string Bytes, Token;
        long long Line;
        bool Alone;
    } cases[] = {
        {"1 2\n3 21,5\n", "21,5", 2, false},
        {"1 2\n21,5 3\n", "21,5", 2, false},
        {"68,29\r\n1 2\r\n", "68,29", 1, true},
        {"\"68\"\t\"29\"\n1 2\n", "\"68\"", 1, false},
        {"Title: my data\r\n1 2\r\n", "Title:", 1, false},
        {"\xEF\xBB\xBF"
         "score predicted\n1 2\n",
         "score", 1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Bytes);
        const std::string advice = Invalid_number_advice(c.Token, c.Line, c.Alone);
        ASSERT_NE(advice, "");
        EXPECT_EQ(Read(c.Bytes, 2, 2).Error, "Invalid numeric input '" + c.Token + "' on line " +
                                                 std::to_string(c.Line) + ". " + advice);
    }
}

TEST(DataFileReader, AVeryLongOrUnprintableTokenIsCutInTheMessage) {
    const std::string token = std::string(39, 'x') + "\x1B"
                                                     "yyyyyyyy";
    // ESC is a separator (below the blank): the first 39 x are the token.
    EXPECT_EQ(Read("1 2\n" + token + " 1\n", 2, 2).Error,
              "Invalid numeric input '" + std::string(39, 'x') + "' on line 2");
    EXPECT_EQ(Read("1 2\n" + std::string(100, 'z') + " 1\n", 2, 2).Error,
              "Invalid numeric input '" + std::string(40, 'z') + "...' on line 2");
    EXPECT_EQ(Read("1\xC3\xA9 1\n", 1, 2).Error, "Invalid numeric input '1?"
                                                 "?' on line 1");
}

TEST(DataFileReader, ClearsTheWholeMatrixFirstAndKeepsCellsReadBeforeAFailure) {
    tData_matrix data;
    for (int i = 1; i <= Max_rows; ++i)
        for (int j = 1; j <= Max_variables; ++j)
            data(i, j) = 7;
    EXPECT_THROW(Read_data_bytes("1 2\n3 x\n", 2, 2, data), EData_file_error);
    EXPECT_EQ(data(1, 1), 1);
    EXPECT_EQ(data(2, 1), 3);
    EXPECT_EQ(data(2, 2), Missing_value);
    EXPECT_EQ(data(500, 20), Missing_value);
}

TEST(DataFileReader, FilesAreReadLikeBytesAndOpenFailuresAreNamed) {
    const auto folder = std::filesystem::temp_directory_path() /
                        ("pavona_reader_test_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const auto path = (folder / "data.txt").string();
    {
        std::ofstream file(path, std::ios::binary);
        file << Thirty_one_lines("\t", "\r");
    }
    tData_matrix data;
    EXPECT_EQ(Read_data_file(path, 31, 4, data),
              "Data file consisting of n + 1 = 31 cases (rows) and  4 variables (columns) was "
              "loaded successfully ");
    EXPECT_EQ(data(31, 4), 31000);

    const auto expect_failure = [&](const std::string& file, const std::string& message) {
        try {
            Read_data_file(file, 31, 4, data);
            ADD_FAILURE() << "no failure for " << file;
        } catch (const EData_file_error& error) {
            EXPECT_EQ(std::string(error.what()), message);
        }
    };
    const auto absent = (folder / "absent.txt").string();
    expect_failure(absent, Open_failure_message(absent, ENOENT));
    const auto in_absent = (folder / "absent" / "data.txt").string();
    expect_failure(in_absent, Open_failure_message(in_absent, ENOENT));
    // A folder opens but cannot be read as a file: as on saving to a folder.
    expect_failure(folder.string(), Open_failure_message(folder.string(), EACCES));
    if (::geteuid() != 0) {
        std::filesystem::permissions(path, std::filesystem::perms::none);
        expect_failure(path, Open_failure_message(path, EACCES));
    }
    std::filesystem::remove_all(folder);
}

TEST(DataFileReader, NumbersAreReadWithAPointWhateverTheProcessLocale) {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    // The build makes this locale for the tests (Debian's locales package).
    ASSERT_TRUE(std::setlocale(LC_ALL, "de_DE.UTF-8")) << "no German locale: run make deps";
    const tRead read = Read("1.5 2.25\n", 1, 2);
    std::setlocale(LC_ALL, previous.c_str());
    ASSERT_EQ(read.Error, "");
    EXPECT_EQ((*read.Data)(1, 1), 1.5L);
    EXPECT_EQ((*read.Data)(1, 2), 2.25L);
}

TEST(DataFileReader, InputThatGoesOnPastTheSizeCapIsRefusedNamingTheLineReached) {
    const std::string expected = "The data file holds more than 32 MB before its n + 1 = 2 rows "
                                 "are complete (line 2 had been reached): it is not a data file "
                                 "of numbers.";
    // Blanks never finish a number, so only the cap can stop this.
    std::string endless_line = "1 2\n" + std::string(Max_data_file_bytes, ' ');
    EXPECT_EQ(Read(endless_line, 2, 2).Error, expected);
    // Up to the cap everything counts, so a long line of ignored numbers is fine.
    endless_line.resize(Max_data_file_bytes - 4);
    const tRead read = Read(endless_line + "3 4\n", 2, 2);
    ASSERT_EQ(read.Error, "");
    EXPECT_EQ((*read.Data)(2, 2), 4);
}

TEST(DataFileReader, AnEndlessDeviceIsRefusedInsteadOfBeingReadForever) {
    tData_matrix data;
    try {
        Read_data_file("/dev/zero", 11, 2, data);
        ADD_FAILURE() << "/dev/zero was read as data";
    } catch (const EData_file_error& error) {
        // Its zero bytes show at once that it is no text.
        EXPECT_EQ(std::string(error.what()), Not_plain_text_message("\0\0\0\0", true));
    }
}

// Not_plain_text_message owns the texts; here, that the reader asks for them
// before any number, from bytes and from a stream alike, whatever line the
// zero byte is on.
TEST(DataFileReader, UTF16AndBinaryFilesAreRefusedAsAWholeBeforeAnyNumber) {
    using namespace std::string_literals;
    const std::string utf16 = Not_plain_text_message("\xFF\xFE", false);
    const std::string not_text = Not_plain_text_message("\0\0", true);
    // "6 2" CR LF "4 5" CR LF "7 1" CR LF in UTF-16, little- and big-endian.
    std::string little, big;
    for (const char c : "6 2\r\n4 5\r\n7 1\r\n"s) {
        little += c + "\0"s;
        big += "\0"s + c;
    }
    const struct {
        std::string Name, Bytes, Message;
    } cases[] = {
        {"UTF-16 with its mark", "\xFF\xFE" + little, utf16},
        {"UTF-16 big-endian with its mark", "\xFE\xFF" + big, utf16},
        {"UTF-16 without a mark", little, utf16},
        {"UTF-16 big-endian without a mark", big, utf16},
        {"the mark alone", "\xFF\xFE", utf16},
        {"PNG", "\x89PNG\r\n\x1A\n\0\0\0\rIHDR"s, not_text},
        {"PDF", "%PDF-1.4\n%\xE2\xE3\n1 0 obj\n", not_text},
        {"xlsx", "PK\x03\x04\x14\0\x06\0\x08\0"s, not_text},
        {"a zero byte on line 2", "6 2\n4\0 5\n7 1\n"s, not_text},
        {"a zero byte after the rows", "6 2\n4 5\n7 1\n\0\0"s, not_text},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(Read(c.Bytes, 3, 2).Error, c.Message);
        std::FILE* stream = fmemopen(const_cast<char*>(c.Bytes.data()), c.Bytes.size(), "rb");
        ASSERT_NE(stream, nullptr);
        tData_matrix data;
        try {
            Read_data_stream(stream, 3, 2, data);
            ADD_FAILURE() << "read from a stream";
        } catch (const EData_file_error& error) {
            EXPECT_EQ(std::string(error.what()), c.Message);
        }
        std::fclose(stream);
    }
}

namespace {

// Every case row the series reader hands out after `controls` control rows.
std::vector<tCase_row> Case_rows(tCase_series_reader& reader) {
    std::vector<tCase_row> rows;
    tCase_row row;
    while (rows.size() < 100 && reader.Next(row))
        rows.push_back(row);
    return rows;
}

std::string Series_read_error(const std::string& bytes, int controls, int cols) {
    tData_matrix data;
    try {
        tCase_series_reader reader(std::string_view(bytes), controls, cols, data);
    } catch (const EData_file_error& error) {
        return error.what();
    }
    return "";
}

} // namespace

TEST(CaseSeriesReader, CaseRowsFollowTheControlsWithTheirLineNumbersBlankLinesSkipped) {
    const std::string bytes = "\xEF\xBB\xBF"
                              "1 10\r\n2 20\r3 30\n4 40 extra\n\n \t\r\n5 50\r6 60";
    for (const bool from_stream : {false, true}) {
        SCOPED_TRACE(from_stream ? "stream" : "bytes");
        auto data = std::make_unique<tData_matrix>();
        std::FILE* stream =
            from_stream ? ::fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "rb") : nullptr;
        std::optional<tCase_series_reader> reader;
        if (stream)
            reader.emplace(stream, 3, 2, *data);
        else
            reader.emplace(std::string_view(bytes), 3, 2, *data);
        for (int r = 1; r <= 3; ++r)
            EXPECT_EQ((*data)(r, 2), 10 * r);
        EXPECT_EQ((*data)(4, 1), Missing_value); // the cases never enter the matrix
        const std::vector<tCase_row> rows = Case_rows(*reader);
        ASSERT_EQ(rows.size(), 3u);
        const long long lines[] = {4, 7, 8};
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(rows[i].Line, lines[i]);
            EXPECT_EQ(rows[i].Error, "");
            EXPECT_EQ(rows[i].Scores[1], 4 + i);
            EXPECT_EQ(rows[i].Scores[2], 40 + 10 * i);
        }
        tCase_row row;
        EXPECT_FALSE(reader->Next(row)); // and it stays at the end
        reader.reset();
        if (stream) std::fclose(stream);
    }
}

TEST(CaseSeriesReader, AShortOrWordyCaseRowRefusesOnlyItselfWithTheReadersMessage) {
    tData_matrix data;
    const std::string bytes = "1 2\n3 5\n4 7\n8\n9 abc 10\n1e9999 1\n11 12\x1A"
                              "13 14\n";
    tCase_series_reader reader(std::string_view(bytes), 3, 2, data);
    const std::vector<tCase_row> rows = Case_rows(reader);
    ASSERT_EQ(rows.size(), 4u); // Ctrl-Z ends the data
    EXPECT_EQ(rows[0].Error, "Line 4 of the data file holds 1 number(s), but 2 are needed: the "
                             "criterion followed by 1 predictor(s).");
    EXPECT_EQ(rows[1].Error, "Invalid numeric input 'abc' on line 5");
    EXPECT_EQ(rows[2].Error, "Invalid numeric input '1e9999' on line 6");
    EXPECT_EQ(rows[3].Error, "");
    EXPECT_EQ(rows[3].Line, 7);
    EXPECT_EQ(rows[3].Scores[2], 12);
}

TEST(CaseSeriesReader, AFaultInTheControlsRefusesTheWholeFile) {
    EXPECT_EQ(Series_read_error("1 2\n3 4\n", 3, 2),
              "The data file holds 2 line(s) of data, but the n = 3 controls are needed first, "
              "followed by the cases.");
    EXPECT_EQ(Series_read_error("1 2\n3\n5 6\n7 8\n", 3, 2),
              "Line 2 of the data file holds 1 number(s), but 2 are needed: the criterion "
              "followed by 1 predictor(s).");
    EXPECT_EQ(Series_read_error("1 2\n3 x\n5 6\n7 8\n", 3, 2),
              "Invalid numeric input 'x' on line 2");
    // Controls alone are a file without cases, not a fault.
    EXPECT_EQ(Series_read_error("1 2\n3 4\n5 6", 3, 2), "");
}

TEST(CaseSeriesReader, TheSizeCapCountsEachCaseRowAloneNotTheirSum) {
    // Three case rows of 12 MB each (blanks after the two numbers): 36 MB in
    // all, every line within the cap.
    const std::string long_row = "1 2" + std::string(12u << 20, ' ') + "\n";
    const std::string bytes = "1 2\n3 5\n4 7\n" + long_row + long_row + long_row;
    tData_matrix data;
    tCase_series_reader reader(std::string_view(bytes), 3, 2, data);
    const std::vector<tCase_row> rows = Case_rows(reader);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[2].Line, 6);
    EXPECT_EQ(rows[2].Error, "");
}

TEST(CaseSeriesReader, CountsTheNumbersPassedOverAndOnRequestTheLinesLeft) {
    tData_matrix data;
    const std::string bytes = "1 2\n3 4 5\n5 6\n7 8\n9 10 11 12\n\n13 x\n \n14";
    tCase_series_reader reader(std::string_view(bytes), 3, 2, data);
    EXPECT_EQ(reader.Unread().Most_numbers, 3); // the controls' most
    tCase_row row;
    ASSERT_TRUE(reader.Next(row));
    ASSERT_TRUE(reader.Next(row));
    EXPECT_EQ(reader.Unread().Most_numbers, 4);
    EXPECT_EQ(reader.Unread().Lines, 0);
    reader.Count_unread_lines();
    const tUnread unread = reader.Unread();
    EXPECT_EQ(unread.Lines, 2); // "13 x" and "14"; the blank lines hold nothing
    EXPECT_EQ(unread.Last_line, 5);
    EXPECT_EQ(unread.Columns, 2);
    EXPECT_FALSE(reader.Next(row));
}
