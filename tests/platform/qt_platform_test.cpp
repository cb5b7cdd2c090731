#include "platform/qt_platform.h"

#include <QApplication>
#include <QFileDialog>
#include <QFontInfo>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTimer>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

TEST(QtPlatform, CarriageReturnsInMessagesShowAsLineBreaks) {
    EXPECT_EQ(Display_text("INPUT ERROR\r\rEnter numeric data only."),
              QString("INPUT ERROR\n\nEnter numeric data only."));
    EXPECT_EQ(Display_text("one\r\ntwo"), QString("one\ntwo")); // not two breaks
    EXPECT_EQ(Display_text("caf\xc3\xa9"), QString::fromUtf8("caf\xc3\xa9"));
}

TEST(QtPlatform, CourierNewResolvesToAFixedPitchFontOfTheAskedSize) {
    const QFont font = Courier_new_font(12);
    EXPECT_TRUE(QFontInfo(font).fixedPitch());
    EXPECT_EQ(font.pixelSize(), 12);
}

TEST(QtPlatform, TheIconHasTheUsualSizes) {
    const QIcon icon = PavonaIcon();
    EXPECT_FALSE(icon.isNull());
    EXPECT_EQ(icon.pixmap(32, 32).size(), QSize(32, 32));
}

TEST(QtPlatform, PlainTextPrintsToAPdfWithPageBreaks) {
    const std::string path = testing::TempDir() + "pavona_print_test.pdf";
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(path));
    std::string text;
    for (int line = 1; line <= 300; ++line)
        text += "   [ " + std::to_string(line) + "]:      50.00000\t12.50000\n";
    Print_plain_text(printer, text, "Courier New", 8);

    std::ifstream in(path, std::ios::binary);
    const std::string pdf{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_EQ(pdf.rfind("%PDF", 0), 0u);
    // 300 lines of 8-point text take more than one page and fewer than ten.
    size_t pages = 0;
    for (size_t at = pdf.find("/Type /Page\n"); at != std::string::npos;
         at = pdf.find("/Type /Page\n", at + 1))
        ++pages;
    EXPECT_GT(pages, 1u);
    EXPECT_LT(pages, 10u);
    std::remove(path.c_str());
}

TEST(QtPlatform, EachPrintedLineStandsOneLineSpacingBelowTheOneBefore) {
    QImage page(300, 200, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    QFont font = Printer_font("Courier New", 8);
    font.setPixelSize(12);
    painter.setFont(font);
    painter.setPen(Qt::black);
    int new_pages = 0;
    Paint_plain_text(painter, "|\n|\n|\n", [&] { ++new_pages; });
    painter.end();

    // The first dark row of each printed bar, top to bottom.
    std::vector<int> tops;
    bool in_mark = false;
    for (int y = 0; y < page.height(); ++y) {
        bool dark = false;
        for (int x = 0; x < page.width() && !dark; ++x)
            dark = qGray(page.pixel(x, y)) < 128;
        if (dark && !in_mark) tops.push_back(y);
        in_mark = dark;
    }
    const int spacing = QFontMetrics(font, &page).lineSpacing();
    ASSERT_EQ(tops.size(), 3u);
    EXPECT_NEAR(tops[1] - tops[0], spacing, 1);
    EXPECT_NEAR(tops[2] - tops[1], spacing, 1);
    EXPECT_LT(tops[0], spacing); // the first line at the top
    EXPECT_EQ(new_pages, 0);
}

namespace {

// The text of each page of a PDF, as poppler reads it (one form feed a page).
std::vector<std::string> Pdf_pages(const std::string& pdf_bytes) {
    const std::string path = testing::TempDir() + "pavona_pdf_" + std::to_string(getpid()) + ".pdf";
    std::ofstream(path, std::ios::binary) << pdf_bytes;
    std::string text;
    if (FILE* pipe = popen(("pdftotext -layout '" + path + "' -").c_str(), "r")) {
        char buffer[4096];
        for (size_t count; (count = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            text.append(buffer, count);
        pclose(pipe);
    }
    std::remove(path.c_str());
    std::vector<std::string> pages;
    std::istringstream in(text);
    for (std::string page; std::getline(in, page, '\f');)
        pages.push_back(page);
    return pages;
}

// Every character but blanks, tabs, line and page ends: a line wrapped in the
// middle of a word still reads the same.
std::string Non_blank(const std::string& text) {
    std::string kept;
    for (char c : text)
        if (!std::isspace(static_cast<unsigned char>(c))) kept += c;
    return kept;
}

// A report-like text of several 8-point pages, with tabs, empty lines and one
// line wider than the page.
std::string Long_report() {
    std::string text = "Pavona report\n\n";
    for (int line = 1; line <= 260; ++line)
        text += "   [ " + std::to_string(line) + "]:\t50.00000\t12.50000\n" +
                (line % 50 == 0 ? "\n" : "") + (line == 120 ? std::string(300, 'x') + "\n" : "");
    return text + "Last line\n";
}

// What a print job on `printer` puts on paper, caught as a PDF.
std::string Printed_pdf(QPrinter& printer, const std::string& text) {
    const std::string path =
        testing::TempDir() + "pavona_print_" + std::to_string(getpid()) + ".pdf";
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(path));
    Print_plain_text(printer, text, "Courier New", 8);
    std::ifstream in(path, std::ios::binary);
    std::string pdf{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    in.close();
    std::remove(path.c_str());
    return pdf;
}

} // namespace

// The saved PDF must read like the printed report: the same lines on each page.
// Two page set-ups (size, margins, resolution), so that a PDF laid out on its
// own defaults cannot pass by chance.
TEST(QtPlatform, APdfBreaksItsPagesWhereThePrintJobDoes) {
    if (std::system("pdftotext -v >/dev/null 2>&1") != 0) GTEST_SKIP() << "no pdftotext";
    const std::string text = Long_report();
    struct tSetup {
        QPageSize::PageSizeId Size;
        QPrinter::PrinterMode Mode;
        QMarginsF Margins_mm;
    };
    for (const tSetup& setup :
         {tSetup{QPageSize::A4, QPrinter::HighResolution, {10, 12, 10, 12}},
          tSetup{QPageSize::Letter, QPrinter::ScreenResolution, {30, 40, 25, 35}}}) {
        QPrinter printer(setup.Mode);
        printer.setPageSize(QPageSize(setup.Size));
        printer.setPageMargins(setup.Margins_mm, QPageLayout::Millimeter);
        const std::vector<std::string> printed = Pdf_pages(Printed_pdf(printer, text));
        const std::vector<std::string> saved = Pdf_pages(
            Plain_text_pdf(text, "Courier New", 8, printer.pageLayout(), printer.resolution())
                .toStdString());
        EXPECT_GT(printed.size(), 2u) << "the text should need several pages";
        ASSERT_EQ(saved.size(), printed.size());
        for (size_t page = 0; page < saved.size(); ++page)
            EXPECT_EQ(saved[page], printed[page]) << "page " << page + 1;
    }
}

TEST(QtPlatform, ThePlatformsPdfHoldsTheWholeTextOnThePagesOfAPrintJob) {
    if (std::system("pdftotext -v >/dev/null 2>&1") != 0) GTEST_SKIP() << "no pdftotext";
    const std::string text = Long_report();
    const std::string pdf = tQt_platform().Pdf_of_text(text, "Courier New", 8);
    ASSERT_EQ(pdf.rfind("%PDF", 0), 0u);
    // The machine's default printer where there is one, else Qt's default page.
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    const auto printer =
        info.isNull() ? std::make_unique<QPrinter>() : std::make_unique<QPrinter>(info);
    const std::vector<std::string> pages = Pdf_pages(pdf);
    EXPECT_EQ(pages.size(), Pdf_pages(Printed_pdf(*printer, text)).size());
    std::string shown;
    for (const std::string& page : pages)
        shown += page;
    EXPECT_EQ(Non_blank(shown), Non_blank(text)); // every character, in order
}

TEST(QtPlatform, SaveDialogGivesTheChosenTypesExtensionUnlessOneOfTheTypesWasTyped) {
    const fs::path folder = fs::temp_directory_path() / ("pavona_save_" + std::to_string(getpid()));
    fs::create_directories(folder);
    tSave_file_request request;
    request.Default_name = "plot.png";
    request.File_types = {{"PNG image", "png"}, {"SVG image", "svg"}, {"PDF document", "pdf"}};
    const auto Answer = [&](const QString& typed, const QString& filter) {
        // The dialog is modal: answered from the event loop it runs.
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog) {
                ADD_FAILURE() << "no save dialog";
                if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
                return;
            }
            dialog->setDirectory(QString::fromStdString(folder.string()));
            dialog->selectNameFilter(filter);
            dialog->selectFile(typed);
            static_cast<QDialog*>(dialog)->accept(); // as the Save button does
        });
        tQt_platform platform;
        return platform.Save_file(request).value_or("cancelled");
    };
    EXPECT_EQ(Answer("plot", "SVG image (*.svg)"), (folder / "plot.svg").string());
    EXPECT_EQ(Answer("plot", "PDF document (*.pdf)"), (folder / "plot.pdf").string());
    EXPECT_EQ(Answer("plot.png", "PDF document (*.pdf)"), (folder / "plot.png").string());
    fs::remove_all(folder);
}
