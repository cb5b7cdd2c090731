// pavona-cli's command line, parsed without running the tool.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "assessment/json_report.h"
#include "cli/cli_options.h"

namespace {

tOptions Parse(std::vector<std::string> words) {
    words.insert(words.begin(), "pavona-cli");
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    return Parse_arguments(static_cast<int>(argv.size()), argv.data());
}

} // namespace

TEST(Cli_options, DoubleDashEndsTheOptionsSoAFileMayBeginWithADash) {
    const tOptions options = Parse({"--predictors", "1", "--controls", "10", "--", "-data.txt"});
    ASSERT_TRUE(options.Data_file);
    EXPECT_EQ(*options.Data_file, "-data.txt");
    // Without it the same name is taken for an option.
    EXPECT_THROW(Parse({"--predictors", "1", "--controls", "10", "--data.txt"}), EUsage);
    // After it even an option's name is a file, and a second file is refused.
    EXPECT_EQ(*Parse({"--predictors=1", "--controls=10", "--", "--json"}).Data_file, "--json");
    const tOptions dash_h = Parse({"--predictors=1", "--controls=10", "--", "-h"});
    EXPECT_FALSE(dash_h.Help);
    EXPECT_EQ(*dash_h.Data_file, "-h");
    EXPECT_THROW(Parse({"--predictors=1", "--controls=10", "--", "a", "b"}), EUsage);
}

TEST(Cli_options, EachKindOfLimitsHasItsNameBothWays) {
    const struct {
        const char* name;
        tLimits limits;
    } kinds[] = {
        {"two-sided", tLimits::Two_sided}, {"lower", tLimits::Lower}, {"upper", tLimits::Upper}};
    for (const auto& kind : kinds) {
        SCOPED_TRACE(kind.name);
        EXPECT_EQ(Parse({"--predictors=1", "--controls=10", "--limits", kind.name, "f"}).Limits,
                  kind.limits);
        EXPECT_STREQ(Limit_name(kind.limits), kind.name);
    }
    EXPECT_EQ(Parse({"--predictors=1", "--controls=10", "f"}).Limits, tLimits::Two_sided);
    EXPECT_THROW(Parse({"--predictors=1", "--controls=10", "--limits=both", "f"}), EUsage);
}

TEST(Cli_options, TheJsonReportNamesEachKindOfLimits) {
    const struct {
        tLimits limits;
        const char* field;
    } kinds[] = {{tLimits::Two_sided, "\"limits\": \"two-sided\""},
                 {tLimits::Lower, "\"limits\": \"lower\""},
                 {tLimits::Upper, "\"limits\": \"upper\""}};
    for (const auto& kind : kinds) {
        tAnalysis analysis;
        analysis.K = 1;
        analysis.N = 3;
        analysis.NVars = 2;
        analysis.Limits = kind.limits;
        EXPECT_NE(Json_report(analysis, {}).find(kind.field), std::string::npos) << kind.field;
    }
}

TEST(Cli_options, JsonNumbersRoundTripAndNonFiniteValuesAreNull) {
    EXPECT_EQ(Json_number(Extended_constant(0.1L)), "0.100000000000000000001");
    EXPECT_EQ(Json_number(30), "30");
    EXPECT_EQ(Json_number(std::numeric_limits<Extended>::quiet_NaN()), "null");
    EXPECT_EQ(Json_number(std::numeric_limits<Extended>::infinity()), "null");
    EXPECT_EQ(Json_number(-std::numeric_limits<Extended>::infinity()), "null");
}
