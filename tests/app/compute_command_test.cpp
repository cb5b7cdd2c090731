// The Continue button end to end: typed entries, the scripted open dialog, the
// analysis and the report in the viewer, which must read exactly as the
// command-line tool's output for the same input.

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QDir>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScatterSeries>
#include <QTest>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <unistd.h>

#include "app/worksheet_form.h"
#include "assessment/program_texts.h"
#include "assessment/reading_advice.h"
#include "results/plot_window.h"
#include "results/results_form.h"
#include "tests/support/scripted_platform.h"

namespace fs = std::filesystem;

namespace {

const std::string Data = PAVONA_TEST_DATA;
const std::string Separator(102, '_');
const std::string Not_positive_definite =
    "Analysis cannot proceed as the correlation matrix is not positive definite: check for "
    "errors in entry of the control sample data (alternatively it may be that one variable is "
    "linearly dependent on other variables and should be dropped)";

std::string Cli_output(const std::string& arguments) {
    const std::string command = std::string(PAVONA_CLI) + " " + arguments + " 2>/dev/null";
    std::FILE* pipe = popen(command.c_str(), "r");
    std::string out;
    char buffer[4096];
    while (size_t got = std::fread(buffer, 1, sizeof buffer, pipe))
        out.append(buffer, got);
    pclose(pipe);
    return out;
}

// The tool ends every line with LF; the viewer's text has no final line end.
std::string As_viewer_text(std::string cli_output) {
    if (!cli_output.empty() && cli_output.back() == '\n') cli_output.pop_back();
    return cli_output;
}

class ComputeCommand : public testing::Test {
protected:
    tScripted_platform platform;
    fs::path folder;
    QString start_directory;
    std::unique_ptr<TfrmTemplate> worksheet;
    std::unique_ptr<TfrmTemplateResults> viewer;

    void SetUp() override {
        start_directory = QDir::currentPath();
        folder = fs::temp_directory_path() /
                 ("pavona_compute_" + std::to_string(getpid()) + "_" +
                  testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
        worksheet = std::make_unique<TfrmTemplate>(platform, folder.string());
        worksheet->setQuitAction([] {});
        viewer = std::make_unique<TfrmTemplateResults>(platform, [] {});
        viewer->Set_worksheet(worksheet.get());
        worksheet->setResultsViewer(viewer.get());
        worksheet->show();
        QApplication::setActiveWindow(worksheet.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(worksheet.get()));
    }
    void TearDown() override {
        viewer.reset();
        worksheet.reset();
        QDir::setCurrent(start_directory);
        fs::remove_all(folder);
    }

    void Type_entries(const QString& k, const QString& n) {
        worksheet->txtInput1->clear();
        worksheet->txtInput2->clear();
        QTest::keyClicks(worksheet->txtInput1, k);
        QTest::keyClicks(worksheet->txtInput2, n);
        platform.Clear_record();
    }

    // Presses Continue with the open dialog answering `file` (nothing: cancel).
    void Continue(const std::optional<std::string>& file) {
        platform.Open_answers.push_back(file);
        QTest::mouseClick(worksheet->cmdCompute, Qt::LeftButton);
    }

    // From the viewer back to the worksheet, as the user would.
    void Return_to_worksheet() {
        QTest::mouseClick(viewer->cmdReturn, Qt::LeftButton);
        QApplication::setActiveWindow(worksheet.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(worksheet.get()));
        platform.Clear_record();
    }

    std::string State_file() const {
        std::ifstream in(folder / "Pavona.txt", std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    // The run was refused: the worksheet stays, the viewer gains nothing, the
    // hourglass is gone.
    void Expect_refused(const std::string& viewer_text_before) {
        EXPECT_TRUE(worksheet->isVisible());
        EXPECT_FALSE(viewer->isVisible());
        EXPECT_EQ(viewer->Text(), viewer_text_before);
        EXPECT_FALSE(platform.Busy);
    }

    const tRecorded_box& Last_box() const { return platform.Boxes.back(); }
};

} // namespace

TEST_F(ComputeCommand, AReportInTheViewerReadsExactlyAsTheToolsOutput) {
    Type_entries("1", "10");
    Continue(Data + "/worked_example.txt");

    ASSERT_EQ(platform.Boxes.size(), 1u);
    EXPECT_EQ(platform.Boxes[0].Text,
              "Data file consisting of n + 1 = 11 cases (rows) and  2 variables (columns) was "
              "loaded successfully ");
    EXPECT_EQ(platform.Boxes[0].Kind, tMessage_kind::Information);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_FALSE(worksheet->isVisible());
    EXPECT_EQ(viewer->windowTitle().toStdString(), "Results viewer: " + ProgramDescription);
    EXPECT_FALSE(platform.Busy);
    EXPECT_EQ(viewer->Text(), As_viewer_text(Cli_output("--predictors 1 --controls 10 '" + Data +
                                                        "/worked_example.txt'")));
    // The figures of the worked example are in it.
    EXPECT_NE(viewer->Text().find(" 95% confidence limits on the percentage = 0.0044% to "
                                  "36.3977% "),
              std::string::npos);
}

TEST_F(ComputeCommand, FivePredictorsWithNotesAndEachKindOfLimitsMatchTheTool) {
    const struct {
        int Item;
        const char* Limits;
    } choices[] = {{0, "two-sided"}, {1, "lower"}, {2, "upper"}};
    for (const auto& choice : choices) {
        SCOPED_TRACE(choice.Limits);
        QTest::mouseClick(viewer->cmdClearResults, Qt::LeftButton);
        if (viewer->isVisible()) Return_to_worksheet();
        worksheet->setRadioGroup1ItemIndex(choice.Item);
        worksheet->memoComments->setPlainText("Case JB, seen 3 May\nretested");
        Type_entries("5", "12");
        Continue(Data + "/five_predictors.txt");
        EXPECT_EQ(viewer->Text(),
                  As_viewer_text(Cli_output(std::string("--predictors 5 --controls 12 --limits ") +
                                            choice.Limits +
                                            " --notes 'Case JB, seen 3 May' --notes retested '" +
                                            Data + "/five_predictors.txt'")));
    }
}

TEST_F(ComputeCommand, ASecondRunAppendsBelowTheFirstAfterTheSeparator) {
    Type_entries("1", "10");
    Continue(Data + "/worked_example.txt");
    const std::string first = viewer->Text();
    Return_to_worksheet();
    EXPECT_EQ(worksheet->txtInput1->text(), "1");
    EXPECT_EQ(worksheet->txtInput2->text(), "10");
    EXPECT_TRUE(worksheet->txtInput2->hasFocus());

    worksheet->setRadioGroup1ItemIndex(2);
    Continue(Data + "/worked_example.txt");
    const std::string second = As_viewer_text(Cli_output(
        "--predictors 1 --controls 10 --limits upper '" + Data + "/worked_example.txt'"));
    EXPECT_EQ(viewer->Text(), first + "\n" + Separator + "\n" + second);
}

TEST_F(ComputeCommand, ClearResultsThenANewRunLeavesOnlyTheNewReport) {
    Type_entries("1", "10");
    Continue(Data + "/worked_example.txt");
    QTest::mouseClick(viewer->cmdClearResults, Qt::LeftButton);
    Return_to_worksheet();
    Continue(Data + "/worked_example.txt");
    EXPECT_EQ(viewer->Text(), As_viewer_text(Cli_output("--predictors 1 --controls 10 '" + Data +
                                                        "/worked_example.txt'")));
}

TEST_F(ComputeCommand, CancellingTheDialogKeepsTheWorksheetAfterSavingTheEntries) {
    Type_entries("3", "30.");
    Continue(std::nullopt);

    ASSERT_EQ(platform.Open_requests.size(), 1u);
    EXPECT_EQ(platform.Open_requests[0].Start_folder, QDir::currentPath().toStdString());
    EXPECT_EQ(platform.Open_requests[0].Filter_description, "Text files only");
    EXPECT_EQ(platform.Open_requests[0].Filter_pattern, "*.txt");
    ASSERT_EQ(platform.Boxes.size(), 1u);
    EXPECT_EQ(platform.Boxes[0].Text, "Load data cancelled by user");
    EXPECT_EQ(platform.Boxes[0].Kind, tMessage_kind::Information);
    EXPECT_EQ(platform.Boxes[0].Buttons, Ok_button);
    EXPECT_EQ(State_file(), "3\r\n30.\r\n");
    Expect_refused("");
    // The hourglass was shown for the dialog and taken away again.
    const auto busy = std::find(platform.Events.begin(), platform.Events.end(), "busy");
    ASSERT_NE(busy, platform.Events.end());
    EXPECT_NE(std::find(busy, platform.Events.end(), "idle"), platform.Events.end());
}

TEST_F(ComputeCommand, ChoosingAFileMakesItsFolderTheDialogsNextStart) {
    Type_entries("1", "10");
    Continue(Data + "/worked_example.txt");
    Return_to_worksheet();
    Continue(std::nullopt);
    ASSERT_EQ(platform.Open_requests.size(), 1u);
    EXPECT_EQ(fs::canonical(platform.Open_requests[0].Start_folder), fs::canonical(Data));
}

TEST_F(ComputeCommand, ACollinearPredictorIsRefusedWithTheFocusOnThePredictors) {
    Type_entries("2", "6");
    Continue(Data + "/collinear.txt");
    ASSERT_EQ(platform.Boxes.size(), 2u); // loaded, then refused
    EXPECT_EQ(Last_box().Text, Not_positive_definite);
    EXPECT_EQ(Last_box().Kind, tMessage_kind::Error);
    EXPECT_EQ(Last_box().Buttons, Ok_button);
    EXPECT_TRUE(worksheet->txtInput1->hasFocus());
    Expect_refused("");
}

TEST_F(ComputeCommand, ZeroVarianceAndAShortRowGiveTheDefaultErrorBoxAndNoReport) {
    Type_entries("1", "5");
    Continue(Data + "/zero_variance.txt");
    EXPECT_EQ(Last_box().Title, "Pavona");
    EXPECT_EQ(Last_box().Kind, tMessage_kind::Error);
    EXPECT_EQ(Last_box().Text.rfind("Analysis cannot proceed as every control has the same "
                                    "score on ",
                                    0),
              0u);
    EXPECT_EQ(Last_box().Text.back(), '.');
    Expect_refused("");

    Type_entries("1", "10");
    Continue(Data + "/short_row.txt");
    ASSERT_EQ(platform.Boxes.size(), 1u); // no loaded-successfully box
    EXPECT_EQ(Last_box().Title, "Pavona");
    EXPECT_EQ(Last_box().Text, "Line 4 of the data file holds 1 number(s), but 2 are needed: the "
                               "criterion followed by 1 predictor(s).");
    Expect_refused("");
}

TEST_F(ComputeCommand, TooManyPredictorsForTheSampleIsRefusedBeforeAnythingIsSaved) {
    Type_entries("3", "4");
    Continue(Data + "/worked_example.txt");
    ASSERT_EQ(platform.Boxes.size(), 1u);
    EXPECT_EQ(platform.Boxes[0].Text, " With a normative/control sample size of  4, the maximum "
                                      "number of predictor variables is  2 ");
    EXPECT_EQ(platform.Boxes[0].Kind, tMessage_kind::Error);
    EXPECT_TRUE(worksheet->txtInput1->hasFocus());
    EXPECT_TRUE(platform.Open_requests.empty());
    EXPECT_FALSE(fs::exists(folder / "Pavona.txt"));
    platform.Open_answers.clear();
}

TEST_F(ComputeCommand, ASampleAbove499IsRefusedWithTheFocusOnTheSampleSize) {
    Type_entries("1", "500");
    Continue(Data + "/worked_example.txt");
    ASSERT_EQ(platform.Boxes.size(), 1u);
    EXPECT_EQ(platform.Boxes[0].Text, " The n entered exceeds the maximum size (n=499) for the "
                                      "control or normative sample.");
    EXPECT_TRUE(worksheet->txtInput2->hasFocus());
    EXPECT_TRUE(platform.Open_requests.empty());
    EXPECT_FALSE(fs::exists(folder / "Pavona.txt"));
    platform.Open_answers.clear();
}

TEST_F(ComputeCommand, BadEntriesAreReportedByTheInputChecksOnly) {
    Type_entries("", "10");
    Continue(Data + "/worked_example.txt");
    ASSERT_EQ(platform.Boxes.size(), 1u);
    EXPECT_EQ(platform.Boxes[0].Kind, tMessage_kind::Warning);
    EXPECT_EQ(platform.Boxes[0].Text.rfind("INPUT ERROR", 0), 0u);
    EXPECT_TRUE(worksheet->txtInput1->hasFocus());
    EXPECT_TRUE(platform.Open_requests.empty());
    platform.Open_answers.clear();
}

TEST_F(ComputeCommand, SavedOutputHoldsTheReportWithCrLfAndNoFinalLineEnd) {
    Type_entries("1", "10");
    Continue(Data + "/worked_example.txt");
    const fs::path path = folder / "saved.txt";
    platform.Save_answers.push_back(path.string());
    QTest::mouseClick(viewer->cmdSaveOutput, Qt::LeftButton);

    std::ifstream in(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::string expected;
    for (char c : As_viewer_text(
             Cli_output("--predictors 1 --controls 10 '" + Data + "/worked_example.txt'")))
        expected += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(bytes, expected);
    // The report's last line is empty: the text ends in the line end before
    // it, and no further one is added.
    EXPECT_TRUE(bytes.ends_with("% \r\n")) << bytes.substr(bytes.size() - 20);
}

// Hostile files after a good report: each gets its box, and the report
// already in the viewer is left exactly as it was.
TEST_F(ComputeCommand, HostileFilesLeaveTheViewersReportUntouched) {
    Type_entries("1", "10");
    Continue(Data + "/worked_example.txt");
    const std::string report = viewer->Text();
    Return_to_worksheet();

    const struct {
        const char* Name;
        std::string Bytes;
        std::string Message;
    } files[] = {
        {"empty.txt", "",
         "The data file holds 0 line(s) of data, but n + 1 = 11 are needed: the 10 controls "
         "followed by the case."},
        {"words.txt", "Title: my data\n1 2\n",
         "Invalid numeric input 'Title:' on line 1. The file must hold numbers only: remove the "
         "title row."},
        {"infinity.txt", "inf 2\n", "Invalid numeric input 'inf' on line 1."},
        {"utf16.txt",
         std::string("\xff\xfe"
                     "5\0"
                     "0\0",
                     6),
         Not_plain_text_message("\xFF\xFE", false)},
        {"binary.txt", std::string("\x01\x02\x03\xff\xfe\x00\x7f", 7),
         Not_plain_text_message(std::string(2, '\0'), true)},
    };
    for (const auto& file : files) {
        SCOPED_TRACE(file.Name);
        std::ofstream(folder / file.Name, std::ios::binary) << file.Bytes;
        platform.Clear_record();
        Continue((folder / file.Name).string());
        ASSERT_FALSE(platform.Boxes.empty());
        EXPECT_EQ(Last_box().Kind, tMessage_kind::Error);
        EXPECT_EQ(Last_box().Title, "Pavona");
        if (!file.Message.empty()) {
            EXPECT_EQ(Last_box().Text, file.Message);
        }
        EXPECT_TRUE(worksheet->isVisible());
        EXPECT_FALSE(viewer->isVisible());
        EXPECT_EQ(viewer->Text(), report);
        EXPECT_FALSE(platform.Busy);
    }
}

TEST_F(ComputeCommand, ThePlotIsOfTheLastAnalysisAndItsTailCarriesTheReportsPercentage) {
    EXPECT_FALSE(viewer->mnuShowPlot->isEnabled());
    Type_entries("1", "10");
    Continue(Data + "/worked_example.txt");
    ASSERT_TRUE(viewer->mnuShowPlot->isEnabled());
    viewer->mnuShowPlot->trigger();
    TfrmPlot* plot = viewer->Plot_window();
    ASSERT_NE(plot, nullptr);
    EXPECT_EQ(plot->windowTitle(), "Plot: obtained 40.0000, predicted 60.0000");

    // The figure the report prints, read from its line, is the tail's label.
    const auto Reported_percentage = [this] {
        const std::string marker = "more extreme than the case = ";
        const std::string text = viewer->Text();
        const std::size_t at = text.rfind(marker);
        EXPECT_NE(at, std::string::npos);
        const std::size_t from = at + marker.size();
        return QString::fromStdString(text.substr(from, text.find('%', from) + 1 - from));
    };
    const auto Tail_label = [plot] {
        for (QAbstractSeries* series : plot->chartDiscrepancy->chart()->series())
            if (series->objectName() == "seriesTailArea")
                return static_cast<QScatterSeries*>(series)->pointLabelsFormat();
        return QString();
    };
    EXPECT_EQ(Reported_percentage(), "5.666701%");
    EXPECT_EQ(Tail_label(), Reported_percentage());

    // A second analysis, on other data, redraws the open window.
    Return_to_worksheet();
    Type_entries("3", "30");
    Continue(Data + "/hostile/three_predictors.txt");
    EXPECT_TRUE(plot->isVisible());
    EXPECT_NE(plot->windowTitle(), "Plot: obtained 40.0000, predicted 60.0000");
    EXPECT_EQ(Tail_label(), Reported_percentage());
    int controls = 0;
    for (QAbstractSeries* series : plot->chartScores->chart()->series())
        if (series->objectName() == "seriesControls")
            controls = static_cast<QScatterSeries*>(series)->count();
    EXPECT_EQ(controls, 30);
}

TEST_F(ComputeCommand, ScoresTooLargeToChartStillGetTheirReportButNoPlot) {
    Type_entries("1", "10");
    Continue(Data + "/worked_example.txt");
    viewer->mnuShowPlot->trigger();
    ASSERT_NE(viewer->Plot_window(), nullptr);

    // The worked example in units of 1e400: fine in 80 bits, not in a chart's double.
    std::ifstream in(Data + "/worked_example.txt");
    std::ofstream out(folder / "huge.txt");
    for (double y, x; in >> y >> x;)
        out << y << "e400 " << x << "e400\n";
    out.close();
    Return_to_worksheet();
    Type_entries("1", "10");
    Continue((folder / "huge.txt").string());
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_NE(viewer->Text().rfind("more extreme than the case = 5.666701%"), std::string::npos);
    EXPECT_EQ(platform.Boxes.size(), 1u); // the data file's, nothing more
    EXPECT_FALSE(viewer->mnuShowPlot->isEnabled());
    EXPECT_FALSE(viewer->Plot_window()->isVisible()); // it showed the analysis before
}
