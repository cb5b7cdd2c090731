#include "results/plot_window.h"

#include <QApplication>
#include <QAreaSeries>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QImage>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QScatterSeries>
#include <QTest>
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

tPlot_axis Axis(const char* title, double low, double high, std::vector<double> ticks,
                std::vector<std::string> labels) {
    return {title, low, high, std::move(ticks), std::move(labels)};
}

// Three controls and a case below its prediction, drawn as given. The frames
// are not what the figures' own rules would make of these points (odd ends,
// uneven ticks, made-up texts), so that only drawing what is given passes.
tPlot_points Small_plot(tLimits limits) {
    tPlot_points p;
    p.Title = "Plot: obtained 14.0000, predicted 25.0000";
    p.Controls = {{10, 12}, {20, 18}, {30, 31}};
    p.Case = {25, 14};
    p.Two_sided_low = 15;
    p.Two_sided_high = 35;
    p.Lower_bound = 17;
    p.Upper_bound = 33;
    p.Limits = limits;
    p.Cap_half_width = 0.75;
    p.Scores = {"scores caption",
                Axis("Predicted score (regression equation)", 7, 41, {7, 19, 30, 41},
                     {"7", "19", "30.0", "41"}),
                Axis("Obtained score (criterion Y)", 7, 41, {7, 24, 41}, {"7", "24", "41"}),
                {{tPlot_mark::Controls, "Controls"},
                 {tPlot_mark::Case, "Case"},
                 {tPlot_mark::Equal_scores, "Line of equal scores"},
                 {tPlot_mark::Interval, "Interval text for " + std::to_string(int(limits))}}};
    p.T = -2.5;
    p.DF = 1;
    p.Tail_below = true;
    p.Pct_more_extreme = 12.1119;
    p.Density = {{-4, 0.02}, {-2.5, 0.04}, {0, 0.32}, {4, 0.02}};
    p.Tail = {{-4, 0.02}, {-2.5, 0.04}};
    p.Case_t_top = 0.335;
    p.Tail_area = "12.111900%";
    p.Discrepancy = {"t caption",
                     Axis("t on the discrepancy", -4, 4, {-3, 0, 3}, {"-3", "0", "3"}),
                     Axis("Density", 0, 0.45, {0, 0.15, 0.3, 0.45}, {"0", ".15", ".30", ".45"}),
                     {{tPlot_mark::Density, "density text"},
                      {tPlot_mark::Case_t, "case's t text"},
                      {tPlot_mark::Tail, "tail text"}}};
    return p;
}

template <typename Series> Series* Find_series(QChartView* view, const char* name) {
    for (QAbstractSeries* series : view->chart()->series())
        if (series->objectName() == name) return qobject_cast<Series*>(series);
    return nullptr;
}

QStringList Legend_texts(QWidget* legend) {
    QStringList texts;
    for (QLabel* label : legend->findChildren<QLabel*>("legendText"))
        texts << label->text();
    return texts;
}

QCategoryAxis* Axis_of(QChartView* view, Qt::Orientation orientation) {
    return qobject_cast<QCategoryAxis*>(view->chart()->axes(orientation).value(0));
}

// A drawn value in the given axis' units: where it stands between the drawn
// axis' ends, taken to the given ends (to a millionth). The window may draw
// in units of its own; what shows is where a value stands on its axis.
double As_given(QCategoryAxis* axis, const tPlot_axis& given, double drawn) {
    const double fraction = (drawn - axis->min()) / (axis->max() - axis->min());
    return std::round((given.Low + fraction * (given.High - given.Low)) * 1e6) / 1e6;
}

// The series' points in the given frame's units.
std::vector<QPointF> Points_of(QChartView* view, QXYSeries* series, const tChart_frame& frame) {
    if (!series) return {};
    std::vector<QPointF> points;
    for (const QPointF& p : series->points())
        points.emplace_back(As_given(Axis_of(view, Qt::Horizontal), frame.X, p.x()),
                            As_given(Axis_of(view, Qt::Vertical), frame.Y, p.y()));
    return points;
}

// The axis shows the given title, and each given label at its tick.
void Expect_axis_as_given(QCategoryAxis* axis, const tPlot_axis& given) {
    ASSERT_NE(axis, nullptr);
    EXPECT_EQ(axis->titleText().toStdString(), given.Title);
    EXPECT_EQ(axis->labelsPosition(), QCategoryAxis::AxisLabelsPositionOnValue);
    const QStringList labels = axis->categoriesLabels();
    ASSERT_EQ(labels.size(), static_cast<qsizetype>(given.Labels.size()));
    for (std::size_t i = 0; i < given.Labels.size(); ++i) {
        const QString& label = labels[static_cast<qsizetype>(i)];
        EXPECT_EQ(label.toStdString(), given.Labels[i]);
        EXPECT_EQ(As_given(axis, given, axis->endValue(label)), given.Ticks[i]);
    }
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
    const std::vector<QPointF> drawn = Points_of(window->chartScores, controls, given.Scores);
    ASSERT_EQ(drawn.size(), given.Controls.size());
    for (std::size_t i = 0; i < drawn.size(); ++i) {
        EXPECT_EQ(drawn[i].x(), given.Controls[i].Predicted);
        EXPECT_EQ(drawn[i].y(), given.Controls[i].Obtained);
    }

    auto* case_point = Find_series<QScatterSeries>(window->chartScores, "seriesCase");
    ASSERT_NE(case_point, nullptr);
    EXPECT_EQ(Points_of(window->chartScores, case_point, given.Scores),
              std::vector<QPointF>{QPointF(25, 14)});
    EXPECT_GT(case_point->markerSize(), controls->markerSize());
    EXPECT_NE(case_point->markerShape(), controls->markerShape());
    EXPECT_NE(case_point->color().rgb(), controls->color().rgb());

    // The axes as given; the line of equal scores runs corner to corner.
    Expect_axis_as_given(Axis_of(window->chartScores, Qt::Horizontal), given.Scores.X);
    Expect_axis_as_given(Axis_of(window->chartScores, Qt::Vertical), given.Scores.Y);
    const std::vector<QPointF> equal =
        Points_of(window->chartScores,
                  Find_series<QXYSeries>(window->chartScores, "seriesEqualScores"), given.Scores);
    EXPECT_EQ(equal, (std::vector<QPointF>{{7, 7}, {41, 41}}));

    EXPECT_EQ(Legend_texts(window->legendScores),
              (QStringList{"Controls", "Case", "Line of equal scores", "Interval text for 0"}));
    EXPECT_EQ(window->chartScores->accessibleName(), "scores caption");
}

TEST_F(PlotWindow, ScoresOfAnySizeStandWhereTheirValuesSayInThePlotArea) {
    // The same plot shifted far from 0 and shrunk near it: spans that chart
    // libraries take for empty ranges (relative or absolute fuzz).
    const struct {
        const char* Name;
        double Scale, Offset;
    } sizes[] = {{"as is", 1, 0}, {"offset 1e15", 1, 1e15}, {"scaled 1e-15", 1e-15, 0}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(size.Name);
        tPlot_points p = Small_plot(tLimits::Two_sided);
        const auto resize = [&](double& v) { v = size.Offset + size.Scale * v; };
        for (tScore_point& control : p.Controls) {
            resize(control.Predicted);
            resize(control.Obtained);
        }
        for (tPlot_axis* axis : {&p.Scores.X, &p.Scores.Y}) {
            resize(axis->Low);
            resize(axis->High);
            for (double& tick : axis->Ticks)
                resize(tick);
        }
        window->Show_points(p);
        QApplication::processEvents();
        QChart* chart = window->chartScores->chart();
        const QRectF area = chart->plotArea();
        auto* controls = Find_series<QScatterSeries>(window->chartScores, "seriesControls");
        ASSERT_NE(controls, nullptr);
        for (std::size_t i = 0; i < p.Controls.size(); ++i) {
            const QPointF at = chart->mapToPosition(controls->at(static_cast<int>(i)), controls);
            // Original units: the fraction of the way along each axis.
            const double x = (Small_plot(tLimits::Two_sided).Controls[i].Predicted - 7) / 34;
            const double y = (Small_plot(tLimits::Two_sided).Controls[i].Obtained - 7) / 34;
            EXPECT_NEAR((at.x() - area.left()) / area.width(), x, 0.01) << "control " << i;
            EXPECT_NEAR((area.bottom() - at.y()) / area.height(), y, 0.01) << "control " << i;
        }
    }
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
        const std::vector<QPointF> bar = Points_of(
            window->chartScores, Find_series<QXYSeries>(window->chartScores, "seriesInterval"),
            Small_plot(c.Limits).Scores);
        ASSERT_FALSE(bar.empty());
        double low = bar[0].y(), high = bar[0].y();
        for (const QPointF& p : bar) {
            low = std::min(low, p.y());
            high = std::max(high, p.y());
            EXPECT_NEAR(p.x(), 25, 1.0); // the bar and its caps, at the case's prediction
        }
        EXPECT_EQ(low, std::isnan(c.Low) ? 7 : c.Low);
        EXPECT_EQ(high, std::isnan(c.High) ? 41 : c.High);
        // A cap as wide as given on each closed end.
        for (const double end : {c.Low, c.High})
            if (!std::isnan(end)) {
                EXPECT_NE(std::find(bar.begin(), bar.end(), QPointF(24.25, end)), bar.end());
                EXPECT_NE(std::find(bar.begin(), bar.end(), QPointF(25.75, end)), bar.end());
            }
        // Vertical at exactly the prediction between its two ends.
        EXPECT_NE(std::find(bar.begin(), bar.end(), QPointF(25, low)), bar.end());
        EXPECT_NE(std::find(bar.begin(), bar.end(), QPointF(25, high)), bar.end());
        EXPECT_EQ(Legend_texts(window->legendScores).last(),
                  QString("Interval text for %1").arg(static_cast<int>(c.Limits)));
    }
}

TEST_F(PlotWindow, DiscrepancyChartShadesTheCasesTailAndWritesItsPercentage) {
    const tPlot_points given = Small_plot(tLimits::Two_sided);
    Expect_axis_as_given(Axis_of(window->chartDiscrepancy, Qt::Horizontal), given.Discrepancy.X);
    Expect_axis_as_given(Axis_of(window->chartDiscrepancy, Qt::Vertical), given.Discrepancy.Y);
    EXPECT_EQ(window->chartDiscrepancy->accessibleName(), "t caption");

    const std::vector<QPointF> t_line = Points_of(
        window->chartDiscrepancy, Find_series<QXYSeries>(window->chartDiscrepancy, "seriesCaseT"),
        given.Discrepancy);
    EXPECT_EQ(t_line, (std::vector<QPointF>{{-2.5, 0}, {-2.5, 0.335}}));

    auto* tail = Find_series<QAreaSeries>(window->chartDiscrepancy, "seriesTail");
    ASSERT_NE(tail, nullptr);
    EXPECT_EQ(Points_of(window->chartDiscrepancy, tail->upperSeries(), given.Discrepancy),
              (std::vector<QPointF>{{-4, 0.02}, {-2.5, 0.04}}));

    auto* label = Find_series<QScatterSeries>(window->chartDiscrepancy, "seriesTailArea");
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(label->pointLabelsVisible());
    EXPECT_EQ(label->pointLabelsFormat(), "12.111900%");
    EXPECT_EQ(Legend_texts(window->legendDiscrepancy),
              (QStringList{"density text", "case's t text", "tail text"}));
}

TEST_F(PlotWindow, WithoutScoresTheTChartStandsAlone) {
    tPlot_points given = Small_plot(tLimits::Two_sided);
    given.Has_scores = false;
    given.Controls.clear();
    window->Show_points(given);
    QApplication::processEvents();
    EXPECT_FALSE(window->chartScores->isVisible());
    EXPECT_FALSE(window->legendScores->isVisible());
    EXPECT_TRUE(window->chartDiscrepancy->isVisible());
    EXPECT_TRUE(window->chartScores->chart()->series().isEmpty());
    EXPECT_EQ(Legend_texts(window->legendDiscrepancy).size(), 3);
    // The t chart takes the room the scores chart leaves.
    EXPECT_GT(window->chartDiscrepancy->width(), window->Charts->width() * 3 / 4);
    // Scores again: both charts are back.
    window->Show_points(Small_plot(tLimits::Two_sided));
    QApplication::processEvents();
    EXPECT_TRUE(window->chartScores->isVisible());
    EXPECT_TRUE(window->legendScores->isVisible());
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
