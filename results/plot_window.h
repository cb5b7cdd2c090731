#pragma once

// The plot of the last analysis: the controls and the case as obtained against
// predicted scores with the case's interval for an additional case, and the
// case's t on the t density with the tail more extreme than it shaded.

#include <QWidget>

#include <string>

#include "inference/plot_points.h"

class QChart;
class QChartView;
class QPushButton;
class tPlatform;

// The picture formats Save Picture writes, told by the path's extension.
enum class tPicture_format { Png, Svg, Pdf };
tPicture_format Picture_format_for(const std::string& path);

class TfrmPlot : public QWidget {
    Q_OBJECT

public:
    explicit TfrmPlot(tPlatform& platform, QWidget* parent = nullptr);

    // Draws `points` in place of what the window showed, and titles it with the
    // case's obtained and predicted scores.
    void Show_points(const tPlot_points& points);

    QWidget* Charts;              // both charts side by side: what a picture holds
    QChartView* chartScores;      // obtained against predicted
    QChartView* chartDiscrepancy; // t on the discrepancy
    QWidget* legendScores;        // below each chart: what its marks are
    QWidget* legendDiscrepancy;
    QPushButton* cmdSavePicture;

    void cmdSavePictureClick();
    // The picture of the charts in `format`, as the bytes of its file.
    std::string Picture_bytes(tPicture_format format);

private:
    tPlatform& platform_;
};
