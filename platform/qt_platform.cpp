#include "platform/qt_platform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QBuffer>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontInfo>
#include <QMessageBox>
#include <QPainter>
#include <QPdfWriter>
#include <QPixmap>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <algorithm>
#include <memory>
#include <stdexcept>

#include "platform/plain_text_pages.h"
#include <utility>

QString Display_text(const std::string& text) {
    QString shown = QString::fromStdString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

tButton tQt_platform::Message_box(const std::string& text, tMessage_kind kind,
                                  const std::vector<tButton>& buttons, const std::string& title) {
    QMessageBox box(QApplication::activeWindow());
    switch (kind) {
    case tMessage_kind::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case tMessage_kind::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case tMessage_kind::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case tMessage_kind::Confirmation:
        box.setIcon(QMessageBox::Question);
        break;
    }
    box.setWindowTitle(QString::fromUtf8(title.empty() ? Message_kind_title(kind) : title.c_str()));
    box.setText(Display_text(text));

    const std::vector<tButton> shown = buttons.empty() ? Ok_button : buttons;
    std::vector<std::pair<QAbstractButton*, tButton>> pushed;
    QPushButton* escape = nullptr;
    for (tButton button : shown) {
        const auto role = button == tButton::Yes  ? QMessageBox::YesRole
                          : button == tButton::No ? QMessageBox::NoRole
                                                  : QMessageBox::AcceptRole;
        QPushButton* push = box.addButton(QString::fromUtf8(Button_caption(button)), role);
        pushed.emplace_back(push, button);
        if (button == tButton::No || (button == tButton::Ok && !escape)) escape = push;
    }
    box.setDefaultButton(static_cast<QPushButton*>(pushed.front().first));
    if (escape) box.setEscapeButton(escape);
    box.exec();

    for (const auto& [push, button] : pushed)
        if (box.clickedButton() == push) return button;
    // Closed by its frame: the answer that does nothing.
    for (const auto& [push, button] : pushed)
        if (push == escape) return button;
    return shown.back();
}

void tQt_platform::Beep() {
    QApplication::beep();
}

std::optional<std::string> tQt_platform::Open_file(const tOpen_file_request& request) {
    const QString filter =
        QString::fromStdString(request.Filter_description + " (" + request.Filter_pattern + ")");
    const QString chosen =
        QFileDialog::getOpenFileName(QApplication::activeWindow(), QStringLiteral("Open"),
                                     QString::fromStdString(request.Start_folder), filter);
    if (chosen.isEmpty()) return std::nullopt;
    return chosen.toStdString();
}

std::optional<std::string> tQt_platform::Save_file(const tSave_file_request& request) {
    QFileDialog::Options options;
    if (!request.Ask_before_overwrite) options |= QFileDialog::DontConfirmOverwrite;
    if (request.File_types.empty()) {
        const QString chosen = QFileDialog::getSaveFileName(
            QApplication::activeWindow(), QStringLiteral("Save As"),
            QString::fromStdString(request.Default_name),
            QString::fromStdString(request.Filter_pattern), nullptr, options);
        if (chosen.isEmpty()) return std::nullopt;
        return chosen.toStdString();
    }

    QStringList filters;
    for (const tFile_type& type : request.File_types)
        filters << QString::fromStdString(type.Description + " (*." + type.Extension + ")");
    QFileDialog dialog(QApplication::activeWindow(), QStringLiteral("Save As"),
                       QString::fromStdString(request.Default_name));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOptions(options);
    dialog.setNameFilters(filters);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    const std::string typed = dialog.selectedFiles().front().toStdString();
    const qsizetype index = std::max<qsizetype>(0, filters.indexOf(dialog.selectedNameFilter()));
    const std::string path =
        Path_with_file_type(typed, request.File_types, static_cast<std::size_t>(index));
    // The dialog asked about the name as typed; with the type's extension
    // added it is another file, so ask about that one.
    if (path != typed && request.Ask_before_overwrite &&
        QFileInfo::exists(QString::fromStdString(path)) &&
        Message_box(path + " already exists.\rDo you want to replace it?",
                    tMessage_kind::Confirmation, Yes_no_buttons) != tButton::Yes)
        return std::nullopt;
    return path;
}

void tQt_platform::Print_text(const std::string& text, const std::string& font_family,
                              int point_size) {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) throw std::runtime_error("There is no default printer currently selected");
    QPrinter printer(info);
    Print_plain_text(printer, text, font_family, point_size);
}

void Paint_plain_text(QPainter& painter, const std::string& text,
                      const std::function<void()>& new_page) {
    const QFontMetrics metrics(painter.font(), painter.device());
    const QRect area = painter.viewport();
    const int columns = area.width() / std::max(1, metrics.averageCharWidth());
    const int lines = area.height() / std::max(1, metrics.lineSpacing());
    const std::vector<tPage> pages = Plain_text_pages(text, columns, lines);
    for (size_t page = 0; page < pages.size(); ++page) {
        if (page > 0) new_page();
        int baseline = metrics.ascent();
        for (const std::string& line : pages[page]) {
            painter.drawText(0, baseline, QString::fromStdString(line));
            baseline += metrics.lineSpacing();
        }
    }
}

QFont Printer_font(const std::string& font_family, int point_size) {
    QFont font(QString::fromStdString(font_family));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSize(point_size);
    return font;
}

void Print_plain_text(QPrinter& printer, const std::string& text, const std::string& font_family,
                      int point_size) {
    // Lines start at the printable area's left edge, the first at its top.
    printer.setFullPage(false);
    Print_plain_text(static_cast<QPagedPaintDevice&>(printer), text, font_family, point_size);
}

void Print_plain_text(QPagedPaintDevice& device, const std::string& text,
                      const std::string& font_family, int point_size) {
    QPainter painter;
    if (!painter.begin(&device)) throw std::runtime_error("The printer could not be started");
    painter.setFont(Printer_font(font_family, point_size));
    painter.setPen(Qt::black);
    Paint_plain_text(painter, text, [&device] {
        if (!device.newPage()) throw std::runtime_error("The printer could not start a new page");
    });
    if (!painter.end()) throw std::runtime_error("The printer could not finish the job");
}

QByteArray Plain_text_pdf(const std::string& text, const std::string& font_family, int point_size,
                          const QPageLayout& layout, int resolution) {
    // Made in memory: the caller writes the file, so that a file that cannot be
    // written is reported as any other saved file is.
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setCreator(QStringLiteral("Pavona"));
        writer.setResolution(resolution);
        if (!writer.setPageLayout(layout))
            throw std::runtime_error("The PDF page layout was refused");
        Print_plain_text(writer, text, font_family, point_size);
    }
    return buffer.data();
}

std::string tQt_platform::Pdf_of_text(const std::string& text, const std::string& font_family,
                                      int point_size) {
    // The page size, printable area and resolution of a print job, so the
    // PDF breaks its pages where the printed report does.
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    const auto printer =
        info.isNull() ? std::make_unique<QPrinter>() : std::make_unique<QPrinter>(info);
    printer->setFullPage(false);
    const QByteArray pdf =
        Plain_text_pdf(text, font_family, point_size, printer->pageLayout(), printer->resolution());
    return std::string(pdf.constData(), static_cast<size_t>(pdf.size()));
}

void tQt_platform::Set_busy_cursor(bool busy) {
    // Kept balanced: the override cursor is a stack in Qt.
    if (busy && !busy_) QApplication::setOverrideCursor(Qt::WaitCursor);
    if (!busy && busy_) QApplication::restoreOverrideCursor();
    busy_ = busy;
}

void tQt_platform::Process_events() {
    QCoreApplication::processEvents();
}

QFont Courier_new_font(int pixel_size) {
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(pixel_size);
    if (QFontInfo(font).fixedPitch()) return font;
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPixelSize(pixel_size);
    return fixed;
}

// The resource file lives in a static library: without this call the linker
// may leave its initializer out.
static void Init_icon_resource() {
    Q_INIT_RESOURCE(pavona);
}

QIcon PavonaIcon() {
    // A sheet of scattered control points with their regression line and the
    // one case standing apart from it (platform/pavona_icon.png).
    Init_icon_resource();
    return QIcon(QStringLiteral(":/pavona_icon.png"));
}

void End_application() {
    // quit() first asks every visible window to close, and the results viewer
    // refuses a close (it is left only through its buttons), so quit() from
    // the viewer did nothing; exit() leaves the event loop whatever is shown.
    QCoreApplication::exit(0);
}
