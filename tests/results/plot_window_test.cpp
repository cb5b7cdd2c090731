#include "results/plot_window.h"

#include <QApplication>
#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QImage>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QScatterSeries>
#include <QTest>
#include <QValueAxis>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <unistd.h>

#include "platform/system_error_message.h"
#include "tests/support/failing_file_system.h"
#include "tests/support/scripted_platform.h"

namespace fs = std::filesystem;

namespace {

// Three controls and a case below its prediction, drawn as given.
tPlot_points Small_plot(tLimits limits) {
    tPlot_points p;
    p.Controls = {{10, 12}, {20, 18}, {30, 31}};
    p.Case = {25, 14};
    p.Two_sided_low = 15;
    p.Two_sided_high = 35;
    p.Lower_bound = 17;
    p.Upper_bound = 33;
    p.Limits = limits;
    p.T = -2.5;
    p.DF = 1;
    p.Tail_below = true;
    p.Pct_more_extreme = 12.1119;
    p.T_range = 4;
    p.Density = {{-4, 0.02}, {-2.5, 0.04}, {0, 0.32}, {4, 0.02}};
    p.Tail = {{-4, 0.02}, {-2.5, 0.04}};
    p.Score_low = 8;
    p.Score_high = 38;
    return p;
}

template <typename Series> Series* Find_series(QChartView* view, const char* name) {
    for (QAbstractSeries* series : view->chart()->series())
        if (series->objectName() == name) return qobject_cast<Series*>(series);
    return nullptr;
}

std::vector<QPointF> Points_of(QXYSeries* series) {
    if (!series) return {};
    const QList<QPointF> points = series->points();
    return {points.begin(), points.end()};
}

QStringList Legend_texts(QWidget* legend) {
    QStringList texts;
    for (QLabel* label : legend->findChildren<QLabel*>("legendText"))
        texts << label->text();
    return texts;
}

class PlotWindow : public testing::Test {
protected:
    tScripted_platform platform;
    std::unique_ptr<TfrmPlot> window;
    fs::path folder;

    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("pavona_plot_" + std::to_string(getpid()) + "_" +
                  testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
        window = std::make_unique<TfrmPlot>(platform);
        window->Show_points(Small_plot(tLimits::Two_sided));
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    void TearDown() override {
        window.reset();
        fs::remove_all(folder);
    }

    static std::string Bytes(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    // Save Picture with the dialog answering `typed` and the type at `filter`.
    void Save(const std::string& typed, std::size_t filter) {
        platform.Save_answers.push_back(typed);
        platform.Save_type_answers.push_back(filter);
        QTest::mouseClick(window->cmdSavePicture, Qt::LeftButton);
    }
};

} // namespace

TEST_F(PlotWindow, ScoresChartShowsControlsCaseAndEqualScoresWhereThePointsSay) {
    const tPlot_points given = Small_plot(tLimits::Two_sided);
    EXPECT_EQ(window->windowTitle(), "Plot: obtained 14.0000, predicted 25.0000");

    auto* controls = Find_series<QScatterSeries>(window->chartScores, "seriesControls");
    ASSERT_NE(controls, nullptr);
    const std::vector<QPointF> drawn = Points_of(controls);
    ASSERT_EQ(drawn.size(), given.Controls.size());
    for (std::size_t i = 0; i < drawn.size(); ++i) {
        EXPECT_EQ(drawn[i].x(), given.Controls[i].Predicted);
        EXPECT_EQ(drawn[i].y(), given.Controls[i].Obtained);
    }

    auto* case_point = Find_series<QScatterSeries>(window->chartScores, "seriesCase");
    ASSERT_NE(case_point, nullptr);
    EXPECT_EQ(Points_of(case_point), std::vector<QPointF>{QPointF(25, 14)});
    EXPECT_GT(case_point->markerSize(), controls->markerSize());
    EXPECT_NE(case_point->markerShape(), controls->markerShape());
    EXPECT_NE(case_point->color().rgb(), controls->color().rgb());

    // The line of equal scores runs corner to corner of equal axes holding every point.
    auto* x = qobject_cast<QValueAxis*>(window->chartScores->chart()->axes(Qt::Horizontal)[0]);
    auto* y = qobject_cast<QValueAxis*>(window->chartScores->chart()->axes(Qt::Vertical)[0]);
    EXPECT_EQ(x->titleText(), "Predicted score (regression equation)");
    EXPECT_EQ(y->titleText(), "Obtained score (criterion Y)");
    EXPECT_EQ(x->min(), y->min());
    EXPECT_EQ(x->max(), y->max());
    EXPECT_LE(x->min(), given.Score_low);
    EXPECT_GE(x->max(), given.Score_high);
    const std::vector<QPointF> equal =
        Points_of(Find_series<QXYSeries>(window->chartScores, "seriesEqualScores"));
    EXPECT_EQ(equal, (std::vector<QPointF>{{x->min(), x->min()}, {x->max(), x->max()}}));

    EXPECT_EQ(Legend_texts(window->legendScores),
              (QStringList{"Controls", "Case", "Line of equal scores",
                           "95% interval for an additional case"}));
}

TEST_F(PlotWindow, IntervalBarStandsAtThePredictionBetweenTheChosenLimits) {
    const struct {
        tLimits Limits;
        double Low; // NaN: runs to the axis' end
        double High;
    } cases[] = {
        {tLimits::Two_sided, 15, 35}, {tLimits::Lower, 17, NAN}, {tLimits::Upper, NAN, 33}};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.Limits));
        window->Show_points(Small_plot(c.Limits));
        auto* y = qobject_cast<QValueAxis*>(window->chartScores->chart()->axes(Qt::Vertical)[0]);
        const std::vector<QPointF> bar =
            Points_of(Find_series<QXYSeries>(window->chartScores, "seriesInterval"));
        ASSERT_FALSE(bar.empty());
        double low = bar[0].y(), high = bar[0].y();
        for (const QPointF& p : bar) {
            low = std::min(low, p.y());
            high = std::max(high, p.y());
            EXPECT_NEAR(p.x(), 25, 1.0); // the bar and its caps, at the case's prediction
        }
        EXPECT_EQ(low, std::isnan(c.Low) ? y->min() : c.Low);
        EXPECT_EQ(high, std::isnan(c.High) ? y->max() : c.High);
        // Vertical at exactly the prediction between its two ends.
        EXPECT_NE(std::find(bar.begin(), bar.end(), QPointF(25, low)), bar.end());
        EXPECT_NE(std::find(bar.begin(), bar.end(), QPointF(25, high)), bar.end());
        EXPECT_TRUE(Legend_texts(window->legendScores)
                        .last()
                        .startsWith("95% interval for an additional case"));
    }
}

TEST_F(PlotWindow, DiscrepancyChartShadesTheCasesTailAndWritesItsPercentage) {
    const tPlot_points given = Small_plot(tLimits::Two_sided);
    auto* x = qobject_cast<QValueAxis*>(window->chartDiscrepancy->chart()->axes(Qt::Horizontal)[0]);
    EXPECT_EQ(x->titleText(), "t on the discrepancy");
    EXPECT_LE(x->min(), -given.T_range);
    EXPECT_GE(x->max(), given.T_range);

    const std::vector<QPointF> t_line =
        Points_of(Find_series<QXYSeries>(window->chartDiscrepancy, "seriesCaseT"));
    ASSERT_EQ(t_line.size(), 2u);
    EXPECT_EQ(t_line[0].x(), -2.5);
    EXPECT_EQ(t_line[1].x(), -2.5);

    auto* tail = Find_series<QAreaSeries>(window->chartDiscrepancy, "seriesTail");
    ASSERT_NE(tail, nullptr);
    EXPECT_EQ(Points_of(tail->upperSeries()), (std::vector<QPointF>{{-4, 0.02}, {-2.5, 0.04}}));

    auto* label = Find_series<QScatterSeries>(window->chartDiscrepancy, "seriesTailArea");
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(label->pointLabelsVisible());
    EXPECT_EQ(label->pointLabelsFormat(), "12.111900%");
    EXPECT_EQ(Legend_texts(window->legendDiscrepancy),
              (QStringList{"t density (1 df)", "Case's t = -2.5000",
                           "Population more extreme than the case: 12.111900%"}));
}

TEST_F(PlotWindow, NothingIsCutOffAtTheFirstSizeAndTheWindowResizes) {
    EXPECT_EQ(window->size(), QSize(792, 554));
    // The longest legend text, one-sided, at the first size.
    window->Show_points(Small_plot(tLimits::Upper));
    QApplication::processEvents();
    EXPECT_LE(window->minimumSizeHint().width(), 792);
    EXPECT_LE(window->minimumSizeHint().height(), 554);
    for (QLabel* text : window->findChildren<QLabel*>("legendText")) {
        SCOPED_TRACE(text->text().toStdString());
        EXPECT_GE(text->height(), text->heightForWidth(text->width()));
        EXPECT_TRUE(window->Charts->rect().contains(
            QRect(text->mapTo(window->Charts, QPoint(0, 0)), text->size())));
    }
    window->resize(1100, 800);
    QApplication::processEvents();
    EXPECT_EQ(window->size(), QSize(1100, 800));
    EXPECT_GT(window->chartScores->width(), 500);
}

TEST_F(PlotWindow, EachFormatIsWrittenWithItsSignatureByFilterOrTypedExtension) {
    const struct {
        std::string Typed;
        std::size_t Filter;
        std::string File;
        std::string Signature;
    } saves[] = {
        {"by_filter", 0, "by_filter.png", "\x89PNG"},
        {"by_filter", 1, "by_filter.svg", "<?xml"},
        {"by_filter", 2, "by_filter.pdf", "%PDF"},
        {"typed.pdf", 0, "typed.pdf", "%PDF"}, // the typed extension wins over the filter
        {"typed.SVG", 2, "typed.SVG", "<?xml"},
    };
    for (const auto& save : saves) {
        SCOPED_TRACE(save.File);
        Save((folder / save.Typed).string(), save.Filter);
        EXPECT_TRUE(platform.Boxes.empty()) << platform.Boxes.front().Text;
        const std::string bytes = Bytes(folder / save.File);
        EXPECT_EQ(bytes.substr(0, save.Signature.size()), save.Signature);
    }
    EXPECT_EQ(window->cmdSavePicture->shortcut(), QKeySequence("Ctrl+S"));

    // PNG at twice the charts' size; the SVG holds the axis titles as text.
    const QImage png(QString::fromStdString((folder / "by_filter.png").string()));
    EXPECT_EQ(png.size(), window->Charts->size() * 2);
    EXPECT_NE(Bytes(folder / "by_filter.svg").find("t on the discrepancy"), std::string::npos);
    // The PDF is one page.
    const std::string pdf = Bytes(folder / "by_filter.pdf");
    int pages = 0;
    for (std::size_t at = pdf.find("/Type /Page"); at != std::string::npos;
         at = pdf.find("/Type /Page", at + 1))
        if (pdf.compare(at, 12, "/Type /Pages") != 0) ++pages;
    EXPECT_EQ(pages, 1);
}

TEST_F(PlotWindow, AFileThatCannotBeWrittenGetsSaveOutputsMessage) {
    Save((folder / "missing" / "plot.png").string(), 0);
    fs::create_directories(folder / "taken.pdf");
    Save((folder / "taken.pdf").string(), 0);
    ASSERT_EQ(platform.Boxes.size(), 2u);
    EXPECT_EQ(platform.Boxes[0].Text, "File not found.");
    EXPECT_EQ(platform.Boxes[0].Kind, tMessage_kind::Error);
    EXPECT_EQ(platform.Boxes[0].Title, "Pavona");
    EXPECT_EQ(platform.Boxes[1].Text, "File access denied.");
}

TEST_F(PlotWindow, ASaveThatFailsPartWayLeavesThePictureItWasToReplaceByteForByte) {
    const fs::path path = folder / "plot.png";
    const std::string old_bytes = "an earlier picture";
    std::ofstream(path, std::ios::binary) << old_bytes;
    tFailing_file_system files(tFailing_file_system::tStep::Write);
    files.Bytes_before_failure = 1000;
    {
        const tFile_system_replacement replacement(files);
        Save(path.string(), 0);
    }
    ASSERT_EQ(platform.Boxes.size(), 1u);
    EXPECT_EQ(platform.Boxes[0].Text, With_full_stop(System_error_message(ENOSPC)));
    EXPECT_EQ(Bytes(path), old_bytes);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}
