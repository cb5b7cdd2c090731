#include "app/worksheet_form.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QTextBlock>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>

#include "assessment/input_validation.h"
#include "assessment/notes.h"
#include "assessment/program_texts.h"
#include "assessment/state_file.h"
#include "platform/qt_platform.h"

// ---------------------------------------------------------------------------
// tNumeric_line_edit

tNumeric_line_edit::tNumeric_line_edit(QWidget* parent) : QLineEdit(parent) {}

char tNumeric_line_edit::Filter(QChar c) {
    // Characters beyond ASCII are never numeric; '?' is refused like them.
    const char key = c.unicode() < 128 ? static_cast<char>(c.unicode()) : '?';
    return filter_ ? filter_(key) : key;
}

std::optional<QString> tNumeric_line_edit::Filtered(const QString& text) {
    QString accepted;
    for (QChar c : text) {
        const char key = Filter(c);
        if (key == '\0') return std::nullopt;
        accepted += QChar(key);
    }
    return accepted;
}

void tNumeric_line_edit::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Paste)) {
        // The paste shortcut is the control character 22, which the filter refuses.
        Filter(QChar(0x16));
        event->accept();
        return;
    }
    const QString text = event->text();
    // Keys without a character (arrows, Home, Delete) only move or delete.
    if (text.isEmpty() || event->key() == Qt::Key_Delete) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const std::optional<QString> accepted = Filtered(text);
    event->accept();
    if (!accepted) return;
    if (*accepted == text)
        QLineEdit::keyPressEvent(event);
    else
        insert(*accepted); // a comma entered as a point
}

QMenu* tNumeric_line_edit::createFilteredContextMenu() {
    // Qt's own menu pastes past the filter and its actions cannot be told
    // apart reliably, so the menu is built here with the same entries.
    auto* menu = new QMenu(this);
    auto add = [&](const QString& text, QKeySequence::StandardKey key, bool enabled,
                   const char* name, auto slot) {
        QAction* action = menu->addAction(text + QLatin1Char('\t') +
                                          QKeySequence(key).toString(QKeySequence::NativeText));
        action->setObjectName(QLatin1String(name));
        action->setEnabled(enabled);
        connect(action, &QAction::triggered, this, slot);
    };
    const bool editable = !isReadOnly();
    add(tr("&Undo"), QKeySequence::Undo, editable && isUndoAvailable(), "edit-undo",
        &QLineEdit::undo);
    add(tr("&Redo"), QKeySequence::Redo, editable && isRedoAvailable(), "edit-redo",
        &QLineEdit::redo);
    menu->addSeparator();
    add(tr("Cu&t"), QKeySequence::Cut, editable && hasSelectedText(), "edit-cut", &QLineEdit::cut);
    add(tr("&Copy"), QKeySequence::Copy, hasSelectedText(), "edit-copy", &QLineEdit::copy);
    add(tr("&Paste"), QKeySequence::Paste, editable && !QApplication::clipboard()->text().isEmpty(),
        "edit-paste", &tNumeric_line_edit::pasteFiltered);
    add(tr("Delete"), QKeySequence::Delete, editable && hasSelectedText(), "edit-delete",
        &QLineEdit::del);
    menu->addSeparator();
    add(tr("Select All"), QKeySequence::SelectAll, !text().isEmpty(), "select-all",
        &QLineEdit::selectAll);
    return menu;
}

void tNumeric_line_edit::contextMenuEvent(QContextMenuEvent* event) {
    std::unique_ptr<QMenu> menu(createFilteredContextMenu());
    menu->exec(event->globalPos());
}

void tNumeric_line_edit::pasteFiltered() {
    if (isReadOnly()) return;
    const std::optional<QString> accepted = Filtered(QApplication::clipboard()->text());
    if (!accepted || accepted->isEmpty()) return;
    insert(*accepted);
    emit textInserted();
}

void tNumeric_line_edit::dropEvent(QDropEvent* event) {
    if (!event->mimeData()->hasText()) {
        event->ignore();
        return;
    }
    const std::optional<QString> accepted = Filtered(event->mimeData()->text());
    if (!accepted) {
        event->ignore();
        return;
    }
    deselect();
    setCursorPosition(cursorPositionAt(event->position().toPoint()));
    insert(*accepted);
    event->acceptProposedAction();
    emit textInserted();
}

void tNumeric_line_edit::inputMethodEvent(QInputMethodEvent* event) {
    if (event->commitString().isEmpty()) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    const std::optional<QString> accepted = Filtered(event->commitString());
    QInputMethodEvent filtered(event->preeditString(), event->attributes());
    filtered.setCommitString(accepted.value_or(QString()), event->replacementStart(),
                             event->replacementLength());
    QLineEdit::inputMethodEvent(&filtered);
    if (accepted) emit textInserted();
}

// ---------------------------------------------------------------------------
// TfrmTemplate

namespace {

constexpr int Notes_rest_height = 25;
constexpr int Notes_open_height = 70;

QFont Bold(QFont font) {
    font.setBold(true);
    return font;
}

// The compiler's __DATE__ ("Mmm dd yyyy") as day/month/year.
QString Build_date() {
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const char* date = __DATE__;
    int month = 0;
    for (int i = 0; i < 12; ++i)
        if (std::strncmp(date, months[i], 3) == 0) month = i + 1;
    int day = 0, year = 0;
    std::sscanf(date + 4, "%d %d", &day, &year);
    return QStringLiteral("%1/%2/%3").arg(day).arg(month).arg(year);
}

} // namespace

QString TfrmTemplate::DescriptionText() {
    std::string reference;
    for (const std::string& line : MethodReferenceLines)
        reference += line;
    const auto first = reference.find_first_not_of(' ');
    const auto last = reference.find_last_not_of(' ');
    reference =
        first == std::string::npos ? std::string() : reference.substr(first, last - first + 1);
    if (reference.empty() || reference.back() != '.') reference += '.';

    const QString pieces[] = {
        QString::fromStdString("This computer program (Pavona.exe) implements the following "
                               "method: " +
                               reference),
        QStringLiteral(
            "Despite the name of the foregoing method, this particular program does NOT build "
            "the regression equation from summary data: instead it builds the equation from RAW "
            "data from a normative or control sample. Thereafter it performs the same analysis "
            "as the other programs that use summary data (i.e., it applies the regression "
            "equation to the data for an individual case)."),
        QStringLiteral(
            "The program: (a) calculates the case's predicted score; (b)tests whether there is "
            "a significant difference (one-tailed and two-tailed) between the case's predicted "
            "and obtained scores; (c) provides a point estimate of the percentage of the control "
            "population that would exhibit a larger discrepancy; and (d) provides accompanying "
            "95% confidence limits on this percentage."),
        QStringLiteral(
            "To use the program first prepare a text file (i.e., with .txt extension) in which "
            "the control or normative sample data are organised in columns, with the CRITERION "
            "variable (i.e., Y variable) FIRST, followed by the predictor variables (i.e., X "
            "variables). The columns of variables should be separated by a blank space (i.e., "
            "space delimited, NOT comma or tab delimited).  The n normative or control sample "
            "cases should make up the first n rows of this text file, with the CASE'S scores on "
            "the predictor and criterion variables making up the LAST (i.e., n + 1th) row. So, "
            "if there are 30 control cases, and 3 predictor variables, the text file would "
            "consist of 4 columns (the criterion variable plus 3 predictors) and 31 rows (30 "
            "controls, plus the final row containing the case's data). Having prepared the text "
            "file, enter the number of predictor (X) variables and the size of the normative or "
            "control sample into the program. Then click on Continue to be taken to a dialog box "
            "that allows you to load the text file containing the raw data.  The results can be "
            "viewed on screen, printed, or saved to file.  Note that the maximum sample size (n) "
            "is 499.  Note also that the data columns can include polynomial functions of the "
            "predictors (e.g., age squared) if a user wishes to model non-linear effects."),
        QStringLiteral("( Current version of program compiled on ") + Build_date() +
            QStringLiteral(")."),
    };
    QString text;
    for (const QString& piece : pieces) {
        if (!text.isEmpty()) text += QStringLiteral("  ");
        text += piece;
    }
    return text;
}

TfrmTemplate::TfrmTemplate(tPlatform& platform, std::string state_folder, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      platform_(platform), state_folder_(std::move(state_folder)), quit_(End_application) {
    setObjectName(QStringLiteral("frmTemplate"));
    Create_controls();
    Guarded([this] { FormCreate(); });
}

void TfrmTemplate::Guarded(const std::function<void()>& handler) {
    Run_guarded(platform_, handler);
}

void TfrmTemplate::Create_controls() {
    setFixedSize(792, 585);
    // The fixed positions leave room for a narrow sans serif: a wide one (the
    // usual Linux default) clips "User's Notes:" under the notes memo. Arial's
    // metric twin comes with the set-up's fonts; the system font otherwise.
    QFont base = QApplication::font();
    base.setFamilies({QStringLiteral("Arial"), base.family()});
    base.setPixelSize(13);
    setFont(base);
    const QFont bold = Bold(base);

    auto named = [](QWidget* widget, const char* name, int left, int top, int width, int height) {
        widget->setObjectName(QLatin1String(name));
        widget->setGeometry(left, top, width, height);
    };

    DescripFld = new QPlainTextEdit(this);
    named(DescripFld, "DescripFld", 12, 7, 768, 94);
    DescripFld->setReadOnly(true);
    DescripFld->setFocusPolicy(Qt::NoFocus);
    DescripFld->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette face = DescripFld->palette();
    face.setColor(QPalette::Base, face.color(QPalette::Button));
    DescripFld->setPalette(face);

    Panel3 = new QFrame(this);
    named(Panel3, "Panel3", 12, 106, 768, 33);
    Panel3->setFrameStyle(QFrame::Panel | QFrame::Raised);

    lblComments = new QLabel(QString::fromStdString(NotesCaption), Panel3);
    lblComments->setObjectName(QStringLiteral("lblComments"));
    lblComments->setFont(bold);
    lblComments->move(6, 8);
    lblComments->adjustSize();

    memoComments = new QPlainTextEdit(this);
    named(memoComments, "memoComments", 112, 110, 666, Notes_rest_height);
    memoComments->setFont(Courier_new_font(12));
    memoComments->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memoComments->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memoComments->setTabChangesFocus(true);

    Panel1 = new QFrame(this);
    named(Panel1, "Panel1", 12, 143, 768, 346);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);

    RadioGroup1 = new QGroupBox(QStringLiteral("95% credible limit required..."), Panel1);
    named(RadioGroup1, "RadioGroup1", 8, 16, 225, 105);
    const char* const items[] = {"Two-sided", "One-sided  lower", "One-sided upper"};
    for (int i = 0; i < 3; ++i) {
        RadioGroup1Items[i] = new QRadioButton(QLatin1String(items[i]), RadioGroup1);
        RadioGroup1Items[i]->setGeometry(8, 22 + 26 * i, 209, 22);
    }
    RadioGroup1Items[0]->setChecked(true);

    Label1 = new QLabel(Panel1);
    named(Label1, "Label1", 312, 28, 345, 16);
    txtInput1 = new QLineEdit(Panel1);
    named(txtInput1, "txtInput1", 688, 24, 56, 24);
    txtInput1->setFont(bold);
    Label2 = new QLabel(Panel1);
    named(Label2, "Label2", 312, 68, 369, 16);
    txtInput2 = new tNumeric_line_edit(Panel1);
    named(txtInput2, "txtInput2", 688, 64, 56, 24);
    txtInput2->setFont(bold);

    pan1 = new QFrame(this);
    named(pan1, "pan1", 12, 500, 768, 49);
    pan1->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    cmdCompute = new QPushButton(QStringLiteral("Continue"), this);
    named(cmdCompute, "cmdCompute", 28, 506, 165, 37);
    btnclearData = new QPushButton(QStringLiteral("Clear Data "), this);
    named(btnclearData, "btnclearData", 220, 506, 161, 37);
    ExitBtn = new QPushButton(QStringLiteral("Exit"), this);
    named(ExitBtn, "ExitBtn", 603, 506, 161, 37);
    for (QPushButton* button : {cmdCompute, btnclearData, ExitBtn}) {
        button->setFont(bold);
        button->setAutoDefault(false);
    }

    // The notes grow downwards over Panel1, so they lie on top of it; the
    // buttons lie on their strip.
    memoComments->raise();
    for (QPushButton* button : {cmdCompute, btnclearData, ExitBtn})
        button->raise();

    setTabOrder(txtInput1, txtInput2);
    setTabOrder(txtInput2, RadioGroup1Items[0]);
    setTabOrder(RadioGroup1Items[0], RadioGroup1Items[1]);
    setTabOrder(RadioGroup1Items[1], RadioGroup1Items[2]);
    setTabOrder(RadioGroup1Items[2], memoComments);
    setTabOrder(memoComments, cmdCompute);
    setTabOrder(cmdCompute, btnclearData);
    setTabOrder(btnclearData, ExitBtn);

    // While the state file is restored, a failure of the change handler
    // stops the restore (Set_predictors_text raises it); otherwise it is shown.
    connect(txtInput1, &QLineEdit::textChanged, this, [this] {
        if (raise_change_errors_) {
            try {
                txtInput1Change();
            } catch (...) {
                change_error_ = std::current_exception();
            }
        } else {
            Guarded([this] { txtInput1Change(); });
        }
    });
    txtInput1->installEventFilter(this);
    txtInput2->setKeyFilter([this](char key) {
        char result = '\0';
        Guarded([&] { result = txtInput2KeyPress(key); });
        return result;
    });
    txtInput2->installEventFilter(this);
    connect(txtInput2, &tNumeric_line_edit::textInserted, this,
            [this] { Guarded([this] { txtInput2KeyUp(); }); });
    memoComments->installEventFilter(this);
    connect(memoComments, &QPlainTextEdit::textChanged, this,
            [this] { Guarded([this] { Limit_notes_length(); }); });
    connect(DescripFld, &QPlainTextEdit::textChanged, this,
            [this] { Guarded([this] { DescripFldChange(); }); });
    connect(cmdCompute, &QPushButton::clicked, this,
            [this] { Guarded([this] { cmdComputeClick(); }); });
    connect(btnclearData, &QPushButton::clicked, this,
            [this] { Guarded([this] { btnclearDataClick(); }); });
    connect(ExitBtn, &QPushButton::clicked, this, [this] { Guarded([this] { ExitBtnClick(); }); });
}

int TfrmTemplate::RadioGroup1ItemIndex() const {
    for (int i = 0; i < 3; ++i)
        if (RadioGroup1Items[i]->isChecked()) return i;
    return -1;
}

void TfrmTemplate::setRadioGroup1ItemIndex(int index) {
    if (index >= 0 && index < 3) RadioGroup1Items[index]->setChecked(true);
}

bool TfrmTemplate::Released_here(QObject* watched, QEvent* event) {
    // A release counts only after its press in the same field. The Enter
    // that closes a message box is pressed in the box, but its release
    // lands in the field the focus goes back to: were it to run the field's
    // check, a field whose check warns would warn again at once, forever.
    std::set<int>& down = keys_down_[watched];
    switch (event->type()) {
    case QEvent::KeyPress:
        down.insert(static_cast<QKeyEvent*>(event)->key());
        return false;
    case QEvent::KeyRelease:
        return down.erase(static_cast<QKeyEvent*>(event)->key()) > 0;
    case QEvent::FocusOut: // a box took the keyboard: its keys are not ours
        down.clear();
        return false;
    default:
        return false;
    }
}

bool TfrmTemplate::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (!Released_here(watched, event) && type == QEvent::KeyRelease)
        return QWidget::eventFilter(watched, event);
    if (watched == txtInput1 && type == QEvent::KeyRelease) {
        Guarded([this] { txtInput1KeyUp(); });
    } else if (watched == txtInput2 && type == QEvent::KeyRelease) {
        Guarded([this] { txtInput2KeyUp(); });
    } else if (watched == memoComments) {
        if (type == QEvent::FocusIn) Guarded([this] { memoCommentsEnter(); });
        if (type == QEvent::FocusOut) Guarded([this] { memoCommentsExit(); });
        if (type == QEvent::KeyRelease) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            Guarded([this, key] {
                memoCommentsKeyUp(key == Qt::Key_Return || key == Qt::Key_Enter ? 13 : key);
            });
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmTemplate::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous()) return; // restored from the task bar: not shown anew
    if (!centred_) {
        centred_ = true;
        if (const QScreen* shown_on = screen()) {
            const QRect area = shown_on->availableGeometry();
            move(area.center() - QPoint(width() / 2, height() / 2));
        }
    }
    Guarded([this] { FormShow(); });
}

void TfrmTemplate::closeEvent(QCloseEvent* event) {
    event->accept();
    quit_();
}

void TfrmTemplate::FormCreate() {
    memoComments->clear();
    cmdCompute->setText(QStringLiteral("Continue"));
    txtInput1->clear();
    txtInput2->clear();
    setWindowTitle(QString::fromStdString(ProgramDescription));
    DescripFld->setPlainText(DescriptionText());
    Label1->setText(QString::fromStdString(PredictorsCaption));
    Label2->setText(QString::fromStdString(SampleSizeCaption));
    LoadPreviousData();
}

void TfrmTemplate::FormShow() {
    if (!txtInput1->text().isEmpty()) {
        raise();
        activateWindow();
        txtInput2->setFocus();
    } else {
        txtInput1->setFocus();
    }
}

void TfrmTemplate::Set_predictors_text(const QString& text) {
    raise_change_errors_ = true;
    change_error_ = nullptr;
    txtInput1->setText(text);
    raise_change_errors_ = false;
    if (change_error_) std::rethrow_exception(std::exchange(change_error_, nullptr));
}

void TfrmTemplate::txtInput1Change() {
    const std::string text = txtInput1->text().toStdString();
    if (ParseEntry(platform_, text) != 0) ConvertStrictInteger(text);
}

void TfrmTemplate::txtInput1KeyUp() {
    if (ParseEntry(platform_, txtInput1->text().toStdString()) > Max_predictors_typed) {
        platform_.Message_box(Predictors_capped_message, tMessage_kind::Warning, Ok_button);
        Set_predictors_text(QString::number(Max_predictors_typed));
        txtInput1->selectAll();
    }
}

char TfrmTemplate::txtInput2KeyPress(char key) {
    return FilterNumericKey(platform_, key);
}

void TfrmTemplate::txtInput2KeyUp() {
    if (txtInput2->text().size() > 6) {
        txtInput2->setText(
            QString::fromStdString(TruncateEntry(platform_, txtInput2->text().toStdString())));
        txtInput2->selectAll();
    }
}

int TfrmTemplate::Notes_line_count() const {
    // Lines as shown, wrapped ones included (a long single paragraph also
    // needs the taller memo).
    int lines = 0;
    for (QTextBlock block = memoComments->document()->begin(); block.isValid();
         block = block.next())
        lines += std::max(1, block.layout() ? block.layout()->lineCount() : 1);
    return lines;
}

void TfrmTemplate::memoCommentsEnter() {
    if (Notes_line_count() > 1) memoComments->resize(memoComments->width(), Notes_open_height);
}

void TfrmTemplate::memoCommentsKeyUp(int key) {
    if (Notes_line_count() > 1 || key == 13)
        memoComments->resize(memoComments->width(), Notes_open_height);
}

void TfrmTemplate::memoCommentsExit() {
    memoComments->resize(memoComments->width(), Notes_rest_height);
}

void TfrmTemplate::Limit_notes_length() {
    // Counted as the report and pavona-cli count notes: a line break as two.
    // What was just entered beyond the limit goes, before the cursor first;
    // each pass removes one character, so the loop ends.
    const auto length = [this] { return Notes_length(memoComments->toPlainText().toStdString()); };
    if (length() <= Max_notes_length) return;
    const QSignalBlocker blocker(memoComments); // no re-entry from our own removals
    QTextCursor cursor = memoComments->textCursor();
    cursor.clearSelection();
    while (!memoComments->document()->isEmpty() && length() > Max_notes_length) {
        if (cursor.atStart()) cursor.movePosition(QTextCursor::End);
        cursor.deletePreviousChar();
    }
    memoComments->setTextCursor(cursor);
}

void TfrmTemplate::DescripFldChange() {
    DescripFld->setVerticalScrollBarPolicy(
        DescripFld->toPlainText().size() < 551 ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAlwaysOn);
}

void TfrmTemplate::btnclearDataClick() {
    txtInput1->clear();
    txtInput2->clear();
    memoComments->clear();
    DeleteStateFile(state_folder_);
    txtInput1->setFocus();
}

void TfrmTemplate::ExitBtnClick() {
    if (platform_.Message_box("Exit from program?", tMessage_kind::Confirmation, Yes_no_buttons) ==
        tButton::Yes)
        quit_();
}

void TfrmTemplate::LoadPreviousData() {
    struct tShow_entries {
        TfrmTemplate* form;
        // Whatever happens during the restore, the two fields and their
        // labels stay usable.
        ~tShow_entries() {
            for (QWidget* widget :
                 {static_cast<QWidget*>(form->txtInput1), static_cast<QWidget*>(form->Label1),
                  static_cast<QWidget*>(form->txtInput2), static_cast<QWidget*>(form->Label2)})
                widget->setVisible(true);
        }
    } show_entries{this};
    ::LoadPreviousData(
        state_folder_,
        [this](const std::string& text) { Set_predictors_text(QString::fromStdString(text)); },
        [this](const std::string& text) { txtInput2->setText(QString::fromStdString(text)); });
    update();
}

void TfrmTemplate::SaveCurrentData() {
    ::SaveCurrentData(state_folder_, txtInput1->text().toStdString(),
                      txtInput2->text().toStdString());
}
