#include "assessment/analysis.h"

#include <gtest/gtest.h>

#include <boost/math/special_functions/erf.hpp>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <limits>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "assessment/data_file_reader.h"
#include "assessment/json_report.h"
#include "assessment/summary_file_reader.h"
#include "distributions/text_format.h"
#include "inference/case_inference.h"

namespace {

std::unique_ptr<const tData_matrix> Data_of(const std::string& text, int rows, int cols) {
    auto data = std::make_unique<tData_matrix>();
    Read_data_bytes(text, rows, cols, *data);
    return data;
}

// Controls with criterion mean 50 and SD 10, predictor mean 20 and SD 5,
// correlation 0.5; the case scores 40 with a predictor score of 30.
const std::string Worked_example = "68 29\n44 29\n68 21.5\n45 19\n52 18\n46 17.5\n42 17\n"
                                   "49 16.5\n41 16.5\n45 16\n40 30\n";

std::string Refusal(const std::string& text, int k, int n, EAnalysis_refused::tReason reason) {
    try {
        Run_analysis(Data_of(text, n + 1, k + 1), k, n, tLimits::Two_sided, {});
    } catch (const EAnalysis_refused& error) {
        EXPECT_EQ(error.Reason(), reason);
        return error.what();
    }
    ADD_FAILURE() << "the analysis was not refused";
    return {};
}

} // namespace

TEST(Labels, PadRightFillsToTheLengthAndLeavesLongerTextsAlone) {
    EXPECT_EQ(PadRight("Criterion (Y)", 16), "Criterion (Y)   ");
    EXPECT_EQ(PadRight("Predictor (X) 1", 16), "Predictor (X) 1 ");
    EXPECT_EQ(PadRight("", 3), "   ");
    EXPECT_EQ(PadRight("exactly", 7), "exactly");
    EXPECT_EQ(PadRight("longer than that", 4), "longer than that");
    EXPECT_EQ(Variable_label(1), "Criterion (Y)");
    EXPECT_EQ(Variable_label(6), "Predictor (X) 5");
}

TEST(RunAnalysis, TheWorkedExampleGivesThePublishedFigures) {
    const tAnalysis a = Run_analysis(Data_of(Worked_example, 11, 2), 1, 10, tLimits::Two_sided, {});
    EXPECT_NEAR(a.Means[1], 50, 1e-15);
    EXPECT_NEAR(a.SDs[2], 5, 1e-15);
    EXPECT_NEAR(a.Corr(1, 2), 0.5, 1e-15);
    EXPECT_EQ(a.Case_scores[1], 40);
    EXPECT_EQ(a.Case_scores[2], 30);
    EXPECT_EQ(a.Labels[1], "Criterion (Y)   ");
    EXPECT_EQ(a.Labels[2], "Predictor (X) 1 ");
    EXPECT_NEAR(a.Regression.Intercept, 30, 1e-12);
    EXPECT_NEAR(a.Regression.SEE, std::sqrt(84.375L), 1e-12);
    EXPECT_NEAR(a.Predicted, 60, 1e-12);
    EXPECT_NEAR(a.SE_additional, 11.25, 1e-12);
    EXPECT_NEAR(a.Results.T_value, -1.7778, 5e-5);
    EXPECT_NEAR(a.Results.Pct_lower, 0.0044, 5e-5);
    EXPECT_NEAR(a.Results.Pct_upper, 36.3977, 5e-5);
    EXPECT_NEAR(a.Results.ZOP_lower, -3.9205, 5e-5);
    // The case record carries the predictors packed to the front.
    EXPECT_EQ(a.Case.K, 1);
    EXPECT_EQ(a.Case.N, 10);
    EXPECT_EQ(a.Case.Case_Y, 40);
    EXPECT_EQ(a.Case.Case_X[1], 30);
    EXPECT_NEAR(a.Case.Mean_X[1], 20, 1e-15);
    EXPECT_EQ(a.Case.Mean_X[2], 0);
}

TEST(RunAnalysis, OneSidedLowerAndUpperComputeTheSameFigures) {
    const tAnalysis lower = Run_analysis(Data_of(Worked_example, 11, 2), 1, 10, tLimits::Lower, {});
    const tAnalysis upper = Run_analysis(Data_of(Worked_example, 11, 2), 1, 10, tLimits::Upper, {});
    EXPECT_EQ(lower.Results.Pct_lower, upper.Results.Pct_lower);
    EXPECT_EQ(lower.Results.ZOP_upper, upper.Results.ZOP_upper);
    EXPECT_NEAR(lower.Results.Pct_lower, 0.0145, 5e-5);
    EXPECT_NEAR(upper.Results.Pct_upper, 26.5827, 5e-5);
}

TEST(RunAnalysis, ALinearlyDependentPredictorIsRefusedAsNotPositiveDefinite) {
    EXPECT_EQ(Refusal("10 1 2\n12 2 4\n15 3 6\n11 4 8\n14 5 10\n13 6 12\n20 3 6\n", 2, 6,
                      EAnalysis_refused::tReason::Not_positive_definite),
              Not_positive_definite_message);
}

TEST(RunAnalysis, AVariableWithoutVarianceIsNamedByItsLabel) {
    EXPECT_EQ(Refusal("10 5\n12 5\n15 5\n11 5\n14 5\n13 5\n", 1, 5,
                      EAnalysis_refused::tReason::Zero_variance),
              "Analysis cannot proceed as every control has the same score on Predictor (X) 1 "
              "(a standard deviation of zero): check for errors in entry of the control sample "
              "data");
    EXPECT_EQ(Refusal("7 1 5\n7 2 3\n7 3 9\n7 4 1\n7 9 9\n", 2, 4,
                      EAnalysis_refused::tReason::Zero_variance),
              "Analysis cannot proceed as every control has the same score on Criterion (Y) "
              "(a standard deviation of zero): check for errors in entry of the control sample "
              "data");
}

TEST(RunAnalysis, AWildCaseScoreIsRefusedAsTooExtreme) {
    const std::string message = Refusal("50 20\n60 25\n40 15\n55 22\n45 18\n50000 20\n", 1, 5,
                                        EAnalysis_refused::tReason::Too_extreme);
    EXPECT_EQ(message.rfind("The case's discrepancy is too extreme", 0), 0u) << message;
}

namespace {

// Twelve controls on two correlated predictors, so that the inverse's
// off-diagonal terms count, and cases around and far from their predictions.
std::string Two_predictor_controls() {
    std::string text;
    for (int i = 1; i <= 12; ++i)
        text += std::to_string(40 + (i * 7) % 17 + i) + " " + std::to_string(10 + (i * 7) % 11) +
                " " + std::to_string(20 + (i * 5) % 13 + i / 2) + "\n";
    return text;
}

const std::vector<std::string> Case_rows = {"50 12 25",      "80 20 30", "30 5 18",
                                            "61.25 14.5 27", "45 30 10", "70 9 33"};

void Expect_same_case_figures(const tCase_analysis& a, const tCase_analysis& b) {
    EXPECT_EQ(a.Predicted, b.Predicted);
    EXPECT_EQ(a.SE_additional, b.SE_additional);
    const Extended tCase_results::*const fields[] = {
        &tCase_results::T_value,          &tCase_results::DF,
        &tCase_results::P_one_tailed,     &tCase_results::P_two_tailed,
        &tCase_results::Pct_more_extreme, &tCase_results::Pct_lower,
        &tCase_results::Pct_upper,        &tCase_results::ZOP,
        &tCase_results::ZOP_lower,        &tCase_results::ZOP_upper};
    for (const auto field : fields)
        EXPECT_EQ(a.Results.*field, b.Results.*field);
}

} // namespace

TEST(AnalysisParts, OneControlAnalysisServesEveryCaseAsItsOwnRunWouldToTheLastBit) {
    const tControl_analysis controls =
        Analyse_controls(Data_of(Two_predictor_controls(), 12, 3), 2, 12, tLimits::Two_sided);
    for (const std::string& row : Case_rows) {
        SCOPED_TRACE(row);
        const tAnalysis whole = Run_analysis(Data_of(Two_predictor_controls() + row + "\n", 13, 3),
                                             2, 12, tLimits::Two_sided, {});
        const tCase_analysis part = Analyse_case(controls, whole.Case_scores, {});
        Expect_same_case_figures(part, whole);
        EXPECT_EQ(controls.Regression.SEE, whole.Regression.SEE);

        // The inference that inverts R_xx itself gives the same bits.
        tCase_analysis inverted;
        Infer_case(whole.Case, true, inverted.Results, 95, inverted.Predicted,
                   inverted.SE_additional, {});
        Expect_same_case_figures(inverted, whole);
    }
}

namespace {

// Each committed data file the raw analysis accepts, with its k, n and limits.
struct tData_file {
    std::string Path;
    int K;
    int N;
    tLimits Limits;
};

std::vector<tData_file> Accepted_data_files() {
    const std::string data = PAVONA_TEST_DATA;
    std::vector<tData_file> files = {{data + "/worked_example.txt", 1, 10, tLimits::Two_sided},
                                     {data + "/worked_example_crlf_bom.txt", 1, 10, tLimits::Lower},
                                     {data + "/five_predictors.txt", 5, 12, tLimits::Upper}};
    for (const char* name :
         {"three_predictors.txt", "offset_1e15.txt", "scaled_1e15.txt", "scaled_1e-15.txt"})
        files.push_back({data + "/hostile/" + name, 3, 30, tLimits::Two_sided});
    for (const char* name : {"minus_zero.txt", "number_forms_plain.txt"})
        files.push_back({data + "/hostile/" + name, 2, 6, tLimits::Two_sided});
    files.push_back({data + "/hostile/n499_k5.txt", 5, 499, tLimits::Upper});
    return files;
}

void Expect_close(Extended summary, Extended raw, const char* what) {
    EXPECT_LE(std::fabs(summary - raw), 1e-9L * std::max(Extended(1e-12), std::fabs(raw))) << what;
}

} // namespace

TEST(SummaryAnalysis, TheSummaryOfEachDataFileGivesTheFiguresOfItsRawRun) {
    for (const tData_file& file : Accepted_data_files()) {
        SCOPED_TRACE(file.Path);
        auto data = std::make_unique<tData_matrix>();
        Read_data_file(file.Path, file.N + 1, file.K + 1, *data);
        const tAnalysis raw = Run_analysis(std::move(data), file.K, file.N, file.Limits, {});

        // The statistics as a manual would print them, to every digit.
        std::string text = std::to_string(file.N) + "\n";
        const auto line = [&](const auto& entry) {
            for (int i = 1; i <= raw.NVars; ++i)
                text += Format_text("%.21Lg ", static_cast<Extended>(entry(i)));
            text += "\n";
        };
        line([&](int i) { return raw.Means[i]; });
        line([&](int i) { return raw.SDs[i]; });
        for (int r = 1; r <= raw.NVars; ++r)
            line([&](int i) { return raw.Corr(r, i); });
        line([&](int i) { return raw.Case_scores[i]; });

        tSummary_reader reader{std::string_view(text), file.K};
        const tControl_analysis controls = Analyse_summary(reader.Summary(), file.Limits);
        EXPECT_FALSE(controls.Data);
        tCase_row row;
        ASSERT_TRUE(reader.Cases().Next(row));
        const tCase_analysis c = Analyse_case(controls, row.Scores, {});

        const tRegression_results& a = controls.Regression;
        const tRegression_results& b = raw.Regression;
        for (int i = 1; i <= file.K; ++i) {
            Expect_close(a.Coef[i], b.Coef[i], "Coef");
            Expect_close(a.Beta[i], b.Beta[i], "Beta");
            Expect_close(controls.Squared_semi_partials[i], raw.Squared_semi_partials[i], "semi");
        }
        Expect_close(a.Intercept, b.Intercept, "Intercept");
        Expect_close(a.R_squared, b.R_squared, "R_squared");
        Expect_close(a.F_prob, b.F_prob, "F_prob");
        Expect_close(a.SEE, b.SEE, "SEE");
        Expect_close(c.Predicted, raw.Predicted, "Predicted");
        Expect_close(c.SE_additional, raw.SE_additional, "SE_additional");
        const tCase_results& p = c.Results;
        const tCase_results& q = raw.Results;
        Expect_close(p.T_value, q.T_value, "T_value");
        Expect_close(p.P_one_tailed, q.P_one_tailed, "P_one_tailed");
        Expect_close(p.Pct_lower, q.Pct_lower, "Pct_lower");
        Expect_close(p.Pct_upper, q.Pct_upper, "Pct_upper");
        Expect_close(p.ZOP, q.ZOP, "ZOP");
        Expect_close(p.ZOP_lower, q.ZOP_lower, "ZOP_lower");
        Expect_close(p.ZOP_upper, q.ZOP_upper, "ZOP_upper");
    }
}

TEST(SummaryAnalysis, ANotPositiveDefiniteMatrixIsRefusedWithTheUsualMessage) {
    const std::string text = "30\n1 2 3\n1 1 1\n1 0.9 0.9\n0.9 1 1\n0.9 1 1\n";
    tSummary_reader reader{std::string_view(text), 2};
    try {
        Analyse_summary(reader.Summary(), tLimits::Two_sided);
        FAIL() << "a singular matrix was accepted";
    } catch (const EAnalysis_refused& error) {
        EXPECT_EQ(error.Reason(), EAnalysis_refused::tReason::Not_positive_definite);
        EXPECT_STREQ(error.what(), Not_positive_definite_message);
    }
}

TEST(SummaryAnalysis, PublishedSamplesAbove499UpToAMillionAreAnalysed) {
    for (const char* n : {"500", "1000000"}) {
        const std::string text = std::string(n) + "\n50 20\n10 5\n1 0.5\n0.5 1\n";
        tSummary_reader reader{std::string_view(text), 1};
        EXPECT_EQ(Analyse_summary(reader.Summary(), tLimits::Two_sided).N, std::stoi(n));
    }
}

// The same far-off case row is analysed at every sample size around 502 (df
// 500 with one predictor): its limits move a little with n, and none is
// refused where its neighbour is answered.
TEST(SummaryAnalysis, AFarCaseIsAnalysedAtEverySampleSizeAround502) {
    Extended previous_lower = 0;
    for (const int n : {500, 501, 502, 503, 504}) {
        SCOPED_TRACE(n);
        const std::string text = std::to_string(n) + "\n50 20\n10 5\n1 0.5\n0.5 1\n13050 20\n";
        tSummary_reader reader{std::string_view(text), 1};
        const tControl_analysis controls = Analyse_summary(reader.Summary(), tLimits::Two_sided);
        tCase_row row;
        ASSERT_TRUE(reader.Cases().Next(row));
        tCase_analysis c;
        ASSERT_NO_THROW(c = Analyse_case(controls, row.Scores, {}));
        EXPECT_LT(c.Results.ZOP_lower, c.Results.ZOP);
        EXPECT_LT(c.Results.ZOP, c.Results.ZOP_upper);
        if (previous_lower != 0) {
            EXPECT_NEAR(c.Results.ZOP_lower, previous_lower, 1.0L);
        }
        previous_lower = c.Results.ZOP_lower;
    }
}

// Analyses from the summary statistics of samples of 20000 to a million, cases
// from 8 residual SDs below their prediction to 6 above, through the reader
// and the analysis that --summary uses, against 40-digit figures (the
// generator and the samples are named in the table's header).
TEST(LargeSamples, SummaryAnalysesAgreeWithTheFortyDigitReference) {
    std::ifstream table(PAVONA_TEST_DATA "/large_sample_reference.tsv");
    ASSERT_TRUE(table.is_open());
    struct tRow {
        std::string Case_line;
        long double Zop_lower, Zop_upper, Pct_more, Pct_lower, Pct_upper;
    };
    std::map<int, std::vector<tRow>> by_n;
    for (std::string line; std::getline(table, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        int n;
        std::string y, x;
        tRow row;
        ASSERT_TRUE(fields >> n >> y >> x >> row.Zop_lower >> row.Zop_upper >> row.Pct_more >>
                    row.Pct_lower >> row.Pct_upper)
            << line;
        row.Case_line = y + " " + x + "\n";
        by_n[n].push_back(row);
    }
    ASSERT_EQ(by_n.size(), 3u);
    // Percentages within 1e-3 relative, or 1e-13 absolute in percent; the
    // estimate, a t tail in closed form, within 1e-9 relative.
    const auto expect_percentage = [](Extended actual, long double expected,
                                      long double relative = 1e-3L) {
        EXPECT_LE(std::fabs(actual - expected), std::max(relative * expected, 1e-13L))
            << static_cast<double>(actual) << " vs " << static_cast<double>(expected);
    };
    for (const auto& [n, rows] : by_n) {
        std::string text = std::to_string(n) + "\n25 60\n5 12\n1 0.6\n0.6 1\n";
        for (const tRow& row : rows)
            text += row.Case_line;
        tSummary_reader reader(std::string_view(text), 1);
        const tControl_analysis controls = Analyse_summary(reader.Summary(), tLimits::Two_sided);
        tCase_row case_row;
        for (const tRow& row : rows) {
            ASSERT_TRUE(reader.Cases().Next(case_row));
            SCOPED_TRACE(std::to_string(n) + ": " + row.Case_line);
            tCase_analysis c;
            ASSERT_NO_THROW(c = Analyse_case(controls, case_row.Scores, {}));
            const tCase_results& r = c.Results;
            EXPECT_NEAR(r.ZOP_lower, row.Zop_lower, 1e-5L);
            EXPECT_NEAR(r.ZOP_upper, row.Zop_upper, 1e-5L);
            expect_percentage(r.Pct_more_extreme, row.Pct_more, 1e-9L);
            expect_percentage(r.Pct_lower, row.Pct_lower);
            expect_percentage(r.Pct_upper, row.Pct_upper);
        }
    }
}

// Far in the tail the percentages once met a floor near 5e-8 %, and the lower
// limit came out above the upper one. The limits are the normal tail beyond
// the Z-OP limits, to its relative accuracy; they keep their order in the
// figures the JSON and CSV reports write (21 significant digits), and the
// lower one is 0 only below the smallest double (Z-OP limits past 38.5).
// The estimate lies between them only for (100, 30): it is Student's t
// tail with 8 df, far heavier than the normal one, so for the cases further
// out it lies above the upper limit (7.8e-8 % against 6.6e-81 % at (400, 30)).
TEST(LargeSamples, ThePercentageLimitsAreTheNormalTailBeyondTheZopLimits) {
    const std::string controls = "68 29\n44 29\n68 21.5\n45 19\n52 18\n46 17.5\n42 17\n"
                                 "49 16.5\n41 16.5\n45 16\n";
    const auto percent_below = [](Extended z) {
        return 50 * boost::math::erfc(-z / std::sqrt(2.0L));
    };
    const auto written = [](Extended value) { return std::stold(Json_number(value)); };
    for (const char* case_line : {"100 30\n", "400 30\n", "1000 30\n", "2000 30\n", "-100 30\n"}) {
        SCOPED_TRACE(case_line);
        const tAnalysis a =
            Run_analysis(Data_of(controls + case_line, 11, 2), 1, 10, tLimits::Two_sided, {});
        const tCase_results& r = a.Results;
        const bool above = r.ZOP > 0;
        const Extended lower = percent_below(above ? -r.ZOP_upper : r.ZOP_lower);
        const Extended upper = percent_below(above ? -r.ZOP_lower : r.ZOP_upper);
        // The Z-OP limits come from searches of their own, 1e-6 wide on the
        // non-centrality scale; the tail's relative slope is |z|.
        for (const auto& [actual, expected] :
             {std::pair{r.Pct_lower, lower}, {r.Pct_upper, upper}}) {
            if (expected < std::numeric_limits<double>::denorm_min())
                EXPECT_EQ(actual, 0);
            else
                EXPECT_NEAR(actual / expected, 1, 1e-3L);
        }
        EXPECT_LE(written(r.Pct_lower), written(r.Pct_upper));
    }
    const tAnalysis near =
        Run_analysis(Data_of(controls + "100 30\n", 11, 2), 1, 10, tLimits::Two_sided, {});
    EXPECT_LT(written(near.Results.Pct_lower), written(near.Results.Pct_more_extreme));
    EXPECT_LT(written(near.Results.Pct_more_extreme), written(near.Results.Pct_upper));
}
