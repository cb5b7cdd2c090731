// Runs the built pavona-cli as a user would and compares whole outputs.

#include <gtest/gtest.h>

#include "tests/support/files.h"
#include "tests/support/json_checker.h"
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using test_files::Contents;
using test_files::Quoted;

const std::string Data = PAVONA_TEST_DATA;

struct tRun {
    int Status = -1;
    std::string Out;
    std::string Err;
};

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
    const tRun run = Run_cli("--json --notes a --notes 'b \"c\"' " + Worked());
    EXPECT_EQ(run.Status, 0);
    for (const char* field : {"\"notes\": [\"a\", \"b \\\"c\\\"\"]",
                              "\"k\": 1",
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
    EXPECT_EQ(test_json::Json_problem(run.Out), "");
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
        {Worked("absent.txt"), "File not found: '" + Data + "/absent.txt'.\n"},
        {Worked("short_row.txt"), "Line 4 of the data file holds 1 number(s), but 2 are needed: "
                                  "the criterion followed by 1 predictor(s).\n"},
        {"--predictors 1 --controls 20 " + Quoted(Data + "/worked_example.txt"),
         "The data file holds 11 line(s) of data, but n + 1 = 21 are needed: the 20 controls "
         "followed by the case.\n"},
        {"--predictors 2 --controls 5 " + Quoted(Data + "/worked_example.txt"),
         "Line 1 of the data file holds 2 number(s), but 3 are needed: the criterion followed "
         "by 2 predictor(s).\n"},
        {Worked("title_line.txt"), "Invalid numeric input 'Title:' on line 1. The file must hold "
                                   "numbers only: remove the title row.\n"},
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
          "--json=yes " + Worked(), "--notes \"$(printf 'a\\nb')\" " + Worked(),
          "--cases 0 " + Worked(), "--cases two " + Worked(), "--jobs 0 " + Worked(),
          "--jobs 257 " + Worked(), "--csv --json " + Worked(), "--csv=1 " + Worked()}) {
        SCOPED_TRACE(arguments);
        const tRun run = Run_cli(arguments);
        EXPECT_EQ(run.Status, 2);
        EXPECT_EQ(run.Out, "");
        EXPECT_NE(run.Err.find("Usage: pavona-cli"), std::string::npos);
    }
}

TEST(PavonaCli, HelpAndVersionArePrintedOnStandardOutputWhateverElseIsGiven) {
    const std::string usage = "Usage: pavona-cli --predictors K (--controls N | --summary)";
    const std::string version = std::string("pavona-cli (Pavona) ") + PAVONA_VERSION + "\n";
    const struct {
        std::string Arguments, Begins;
    } rows[] = {
        {"--help", usage},
        {"-h", usage},
        {"--predictors 1 -h", usage},
        {"--version", version},
        {"--version --predictors 1", version},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Arguments);
        const tRun run = Run_cli(row.Arguments);
        EXPECT_EQ(run.Status, 0);
        EXPECT_EQ(run.Err, "");
        EXPECT_EQ(run.Out.rfind(row.Begins, 0), 0u) << run.Out;
    }
    EXPECT_EQ(Run_cli("--version").Out, version);
    // The help gives the range of --jobs that the parser holds to.
    EXPECT_NE(Run_cli("--help").Out.find("--jobs J         cases computed at once, 1 to 256"),
              std::string::npos);
    EXPECT_EQ(Run_cli("--jobs 256 " + Worked()).Status, 0);
    EXPECT_EQ(Run_cli("--jobs 257 " + Worked()).Status, 2);
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

// A series of cases: the controls of the worked example, then case rows.
namespace {

// A file in the temporary folder for the life of the object.
class tTemp_file {
public:
    explicit tTemp_file(const std::string& text) {
        static int count = 0;
        path_ = (std::filesystem::temp_directory_path() /
                 ("pavona_cli_series_" + std::to_string(::getpid()) + "_" +
                  std::to_string(++count) + ".txt"))
                    .string();
        std::ofstream(path_, std::ios::binary) << text;
    }
    ~tTemp_file() { std::filesystem::remove(path_); }
    tTemp_file(const tTemp_file&) = delete;
    tTemp_file& operator=(const tTemp_file&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// The worked example's ten control lines.
std::string Controls() {
    std::istringstream lines(Contents(Data + "/worked_example.txt"));
    std::string text;
    std::string line;
    for (int i = 0; i < 10 && std::getline(lines, line); ++i)
        text += line + "\n";
    return text;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream stream(text);
    while (std::getline(stream, part, separator))
        parts.push_back(part);
    if (!text.empty() && text.back() == separator) parts.emplace_back();
    return parts;
}

// The value of `"key": ` in a one-case JSON report, up to the comma or line end.
std::string Json_value(const std::string& json, const std::string& key) {
    const std::size_t at = json.find("\"" + key + "\": ");
    if (at == std::string::npos) return "<no " + key + ">";
    const std::size_t start = at + key.size() + 4;
    return json.substr(start, json.find_first_of(",\n", start) - start);
}

} // namespace

TEST(PavonaCliSeries, CsvRowsEqualSingleCaseRunsOfTheSameRows) {
    const std::vector<std::string> rows = {"40 30", "45 25", "60 10", "55.5 22.25", "30 16"};
    std::string series = Controls();
    for (const std::string& row : rows)
        series += row + "\n";
    const tTemp_file file(series);
    for (const std::string limits : {"two-sided", "lower", "upper"}) {
        SCOPED_TRACE(limits);
        const tRun run = Run_cli("--predictors 1 --controls 10 --cases all --csv --limits " +
                                 limits + " " + Quoted(file.Path()));
        EXPECT_EQ(run.Status, 0);
        EXPECT_EQ(run.Err, "");
        const std::vector<std::string> lines = Split(run.Out, '\n');
        ASSERT_EQ(lines.size(), rows.size() + 2); // header, rows, the empty end
        EXPECT_EQ(lines[0], "case,obtained,predicted,discrepancy,se_additional,t,df,p_one_tailed,"
                            "p_two_tailed,pct_more_extreme,pct_lower,pct_upper,zop,zop_lower,"
                            "zop_upper,error");
        for (std::size_t r = 0; r < rows.size(); ++r) {
            SCOPED_TRACE(rows[r]);
            const tTemp_file single(Controls() + rows[r] + "\n");
            const std::string json = Run_cli("--predictors 1 --controls 10 --json --limits " +
                                             limits + " " + Quoted(single.Path()))
                                         .Out;
            const std::vector<std::string> f = Split(lines[r + 1], ',');
            ASSERT_EQ(f.size(), 16u) << lines[r + 1];
            const std::string scores = Json_value(json, "case_scores"); // "[40"
            const long double obtained = std::strtold(scores.c_str() + 1, nullptr);
            const long double predicted =
                std::strtold(Json_value(json, "Predicted").c_str(), nullptr);
            char discrepancy[64];
            std::snprintf(discrepancy, sizeof discrepancy, "%.21Lg", obtained - predicted);
            const bool lower = limits != "upper";
            const bool upper = limits != "lower";
            const std::vector<std::string> expected = {std::to_string(r + 1),
                                                       scores.substr(1),
                                                       Json_value(json, "Predicted"),
                                                       discrepancy,
                                                       Json_value(json, "SE_additional"),
                                                       Json_value(json, "T_value"),
                                                       Json_value(json, "DF"),
                                                       Json_value(json, "P_one_tailed"),
                                                       Json_value(json, "P_two_tailed"),
                                                       Json_value(json, "Pct_more_extreme"),
                                                       lower ? Json_value(json, "Pct_lower") : "",
                                                       upper ? Json_value(json, "Pct_upper") : "",
                                                       Json_value(json, "ZOP"),
                                                       lower ? Json_value(json, "ZOP_lower") : "",
                                                       upper ? Json_value(json, "ZOP_upper") : "",
                                                       ""};
            EXPECT_EQ(f, expected);
        }
    }
}

TEST(PavonaCliSeries, BadCaseRowsInTheMiddleGetTheirMessagesAndTheOthersTheirFigures) {
    // Lines 11 to 17 of the file: good, short, word, blank (no case), too
    // extreme, a word holding a quote and a comma, good.
    const tTemp_file file(Controls() + "40 30\n41\n42 x7\n \t\n500000000 20\n4\"5,6 1\n45 25\n");
    const tRun run =
        Run_cli("--predictors 1 --controls 10 --cases all --csv " + Quoted(file.Path()));
    EXPECT_EQ(run.Status, 1);
    const std::vector<std::string> lines = Split(run.Out, '\n');
    ASSERT_EQ(lines.size(), 8u) << run.Out;
    EXPECT_EQ(lines[1].rfind("1,40,60,-20,", 0), 0u) << lines[1];
    EXPECT_EQ(lines[1].back(), ',');
    EXPECT_EQ(lines[2], "2,,,,,,,,,,,,,,,\"Line 12 of the data file holds 1 number(s), but 2 are "
                        "needed: the criterion followed by 1 predictor(s).\"");
    EXPECT_EQ(lines[3], "3,,,,,,,,,,,,,,,Invalid numeric input 'x7' on line 13.");
    EXPECT_EQ(lines[4], "4,,,,,,,,,,,,,,,Line 15: The case's discrepancy is too extreme: the "
                        "confidence limits cannot be computed (check the case's scores for entry "
                        "errors)");
    EXPECT_EQ(lines[5], "5,,,,,,,,,,,,,,,\"Invalid numeric input '4\"\"5,6' on line 16.\"");
    EXPECT_EQ(lines[6].rfind("6,45,55,-10,", 0), 0u) << lines[6];
    EXPECT_EQ(lines[7], "");
    // Each refusal also on standard error, in order, after its case number.
    EXPECT_EQ(Split(run.Err, '\n').size(), 5u) << run.Err;
    EXPECT_NE(run.Err.find("Case 3: Invalid numeric input 'x7' on line 13.\nCase 4: Line 15:"),
              std::string::npos)
        << run.Err;

    // JSON: the same messages, and null figures.
    const tRun json =
        Run_cli("--predictors 1 --controls 10 --cases 6 --json " + Quoted(file.Path()));
    EXPECT_EQ(json.Status, 1);
    EXPECT_NE(json.Out.find("{\"case\": 5, \"case_scores\": null, \"Predicted\": null, "),
              std::string::npos)
        << json.Out;
    EXPECT_NE(json.Out.find("\"error\": \"Invalid numeric input '4\\\"5,6' on line 16.\"}"),
              std::string::npos);
    EXPECT_EQ(json.Out.substr(json.Out.size() - 8), "}\n  ]\n}\n");
}

TEST(PavonaCliSeries, JobsOneAndTwoGiveIdenticalBytesInEveryFormat) {
    // 300 cases, a few of them refused, from a fixed arithmetic pattern.
    std::string series = Controls();
    for (int i = 0; i < 300; ++i)
        series += i % 97 == 50 ? "7 word\n"
                               : std::to_string(30 + (i * 37) % 41) + " " +
                                     std::to_string(12 + (i * 13) % 17) + ".5\n";
    const tTemp_file file(series);
    for (const std::string format : {"--csv", "--json", "--limits lower"}) {
        SCOPED_TRACE(format);
        const std::string arguments =
            "--predictors 1 --controls 10 --cases all " + format + " " + Quoted(file.Path());
        const tRun one = Run_cli("--jobs 1 " + arguments);
        const tRun two = Run_cli("--jobs 2 " + arguments);
        EXPECT_EQ(one.Status, 1);
        EXPECT_GT(one.Out.size(), 300u * 100);
        EXPECT_EQ(one.Out, two.Out);
        EXPECT_EQ(one.Err, two.Err);
        EXPECT_EQ(Run_cli("--jobs 3 " + arguments).Out, one.Out);
    }
}

TEST(PavonaCliSeries, CasesOneIsTodaysOutputAndPlainReportsFollowOneAnother) {
    const std::string report = Contents(Data + "/worked_example_two_sided.expected");
    EXPECT_EQ(Run_cli("--cases 1 " + Worked()).Out, report);
    EXPECT_EQ(Run_cli("--cases 1 --json " + Worked()).Out, Run_cli("--json " + Worked()).Out);

    // Two cases: each report as a single run gives it, under its case's
    // heading and followed by the viewer's separator; a refused case keeps
    // its place.
    const tTemp_file file(Controls() + "40 30\n40 30\nx 1\n");
    const tRun run = Run_cli("--predictors 1 --controls 10 --cases 3 " + Quoted(file.Path()));
    EXPECT_EQ(run.Status, 1);
    const std::string separator(102, '_');
    EXPECT_EQ(run.Out,
              "\n Case 1 (line 11 of the file)\n" + report + separator + "\n" +
                  "\n Case 2 (line 12 of the file)\n" + report + separator +
                  "\n\n Case 3 was not analysed: Invalid numeric input 'x' on line 13.\n\n");
    EXPECT_EQ(run.Err, "Case 3: Invalid numeric input 'x' on line 13.\n");
}

TEST(PavonaCliSeries, FewerCaseRowsThanAskedForAreNamedAfterTheFoundOnesAreWritten) {
    const tTemp_file file(Controls() + "40 30\n\n45 25\n");
    tRun run = Run_cli("--predictors 1 --controls 10 --cases 5 --csv " + Quoted(file.Path()));
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(Split(run.Out, '\n').size(), 4u) << run.Out; // header, two cases, the end
    EXPECT_EQ(run.Err, "The data file holds 2 case row(s) after the 10 controls, but 5 were "
                       "asked for.\n");

    // --cases M reads no further than the M-th case row.
    const tTemp_file more(Controls() + "40 30\n45 25\n41 x\n");
    EXPECT_EQ(Run_cli("--predictors 1 --controls 10 --cases 2 --csv " + Quoted(more.Path())).Status,
              0);

    run = Run_cli("--predictors 1 --controls 10 --cases all --csv " +
                  Quoted(tTemp_file(Controls()).Path()));
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Err, "The data file holds no case row after the 10 controls.\n");
}

TEST(PavonaCliSeries, AControlSampleFailureStillRefusesTheWholeRun) {
    const tTemp_file few("1 2\n3 4\n");
    tRun run = Run_cli("--predictors 1 --controls 10 --cases all --csv " + Quoted(few.Path()));
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(run.Err, "The data file holds 2 line(s) of data, but the n = 10 controls are "
                       "needed first, followed by the cases.\n");
    run = Run_cli("--predictors 1 --controls 5 --cases all --csv " +
                  Quoted(Data + "/zero_variance.txt"));
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Out, "");
    EXPECT_NE(run.Err.find("same score on Predictor (X) 1"), std::string::npos) << run.Err;
}

TEST(PavonaCli, ASummaryFileGivesTheRawRunsReportWithOneLineForTheRawData) {
    const std::string summary = Data + "/worked_example_summary.txt";
    const tRun run = Run_cli("--predictors 1 --summary " + Quoted(summary));
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Err, "");
    std::string expected = Contents(Data + "/worked_example_two_sided.expected");
    const std::size_t from = expected.find(" Raw data for controls:");
    const std::size_t to = expected.find("   [  10]:");
    ASSERT_NE(from, std::string::npos);
    expected.replace(from, expected.find('\n', to) + 1 - from,
                     " The regression equation was built from summary statistics (no raw data "
                     "for controls).\n");
    EXPECT_EQ(run.Out, expected);
}

TEST(PavonaCli, ASummaryRunTakesNoControlsAndRefusesABadFileWithItsLine) {
    const std::string summary = Quoted(Data + "/worked_example_summary.txt");
    EXPECT_EQ(Run_cli("--predictors 1 --controls 10 --summary " + summary).Status, 2);
    const tRun refused = Run_cli("--predictors 2 --summary " + summary);
    EXPECT_EQ(refused.Status, 1);
    EXPECT_EQ(refused.Out, "");
    EXPECT_EQ(refused.Err, "Line 2 of the summary file holds 2 number(s), but 3 are needed: the 3 "
                           "means, the criterion's first.\n");
    // A series of cases after the matrix, as after raw controls.
    const tRun csv = Run_cli("--predictors 1 --summary --cases all --csv " + summary);
    EXPECT_EQ(csv.Status, 0);
    EXPECT_EQ(csv.Out.rfind("case,obtained,predicted,", 0), 0u);
    EXPECT_NE(csv.Out.find("\n1,40,60,-20,"), std::string::npos) << csv.Out;
}

TEST(PavonaCliSeries, EverySeriesJsonDocumentParses) {
    const tTemp_file file(Controls() + "40 30\nx 1\n45 25\n");
    for (const std::string& arguments :
         {"--cases all --json " + Worked(),
          "--predictors 1 --controls 10 --cases all --json " + Quoted(file.Path()),
          "--predictors 1 --summary --cases all --json " +
              Quoted(Data + "/worked_example_summary.txt")}) {
        SCOPED_TRACE(arguments);
        const tRun run = Run_cli(arguments);
        EXPECT_EQ(test_json::Json_problem(run.Out), "") << run.Out;
    }
}

// A name and notes in Latin-1, as a terminal or file system of that encoding
// gives them: the JSON stays valid UTF-8, and the report keeps the bytes.
TEST(PavonaCli, Latin1NamesAndNotesGiveValidJsonAndAReportWithTheirBytes) {
    namespace fs = std::filesystem;
    const fs::path folder =
        fs::temp_directory_path() / ("pavona_cli_latin1_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const std::string name = (folder / "caf\xE9.txt").string();
    fs::copy_file(Data + "/worked_example.txt", name, fs::copy_options::overwrite_existing);
    const std::string arguments =
        "--predictors 1 --controls 10 --notes 'Patient \xE9l\xE8ve' " + Quoted(name);
    const tRun json = Run_cli("--json " + arguments);
    const tRun series = Run_cli("--cases all --json " + arguments);
    const tRun report = Run_cli(arguments);
    fs::remove_all(folder);
    EXPECT_EQ(json.Status, 0);
    EXPECT_EQ(test_json::Json_problem(json.Out), "") << json.Out;
    EXPECT_NE(json.Out.find("\"notes\": [\"Patient \xEF\xBF\xBDl\xEF\xBF\xBDve\"]"),
              std::string::npos)
        << json.Out;
    EXPECT_EQ(test_json::Json_problem(series.Out), "") << series.Out;
    EXPECT_NE(report.Out.find(" User's Notes: Patient \xE9l\xE8ve\n"), std::string::npos);
}
