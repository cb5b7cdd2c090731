#include "results/results_form.h"

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextCursor>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <unistd.h>

#include "platform/system_error_message.h"
#include "results/plot_window.h"
#include "tests/support/failing_file_system.h"
#include "tests/support/scripted_platform.h"

namespace fs = std::filesystem;

namespace {

class ResultsViewer : public testing::Test {
protected:
    tScripted_platform platform;
    std::unique_ptr<TfrmTemplateResults> form;
    QWidget worksheet;
    int quits = 0;
    fs::path folder;

    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("pavona_viewer_" + std::to_string(getpid()) + "_" +
                  testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
        form = std::make_unique<TfrmTemplateResults>(platform, [this] { ++quits; });
        form->Set_worksheet(&worksheet);
    }
    void TearDown() override {
        form.reset();
        fs::remove_all(folder);
    }

    static std::string Bytes(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
};

} // namespace

TEST_F(ResultsViewer, ControlsSitWhereTheLayoutPutsThem) {
    EXPECT_EQ(form->centralWidget()->size(), QSize(792, 554));
    EXPECT_EQ(form->windowTitle(), "Output");
    EXPECT_FALSE(form->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(form->windowFlags() & Qt::WindowSystemMenuHint);
    EXPECT_FALSE(form->windowIcon().isNull());

    struct tRow {
        QWidget* Control;
        const char* Name;
        QRect Geometry;
        const char* Caption;
    };
    const tRow rows[] = {
        {form->Panel1, "Panel1", {12, 2, 765, 468}, nullptr},
        {form->memoResults, "memoResults", {8, 8, 749, 452}, nullptr},
        {form->Panel2, "Panel2", {12, 482, 765, 49}, nullptr},
        {form->cmdSaveOutput, "cmdSaveOutput", {28, 488, 161, 37}, "Save Output"},
        {form->cmdClearResults, "cmdClearResults", {220, 488, 161, 37}, "Clear Results"},
        {form->cmdReturn, "cmdReturn", {411, 488, 161, 37}, "Return to Worksheet"},
        {form->cmdExit, "cmdExit", {603, 488, 161, 37}, "Exit"},
    };
    for (const tRow& row : rows) {
        SCOPED_TRACE(row.Name);
        EXPECT_EQ(row.Control->objectName(), row.Name);
        EXPECT_EQ(row.Control->geometry(), row.Geometry);
        if (row.Caption) {
            auto* button = qobject_cast<QPushButton*>(row.Control);
            ASSERT_NE(button, nullptr);
            EXPECT_EQ(button->text(), row.Caption);
            EXPECT_TRUE(button->font().bold());
        }
    }
    EXPECT_EQ(form->memoResults->parentWidget(), form->Panel1);
    EXPECT_EQ(form->memoResults->font().pixelSize(), 12);
    EXPECT_EQ(form->memoResults->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_EQ(form->memoResults->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_FALSE(form->memoResults->isReadOnly());

    EXPECT_EQ(form->mnuPrinterOptions->title(), "Printer options...");
    EXPECT_EQ(form->mnuPrint->text(), "Print All");
    EXPECT_EQ(form->mnuPrintSelection->text(), "Print Selection");
}

TEST_F(ResultsViewer, FirstShowPutsTheFocusOnReturnToWorksheet) {
    form->show();
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    EXPECT_TRUE(form->cmdReturn->hasFocus());
}

TEST_F(ResultsViewer, AppendedLinesKeepEmptyAndBlankLinesAndOnlyGrow) {
    EXPECT_FALSE(form->Has_text());
    form->Append_lines({"", "first", " "});
    EXPECT_TRUE(form->Has_text());
    form->Append_lines({"second"});
    EXPECT_EQ(form->Text(), "\nfirst\n \nsecond");
}

TEST_F(ResultsViewer, SaveWritesTheEditedTextWithCrLfAndNoFinalLineEnd) {
    form->Append_lines({"", "line one", "line two"});
    form->memoResults->moveCursor(QTextCursor::End);
    form->memoResults->insertPlainText(" edited");
    const fs::path path = folder / "results.txt";
    platform.Save_answers.push_back(path.string());

    QTest::mouseClick(form->cmdSaveOutput, Qt::LeftButton);

    ASSERT_EQ(platform.Save_requests.size(), 1u);
    EXPECT_EQ(platform.Save_requests[0].Default_name, "results.txt");
    EXPECT_EQ(platform.Save_requests[0].Filter_pattern, "*.txt");
    EXPECT_TRUE(platform.Save_requests[0].Ask_before_overwrite);
    EXPECT_EQ(Bytes(path), "\r\nline one\r\nline two edited");
    EXPECT_TRUE(platform.Boxes.empty());
}

TEST_F(ResultsViewer, SaveCancelledWritesNothing) {
    form->Append_lines({"text"});
    platform.Save_answers.push_back(std::nullopt);
    QTest::mouseClick(form->cmdSaveOutput, Qt::LeftButton);
    EXPECT_TRUE(fs::is_empty(folder));
    EXPECT_EQ(form->Text(), "text");
}

TEST_F(ResultsViewer, SaveFailureReachesTheDefaultErrorBox) {
    form->Append_lines({"text"});
    platform.Save_answers.push_back((folder / "missing" / "results.txt").string());
    QTest::mouseClick(form->cmdSaveOutput, Qt::LeftButton);
    ASSERT_EQ(platform.Boxes.size(), 1u);
    EXPECT_EQ(platform.Boxes[0].Kind, tMessage_kind::Error);
    EXPECT_EQ(platform.Boxes[0].Title, "Pavona");
    EXPECT_EQ(platform.Boxes[0].Text, "File not found.");
    EXPECT_EQ(form->Text(), "text");
}

TEST_F(ResultsViewer, ASaveThatFailsPartWayLeavesTheFileItWasToReplaceByteForByte) {
    form->Append_lines(std::vector<std::string>(40, "a line of the new report"));
    const fs::path path = folder / "results.txt";
    const std::string old_bytes = "an earlier report\r\nkept";
    for (QAction* save : {static_cast<QAction*>(nullptr), form->mnuSaveAsPdf}) {
        SCOPED_TRACE(save ? "Save as PDF" : "Save Output");
        std::ofstream(path, std::ios::binary) << old_bytes;
        platform.Boxes.clear();
        platform.Save_answers.push_back(path.string());
        tFailing_file_system files(tFailing_file_system::tStep::Write);
        files.Bytes_before_failure = 100;
        {
            const tFile_system_replacement replacement(files);
            if (save)
                save->trigger();
            else
                QTest::mouseClick(form->cmdSaveOutput, Qt::LeftButton);
        }
        ASSERT_EQ(platform.Boxes.size(), 1u);
        EXPECT_EQ(platform.Boxes[0].Kind, tMessage_kind::Error);
        EXPECT_EQ(platform.Boxes[0].Text, With_full_stop(System_error_message(ENOSPC)));
        EXPECT_EQ(Bytes(path), old_bytes);
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
    }
}

TEST_F(ResultsViewer, PrintAllSendsTheWholeTextAndALineEndIn8PointCourierNew) {
    form->Append_lines({"", "alpha", "\tbeta"});
    form->mnuPrint->trigger();
    ASSERT_EQ(platform.Prints.size(), 1u);
    EXPECT_EQ(platform.Prints[0].Text, "\nalpha\n\tbeta\n");
    EXPECT_EQ(platform.Prints[0].Font_family, "Courier New");
    EXPECT_EQ(platform.Prints[0].Point_size, 8);
}

TEST_F(ResultsViewer, PrintSelectionPrintsOnlyTheSelectedCharacters) {
    form->Append_lines({"first line", "second line", "third"});
    QTextCursor cursor = form->memoResults->textCursor();
    cursor.setPosition(6);                           // "line" of the first line
    cursor.setPosition(17, QTextCursor::KeepAnchor); // up to "second"
    form->memoResults->setTextCursor(cursor);
    form->mnuPrintSelection->trigger();
    ASSERT_EQ(platform.Prints.size(), 1u);
    EXPECT_EQ(platform.Prints[0].Text, "line\nsecond\n");
}

TEST_F(ResultsViewer, PrintSelectionWithoutASelectionWarnsAndPrintsNothing) {
    form->Append_lines({"text"});
    form->mnuPrintSelection->trigger();
    EXPECT_TRUE(platform.Prints.empty());
    ASSERT_EQ(platform.Boxes.size(), 1u);
    EXPECT_EQ(platform.Boxes[0].Text, "You have not selected any text.");
    EXPECT_EQ(platform.Boxes[0].Kind, tMessage_kind::Warning);
    EXPECT_EQ(platform.Boxes[0].Buttons, Ok_button);
}

TEST_F(ResultsViewer, NoDefaultPrinterGivesTheErrorBox) {
    platform.Printer_available = false;
    form->Append_lines({"text"});
    form->mnuPrint->trigger();
    ASSERT_EQ(platform.Boxes.size(), 1u);
    EXPECT_EQ(platform.Boxes[0].Kind, tMessage_kind::Error);
    EXPECT_EQ(platform.Boxes[0].Title, "Pavona");
    EXPECT_EQ(platform.Boxes[0].Text, "There is no default printer currently selected.");
}

TEST_F(ResultsViewer, SaveAsPdfFollowsPrintSelectionInThePrinterMenu) {
    const QList<QAction*> items = form->mnuPrinterOptions->actions();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[1], form->mnuPrintSelection);
    EXPECT_EQ(items[2], form->mnuSaveAsPdf);
    EXPECT_EQ(form->mnuSaveAsPdf->text(), "Save as PDF...");
}

TEST_F(ResultsViewer, SaveAsPdfWritesTheWholeEditedTextAsPrintAllWouldPrintIt) {
    form->Append_lines({"", "alpha", "\tbeta"});
    form->memoResults->moveCursor(QTextCursor::End);
    form->memoResults->insertPlainText(" edited");
    // A selection does not narrow what is saved.
    QTextCursor cursor = form->memoResults->textCursor();
    cursor.setPosition(1);
    cursor.setPosition(3, QTextCursor::KeepAnchor);
    form->memoResults->setTextCursor(cursor);
    const fs::path path = folder / "report.pdf";
    platform.Save_answers.push_back(path.string());

    form->mnuSaveAsPdf->trigger();
    form->mnuPrint->trigger();

    ASSERT_EQ(platform.Save_requests.size(), 1u);
    EXPECT_EQ(platform.Save_requests[0].Default_name, "results.pdf");
    EXPECT_EQ(platform.Save_requests[0].Filter_pattern, "*.pdf");
    EXPECT_TRUE(platform.Save_requests[0].Ask_before_overwrite);
    ASSERT_EQ(platform.Pdfs.size(), 1u);
    ASSERT_EQ(platform.Prints.size(), 1u);
    EXPECT_EQ(platform.Pdfs[0].Text, "\nalpha\n\tbeta edited\n");
    EXPECT_EQ(platform.Pdfs[0].Text, platform.Prints[0].Text);
    EXPECT_EQ(platform.Pdfs[0].Font_family, platform.Prints[0].Font_family);
    EXPECT_EQ(platform.Pdfs[0].Point_size, platform.Prints[0].Point_size);
    // The document's bytes unchanged: no line-end conversion as for text.
    EXPECT_EQ(Bytes(path), "%PDF-scripted \nalpha\n\tbeta edited\n");
    EXPECT_TRUE(platform.Boxes.empty());
}

TEST_F(ResultsViewer, SaveAsPdfFailuresReadAsSaveOutputFailures) {
    form->Append_lines({"text"});
    fs::create_directory(folder / "a_folder");
    const std::vector<std::string> targets = {(folder / "missing" / "results.pdf").string(),
                                              (folder / "a_folder").string()};
    for (const std::string& target : targets) {
        platform.Save_answers.push_back(target);
        form->mnuSaveAsPdf->trigger();
        platform.Save_answers.push_back(target);
        QTest::mouseClick(form->cmdSaveOutput, Qt::LeftButton);
    }
    ASSERT_EQ(platform.Boxes.size(), 4u);
    EXPECT_EQ(platform.Boxes[0].Text, "File not found.");
    EXPECT_EQ(platform.Boxes[2].Text, "File access denied.");
    for (size_t box = 0; box < 4; box += 2) {
        EXPECT_EQ(platform.Boxes[box].Kind, tMessage_kind::Error);
        EXPECT_EQ(platform.Boxes[box].Title, "Pavona");
        EXPECT_EQ(platform.Boxes[box].Text, platform.Boxes[box + 1].Text);
    }
    EXPECT_EQ(form->Text(), "text");
}

TEST_F(ResultsViewer, ClearEmptiesTheMemoWithoutAsking) {
    form->Append_lines({"text", "more"});
    QTest::mouseClick(form->cmdClearResults, Qt::LeftButton);
    EXPECT_FALSE(form->Has_text());
    EXPECT_TRUE(platform.Boxes.empty());
}

TEST_F(ResultsViewer, ReturnHidesTheViewerShowsTheWorksheetAndKeepsTheText) {
    form->Append_lines({"report"});
    form->show();
    QTest::mouseClick(form->cmdReturn, Qt::LeftButton);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(worksheet.isVisible());
    EXPECT_EQ(form->Text(), "report");
}

TEST_F(ResultsViewer, ExitAsksAndEndsOnlyOnYes) {
    form->show();
    platform.Box_answers.push_back(tButton::No);
    QTest::mouseClick(form->cmdExit, Qt::LeftButton);
    EXPECT_EQ(quits, 0);
    EXPECT_TRUE(form->isVisible());
    platform.Box_answers.push_back(tButton::Yes);
    QTest::mouseClick(form->cmdExit, Qt::LeftButton);
    EXPECT_EQ(quits, 1);
    ASSERT_EQ(platform.Boxes.size(), 2u);
    for (const tRecorded_box& box : platform.Boxes) {
        EXPECT_EQ(box.Text, "Exit from program?");
        EXPECT_EQ(box.Kind, tMessage_kind::Confirmation);
        EXPECT_EQ(box.Buttons, Yes_no_buttons);
    }
}

TEST_F(ResultsViewer, AWindowManagerCloseRequestIsRefused) {
    form->show();
    form->close();
    EXPECT_TRUE(form->isVisible());
}

TEST_F(ResultsViewer, ShowPlotWaitsForAnAnalysisThenDrawsTheLastOne) {
    // The second menu, after the printer's.
    const QList<QAction*> menus = form->menuBar()->actions();
    ASSERT_EQ(menus.size(), 2);
    EXPECT_EQ(menus[0]->text(), "Printer options...");
    EXPECT_EQ(menus[1]->text(), "Plot");
    EXPECT_EQ(form->mnuPlot->actions(), QList<QAction*>{form->mnuShowPlot});
    EXPECT_EQ(form->mnuShowPlot->text(), "Show plot...");
    EXPECT_EQ(form->mnuShowPlot->shortcut(), QKeySequence("Ctrl+G"));

    EXPECT_FALSE(form->mnuShowPlot->isEnabled());
    form->mnuShowPlot->trigger(); // a shortcut cannot reach it either; nothing opens
    EXPECT_EQ(form->Plot_window(), nullptr);

    tPlot_points first;
    first.Controls = {{1, 2}, {3, 3}};
    first.Case = {40, 60};
    first.DF = 1;
    first.Title = "Plot: obtained 60.0000, predicted 40.0000";
    first.Scores.X = first.Scores.Y = Round_axis("", 0, 70);
    first.Discrepancy.X = Round_axis("", -4, 4);
    first.Discrepancy.Y = Round_axis("", 0, 0.5);
    form->Set_plot(first);
    EXPECT_TRUE(form->mnuShowPlot->isEnabled());
    form->mnuShowPlot->trigger();
    ASSERT_NE(form->Plot_window(), nullptr);
    EXPECT_TRUE(form->Plot_window()->isVisible());
    EXPECT_EQ(form->Plot_window()->windowTitle(), "Plot: obtained 60.0000, predicted 40.0000");

    // A later analysis redraws the open window; Clear Results leaves the plot.
    tPlot_points second = first;
    second.Case = {55.5, 41.25};
    second.Title = "Plot: obtained 41.2500, predicted 55.5000";
    form->Set_plot(second);
    EXPECT_EQ(form->Plot_window()->windowTitle(), "Plot: obtained 41.2500, predicted 55.5000");
    QTest::mouseClick(form->cmdClearResults, Qt::LeftButton);
    EXPECT_TRUE(form->mnuShowPlot->isEnabled());
    EXPECT_TRUE(platform.Boxes.empty());
}
