// JSON texts: every document the tools print must be valid JSON, whatever
// bytes a file's name or the notes hold.

#include "assessment/json_report.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/json_checker.h"

namespace {

const std::string Fffd = "\xEF\xBF\xBD"; // U+FFFD in UTF-8

} // namespace

TEST(JsonReport, ValidUtf8PassesAndEachInvalidByteBecomesTheReplacementCharacter) {
    const struct {
        const char* What;
        std::string Text;
        std::string Quoted;
    } cases[] = {
        {"ASCII with DEL", "data 1.txt\x7F", "\"data 1.txt\x7F\""},
        {"quote, backslash", "a\"b\\c", "\"a\\\"b\\\\c\""},
        {"controls", "\x01\t\n\x1F", "\"\\u0001\\u0009\\u000a\\u001f\""},
        {"two-byte", "caf\xC3\xA9", "\"caf\xC3\xA9\""},
        {"three-byte edges", "\xE0\xA0\x80\xED\x9F\xBF\xEE\x80\x80\xEF\xBF\xBF",
         "\"\xE0\xA0\x80\xED\x9F\xBF\xEE\x80\x80\xEF\xBF\xBF\""},
        {"four-byte edges", "\xF0\x90\x80\x80\xF4\x8F\xBF\xBF",
         "\"\xF0\x90\x80\x80\xF4\x8F\xBF\xBF\""},
        {"Latin-1", "caf\xE9.txt", "\"caf" + Fffd + ".txt\""},
        {"Latin-1 before a quote", "\xE9\"", "\"" + Fffd + "\\\"\""},
        {"stray continuation", "\x80\xBF", "\"" + Fffd + Fffd + "\""},
        {"overlong two-byte", "\xC0\xAF\xC1\xBF", "\"" + Fffd + Fffd + Fffd + Fffd + "\""},
        {"overlong three-byte", "\xE0\x9F\xBF", "\"" + Fffd + Fffd + Fffd + "\""},
        {"surrogate", "\xED\xA0\x80", "\"" + Fffd + Fffd + Fffd + "\""},
        {"overlong four-byte", "\xF0\x8F\xBF\xBF", "\"" + Fffd + Fffd + Fffd + Fffd + "\""},
        {"past U+10FFFF", "\xF4\x90\x80\x80", "\"" + Fffd + Fffd + Fffd + Fffd + "\""},
        {"bytes no character starts with", "\xF5\xFE\xFF", "\"" + Fffd + Fffd + Fffd + "\""},
        {"cut short by a letter",
         "\xE2\x82"
         "A",
         "\"" + Fffd + Fffd + "A\""},
        {"cut short by the end", "x\xF0\x9F\x98", "\"x" + Fffd + Fffd + Fffd + "\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        const std::string quoted = Json_string(c.Text);
        EXPECT_EQ(quoted, c.Quoted);
        EXPECT_EQ(test_json::Json_problem(quoted), "");
    }
}

TEST(JsonReport, ALatin1FileNameAndNotesGiveValidDocuments) {
    const tJson_origin origin{"/home/ann/caf\xE9.txt", {"Patient \xE9l\xE8ve", "\xFF"}};
    tAnalysis analysis;
    analysis.K = 1;
    analysis.N = 3;
    analysis.NVars = 2;
    const std::string report = Json_report(analysis, origin);
    EXPECT_EQ(test_json::Json_problem(report), "") << report;
    EXPECT_NE(report.find("\"data_file\": \"/home/ann/caf" + Fffd + ".txt\""), std::string::npos);
    const std::string series = Json_series_head(analysis, origin) +
                               Json_series_case(1, nullptr, 2, "Invalid numeric input") +
                               Json_series_tail(1);
    EXPECT_EQ(test_json::Json_problem(series), "") << series;
}
