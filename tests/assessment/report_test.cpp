#include "assessment/report.h"
#include "inference/regression_equation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <memory>
#include <string>
#include <vector>

#include "assessment/program_texts.h"

namespace {

// A hand-filled analysis with k predictors and n = 3 controls, so that the
// report's layout is pinned independently of the numeric code.
tAnalysis Sample_analysis(int k, tLimits limits) {
    tAnalysis a;
    a.K = k;
    a.N = 3;
    a.NVars = k + 1;
    a.Limits = limits;
    auto data = std::make_unique<tData_matrix>();
    for (int r = 1; r <= 4; ++r)
        for (int j = 1; j <= a.NVars; ++j)
            (*data)(r, j) = r == 1 && j == 1 ? 50 : 12.5L * j;
    a.Data = std::move(data);
    a.Labels.assign(a.NVars + 1, "");
    for (int i = 1; i <= a.NVars; ++i) {
        a.Labels[i] = PadRight(Variable_label(i), Label_width);
        a.Means[i] = i == 1 ? 50 : 20;
        a.SDs[i] = i == 1 ? 10 : 5;
        a.Case_scores[i] = i == 1 ? 45 : 30;
        for (int j = 1; j <= a.NVars; ++j)
            a.Corr(i, j) = i == j ? 1 : 0.5L;
    }
    for (int i = 1; i <= k; ++i) {
        a.Regression.Coef[i] = i;
        a.Regression.Beta[i] = 0.5L;
    }
    // The predictors' correlations are those of the criterion's: 0.5 apart from the diagonal.
    a.Squared_semi_partials = Squared_semi_partials(a.Corr, k, a.Regression.Beta);
    a.Regression.Intercept = 30;
    a.Regression.SEE = 9.18558653543691786859L;
    a.Regression.Mult_R = 0.5L;
    a.Regression.R_squared = 0.25L;
    a.Regression.Adj_R_squared = 0.15625L;
    a.Regression.F_value = 8.0L / 3;
    a.Regression.F_prob = 0.141113281249921540788L;
    a.Regression.DF1 = k;
    a.Regression.DF2 = 8;
    a.Case.Case_Y = 45;
    a.Predicted = 60;
    a.SE_additional = 11.25L;
    a.Results.T_value = -1.77777777777777777765L;
    a.Results.DF = 8;
    a.Results.P_one_tailed = 0.0566670111201844628468L;
    a.Results.P_two_tailed = 0.113334022240368925694L;
    a.Results.Pct_more_extreme = 5.66670111201844628468L;
    a.Results.Pct_lower = 1.2345L;
    a.Results.Pct_upper = 10.5L;
    a.Results.ZOP = -2.30940107675850305781L;
    a.Results.ZOP_lower = -3.92052099791127075103L;
    a.Results.ZOP_upper = -0.347847949045153897394L;
    return a;
}

std::size_t Index_of(const std::vector<std::string>& lines, const std::string& line) {
    const auto found = std::find(lines.begin(), lines.end(), line);
    EXPECT_NE(found, lines.end()) << "missing line '" << line << "'";
    return static_cast<std::size_t>(found - lines.begin());
}

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

} // namespace

TEST(Report, FirstReportOpensWithAnEmptyLineAndTheHeading) {
    const auto lines = Report_lines(Sample_analysis(1, tLimits::Two_sided), {}, false);
    ASSERT_GE(lines.size(), 12u);
    EXPECT_EQ(lines[0], "");
    EXPECT_EQ(lines[1], ProgramDescription);
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(lines[3],
              " THIS PROGRAM IMPLEMENTS STATISTICAL METHODS DEVELOPED IN THE FOLLOWING PAPER:");
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 4, lines.begin() + 7), MethodReferenceLines);
    EXPECT_EQ(lines[7], "");
    EXPECT_EQ(lines[8], "");
    // Without notes the inputs follow the two empty lines at once.
    EXPECT_EQ(lines[9], " INPUTS :");
    EXPECT_EQ(lines[10], " Number of predictor (i.e., X) variables  =                 1");
    EXPECT_EQ(lines[11], " Sample size (n) for sample providing the summary data  =   3");
    EXPECT_EQ(lines.back(), "");
}

TEST(Report, ASecondReportBeginsWithTheSeparator) {
    const auto lines = Report_lines(Sample_analysis(1, tLimits::Two_sided), {}, true);
    EXPECT_EQ(lines[0], std::string(102, '_'));
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2], ProgramDescription);
    EXPECT_EQ(lines.size(),
              Report_lines(Sample_analysis(1, tLimits::Two_sided), {}, false).size() + 1);
}

TEST(Report, NotesFollowTheCaptionAndFurtherLinesAreIndentedByFifteen) {
    const auto one = Report_lines(Sample_analysis(1, tLimits::Two_sided), {"abc"}, false);
    EXPECT_EQ(one[9], " User's Notes: abc");
    EXPECT_EQ(one[10], " ");
    EXPECT_EQ(one[11], " INPUTS :");

    const auto two =
        Report_lines(Sample_analysis(1, tLimits::Two_sided), {"first", "second"}, false);
    EXPECT_EQ(two[9], " User's Notes: first");
    EXPECT_EQ(two[10], "               second");
    EXPECT_EQ(two[11], " ");
    EXPECT_EQ(two[12], " INPUTS :");
}

TEST(Report, RawDataAndSummaryTableLinesArePinnedToTheCharacter) {
    const auto lines = Report_lines(Sample_analysis(1, tLimits::Two_sided), {}, false);
    const std::size_t raw = Index_of(lines, " Raw data for controls:");
    EXPECT_EQ(lines[raw - 1], "");
    EXPECT_EQ(lines[raw + 1], "   [   1]:      50.00000       25.00000   ");
    EXPECT_EQ(lines[raw + 3], "   [   3]:      12.50000       25.00000   ");
    // The case row is not printed; the block's empty line and one more follow.
    EXPECT_EQ(lines[raw + 4], "");
    EXPECT_EQ(lines[raw + 5], "");

    const std::string rule = " " + std::string(97, '_');
    const std::size_t table = raw + 6;
    EXPECT_EQ(lines[table], " INPUTS: Summary statistics for sample providing the data together "
                            "with scores of the case:");
    EXPECT_EQ(lines[table + 1], rule);
    EXPECT_EQ(lines[table + 2], "  Measure                             Control            Control "
                                "                 Scores   ");
    EXPECT_EQ(lines[table + 3], "                                       Mean                SD   "
                                "                 for Case");
    EXPECT_EQ(lines[table + 4], rule);
    EXPECT_EQ(lines[table + 5], " Criterion (Y)   :                     50.000            10.000 "
                                "                  45.000 ");
    EXPECT_EQ(lines[table + 5].size(), 89u);
    EXPECT_EQ(lines[table + 6], " Predictor (X) 1 :                     20.000             5.000 "
                                "                  30.000 ");
    EXPECT_EQ(lines[table + 7], rule);
    EXPECT_EQ(lines[table + 8], " ");
    EXPECT_EQ(lines[table + 9], " ");
    EXPECT_EQ(lines[table + 10], "");
    EXPECT_EQ(lines[table + 11],
              " INPUTS: Correlation(s) between criterion and predictor(s) in sample:");
    EXPECT_EQ(lines[table + 12], "   1.00000   0.50000   ");
    EXPECT_EQ(lines[table + 13], "   0.50000   1.00000   ");
    EXPECT_EQ(lines[table + 14], "");
    EXPECT_EQ(lines[table + 15], "");
}

TEST(Report, RegressionAndCaseSectionsOfTheOnePredictorLayout) {
    const auto lines = Report_lines(Sample_analysis(1, tLimits::Two_sided), {}, false);
    const std::string rule = " " + std::string(97, '_');
    const std::size_t eq = Index_of(lines, " OUTPUTS: Regression equation (alpha & betas) and "
                                           "squared semi-partial correlation for predictors:");
    const std::vector<std::string> expected = {
        rule,
        "  Predictor                             Beta             Squared semi-partial            ",
        "                                                              correlation                ",
        rule,
        " Intercept (alpha):                    30.000                      -        ",
        "",
        " Predictor (X) 1  :                     1.000                    0.250",
        rule,
        " ",
        " ",
        " OUTPUTS: FURTHER RESULTS FOR THE MULTIPLE REGRESSION MODEL:",
        " Standard error of estimate for regression equation =           9.186",
        " Multiple R for regression equation =                           0.500",
        " R Squared for regression equation  =                           0.250",
        " Adjusted (shrunken) R Squared for regression equation =        0.156",
        " Significance test for overall regression: F [ 1,  8] =         2.6667 ",
        " Significance test for overal regression: p value =             0.1411 ",
        "",
        "",
        " OUTPUTS: RESULTS FROM ANALYSIS OF THE INDIVIDUAL CASE:",
        "",
        " Case's OBTAINED  score on Task of Interest      =       45.0000",
        " Case's PREDICTED score from regression equation =       60.0000",
        " Discrepancy (obtained minus predicted) between case's obtained and predicted scores = "
        "-15.0000",
        "",
        " Effect size (Z-OP) for discrepancy between obtained and predicted scores (plus 95% CI): ",
        " Effect size (Z-OP) = -2.309 (95% CI = -3.921  to  -0.348)",
        "",
        " Standard error for an additional (i.e., N + 1th) case = 11.2500",
        "",
        " Significance test (t) on the discrepancy between the case's obtained and predicted "
        "scores:",
        " t value (on  8 df) =     -1.7778",
        " One-tailed probability =  0.0567",
        " Two-tailed probability =  0.1133",
        "",
        " Estimated percentage of population obtaining a discrepancy more extreme than the case = "
        "5.666701%",
        " 95% confidence limits on the percentage = 1.2345% to 10.5000% ",
        "",
    };
    ASSERT_EQ(lines.size(), eq + 1 + expected.size());
    EXPECT_EQ(std::vector<std::string>(lines.begin() + eq + 1, lines.end()), expected);
}

TEST(Report, FivePredictorsGiveSixRowsAndFivePredictorLines) {
    const auto lines = Report_lines(Sample_analysis(5, tLimits::Two_sided), {}, false);
    EXPECT_TRUE(Contains(lines, " Number of predictor (i.e., X) variables  =                 5"));
    const std::size_t table = Index_of(lines, " Predictor (X) 5 :                     20.000     "
                                              "        5.000                   30.000 ");
    EXPECT_EQ(lines[table + 1], " " + std::string(97, '_'));
    const std::size_t corr =
        Index_of(lines, " INPUTS: Correlation(s) between criterion and predictor(s) in sample:");
    EXPECT_EQ(lines[corr + 6], "   0.50000   0.50000   0.50000   0.50000   0.50000   1.00000   ");
    EXPECT_EQ(lines[corr + 7], "");
    const std::size_t intercept = Index_of(
        lines, " Intercept (alpha):                    30.000                      -        ");
    // Each predictor shares 0.4 of its variance with the other four (all
    // correlated 0.5), so 0.6 of the 0.25 its coefficient squared stands for is its own.
    for (int i = 1; i <= 5; ++i)
        EXPECT_EQ(lines[intercept + 1 + i], " Predictor (X) " + std::to_string(i) +
                                                "  :                     " + std::to_string(i) +
                                                ".000                    0.150");
    EXPECT_EQ(lines[intercept + 7], " " + std::string(97, '_'));
}

TEST(Report, EachLimitChoicePrintsItsOwnLines) {
    struct tCase {
        tLimits Limits;
        std::string Credible, Heading, Effect, Percentage;
    };
    const std::vector<tCase> cases = {
        {tLimits::Two_sided, "Two-sided",
         "(plus 95% CI): ", " Effect size (Z-OP) = -2.309 (95% CI = -3.921  to  -0.348)",
         " 95% confidence limits on the percentage = 1.2345% to 10.5000% "},
        {tLimits::Lower, "One-sided lower",
         "(plus 95% lower limit): ", " Effect size (Z-OP) = -2.309 (95% lower limit = -3.921 )",
         " 95% (one-sided) lower confidence limit on the percentage = 1.2345%"},
        {tLimits::Upper, "One-sided upper",
         "(plus 95% upper limit): ", " Effect size (Z-OP) = -2.309 (95% upper limit = -0.348 )",
         " 95% (one-sided) upper confidence limit on the percentage = 10.5000%"},
    };
    for (const tCase& c : cases) {
        SCOPED_TRACE(c.Credible);
        const auto lines = Report_lines(Sample_analysis(2, c.Limits), {}, false);
        EXPECT_EQ(lines[12],
                  " Credible limit required:                                  " + c.Credible);
        const std::size_t effect = Index_of(
            lines, " Effect size (Z-OP) for discrepancy between obtained and predicted scores " +
                       c.Heading);
        EXPECT_EQ(lines[effect + 1], c.Effect);
        EXPECT_EQ(lines[lines.size() - 2], c.Percentage);
    }
}

TEST(Report, LongValuesWidenTheirColumnInsteadOfBeingCut) {
    tAnalysis a = Sample_analysis(1, tLimits::Two_sided);
    a.Means[1] = 1e25L;
    const auto lines = Report_lines(a, {}, false);
    EXPECT_TRUE(Contains(lines, " Criterion (Y)   :      10000000000000000000000000.000     "
                                "       10.000                   45.000 "));
}

TEST(Report, NumbersUseADecimalPointWhateverTheProcessLocale) {
    const char* const comma_locales[] = {"de_DE.UTF-8", "fr_FR.UTF-8", "nl_NL.UTF-8"};
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    const char* chosen = nullptr;
    for (const char* name : comma_locales)
        if (std::setlocale(LC_ALL, name)) {
            chosen = name;
            break;
        }
    // The build makes a German locale for the tests (Debian's locales package).
    ASSERT_TRUE(chosen) << "no locale with a decimal comma: run make deps";
    const auto lines = Report_lines(Sample_analysis(1, tLimits::Two_sided), {}, false);
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_TRUE(Contains(lines, " Multiple R for regression equation =                           "
                                "0.500"));
    EXPECT_TRUE(Contains(lines, "   [   1]:      50.00000       25.00000   "));
}

TEST(Report, TheSquaredSemiPartialColumnShowsTheAnalysisFigures) {
    tAnalysis a = Sample_analysis(2, tLimits::Two_sided);
    a.Squared_semi_partials[1] = 0.27L;
    a.Squared_semi_partials[2] = 0.0125L;
    const auto lines = Report_lines(a, {}, false);
    EXPECT_TRUE(
        Contains(lines, " Predictor (X) 1  :                     1.000                    0.270"));
    EXPECT_TRUE(
        Contains(lines, " Predictor (X) 2  :                     2.000                    0.013"));
}
