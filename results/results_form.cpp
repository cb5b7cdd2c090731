#include "results_form.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

#include <cerrno>
#include <cstdio>
#include <stdexcept>

#include "platform/file_writer.h"
#include "platform/platform.h"
#include "platform/qt_platform.h"
#include "platform/system_error_message.h"
#include "results/plot_window.h"

namespace {

constexpr int Client_width = 792;
// The printed report's font; a saved PDF uses the same.
constexpr const char* Printer_family = "Courier New";
constexpr int Printer_point_size = 8;

// What a print job receives: the text and one line end.
std::string Printed_text(const std::string& text) {
    return text + "\n";
}
constexpr int Client_height = 554;

QPushButton* Make_button(QWidget* parent, const char* name, const char* caption, int left,
                         int top) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(name);
    button->setGeometry(left, top, 161, 37);
    QFont font = button->font();
    font.setBold(true);
    button->setFont(font);
    return button;
}

QFrame* Make_panel(QWidget* parent, const char* name, QRect geometry, bool lowered) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(name);
    panel->setGeometry(geometry);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(lowered ? QFrame::Sunken : QFrame::Raised);
    return panel;
}

} // namespace

TfrmTemplateResults::TfrmTemplateResults(tPlatform& platform, std::function<void()> end_program,
                                         QWidget* parent)
    : QMainWindow(parent), platform_(platform), end_program_(std::move(end_program)) {
    setObjectName("frmTemplateResults");
    // Left only through its buttons: no close box, no system menu, no sizing.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowTitle("Output");
    setWindowIcon(PavonaIcon());

    QFont base("MS Sans Serif");
    base.setPixelSize(11);
    setFont(base);

    auto* client = new QWidget(this);
    client->setObjectName("client");
    client->setFixedSize(Client_width, Client_height);
    setCentralWidget(client);

    Panel1 = Make_panel(client, "Panel1", QRect(12, 2, 765, 468), false);
    memoResults = new QPlainTextEdit(Panel1);
    memoResults->setObjectName("memoResults");
    memoResults->setGeometry(8, 8, 749, 452);
    memoResults->setFont(Courier_new_font(12));
    memoResults->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    memoResults->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memoResults->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    {
        // The selection stays visible when the memo loses the focus (a menu
        // click to print it takes the focus away).
        QPalette palette = memoResults->palette();
        palette.setColor(QPalette::Text, Qt::black);
        palette.setColor(QPalette::Inactive, QPalette::Highlight,
                         palette.color(QPalette::Active, QPalette::Highlight));
        palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                         palette.color(QPalette::Active, QPalette::HighlightedText));
        memoResults->setPalette(palette);
    }

    Panel2 = Make_panel(client, "Panel2", QRect(12, 482, 765, 49), true);
    cmdSaveOutput = Make_button(client, "cmdSaveOutput", "Save Output", 28, 488);
    cmdClearResults = Make_button(client, "cmdClearResults", "Clear Results", 220, 488);
    cmdReturn = Make_button(client, "cmdReturn", "Return to Worksheet", 411, 488);
    cmdExit = Make_button(client, "cmdExit", "Exit", 603, 488);

    mnuPrinterOptions = menuBar()->addMenu("Printer options...");
    mnuPrinterOptions->setObjectName("MainMenu1");
    mnuPrint = mnuPrinterOptions->addAction("Print All");
    mnuPrint->setObjectName("mnuPrint");
    mnuPrintSelection = mnuPrinterOptions->addAction("Print Selection");
    mnuPrintSelection->setObjectName("mnuPrintSelection");
    mnuSaveAsPdf = mnuPrinterOptions->addAction("Save as PDF...");
    mnuSaveAsPdf->setObjectName("mnuSaveAsPdf");
    mnuPlot = menuBar()->addMenu("Plot");
    mnuPlot->setObjectName("mnuPlot");
    mnuShowPlot = mnuPlot->addAction("Show plot...");
    mnuShowPlot->setObjectName("mnuShowPlot");
    mnuShowPlot->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    mnuShowPlot->setEnabled(false); // nothing to draw before the first analysis

    connect(cmdSaveOutput, &QPushButton::clicked, this,
            [this] { Guarded([this] { cmdSaveOutputClick(); }); });
    connect(cmdClearResults, &QPushButton::clicked, this,
            [this] { Guarded([this] { cmdClearResultsClick(); }); });
    connect(cmdReturn, &QPushButton::clicked, this,
            [this] { Guarded([this] { cmdReturnClick(); }); });
    connect(cmdExit, &QPushButton::clicked, this, [this] { Guarded([this] { cmdExitClick(); }); });
    connect(mnuPrint, &QAction::triggered, this, [this] { Guarded([this] { mnuPrintClick(); }); });
    connect(mnuPrintSelection, &QAction::triggered, this,
            [this] { Guarded([this] { mnuPrintSelectionClick(); }); });
    connect(mnuSaveAsPdf, &QAction::triggered, this,
            [this] { Guarded([this] { mnuSaveAsPdfClick(); }); });
    connect(mnuShowPlot, &QAction::triggered, this,
            [this] { Guarded([this] { mnuShowPlotClick(); }); });

    setTabOrder(cmdSaveOutput, cmdClearResults);
    setTabOrder(cmdClearResults, cmdReturn);
    setTabOrder(cmdReturn, cmdExit);

    // The client area is fixed; the menu bar sits above it.
    adjustSize();
    setFixedSize(sizeHint());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    Guarded([this] { FormCreate(); });
}

void TfrmTemplateResults::Guarded(const std::function<void()>& handler) {
    Run_guarded(platform_, handler);
}

void TfrmTemplateResults::FormCreate() {
    memoResults->clear();
}

void TfrmTemplateResults::FormShow() {
    raise();
    activateWindow();
    if (!shown_before_) {
        shown_before_ = true;
        cmdReturn->setFocus();
    }
}

void TfrmTemplateResults::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    Guarded([this] { FormShow(); });
}

void TfrmTemplateResults::closeEvent(QCloseEvent* event) {
    // No close box: a window manager's close request is refused; the buttons
    // are the way out.
    event->ignore();
}

void TfrmTemplateResults::Append_lines(const std::vector<std::string>& lines) {
    QTextCursor cursor(memoResults->document());
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    bool first = !Has_text();
    for (const std::string& line : lines) {
        if (!first) cursor.insertBlock();
        cursor.insertText(QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())));
        first = false;
    }
    cursor.endEditBlock();
    memoResults->verticalScrollBar()->setValue(memoResults->verticalScrollBar()->maximum());
}

bool TfrmTemplateResults::Has_text() const {
    return !memoResults->document()->isEmpty();
}

std::string TfrmTemplateResults::Text() const {
    return memoResults->toPlainText().toStdString();
}

std::string Text_for_saving(const std::string& memo_text) {
    std::string text;
    text.reserve(memo_text.size() + memo_text.size() / 40);
    for (char c : memo_text) {
        if (c == '\n')
            text += "\r\n";
        else
            text += c;
    }
    return text;
}

void TfrmTemplateResults::cmdSaveOutputClick() {
    tSave_file_request request;
    request.Default_name = "results.txt";
    request.Filter_pattern = "*.txt";
    request.Ask_before_overwrite = true;
    const std::optional<std::string> path = platform_.Save_file(request);
    if (!path) return;
    Write_file(*path, Text_for_saving(Text()));
}

void TfrmTemplateResults::cmdClearResultsClick() {
    memoResults->clear();
}

void TfrmTemplateResults::cmdReturnClick() {
    hide();
    if (worksheet_) worksheet_->show();
}

void TfrmTemplateResults::cmdExitClick() {
    if (platform_.Message_box("Exit from program?", tMessage_kind::Confirmation, Yes_no_buttons) ==
            tButton::Yes &&
        end_program_)
        end_program_();
}

void TfrmTemplateResults::Print(const std::string& text) {
    platform_.Print_text(Printed_text(text), Printer_family, Printer_point_size);
}

void TfrmTemplateResults::mnuPrintClick() {
    Print(Text());
}

void TfrmTemplateResults::mnuPrintSelectionClick() {
    const QTextCursor cursor = memoResults->textCursor();
    if (!cursor.hasSelection()) {
        platform_.Message_box("You have not selected any text.", tMessage_kind::Warning, Ok_button);
        return;
    }
    // The selection separates paragraphs with U+2029; the printer wants lines.
    QString selected = cursor.selectedText();
    selected.replace(QChar::ParagraphSeparator, '\n');
    selected.replace(QChar::LineSeparator, '\n');
    Print(selected.toStdString());
}

void TfrmTemplateResults::mnuSaveAsPdfClick() {
    tSave_file_request request;
    request.Default_name = "results.pdf";
    request.Filter_pattern = "*.pdf";
    request.Ask_before_overwrite = true;
    const std::optional<std::string> path = platform_.Save_file(request);
    if (!path) return;
    // The whole report as Print All would print it; written as Save Output
    // writes, so that a failure reads the same.
    Write_file(*path,
               platform_.Pdf_of_text(Printed_text(Text()), Printer_family, Printer_point_size));
}

void TfrmTemplateResults::Set_plot(const tPlot_points& points) {
    plot_points_ = points;
    mnuShowPlot->setEnabled(true);
    if (plot_window_) plot_window_->Show_points(points);
}

void TfrmTemplateResults::Clear_plot() {
    plot_points_.reset();
    mnuShowPlot->setEnabled(false);
    if (plot_window_) plot_window_->hide();
}

void TfrmTemplateResults::mnuShowPlotClick() {
    if (!plot_points_) return;
    if (!plot_window_) {
        plot_window_ = new TfrmPlot(platform_, this);
        plot_window_->Show_points(*plot_points_);
        // First shown over the viewer's centre; later where the user left it.
        plot_window_->move(geometry().center() - plot_window_->rect().center());
    }
    plot_window_->show();
    plot_window_->raise();
    plot_window_->activateWindow();
}
