#include "app/worksheet_form.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <unistd.h>

#include "platform/qt_platform.h"
#include "results/results_form.h"
#include "tests/support/scripted_platform.h"

namespace fs = std::filesystem;

namespace {

const std::string Invalid_entry = "There is an invalid data entry, which will be highlighted once "
                                  "you click 'OK', please re-enter.";
const std::string Numeric_only = "INPUT ERROR\r\rEnter numeric data only.";

class Worksheet : public testing::Test {
protected:
    tScripted_platform platform;
    fs::path folder;
    std::unique_ptr<TfrmTemplate> form;
    int quits = 0;

    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("pavona_form_" + std::to_string(getpid()) + "_" +
                  testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override {
        form.reset();
        fs::remove_all(folder);
    }

    void Write_state(const std::string& content) {
        std::ofstream(folder / "Pavona.txt", std::ios::binary) << content;
    }

    // Creates and shows the worksheet as the program does.
    void Start() {
        form = std::make_unique<TfrmTemplate>(platform, folder.string());
        form->setQuitAction([this] { ++quits; });
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    void Expect_only_boxes(const std::string& text, tMessage_kind kind) {
        ASSERT_FALSE(platform.Boxes.empty());
        for (const tRecorded_box& box : platform.Boxes) {
            EXPECT_EQ(box.Text, text);
            EXPECT_EQ(box.Kind, kind);
            EXPECT_EQ(box.Buttons, Ok_button);
        }
    }
};

// A user answering the real message boxes: a timer finds each new box while
// the box's own event loop runs and hands it to `answer`.
class tBox_user {
public:
    explicit tBox_user(std::function<void(QMessageBox&)> answer) : answer_(std::move(answer)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || box == last_ || !box->isVisible()) return;
            last_ = box;
            ++boxes_;
            answer_(*box);
        });
        timer_.start(10);
    }
    int Boxes() const { return boxes_; }

private:
    std::function<void(QMessageBox&)> answer_;
    QTimer timer_;
    QPointer<QMessageBox> last_;
    int boxes_ = 0;
};

struct tControl_row {
    const char* Name;
    const char* Parent;
    QRect Geometry;
    const char* Caption; // nullptr: no caption to compare
};

} // namespace

TEST_F(Worksheet, ControlsSitWhereTheLayoutPutsThemWithTheirCaptions) {
    Start();
    EXPECT_EQ(form->size(), QSize(792, 585));
    EXPECT_EQ(form->minimumSize(), form->maximumSize()); // not sizeable
    EXPECT_TRUE(form->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(form->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(form->windowTitle().toStdString(),
              "Pavona.exe: Builds a multiple regression equation and uses it to make inferences "
              "concerning a case");

    const tControl_row rows[] = {
        {"DescripFld", "frmTemplate", {12, 7, 768, 94}, nullptr},
        {"Panel3", "frmTemplate", {12, 106, 768, 33}, nullptr},
        {"memoComments", "frmTemplate", {112, 110, 666, 25}, ""},
        {"Panel1", "frmTemplate", {12, 143, 768, 346}, nullptr},
        {"RadioGroup1", "Panel1", {8, 16, 225, 105}, "95% credible limit required..."},
        {"Label1", "Panel1", {312, 28, 345, 16}, "Number of predictor (i.e., X) variables : "},
        {"txtInput1", "Panel1", {688, 24, 56, 24}, ""},
        {"Label2",
         "Panel1",
         {312, 68, 369, 16},
         "Sample size (N) of sample providing the summary data:"},
        {"txtInput2", "Panel1", {688, 64, 56, 24}, ""},
        {"pan1", "frmTemplate", {12, 500, 768, 49}, nullptr},
        {"cmdCompute", "frmTemplate", {28, 506, 165, 37}, "Continue"},
        {"btnclearData", "frmTemplate", {220, 506, 161, 37}, "Clear Data "},
        {"ExitBtn", "frmTemplate", {603, 506, 161, 37}, "Exit"},
    };
    for (const tControl_row& row : rows) {
        SCOPED_TRACE(row.Name);
        auto* widget = form->findChild<QWidget*>(QLatin1String(row.Name));
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->parentWidget()->objectName().toStdString(), row.Parent);
        EXPECT_EQ(widget->geometry(), row.Geometry);
        if (!row.Caption) continue;
        QString caption;
        if (auto* label = qobject_cast<QLabel*>(widget)) caption = label->text();
        if (auto* edit = qobject_cast<QLineEdit*>(widget)) caption = edit->text();
        if (auto* button = qobject_cast<QPushButton*>(widget)) caption = button->text();
        if (auto* group = qobject_cast<QGroupBox*>(widget)) caption = group->title();
        if (auto* memo = qobject_cast<QPlainTextEdit*>(widget)) caption = memo->toPlainText();
        EXPECT_EQ(caption.toStdString(), row.Caption);
    }
    EXPECT_EQ(form->lblComments->parentWidget(), form->Panel3);
    EXPECT_EQ(form->lblComments->pos(), QPoint(6, 8));
    EXPECT_EQ(form->lblComments->text(), "User's Notes:");
    EXPECT_TRUE(form->lblComments->font().bold());
    for (QWidget* bold :
         {static_cast<QWidget*>(form->txtInput1), static_cast<QWidget*>(form->txtInput2),
          static_cast<QWidget*>(form->cmdCompute)})
        EXPECT_TRUE(bold->font().bold());
    EXPECT_EQ(form->memoComments->font().pixelSize(), 12);
    EXPECT_TRUE(QFontInfo(form->memoComments->font()).fixedPitch());
    EXPECT_EQ(form->font().pixelSize(), 13);

    EXPECT_EQ(form->RadioGroup1Items[0]->text(), "Two-sided");
    EXPECT_EQ(form->RadioGroup1Items[1]->text(), "One-sided  lower");
    EXPECT_EQ(form->RadioGroup1Items[2]->text(), "One-sided upper");
    EXPECT_EQ(form->RadioGroup1ItemIndex(), 0);
    EXPECT_TRUE(form->DescripFld->isReadOnly());
    EXPECT_EQ(form->DescripFld->focusPolicy(), Qt::NoFocus);
}

TEST_F(Worksheet, TabGoesThroughTheEntriesTheLimitsTheNotesAndTheButtonsInOrder) {
    Start();
    // The limits are one stop: the chosen kind. Tab goes round; Shift+Tab back.
    const std::vector<QWidget*> stops = {
        form->txtInput1,    form->txtInput2,  form->RadioGroup1Items[0],
        form->memoComments, form->cmdCompute, form->btnclearData,
        form->ExitBtn,      form->txtInput1};
    form->txtInput1->setFocus();
    for (std::size_t i = 1; i < stops.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), stops[i]) << "Tab " << i;
    }
    for (std::size_t i = stops.size() - 1; i-- > 0;) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_EQ(QApplication::focusWidget(), stops[i]) << "Shift+Tab to " << i;
    }
}

TEST_F(Worksheet, TabReachesTheChosenLimitsWhoseArrowKeysMoveTheChoice) {
    Start();
    const struct {
        int Chosen;
        Qt::Key Arrow;
        int Then;
    } rows[] = {
        {0, Qt::Key_Down, 1},
        {1, Qt::Key_Down, 2},
        {2, Qt::Key_Up, 1},
        {1, Qt::Key_Up, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Chosen);
        form->setRadioGroup1ItemIndex(row.Chosen);
        form->txtInput2->setFocus();
        QTest::keyClick(form->txtInput2, Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), form->RadioGroup1Items[row.Chosen]);
        QTest::keyClick(QApplication::focusWidget(), row.Arrow);
        EXPECT_EQ(form->RadioGroup1ItemIndex(), row.Then);
        EXPECT_EQ(QApplication::focusWidget(), form->RadioGroup1Items[row.Then]);
    }
}

TEST_F(Worksheet, DescriptionIsOneParagraphOpeningWithTheMethodAndClosingWithTheBuildDate) {
    const QString text = TfrmTemplate::DescriptionText();
    EXPECT_TRUE(text.startsWith("This computer program (Pavona.exe) implements the following "
                                "method: A regression-based method"));
    EXPECT_FALSE(text.contains('\n'));
    // It cites a method, so it refers back to that method, never to a paper.
    EXPECT_TRUE(text.contains("effect size.  Despite the name of the foregoing method, this "
                              "particular program does NOT"));
    EXPECT_FALSE(text.contains("paper"));
    EXPECT_TRUE(text.contains("The program: (a) calculates the case's predicted score; (b)tests "));
    EXPECT_TRUE(text.contains("; and (d) provides accompanying 95% confidence limits on this "
                              "percentage.  To use the program"));
    EXPECT_TRUE(text.contains(QRegularExpression(
        R"(non-linear effects\.  \( Current version of program compiled on \d{1,2}/\d{1,2}/\d{4}\)\.$)")));
    EXPECT_GT(text.size(), 2200);
    EXPECT_LT(text.size(), 2700);
}

TEST_F(Worksheet, StartWithoutStateFileLeavesEmptyFieldsAndFocusOnPredictors) {
    Start();
    EXPECT_TRUE(platform.Boxes.empty());
    EXPECT_EQ(form->txtInput1->text(), "");
    EXPECT_EQ(form->txtInput2->text(), "");
    EXPECT_EQ(form->focusWidget(), form->txtInput1);
    EXPECT_EQ(form->DescripFld->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(form->memoComments->height(), 25);
}

TEST_F(Worksheet, StartWithStateFileRestoresEntriesAndFocusesSampleSize) {
    Write_state("3\r\n30.\r\n");
    Start();
    EXPECT_TRUE(platform.Boxes.empty());
    EXPECT_EQ(form->txtInput1->text(), "3");
    EXPECT_EQ(form->txtInput2->text(), "30");
    EXPECT_EQ(form->focusWidget(), form->txtInput2);

    // Shown again (back from the results): the same rule picks the field.
    form->hide();
    form->txtInput1->clear();
    form->show();
    EXPECT_EQ(form->focusWidget(), form->txtInput1);
}

TEST_F(Worksheet, ANonIntegerStoredPredictorCountStopsTheRestoreWithAnErrorBox) {
    Write_state("2.5\r\n30\r\n");
    Start();
    ASSERT_EQ(platform.Boxes.size(), 1u);
    EXPECT_EQ(platform.Boxes[0].Text, "'2.5' is not a valid integer value.");
    EXPECT_EQ(platform.Boxes[0].Title, "Pavona");
    EXPECT_EQ(form->txtInput1->text(), "2.5");
    EXPECT_EQ(form->txtInput2->text(), "");
    EXPECT_TRUE(form->txtInput2->isVisible());
    EXPECT_TRUE(form->Label2->isVisible());
}

TEST_F(Worksheet, AStateFileWithoutNumbersShowsTheReadErrorAndLeavesAUsableWorksheet) {
    Write_state("abc\r\n30\r\n");
    Start();
    ASSERT_EQ(platform.Boxes.size(), 1u);
    EXPECT_EQ(platform.Boxes[0].Text, "Invalid numeric input.");
    EXPECT_EQ(platform.Boxes[0].Kind, tMessage_kind::Error);
    EXPECT_EQ(form->txtInput1->text(), "");
    QTest::keyClicks(form->txtInput2, "25");
    EXPECT_EQ(form->txtInput2->text(), "25");
}

TEST_F(Worksheet, PredictorsAboveTwelveAreCappedAndSelected) {
    Start();
    QTest::keyClicks(form->txtInput1, "13");
    Expect_only_boxes("Maximum size of grid is 12 rows.", tMessage_kind::Warning);
    EXPECT_EQ(platform.Boxes.size(), 1u);
    EXPECT_EQ(form->txtInput1->text(), "12");
    EXPECT_EQ(form->txtInput1->selectedText(), "12");
}

TEST_F(Worksheet, ALetterInPredictorsStaysAndDrawsTheInvalidEntryWarning) {
    Start();
    QTest::keyClick(form->txtInput1, Qt::Key_A);
    EXPECT_EQ(form->txtInput1->text(), "a");
    Expect_only_boxes(Invalid_entry, tMessage_kind::Warning);
}

TEST_F(Worksheet, EnterClosesARealWarningOfThePredictorsFieldOnceAndLeavesItsSelection) {
    const struct {
        const char* Typed;
        const char* Text;
        const char* Selected;
    } rows[] = {
        {"a", "a", ""},     // the invalid-entry warning, from the change check
        {"13", "12", "12"}, // the grid's maximum, from the key-release check
    };
    tQt_platform qt;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Typed);
        form = std::make_unique<TfrmTemplate>(qt, folder.string());
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        QWindow* worksheet = form->windowHandle();
        // Enter's press closes the box; its release then goes where the focus
        // has gone back to. A user caught in a loop of boxes gives up at five.
        tBox_user user([&](QMessageBox& box) {
            if (user.Boxes() >= 5) return box.done(0);
            QTest::keyPress(box.windowHandle(), Qt::Key_Return);
            QTimer::singleShot(0, form.get(),
                               [worksheet] { QTest::keyRelease(worksheet, Qt::Key_Return); });
        });
        for (const char* key = row.Typed; *key; ++key) {
            const int boxes = user.Boxes();
            QTest::keyPress(worksheet, *key);
            // A box shown by the press has taken the key's release.
            if (user.Boxes() == boxes) QTest::keyRelease(worksheet, *key);
        }
        QTest::qWait(100);
        EXPECT_EQ(user.Boxes(), 1);
        EXPECT_EQ(form->txtInput1->text(), row.Text);
        EXPECT_EQ(form->focusWidget(), form->txtInput1);
        EXPECT_EQ(form->txtInput1->selectedText(), row.Selected);
        form.reset(); // before the platform it uses
    }
}

TEST_F(Worksheet, APointAfterADigitInPredictorsRaisesTheIntegerConversionError) {
    Start();
    QTest::keyClicks(form->txtInput1, "2.");
    ASSERT_EQ(platform.Boxes.size(), 1u);
    EXPECT_EQ(platform.Boxes[0].Text, "'2.' is not a valid integer value.");
    EXPECT_EQ(platform.Boxes[0].Kind, tMessage_kind::Error);
    EXPECT_EQ(platform.Boxes[0].Title, "Pavona");
    EXPECT_EQ(form->txtInput1->text(), "2.");
}

TEST_F(Worksheet, SampleSizeRefusesLettersAndEntersACommaAsAPoint) {
    Start();
    QTest::keyClick(form->txtInput2, Qt::Key_X);
    EXPECT_EQ(form->txtInput2->text(), "");
    EXPECT_EQ(platform.Beeps, 1);
    Expect_only_boxes(Numeric_only, tMessage_kind::Warning);
    platform.Clear_record();

    QTest::keyClicks(form->txtInput2, "3,5");
    EXPECT_EQ(form->txtInput2->text(), "3.5");
    EXPECT_TRUE(platform.Boxes.empty());
    QTest::keyClick(form->txtInput2, Qt::Key_Backspace);
    EXPECT_EQ(form->txtInput2->text(), "3.");
}

TEST_F(Worksheet, ASeventhCharacterInSampleSizeIsCutOffWithABeep) {
    Start();
    QTest::keyClicks(form->txtInput2, "1234567");
    EXPECT_EQ(platform.Beeps, 1);
    Expect_only_boxes("Maximum length of input is 6 characters.", tMessage_kind::Warning);
    EXPECT_EQ(form->txtInput2->text(), "123456");
    EXPECT_EQ(form->txtInput2->selectedText(), "123456");
}

TEST_F(Worksheet, PastingOrDroppingIntoSampleSizeGoesThroughTheFilter) {
    Start();
    QApplication::clipboard()->setText("12a");
    QTest::keyClick(form->txtInput2, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(form->txtInput2->text(), "");
    EXPECT_EQ(platform.Beeps, 1);
    Expect_only_boxes(Numeric_only, tMessage_kind::Warning);
    platform.Clear_record();

    std::unique_ptr<QMenu> menu(form->txtInput2->createFilteredContextMenu());
    QAction* paste = menu->findChild<QAction*>("edit-paste");
    ASSERT_NE(paste, nullptr);
    paste->trigger();
    EXPECT_EQ(form->txtInput2->text(), "");
    EXPECT_EQ(platform.Beeps, 1);
    platform.Clear_record();

    QApplication::clipboard()->setText("4,5");
    menu.reset(form->txtInput2->createFilteredContextMenu());
    menu->findChild<QAction*>("edit-paste")->trigger();
    EXPECT_EQ(form->txtInput2->text(), "4.5");
    EXPECT_TRUE(platform.Boxes.empty());

    // A long paste is capped like typing.
    QApplication::clipboard()->setText("99999");
    menu.reset(form->txtInput2->createFilteredContextMenu());
    menu->findChild<QAction*>("edit-paste")->trigger();
    EXPECT_EQ(form->txtInput2->text(), "4.5999");
    Expect_only_boxes("Maximum length of input is 6 characters.", tMessage_kind::Warning);
    platform.Clear_record();

    form->txtInput2->clear();
    QMimeData data;
    data.setText("7x");
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form->txtInput2, &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form->txtInput2, &drop);
    EXPECT_EQ(form->txtInput2->text(), "");
    EXPECT_EQ(platform.Beeps, 1);

    data.setText("8,");
    QApplication::sendEvent(form->txtInput2, &enter);
    QDropEvent good_drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form->txtInput2, &good_drop);
    EXPECT_EQ(form->txtInput2->text(), "8.");
}

TEST_F(Worksheet, NotesGrowOnEnterAndShrinkWhenLeft) {
    Start();
    form->memoComments->setFocus();
    QTest::keyClicks(form->memoComments, "first");
    EXPECT_EQ(form->memoComments->height(), 25);
    QTest::keyClick(form->memoComments, Qt::Key_Return);
    EXPECT_EQ(form->memoComments->height(), 70);
    QTest::keyClicks(form->memoComments, "second");

    form->txtInput1->setFocus();
    EXPECT_EQ(form->memoComments->height(), 25);
    form->memoComments->setFocus();
    EXPECT_EQ(form->memoComments->height(), 70);
    EXPECT_EQ(form->memoComments->toPlainText(), "first\nsecond");
}

TEST_F(Worksheet, NotesHoldAtMost250Characters) {
    Start();
    form->memoComments->setFocus();
    QTest::keyClicks(form->memoComments, QString(260, 'n'));
    EXPECT_EQ(form->memoComments->toPlainText().size(), 250);
}

TEST_F(Worksheet, ALineBreakInTheNotesCountsTwoAsInTheReportTool) {
    Start();
    form->memoComments->setFocus();
    QTest::keyClicks(form->memoComments, QString(247, 'n'));
    QTest::keyClick(form->memoComments, Qt::Key_Return);
    QTest::keyClicks(form->memoComments, "abc");
    // 247 + 2 + 1 = 250: the 'a' fits, 'b' and 'c' do not.
    EXPECT_EQ(form->memoComments->toPlainText(), QString(247, 'n') + "\na");
}

TEST_F(Worksheet, ClearDataEmptiesEntriesAndNotesAndDeletesTheStateFileButKeepsTheLimits) {
    Write_state("3\r\n30\r\n");
    Start();
    form->memoComments->setPlainText("note");
    form->setRadioGroup1ItemIndex(2);
    QTest::mouseClick(form->btnclearData, Qt::LeftButton);
    EXPECT_EQ(form->txtInput1->text(), "");
    EXPECT_EQ(form->txtInput2->text(), "");
    EXPECT_EQ(form->memoComments->toPlainText(), "");
    EXPECT_FALSE(fs::exists(folder / "Pavona.txt"));
    EXPECT_EQ(form->RadioGroup1ItemIndex(), 2);
    EXPECT_EQ(form->focusWidget(), form->txtInput1);
    EXPECT_TRUE(platform.Boxes.empty());

    // The next start shows empty fields.
    form.reset();
    Start();
    EXPECT_EQ(form->txtInput1->text(), "");
}

TEST_F(Worksheet, ExitAsksAndEndsOnlyOnYes) {
    Start();
    form->txtInput1->setText("3");
    platform.Box_answers = {tButton::No};
    QTest::mouseClick(form->ExitBtn, Qt::LeftButton);
    ASSERT_EQ(platform.Boxes.size(), 1u);
    EXPECT_EQ(platform.Boxes[0].Text, "Exit from program?");
    EXPECT_EQ(platform.Boxes[0].Kind, tMessage_kind::Confirmation);
    EXPECT_EQ(platform.Boxes[0].Buttons, Yes_no_buttons);
    EXPECT_EQ(quits, 0);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->txtInput1->text(), "3");

    platform.Box_answers = {tButton::Yes};
    QTest::mouseClick(form->ExitBtn, Qt::LeftButton);
    EXPECT_EQ(quits, 1);
}

TEST_F(Worksheet, ClosingTheWindowEndsTheProgramWithoutAsking) {
    Start();
    form->close();
    EXPECT_EQ(quits, 1);
    EXPECT_TRUE(platform.Boxes.empty());
}

TEST_F(Worksheet, ExitAnsweredYesInTheRealBoxEndsTheProgramFromEitherWindow) {
    // The two windows as the program makes them, on the real platform.
    tQt_platform qt;
    TfrmTemplate worksheet(qt, folder.string());
    TfrmTemplateResults viewer(qt, End_application);
    viewer.Set_worksheet(&worksheet);
    worksheet.setResultsViewer(&viewer);
    const struct {
        const char* Name;
        QWidget* Window;
        QPushButton* Exit;
    } rows[] = {
        {"worksheet", &worksheet, worksheet.ExitBtn},
        {"results viewer", &viewer, viewer.cmdExit},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Name);
        worksheet.hide();
        viewer.hide();
        row.Window->show();
        tBox_user user([](QMessageBox& box) {
            for (QAbstractButton* button : box.buttons())
                if (button->text() == "&Yes") QTest::mouseClick(button, Qt::LeftButton);
        });
        // Timers owned by `scope` go with it: none outlives the row.
        QObject scope;
        QTimer::singleShot(0, &scope, [&] { QTest::mouseClick(row.Exit, Qt::LeftButton); });
        bool ended_by_us = false;
        QTimer::singleShot(5000, &scope, [&] {
            ended_by_us = true;
            QCoreApplication::exit(1);
        });
        const int status = QApplication::exec();
        EXPECT_EQ(user.Boxes(), 1);
        EXPECT_FALSE(ended_by_us) << "the program kept running after Yes";
        EXPECT_EQ(status, 0);
    }
}
