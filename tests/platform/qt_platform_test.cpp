#include "platform/qt_platform.h"

#include <QApplication>
#include <QFileDialog>
#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
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
