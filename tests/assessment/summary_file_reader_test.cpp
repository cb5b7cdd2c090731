// The summary file: a published control sample (n, means, SDs, correlations)
// followed by case rows, and every refusal naming its line and entry.

#include "assessment/summary_file_reader.h"

#include "assessment/reading_advice.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <string_view>

namespace {

const std::string Worked = "10\n50 20\n10 5\n1 0.5\n0.5 1\n40 30\n";

std::string Refusal(const std::string& text, int k = 1) {
    try {
        tSummary_reader reader(std::string_view(text), k);
    } catch (const EData_file_error& error) {
        return error.what();
    }
    return "accepted";
}

} // namespace

TEST(Summary_file, TheWorkedExampleGivesItsStatisticsThenItsCase) {
    tSummary_reader reader(std::string_view(Worked), 1);
    const tSummary_statistics& s = reader.Summary();
    EXPECT_EQ(s.N, 10);
    EXPECT_EQ(s.Means[1], 50);
    EXPECT_EQ(s.Means[2], 20);
    EXPECT_EQ(s.SDs[1], 10);
    EXPECT_EQ(s.SDs[2], 5);
    EXPECT_EQ(s.Corr(1, 2), 0.5L);
    EXPECT_EQ(s.Corr(2, 1), 0.5L);
    EXPECT_EQ(s.Corr(2, 2), 1);
    tCase_row row;
    ASSERT_TRUE(reader.Cases().Next(row));
    EXPECT_EQ(row.Line, 6);
    EXPECT_EQ(row.Error, "");
    EXPECT_EQ(row.Scores[1], 40);
    EXPECT_EQ(row.Scores[2], 30);
    EXPECT_FALSE(reader.Cases().Next(row));
}

TEST(Summary_file, LineEndsMarkAndExtraNumbersFollowTheDataFileRules) {
    const std::string crlf = "\xEF\xBB\xBF"
                             "10\r\n50 20 99\r\n10\t5\r\n1 0.5\r0.5 1\r40 30\x1A"
                             "41 31\n";
    tSummary_reader reader(std::string_view(crlf), 1);
    EXPECT_EQ(reader.Summary().N, 10);
    EXPECT_EQ(reader.Summary().Means[2], 20); // the 99 after the needed numbers is ignored
    tCase_row row;
    ASSERT_TRUE(reader.Cases().Next(row));
    EXPECT_EQ(row.Line, 6);
    EXPECT_FALSE(reader.Cases().Next(row)); // Ctrl-Z ends the data
}

TEST(Summary_file, SeveralCasesFollowTheMatrixWithTheirLineNumbers) {
    const std::string text = Worked + "\n42 word\n39\n";
    tSummary_reader reader(std::string_view(text), 1);
    tCase_row row;
    ASSERT_TRUE(reader.Cases().Next(row));
    ASSERT_TRUE(reader.Cases().Next(row)); // the blank line 7 is no case
    EXPECT_EQ(row.Line, 8);
    EXPECT_EQ(row.Error, "Invalid numeric input 'word' on line 8");
    ASSERT_TRUE(reader.Cases().Next(row));
    EXPECT_EQ(row.Line, 9);
    EXPECT_NE(row.Error.find("Line 9 of the data file holds 1 number(s)"), std::string::npos);
}

TEST(Summary_file, AUTF16OrBinaryFileGetsTheSharedReadersMessage) {
    std::string utf16 = "\xFF\xFE";
    for (const char c : Worked)
        utf16 += std::string(1, c) + '\0';
    EXPECT_EQ(Refusal(utf16), Not_plain_text_message("\xFF\xFE", false));
    EXPECT_EQ(Refusal("PK\x03\x04\x14"), Not_plain_text_message("PK\x03\x04", false));
}

TEST(Summary_file, NearlyEqualCorrelationsAreTakenAsTheirMean) {
    tSummary_reader reader(std::string_view("10\n50 20\n10 5\n1.0000004 0.5000006\n0.5 1\n"), 1);
    EXPECT_EQ(reader.Summary().Corr(1, 1), 1);
    EXPECT_NEAR(static_cast<double>(reader.Summary().Corr(1, 2)), 0.5000003, 1e-15);
    EXPECT_EQ(reader.Summary().Corr(1, 2), reader.Summary().Corr(2, 1));
}

TEST(Summary_file, EachRefusalNamesItsLineAndEntry) {
    EXPECT_EQ(Refusal("10\n50 x\n"), "Invalid numeric input 'x' on line 2");
    EXPECT_EQ(Refusal(""),
              "The summary file ends before line 1, which must hold the sample size n.");
    EXPECT_EQ(Refusal("10\n50 20\n10 5\n1 0.5\n"),
              "The summary file ends before line 5, which must hold row 2 of the correlation "
              "matrix (2 correlations).");
    EXPECT_EQ(Refusal("10\n50 20\n10\n"),
              "Line 3 of the summary file holds 1 number(s), but 2 are needed: the 2 standard "
              "deviations, the criterion's first.");
    EXPECT_EQ(Refusal("10\n\n"),
              "Line 2 of the summary file holds 0 number(s), but 2 are needed: the 2 means, the "
              "criterion's first.");
    EXPECT_EQ(Refusal("10\n50 20\n10 0\n1 0.5\n0.5 1\n"),
              "Line 3 of the summary file, entry 2: the standard deviation of Predictor (X) 1 "
              "must be greater than 0.");
    EXPECT_EQ(Refusal("10\n50 20\n-10 5\n1 0.5\n0.5 1\n"),
              "Line 3 of the summary file, entry 1: the standard deviation of Criterion (Y) must "
              "be greater than 0.");
    EXPECT_EQ(Refusal("10\n50 20\n10 5\n1 1.5\n1.5 1\n"),
              "Line 4 of the summary file, entry 2: the correlation of Criterion (Y) with "
              "Predictor (X) 1 must lie between -1 and 1.");
    EXPECT_EQ(Refusal("10\n50 20\n10 5\n1 -1.5\n-1.5 1\n"),
              "Line 4 of the summary file, entry 2: the correlation of Criterion (Y) with "
              "Predictor (X) 1 must lie between -1 and 1.");
    EXPECT_EQ(Refusal("10\n50 20\n10 5\n1.000005 0.5\n0.5 1\n"),
              "Line 4 of the summary file, entry 1: the correlation of Criterion (Y) with "
              "itself must be 1.");
    EXPECT_EQ(Refusal("10\n50 20\n10 5\n1 0.5\n0.5 0.99\n"),
              "Line 5 of the summary file, entry 2: the correlation of Predictor (X) 1 with "
              "itself must be 1.");
    EXPECT_EQ(Refusal("10\n50 20\n10 5\n1 0.5\n0.4 1\n"),
              "Lines 4 and 5 of the summary file: the correlation of Criterion (Y) with "
              "Predictor (X) 1 is 0.5 in one and 0.4 in the other, but the matrix must be "
              "symmetric.");
    EXPECT_EQ(Refusal("10\n50 20\n10 5\n1 0.5\n0.500005 1\n"),
              "Lines 4 and 5 of the summary file: the correlation of Criterion (Y) with "
              "Predictor (X) 1 is 0.5 in one and 0.500005 in the other, but the matrix must be "
              "symmetric.");
}

TEST(Summary_file, CaseRowsNameTheirLinesAlikeFromBytesAStreamOrAFile) {
    const std::string text = Worked + "41 x\n";
    const std::string path = testing::TempDir() + "summary_lines.txt";
    {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        ASSERT_TRUE(file);
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
    }
    std::FILE* stream = std::fopen(path.c_str(), "rb");
    ASSERT_TRUE(stream);
    tSummary_reader from_bytes(std::string_view(text), 1);
    tSummary_reader from_stream(stream, 1);
    tSummary_reader from_file(path, 1);
    for (tSummary_reader* reader : {&from_bytes, &from_stream, &from_file}) {
        tCase_row row;
        ASSERT_TRUE(reader->Cases().Next(row));
        EXPECT_EQ(row.Line, 6);
        ASSERT_TRUE(reader->Cases().Next(row));
        EXPECT_EQ(row.Error, "Invalid numeric input 'x' on line 7");
    }
    std::fclose(stream);
    std::remove(path.c_str());
}

TEST(Summary_file, TheSampleSizeIsAWholeNumberFromKPlusTwoToAMillion) {
    const std::string rest = "\n50 20 20\n10 5 5\n1 0.5 0.5\n0.5 1 0.5\n0.5 0.5 1\n";
    EXPECT_EQ(Refusal("4" + rest, 2), "accepted");
    EXPECT_EQ(Refusal("1000000" + rest, 2), "accepted");
    EXPECT_EQ(Refusal("3" + rest, 2), "Line 1 of the summary file: the sample size n must be a "
                                      "whole number from k + 2 = 4 to 1000000, not 3.");
    EXPECT_EQ(Refusal("1000001" + rest, 2), "Line 1 of the summary file: the sample size n must "
                                            "be a whole number from k + 2 = 4 to 1000000, not "
                                            "1000001.");
    EXPECT_EQ(Refusal("30.5" + rest, 2), "Line 1 of the summary file: the sample size n must be "
                                         "a whole number from k + 2 = 4 to 1000000, not 30.5.");
}
