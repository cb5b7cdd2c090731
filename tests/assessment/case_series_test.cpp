// The pieces of a series run: CSV fields, the progress line and one case's
// output, without running the tool.

#include "assessment/case_series.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

// The worked example's controls: criterion mean 50, SD 10; predictor mean 20,
// SD 5; correlation 0.5.
tControl_analysis Worked_controls(tLimits limits) {
    auto data = std::make_unique<tData_matrix>();
    Read_data_bytes(
        "68 29\n44 29\n68 21.5\n45 19\n52 18\n46 17.5\n42 17\n49 16.5\n41 16.5\n45 16\n", 10, 2,
        *data);
    return Analyse_controls(std::move(data), 1, 10, limits);
}

tCase_row Row(Extended y, Extended x) {
    tCase_row row;
    row.Line = 11;
    row.Scores[1] = y;
    row.Scores[2] = x;
    return row;
}

} // namespace

TEST(CaseSeries, CsvFieldsAreQuotedOnlyWhenTheyNeedIt) {
    EXPECT_EQ(Csv_field(""), "");
    EXPECT_EQ(Csv_field("Line 4: too extreme (check it)"), "Line 4: too extreme (check it)");
    EXPECT_EQ(Csv_field("a, b"), "\"a, b\"");
    EXPECT_EQ(Csv_field("say \"x\""), "\"say \"\"x\"\"\"");
    EXPECT_EQ(Csv_field("two\nlines"), "\"two\nlines\"");
    EXPECT_EQ(Csv_field("cr\r"), "\"cr\r\"");
}

TEST(CaseSeries, ProgressGivesTheRateAndTheTimeLeftOnlyWhenTheTotalIsKnown) {
    EXPECT_EQ(Progress_text(1200, 0, 25), "1200 case(s) done, 48.0 a second");
    EXPECT_EQ(Progress_text(1200, 7200, 25),
              "1200 case(s) done, 48.0 a second, about 2 min 05 s left");
    EXPECT_EQ(Progress_text(10, 100000, 2), "10 case(s) done, 5.0 a second, about 5 h 33 min left");
    EXPECT_EQ(Progress_text(7200, 7200, 25), "7200 case(s) done, 288.0 a second");
    EXPECT_EQ(Progress_text(0, 50, 1.5), "0 case(s) done, 0.0 a second");
}

TEST(CaseSeries, OneSidedCsvLinesLeaveTheLimitNotShownEmpty) {
    tSeries_settings settings;
    settings.Format = tSeries_format::Csv;
    const std::string lower =
        Run_case(Worked_controls(tLimits::Lower), 1, Row(40, 30), settings).Text;
    const std::string upper =
        Run_case(Worked_controls(tLimits::Upper), 1, Row(40, 30), settings).Text;
    // ...,pct_more_extreme,pct_lower,pct_upper,zop,zop_lower,zop_upper,error
    EXPECT_NE(lower.find(",5.66670111201844628468,0.0145"), std::string::npos) << lower;
    EXPECT_NE(lower.find(",,-2.30940107675850305781,-3.62"), std::string::npos) << lower;
    EXPECT_EQ(lower.substr(lower.size() - 3), ",,\n") << lower;
    EXPECT_NE(upper.find(",5.66670111201844628468,,26.58"), std::string::npos) << upper;
    EXPECT_NE(upper.find(",-2.30940107675850305781,,-0.62"), std::string::npos) << upper;
    EXPECT_EQ(upper.substr(upper.size() - 2), ",\n") << upper;
}

TEST(CaseSeries, ARefusedCaseKeepsItsPlaceInEveryFormat) {
    const tControl_analysis controls = Worked_controls(tLimits::Two_sided);
    tCase_row row = Row(50000, 20);
    row.Line = 14;
    const std::string message =
        "Line 14: The case's discrepancy is too extreme: the confidence limits cannot be "
        "computed (check the case's scores for entry errors)";
    tSeries_settings settings;
    tCase_outcome outcome = Run_case(controls, 3, row, settings);
    EXPECT_EQ(outcome.Error, message);
    EXPECT_EQ(outcome.Text,
              std::string(102, '_') + "\n\n Case 3 was not analysed: " + message + "\n\n");
    settings.Format = tSeries_format::Csv;
    EXPECT_EQ(Run_case(controls, 3, row, settings).Text, "3,,,,,,,,,,,,,,," + message + "\n");
    // A row the reader refused: its message gets the window's full stop.
    row.Error = "Invalid numeric input 'x' on line 14";
    outcome = Run_case(controls, 1, row, settings);
    EXPECT_EQ(outcome.Error, "Invalid numeric input 'x' on line 14.");
    EXPECT_EQ(outcome.Text, "1,,,,,,,,,,,,,,,Invalid numeric input 'x' on line 14.\n");
}

