#include "platform/qt_platform.h"

#include <QFontInfo>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
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

namespace fs = std::filesystem;

// A folder of its own for the documents of one test, removed afterwards.
struct tScratch_folder {
    fs::path Path = fs::temp_directory_path() / ("pavona_pdf_" + std::to_string(getpid()));
    tScratch_folder() { fs::create_directories(Path); }
    ~tScratch_folder() { fs::remove_all(Path); }
};

bool Have_poppler() {
    return std::system("pdftotext -v >/dev/null 2>&1 && pdfinfo -v >/dev/null 2>&1") == 0;
}

std::string Output_of(const std::string& command) {
    std::string output;
    const std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe) return output;
    char buffer[4096];
    size_t count;
    while ((count = fread(buffer, 1, sizeof buffer, pipe.get())) > 0)
        output.append(buffer, count);
    return output;
}

int Page_count(const fs::path& pdf) {
    std::istringstream info(Output_of("pdfinfo '" + pdf.string() + "'"));
    for (std::string line; std::getline(info, line);)
        if (line.rfind("Pages:", 0) == 0) return std::stoi(line.substr(6));
    return -1;
}

// The text of each page, as poppler reads it.
std::vector<std::string> Page_texts(const fs::path& pdf) {
    const std::string text = Output_of("pdftotext -layout '" + pdf.string() + "' -");
    std::vector<std::string> pages;
    std::istringstream in(text);
    for (std::string page; std::getline(in, page, '\f');)
        pages.push_back(page);
    return pages;
}

// Words in order, every run of blanks, tabs, line ends and page ends as one.
std::string Words(const std::string& text) {
    std::string words;
    std::istringstream in(text);
    for (std::string word; in >> word;)
        words += (words.empty() ? "" : " ") + word;
    return words;
}

// Every character but blanks, tabs, line and page ends: a line wrapped in the
// middle of a word still reads the same.
std::string Non_blank(const std::string& text) {
    std::string kept;
    for (char c : text)
        if (!std::isspace(static_cast<unsigned char>(c))) kept += c;
    return kept;
}

void Write_bytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// A report-like text: numbered lines with tabs, a few empty lines, one line
// wider than the page, long enough for several pages in 8 points.
std::string Long_report() {
    std::string text = "Pavona report\n\n";
    for (int line = 1; line <= 260; ++line) {
        text += "   [ " + std::to_string(line) + "]:\t50.00000\t12.50000\n";
        if (line % 50 == 0) text += "\n";
        if (line == 120) text += std::string(40, 'w') + " " + std::string(200, 'x') + " end\n";
    }
    return text + "Last line\n";
}

// Prints `text` through the print job's own path onto a PDF.
void Print_to_pdf(QPrinter& printer, const fs::path& path, const std::string& text) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(path.string()));
    Print_plain_text(printer, text, "Courier New", 8);
}

} // namespace

// The saved PDF must look like the printed report: same page count, same lines
// on each page. Two page set-ups (sizes, margins, resolutions) so that a PDF
// made with its own defaults would not pass by chance.
TEST(QtPlatform, APdfBreaksItsPagesWhereThePrintJobDoes) {
    if (!Have_poppler()) GTEST_SKIP() << "pdftotext and pdfinfo (poppler-utils) are missing";
    tScratch_folder scratch;
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
        const fs::path printed = scratch.Path / "printed.pdf";
        const fs::path saved = scratch.Path / "saved.pdf";
        Print_to_pdf(printer, printed, text);
        Write_bytes(saved, Plain_text_pdf(text, "Courier New", 8, printer.pageLayout(),
                                          printer.resolution())
                               .toStdString());

        const int pages = Page_count(printed);
        EXPECT_GT(pages, 2) << "the text should need several pages";
        EXPECT_EQ(Page_count(saved), pages);
        const std::vector<std::string> printed_pages = Page_texts(printed);
        const std::vector<std::string> saved_pages = Page_texts(saved);
        ASSERT_EQ(saved_pages.size(), printed_pages.size());
        for (size_t page = 0; page < saved_pages.size(); ++page)
            EXPECT_EQ(Words(saved_pages[page]), Words(printed_pages[page])) << "page " << page + 1;
    }
}

TEST(QtPlatform, ThePlatformsPdfHoldsTheWholeTextOnThePagesOfAPrintJob) {
    if (!Have_poppler()) GTEST_SKIP() << "pdftotext and pdfinfo (poppler-utils) are missing";
    tScratch_folder scratch;
    const std::string text = Long_report();
    const fs::path saved = scratch.Path / "saved.pdf";
    tQt_platform platform;
    const std::string pdf = platform.Pdf_of_text(text, "Courier New", 8);
    ASSERT_EQ(pdf.rfind("%PDF", 0), 0u);
    Write_bytes(saved, pdf);

    // The machine's default printer where there is one, else Qt's default page.
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    const auto printer =
        info.isNull() ? std::make_unique<QPrinter>() : std::make_unique<QPrinter>(info);
    const fs::path printed = scratch.Path / "printed.pdf";
    Print_to_pdf(*printer, printed, text);

    EXPECT_EQ(Page_count(saved), Page_count(printed));
    // Every character, in order; the wide line continues on the next line.
    std::string shown;
    for (const std::string& page : Page_texts(saved))
        shown += page;
    EXPECT_EQ(Non_blank(shown), Non_blank(text));
}
