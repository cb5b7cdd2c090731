// Runs the built pavona-cli as a user would and compares whole outputs.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const std::string Data = PAVONA_TEST_DATA;

struct tRun {
    int Status = -1;
    std::string Out;
    std::string Err;
};

std::string Contents(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// `arguments` are passed to the shell as written; `input` (a file) becomes
// standard input.
tRun Run_cli(const std::string& arguments, const std::string& input = "/dev/null") {
    const auto folder =
        std::filesystem::temp_directory_path() / ("pavona_cli_test_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string out = (folder / "out").string();
    const std::string err = (folder / "err").string();
    const std::string command = Quoted(PAVONA_CLI) + " " + arguments + " <" + Quoted(input) + " >" +
                                Quoted(out) + " 2>" + Quoted(err);
    const int status = std::system(command.c_str());
    tRun run;
    run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.Out = Contents(out);
    run.Err = Contents(err);
    std::filesystem::remove_all(folder);
    return run;
}

std::string Worked(const std::string& file = "worked_example.txt") {
    return "--predictors 1 --controls 10 " + Quoted(Data + "/" + file);
}

} // namespace

TEST(PavonaCli, TheWorkedExampleReportMatchesTheCheckedText) {
    const tRun run = Run_cli(Worked());
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Err, "");
    EXPECT_EQ(run.Out, Contents(Data + "/worked_example_two_sided.expected"));
}

TEST(PavonaCli, CrOnlyAndCrLfFilesWithMarkAndCtrlZGiveTheSameReport) {
    const std::string expected = Contents(Data + "/worked_example_two_sided.expected");
    EXPECT_EQ(Run_cli(Worked("worked_example_cr.txt")).Out, expected);
    EXPECT_EQ(Run_cli(Worked("worked_example_crlf_bom.txt")).Out, expected);
}

TEST(PavonaCli, StandardInputIsReadForADash) {
    const tRun run = Run_cli("--controls=10 --predictors=1 -", Data + "/worked_example.txt");
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Out, Contents(Data + "/worked_example_two_sided.expected"));
}

TEST(PavonaCli, OneSidedChoicesAndNotesChangeOnlyTheirLines) {
    EXPECT_EQ(Run_cli("--limits lower --notes 'Case 17, seen 2024-03-02' "
                      "--notes 'Retest after 6 months' " +
                      Worked())
                  .Out,
              Contents(Data + "/worked_example_lower_notes.expected"));
    EXPECT_EQ(Run_cli("--limits upper " + Worked()).Out,
              Contents(Data + "/worked_example_upper.expected"));
}

TEST(PavonaCli, FivePredictorsReportMatchesTheCheckedText) {
    const tRun run =
        Run_cli("--predictors 5 --controls 12 " + Quoted(Data + "/five_predictors.txt"));
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Out, Contents(Data + "/five_predictors.expected"));
}

TEST(PavonaCli, JsonCarriesEveryFigureAtFullPrecision) {
    const tRun run = Run_cli("--json " + Worked());
    EXPECT_EQ(run.Status, 0);
    for (const char* field : {"\"k\": 1",
                              "\"n\": 10",
                              "\"limits\": \"two-sided\"",
                              "\"means\": [50, 20]",
                              "\"SDs\": [10, 5]",
                              "\"corr\": [[1, 0.5], [0.5, 1]]",
                              "\"case_scores\": [40, 30]",
                              "\"Beta\": [0.5]",
                              "\"Coef\": [1]",
                              "\"Intercept\": 30",
                              "\"R_squared\": 0.25",
                              "\"Adj_R_squared\": 0.15625",
                              "\"F_value\": 2.666666666666666666",
                              "\"SEE\": 9.185586535436917",
                              "\"SD_residual\": 8.660254037844386",
                              "\"Predicted\": 60",
                              "\"T_value\": -1.777777777777777777",
                              "\"DF\": 8",
                              "\"Pct_lower\": 0.00441",
                              "\"Pct_upper\": 36.3977",
                              "\"ZOP\": -2.309401076758503",
                              "\"ZOP_lower\": -3.9205",
                              "\"ZOP_upper\": -0.3478",
                              "\"P_one_tailed\": 0.05666",
                              "\"P_two_tailed\": 0.11333",
                              "\"Pct_more_extreme\": 5.6667",
                              "\"F_prob\": 0.14111",
                              "\"DF1\": 1",
                              "\"DF2\": 8",
                              "\"Mult_R\": 0.5",
                              "\"SE_additional\": 11.25"})
        EXPECT_NE(run.Out.find(field), std::string::npos) << field << "\n" << run.Out;
    EXPECT_EQ(run.Out.front(), '{');
    EXPECT_EQ(run.Out.substr(run.Out.size() - 2), "}\n");
}

TEST(PavonaCli, RefusedEntriesPrintTheWorksheetMessagesAndExitOne) {
    tRun run = Run_cli("--predictors 3 --controls 4 " + Quoted(Data + "/worked_example.txt"));
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(run.Err, " With a normative/control sample size of  4, the maximum number of "
                       "predictor variables is  2 \n");

    run = Run_cli("--predictors 1 --controls 500 " + Quoted(Data + "/worked_example.txt"));
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Err, " The n entered exceeds the maximum size (n=499) for the control or "
                       "normative sample.\n");

    // The input checks' warning, its CRs shown as line breaks.
    run = Run_cli("--predictors 2.5 --controls 10 " + Quoted(Data + "/worked_example.txt"));
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Out, "");
    EXPECT_NE(run.Err.find("INPUT ERROR\n(  "), std::string::npos) << run.Err;
    EXPECT_NE(run.Err.find("2.500  )\nThe value must be a positive integer and be less than 6.\n"),
              std::string::npos)
        << run.Err;
}

TEST(PavonaCli, DataFileAndAnalysisFailuresPrintTheErrorTextAndExitOne) {
    struct tCase {
        std::string Arguments, Message;
    };
    const tCase cases[] = {
        {Worked("absent.txt"), "File not found.\n"},
        {Worked("short_row.txt"), "Line 4 of the data file holds 1 number(s), but 2 are needed: "
                                  "the criterion followed by 1 predictor(s).\n"},
        {"--predictors 1 --controls 20 " + Quoted(Data + "/worked_example.txt"),
         "The data file holds 11 line(s) of data, but n + 1 = 21 are needed: the 20 controls "
         "followed by the case.\n"},
        {"--predictors 2 --controls 5 " + Quoted(Data + "/worked_example.txt"),
         "Line 1 of the data file holds 2 number(s), but 3 are needed: the criterion followed "
         "by 2 predictor(s).\n"},
        {Worked("title_line.txt"), "Invalid numeric input 'Title:' on line 1.\n"},
        {"--predictors 2 --controls 6 " + Quoted(Data + "/collinear.txt"),
         "Analysis cannot proceed as the correlation matrix is not positive definite: check for "
         "errors in entry of the control sample data (alternatively it may be that one variable "
         "is linearly dependent on other variables and should be dropped)\n"},
        {"--predictors 1 --controls 5 " + Quoted(Data + "/zero_variance.txt"),
         "Analysis cannot proceed as every control has the same score on Predictor (X) 1 (a "
         "standard deviation of zero): check for errors in entry of the control sample data.\n"},
    };
    for (const tCase& c : cases) {
        SCOPED_TRACE(c.Arguments);
        const tRun run = Run_cli(c.Arguments);
        EXPECT_EQ(run.Status, 1);
        EXPECT_EQ(run.Out, "");
        EXPECT_EQ(run.Err, c.Message);
    }
}

TEST(PavonaCli, TooLongNotesAreRefusedBeforeAnythingIsRead) {
    const std::string line(124, 'n');
    // 124 + 2 + 124 = 250 characters pass; one more is refused.
    EXPECT_EQ(Run_cli("--notes " + line + " --notes " + line + " " + Worked()).Status, 0);
    const tRun run = Run_cli("--notes " + line + " --notes " + line + "n " + Worked());
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(run.Err, "The notes hold 251 characters (a line break counting as two), but at "
                       "most 250 are allowed.\n");
}

TEST(PavonaCli, BadUsageExitsTwoAndHelpExitsZero) {
    for (const std::string& arguments :
         {std::string(""), std::string("--predictors 1 --controls 10"),
          "--predictors 1 " + Quoted(Data + "/worked_example.txt"), "--limits both " + Worked(),
          "--frobnicate " + Worked(), Worked() + " extra.txt", std::string("--predictors"),
          "--json=yes " + Worked(), "--notes \"$(printf 'a\\nb')\" " + Worked()}) {
        SCOPED_TRACE(arguments);
        const tRun run = Run_cli(arguments);
        EXPECT_EQ(run.Status, 2);
        EXPECT_EQ(run.Out, "");
        EXPECT_NE(run.Err.find("Usage: pavona-cli"), std::string::npos);
    }
    const tRun help = Run_cli("--help");
    EXPECT_EQ(help.Status, 0);
    EXPECT_EQ(help.Err, "");
    EXPECT_EQ(help.Out.rfind("Usage: pavona-cli --predictors K --controls N", 0), 0u);
}

TEST(PavonaCli, NeverWritesTheWorksheetStateFile) {
    // A copy of the tool in a folder of its own: the window keeps its state
    // file beside its executable, so a run of the window in the build folder
    // must not make this test fail.
    namespace fs = std::filesystem;
    const fs::path folder =
        fs::temp_directory_path() / ("pavona_cli_state_" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder / "work");
    const fs::path tool = folder / "pavona-cli";
    fs::copy_file(PAVONA_CLI, tool);
    const auto previous = fs::current_path();
    fs::current_path(folder / "work");
    const std::string command = Quoted(tool.string()) + " --predictors 1 --controls 10 " +
                                Quoted(Data + "/worked_example.txt") + " >/dev/null 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0);
    fs::current_path(previous);
    EXPECT_FALSE(fs::exists(folder / "work" / "Pavona.txt"));
    EXPECT_FALSE(fs::exists(folder / "Pavona.txt"));
    fs::remove_all(folder);
}

TEST(PavonaCli, AReportThatCannotBeWrittenIsAFailureNotASuccess) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    const std::string command = Quoted(PAVONA_CLI) + " " + Worked() + " >/dev/full 2>/dev/null";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
}
