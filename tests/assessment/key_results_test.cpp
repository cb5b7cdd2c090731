#include "assessment/key_results.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "assessment/request.h"

namespace {

const std::string Data = PAVONA_TEST_DATA;

// The blank-separated words of the report's case results, bare of the
// brackets, "=" and "%" around the numbers.
std::set<std::string> Case_result_words(const std::vector<std::string>& report) {
    std::set<std::string> words;
    bool in_case_results = false;
    for (const std::string& line : report) {
        if (line.find("RESULTS FROM ANALYSIS OF THE INDIVIDUAL CASE") != std::string::npos)
            in_case_results = true;
        if (!in_case_results) continue;
        std::istringstream stream(line);
        std::string word;
        while (stream >> word) {
            while (!word.empty() && (word.back() == '%' || word.back() == ')'))
                word.pop_back();
            if (!word.empty() && word.front() == '(') word.erase(0, 1);
            words.insert(word);
        }
    }
    return words;
}

struct tRun {
    const char* File;
    const char* K;
    const char* N;
    tLimits Limits;
    const char* Direction; // a word of the sentence
};

// Each number of the key results, and each rounded figure of the series
// table, is a word of the report: the same figure at the same rounding.
TEST(KeyResults, EveryFigureIsPrintedSoInTheReport) {
    const tRun runs[] = {
        {"worked_example.txt", "1", "10", tLimits::Two_sided, "below"},
        {"worked_example.txt", "1", "10", tLimits::Lower, "below"},
        {"worked_example.txt", "1", "10", tLimits::Upper, "below"},
        {"five_predictors.txt", "5", "12", tLimits::Two_sided, nullptr},
    };
    const std::regex number(R"(-?\d+(\.\d+)?)");
    for (const tRun& run : runs) {
        tRequest request;
        request.Predictors = run.K;
        request.Sample_size = run.N;
        request.Limits = run.Limits;
        const tOutcome outcome = Run_request(request, tData_source::File(Data + "/" + run.File));
        ASSERT_TRUE(outcome.Done) << outcome.Message;
        const std::set<std::string> words = Case_result_words(outcome.Report);
        const tKey_results key = Key_results(*outcome.Analysis, *outcome.Analysis);
        ASSERT_EQ(key.Figures.size(), 7u);
        for (const tKey_figure& figure : key.Figures) {
            // "95% CI" and "95% lower limit" carry a 95 of their own.
            const std::string value = std::regex_replace(figure.Value, std::regex("95% "), "");
            for (auto it = std::sregex_iterator(value.begin(), value.end(), number);
                 it != std::sregex_iterator(); ++it)
                EXPECT_TRUE(words.count(it->str()))
                    << run.File << ": " << figure.Label << " " << it->str();
        }
        const std::vector<std::string> rounded =
            Rounded_case_figures(*outcome.Analysis, run.Limits);
        ASSERT_EQ(rounded.size(), 14u);
        for (const std::string& figure : rounded) {
            if (!figure.empty()) {
                EXPECT_TRUE(words.count(figure)) << run.File << " " << figure;
            }
        }
        // The limit a one-sided choice does not show stays empty, as in the CSV.
        EXPECT_EQ(rounded[9].empty(), run.Limits == tLimits::Upper);
        EXPECT_EQ(rounded[10].empty(), run.Limits == tLimits::Lower);
        const Extended discrepancy = outcome.Analysis->Case.Case_Y - outcome.Analysis->Predicted;
        const char* side = discrepancy < 0 ? "below" : "above";
        if (run.Direction) {
            EXPECT_STREQ(side, run.Direction);
        }
        EXPECT_NE(key.Direction.find(side), std::string::npos) << key.Direction;
    }
}

} // namespace
