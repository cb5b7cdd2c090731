#include "assessment/summary_form.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using tKind = tSummary_cell::tKind;

// The worked example's statistics with one predictor, every cell readable.
tSummary_cells Good_cells() {
    tSummary_cells cells;
    cells.N = "10";
    cells.Means = {"50", "20"};
    cells.SDs = {"10", "5"};
    cells.Case_scores = {"40", "30"};
    cells.Correlations = {{}, {"0.5"}};
    return cells;
}

TEST(SummaryForm, EachRefusalNamesItsCellInTheFormsWords) {
    struct tCase {
        const char* Name;
        void (*Change)(tSummary_cells&);
        tKind Kind;
        int Variable;
        int Other;
        std::string Message;
    };
    const tCase cases[] = {
        {"n a word", [](tSummary_cells& c) { c.N = "abc"; }, tKind::N, 0, 0,
         "n must be a number, not 'abc'."},
        {"n below k + 2", [](tSummary_cells& c) { c.N = "2"; }, tKind::N, 0, 0,
         "n must be a whole number from k + 2 = 3 to 1000000, not 2."},
        {"n not whole", [](tSummary_cells& c) { c.N = "10.5"; }, tKind::N, 0, 0,
         "n must be a whole number from k + 2 = 3 to 1000000, not 10.5."},
        {"mean empty", [](tSummary_cells& c) { c.Means[1] = " "; }, tKind::Mean, 2, 0,
         "The mean of Predictor (X) 1 is missing: type it."},
        {"two numbers in a cell", [](tSummary_cells& c) { c.Means[0] = "50 51"; }, tKind::Mean, 1,
         0, "The mean of Criterion (Y) must be one number, not '50 51'."},
        {"SD zero", [](tSummary_cells& c) { c.SDs[1] = "0"; }, tKind::SD, 2, 0,
         "The standard deviation of Predictor (X) 1 must be greater than 0."},
        {"case score empty", [](tSummary_cells& c) { c.Case_scores[1] = ""; }, tKind::Case_score, 2,
         0, "The case's score on Predictor (X) 1 is missing: type it."},
        {"decimal comma", [](tSummary_cells& c) { c.Correlations[1][0] = "0,6"; },
         tKind::Correlation, 2, 1,
         "The correlation between Criterion (Y) and Predictor (X) 1 must be a number, not '0,6'. "
         "A comma is not a decimal point: write the number with a decimal point."},
        {"correlation just above 1", [](tSummary_cells& c) { c.Correlations[1][0] = "1.01"; },
         tKind::Correlation, 2, 1,
         "The correlation between Criterion (Y) and Predictor (X) 1 must lie between -1 and 1, "
         "not 1.01."},
        {"a word is not a title row", [](tSummary_cells& c) { c.Means[0] = "Mean"; }, tKind::Mean,
         1, 0, "The mean of Criterion (Y) must be a number, not 'Mean'."},
    };
    for (const tCase& c : cases) {
        tSummary_cells cells = Good_cells();
        c.Change(cells);
        const auto refusal = Check_summary_cells(cells, 1);
        ASSERT_TRUE(refusal) << c.Name;
        EXPECT_EQ(refusal->Cell.Kind, c.Kind) << c.Name;
        EXPECT_EQ(refusal->Cell.Variable, c.Variable) << c.Name;
        EXPECT_EQ(refusal->Cell.Other, c.Other) << c.Name;
        EXPECT_EQ(refusal->Message, c.Message) << c.Name;
    }
}

TEST(SummaryForm, ReadableCellsPassAndTheFirstRefusalInTheFormsOrderSpeaks) {
    EXPECT_FALSE(Check_summary_cells(Good_cells(), 1));
    // The SD of the criterion comes before the correlation in the form.
    tSummary_cells cells = Good_cells();
    cells.SDs[0] = "-1";
    cells.Correlations[1][0] = "2";
    const auto refusal = Check_summary_cells(cells, 1);
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->Cell.Kind, tKind::SD);
}

} // namespace
