#include "results/plot_window.h"

#include <QAreaSeries>
#include <QBuffer>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QFontMetricsF>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineSeries>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPixmap>
#include <QPushButton>
#include <QScatterSeries>
#include <QSvgGenerator>
#include <QVBoxLayout>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <stdexcept>

#include "distributions/text_format.h"
#include "platform/file_writer.h"
#include "platform/platform.h"
#include "platform/qt_platform.h"

namespace {

constexpr int Window_width = 792;
constexpr int Window_height = 554;

const QColor Control_colour(31, 119, 180);
const QColor Control_fill(31, 119, 180, 170);
const QColor Case_colour(214, 39, 40);
const QColor Interval_colour(255, 127, 14);
const QColor Equal_colour(110, 110, 110);
const QColor Tail_colour(214, 39, 40, 90);

QChart* New_chart() {
    auto* chart = new QChart();
    // The window's own legend below the charts wraps its lines where the
    // chart's would cut them short at the window's first size.
    chart->legend()->hide();
    // Room on the right for half the last tick's label, which stands centred
    // on the axis' end.
    chart->setMargins(QMargins(4, 4, 18, 4));
    chart->setBackgroundRoundness(0);
    return chart;
}

// The axis as the figures give it: its ends, and a label at each tick
// (QCategoryAxis draws given texts at given values; QValueAxis would choose
// its own).
// Where a value of an axis is drawn: as it is, or (`Unit`) as the fraction of
// the way from the axis' low end to its high end. Qt Charts takes spans below
// about 1e-12, absolute or relative to the values, for empty ranges, so
// scores of any size are drawn as fractions; their labels stay as given.
struct tPlace {
    double Low = 0;
    double Span = 1;
    static tPlace Unit(const tPlot_axis& axis) { return {axis.Low, axis.High - axis.Low}; }
    double operator()(double value) const { return (value - Low) / Span; }
};

QCategoryAxis* New_axis(const tPlot_axis& given, const tPlace& place = {}) {
    auto* axis = new QCategoryAxis();
    axis->setTitleText(QString::fromStdString(given.Title));
    axis->setRange(place(given.Low), place(given.High));
    axis->setStartValue(place(given.Low));
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    for (std::size_t i = 0; i < given.Ticks.size(); ++i)
        axis->append(QString::fromStdString(given.Labels[i]), place(given.Ticks[i]));
    return axis;
}

void Attach(QChart* chart, QAbstractSeries* series, QAbstractAxis* x, QAbstractAxis* y) {
    chart->addSeries(series);
    series->attachAxis(x);
    series->attachAxis(y);
}

QChart* Scores_chart(const tPlot_points& points) {
    QChart* chart = New_chart();
    const tPlace px = tPlace::Unit(points.Scores.X);
    const tPlace py = tPlace::Unit(points.Scores.Y);
    QCategoryAxis* x = New_axis(points.Scores.X, px);
    QCategoryAxis* y = New_axis(points.Scores.Y, py);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    const double low = points.Scores.X.Low;
    const double high = points.Scores.X.High;

    auto* equal = new QLineSeries();
    equal->setObjectName("seriesEqualScores");
    equal->append(px(low), py(low));
    equal->append(px(high), py(high));
    equal->setPen(QPen(Equal_colour, 1.5, Qt::DashLine));
    Attach(chart, equal, x, y);

    auto* controls = new QScatterSeries();
    controls->setObjectName("seriesControls");
    controls->setMarkerShape(QScatterSeries::MarkerShapeCircle);
    controls->setMarkerSize(7);
    // See-through, so that a dense sample still shows where it crowds.
    controls->setColor(Control_fill);
    controls->setBorderColor(Control_colour.darker(130));
    for (const tScore_point& control : points.Controls)
        controls->append(px(control.Predicted), py(control.Obtained));
    Attach(chart, controls, x, y);

    auto* case_point = new QScatterSeries();
    case_point->setObjectName("seriesCase");
    case_point->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
    case_point->setMarkerSize(14);
    case_point->setColor(Case_colour);
    case_point->setBorderColor(Qt::black);
    case_point->append(px(points.Case.Predicted), py(points.Case.Obtained));
    Attach(chart, case_point, x, y);

    // The bar with a cap on each closed end; an open end runs to the border.
    const tInterval_ends ends = Chosen_interval(points);
    const double bar_low = ends.Low;
    const double bar_high = ends.High;
    const double cap = points.Cap_half_width;
    const double at = points.Case.Predicted;
    auto* interval = new QLineSeries();
    interval->setObjectName("seriesInterval");
    if (!ends.Low_open) {
        interval->append(px(at - cap), py(bar_low));
        interval->append(px(at + cap), py(bar_low));
    }
    interval->append(px(at), py(bar_low));
    interval->append(px(at), py(bar_high));
    if (!ends.High_open) {
        interval->append(px(at - cap), py(bar_high));
        interval->append(px(at + cap), py(bar_high));
    }
    interval->setPen(QPen(Interval_colour, 3));
    Attach(chart, interval, x, y);
    return chart;
}

// Puts the tail's percentage beside the tail, just above the curve and clear of
// t's line; where the tail side has no room for it, above the line's top.
void Place_tail_label(QChart* chart, QScatterSeries* label, const tPlot_points& points,
                      double line_top) {
    const QRectF area = chart->plotArea();
    if (area.width() <= 0 || area.height() <= 0) return;
    const double width =
        QFontMetricsF(label->pointLabelsFont()).horizontalAdvance(label->pointLabelsFormat());
    const double gap = 6;
    const double side = points.Tail_below ? -1 : 1;
    const QPointF at_t = chart->mapToPosition(QPointF(points.T, 0), label);
    double centre = at_t.x() + side * (gap + width / 2);
    double top_y = 0;
    if (centre - width / 2 >= area.left() && centre + width / 2 <= area.right()) {
        const double from = chart->mapToValue(QPointF(centre - width / 2, 0), label).x();
        const double to = chart->mapToValue(QPointF(centre + width / 2, 0), label).x();
        double under = 0;
        for (const tCurve_point& p : points.Density)
            if (p.X >= from && p.X <= to) under = std::max(under, p.Y);
        top_y = chart->mapToPosition(QPointF(0, under), label).y() - 3;
    } else {
        centre = std::clamp(centre, area.left() + width / 2, area.right() - width / 2);
        top_y = chart->mapToPosition(QPointF(0, line_top), label).y() - 2;
    }
    const QPointF value = chart->mapToValue(QPointF(centre, top_y), label);
    label->replace(0, value);
}

QChart* Discrepancy_chart(const tPlot_points& points) {
    QChart* chart = New_chart();
    QCategoryAxis* x = New_axis(points.Discrepancy.X);
    QCategoryAxis* y = New_axis(points.Discrepancy.Y);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);

    // The area series does not own its line: the line is made its child.
    auto* tail = new QAreaSeries();
    auto* tail_line = new QLineSeries(tail);
    for (const tCurve_point& p : points.Tail)
        tail_line->append(p.X, p.Y);
    tail->setUpperSeries(tail_line);
    tail->setObjectName("seriesTail");
    tail->setColor(Tail_colour);
    tail->setBorderColor(Qt::transparent);
    Attach(chart, tail, x, y);

    auto* density = new QLineSeries();
    density->setObjectName("seriesDensity");
    for (const tCurve_point& p : points.Density)
        density->append(p.X, p.Y);
    density->setPen(QPen(Control_colour, 2));
    Attach(chart, density, x, y);

    auto* case_t = new QLineSeries();
    case_t->setObjectName("seriesCaseT");
    case_t->append(points.T, 0);
    const double line_top = points.Case_t_top;
    case_t->append(points.T, line_top);
    case_t->setPen(QPen(Case_colour, 2));
    Attach(chart, case_t, x, y);

    auto* label = new QScatterSeries();
    label->setObjectName("seriesTailArea");
    label->append(points.T, line_top);
    label->setMarkerSize(1);
    label->setColor(Qt::transparent);
    label->setBorderColor(Qt::transparent);
    label->setPointLabelsFormat(QString::fromStdString(points.Tail_area));
    label->setPointLabelsVisible(true);
    label->setPointLabelsClipping(false);
    label->setPointLabelsColor(Case_colour.darker(140));
    QFont font = label->pointLabelsFont();
    font.setBold(true);
    label->setPointLabelsFont(font);
    Attach(chart, label, x, y);
    // Placed in pixels, once the plot area's size is known and at every resize.
    QObject::connect(chart, &QChart::plotAreaChanged, label, [chart, label, points, line_top] {
        Place_tail_label(chart, label, points, line_top);
    });
    return chart;
}

// A legend's symbol, drawn as the chart draws the series.
enum class tSymbol { Circle, Square, Dashed_line, Line, Bar, Area };

QPixmap Symbol_pixmap(tSymbol symbol, const QColor& colour) {
    QPixmap pixmap(26, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    switch (symbol) {
    case tSymbol::Circle:
        painter.setPen(colour.darker(130));
        painter.setBrush(colour);
        painter.drawEllipse(QPointF(13, 8), 3.5, 3.5);
        break;
    case tSymbol::Square:
        painter.setPen(Qt::black);
        painter.setBrush(colour);
        painter.drawRect(QRectF(7.5, 2.5, 11, 11));
        break;
    case tSymbol::Dashed_line:
        painter.setPen(QPen(colour, 1.5, Qt::DashLine));
        painter.drawLine(QPointF(1, 14), QPointF(25, 2));
        break;
    case tSymbol::Line:
        painter.setPen(QPen(colour, 2));
        painter.drawLine(QPointF(1, 8), QPointF(25, 8));
        break;
    case tSymbol::Bar:
        painter.setPen(QPen(colour, 3));
        painter.drawLine(QPointF(13, 1), QPointF(13, 15));
        painter.drawLine(QPointF(9, 1.5), QPointF(17, 1.5));
        painter.drawLine(QPointF(9, 14.5), QPointF(17, 14.5));
        break;
    case tSymbol::Area:
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawRect(QRectF(3, 3, 20, 10));
        break;
    }
    return pixmap;
}

// Each mark's symbol, drawn as the chart draws the series.
struct tMark_style {
    tSymbol Symbol;
    QColor Colour;
};

tMark_style Style_of(tPlot_mark mark) {
    switch (mark) {
    case tPlot_mark::Controls:
        return {tSymbol::Circle, Control_colour};
    case tPlot_mark::Case:
        return {tSymbol::Square, Case_colour};
    case tPlot_mark::Equal_scores:
        return {tSymbol::Dashed_line, Equal_colour};
    case tPlot_mark::Interval:
        return {tSymbol::Bar, Interval_colour};
    case tPlot_mark::Density:
        return {tSymbol::Line, Control_colour};
    case tPlot_mark::Case_t:
        return {tSymbol::Line, Case_colour};
    case tPlot_mark::Tail:
        break;
    }
    return {tSymbol::Area, Tail_colour};
}

// Two entries a line; a long text wraps rather than being cut.
void Fill_legend(QWidget* legend, const std::vector<tLegend_entry>& entries) {
    for (QWidget* old : legend->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        delete old;
    auto* grid = static_cast<QGridLayout*>(legend->layout());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const int row = static_cast<int>(i / 2);
        const int column = static_cast<int>(i % 2) * 2;
        const tMark_style style = Style_of(entries[i].Mark);
        auto* symbol = new QLabel(legend);
        symbol->setPixmap(Symbol_pixmap(style.Symbol, style.Colour));
        auto* text = new QLabel(QString::fromStdString(entries[i].Text), legend);
        text->setObjectName("legendText");
        text->setWordWrap(true);
        grid->addWidget(symbol, row, column);
        grid->addWidget(text, row, column + 1);
    }
}

QWidget* New_legend(QWidget* parent, const char* name) {
    auto* legend = new QWidget(parent);
    legend->setObjectName(name);
    auto* grid = new QGridLayout(legend);
    grid->setContentsMargins(8, 0, 8, 4);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(2);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    return legend;
}

QChartView* New_view(QWidget* parent, const char* name) {
    auto* view = new QChartView(parent);
    view->setObjectName(name);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(200, 200);
    return view;
}

} // namespace

tPicture_format Picture_format_for(const std::string& path) {
    std::string end = path.size() >= 4 ? path.substr(path.size() - 4) : path;
    std::transform(end.begin(), end.end(), end.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (end == ".svg") return tPicture_format::Svg;
    if (end == ".pdf") return tPicture_format::Pdf;
    return tPicture_format::Png;
}

TfrmPlot::TfrmPlot(tPlatform& platform, QWidget* parent)
    : QWidget(parent, Qt::Window), platform_(platform) {
    setObjectName("frmPlot");
    setWindowTitle("Plot");
    setWindowIcon(PavonaIcon());

    Charts = new QWidget(this);
    Charts->setObjectName("Charts");
    chartScores = New_view(Charts, "chartScores");
    chartDiscrepancy = New_view(Charts, "chartDiscrepancy");
    legendScores = New_legend(Charts, "legendScores");
    legendDiscrepancy = New_legend(Charts, "legendDiscrepancy");
    // White throughout, as the charts are, so that a saved picture is too.
    Charts->setAutoFillBackground(true);
    QPalette palette = Charts->palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::WindowText, Qt::black);
    Charts->setPalette(palette);
    auto* charts_layout = new QGridLayout(Charts);
    charts_layout->setContentsMargins(0, 0, 0, 0);
    charts_layout->setSpacing(2);
    charts_layout->addWidget(chartScores, 0, 0);
    charts_layout->addWidget(chartDiscrepancy, 0, 1);
    charts_layout->addWidget(legendScores, 1, 0, Qt::AlignTop);
    charts_layout->addWidget(legendDiscrepancy, 1, 1, Qt::AlignTop);
    charts_layout->setColumnStretch(0, 1);
    charts_layout->setColumnStretch(1, 1);
    charts_layout->setRowStretch(0, 1);

    cmdSavePicture = new QPushButton("Save Picture...", this);
    cmdSavePicture->setObjectName("cmdSavePicture");
    cmdSavePicture->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    cmdSavePicture->setToolTip("Save the charts as PNG, SVG or PDF (Ctrl+S)");

    auto* buttons = new QHBoxLayout();
    buttons->addStretch(1);
    buttons->addWidget(cmdSavePicture);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(Charts, 1);
    layout->addLayout(buttons);

    connect(cmdSavePicture, &QPushButton::clicked, this,
            [this] { Run_guarded(platform_, [this] { cmdSavePictureClick(); }); });
    resize(Window_width, Window_height);
}

void TfrmPlot::Show_points(const tPlot_points& points) {
    setWindowTitle(QString::fromStdString(points.Title));
    // The views own their charts: the old ones go with the replacement.
    QChart* old_scores = chartScores->chart();
    QChart* old_discrepancy = chartDiscrepancy->chart();
    chartScores->setChart(points.Has_scores ? Scores_chart(points) : New_chart());
    chartDiscrepancy->setChart(Discrepancy_chart(points));
    delete old_scores;
    delete old_discrepancy;
    chartScores->setAccessibleName(QString::fromStdString(points.Scores.Caption));
    chartDiscrepancy->setAccessibleName(QString::fromStdString(points.Discrepancy.Caption));

    // Summary statistics have no controls to draw: the t chart stands alone.
    chartScores->setVisible(points.Has_scores);
    legendScores->setVisible(points.Has_scores);
    static_cast<QGridLayout*>(Charts->layout())->setColumnStretch(0, points.Has_scores ? 1 : 0);
    Fill_legend(legendScores, points.Scores.Legend);
    Fill_legend(legendDiscrepancy, points.Discrepancy.Legend);
}

std::string TfrmPlot::Picture_bytes(tPicture_format format) {
    const QSize size = Charts->size();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPainter painter;
    switch (format) {
    case tPicture_format::Png: {
        // Twice the window's size, for sharpness in documents.
        QImage image(size * 2, QImage::Format_ARGB32);
        image.setDevicePixelRatio(2);
        image.fill(Qt::white);
        if (!painter.begin(&image)) throw std::runtime_error("The picture could not be drawn");
        Charts->render(&painter);
        painter.end();
        if (!image.save(&buffer, "PNG")) throw std::runtime_error("The picture could not be drawn");
        break;
    }
    case tPicture_format::Svg: {
        QSvgGenerator generator;
        generator.setOutputDevice(&buffer);
        generator.setSize(size);
        generator.setViewBox(QRect(QPoint(0, 0), size));
        generator.setTitle(windowTitle());
        if (!painter.begin(&generator)) throw std::runtime_error("The picture could not be drawn");
        Charts->render(&painter);
        painter.end();
        break;
    }
    case tPicture_format::Pdf: {
        // One page the shape of the charts, at 96 dots per inch.
        QPdfWriter writer(&buffer);
        writer.setTitle(windowTitle());
        writer.setResolution(96);
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setPageSize(QPageSize(QSizeF(size.width() * 72.0 / 96, size.height() * 72.0 / 96),
                                     QPageSize::Point));
        if (!painter.begin(&writer)) throw std::runtime_error("The picture could not be drawn");
        Charts->render(&painter);
        painter.end();
        break;
    }
    }
    buffer.close();
    return bytes.toStdString();
}

void TfrmPlot::cmdSavePictureClick() {
    tSave_file_request request;
    request.Default_name = "plot.png";
    request.Ask_before_overwrite = true;
    request.File_types = {{"PNG image", "png"}, {"SVG image", "svg"}, {"PDF document", "pdf"}};
    const std::optional<std::string> path = platform_.Save_file(request);
    if (!path) return;
    // Drawn in memory first, then written as Save Output writes, with its messages.
    Write_file(*path, Picture_bytes(Picture_format_for(*path)));
}
