#pragma once

// The results viewer: shows the accumulated plain-text reports and lets the
// user save, print, clear them, go back to the worksheet or end the program.

#include <QMainWindow>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "inference/plot_points.h"

class QAction;
class QFrame;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class TfrmPlot;
class tPlatform;

class TfrmTemplateResults : public QMainWindow {
    Q_OBJECT

public:
    // `end_program` ends the application (Exit answered Yes).
    TfrmTemplateResults(tPlatform& platform, std::function<void()> end_program,
                        QWidget* parent = nullptr);

    // The form Return to Worksheet shows again.
    void Set_worksheet(QWidget* worksheet) { worksheet_ = worksheet; }

    // Appends report lines below what the memo holds.
    void Append_lines(const std::vector<std::string>& lines);
    // True when the memo holds at least one line.
    bool Has_text() const;
    std::string Text() const;

    // The plot of the analysis whose report was appended last: enables Show
    // plot and redraws an open plot window.
    void Set_plot(const tPlot_points& points);
    // The last analysis has no plot: Show plot is disabled and a plot window
    // of an earlier one is closed.
    void Clear_plot();
    // The plot window, once Show plot has made it.
    TfrmPlot* Plot_window() const { return plot_window_; }

    // Controls, by their names (also their Qt object names).
    QFrame* Panel1;
    QPlainTextEdit* memoResults;
    QFrame* Panel2;
    QPushButton* cmdSaveOutput;
    QPushButton* cmdClearResults;
    QPushButton* cmdReturn;
    QPushButton* cmdExit;
    QMenu* mnuPrinterOptions;
    QAction* mnuPrint;
    QAction* mnuPrintSelection;
    QAction* mnuSaveAsPdf;
    QMenu* mnuPlot;
    QAction* mnuShowPlot;

    void FormCreate();
    void FormShow();
    void cmdSaveOutputClick();
    void cmdClearResultsClick();
    void cmdReturnClick();
    void cmdExitClick();
    void mnuPrintClick();
    void mnuPrintSelectionClick();
    void mnuSaveAsPdfClick();
    void mnuShowPlotClick();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Every handler runs through here so that no exception reaches Qt.
    void Guarded(const std::function<void()>& handler);
    void Print(const std::string& text);

    tPlatform& platform_;
    std::function<void()> end_program_;
    QWidget* worksheet_ = nullptr;
    bool shown_before_ = false;
    std::optional<tPlot_points> plot_points_;
    TfrmPlot* plot_window_ = nullptr; // a child window: goes with the viewer
};

// The memo's text as it is saved: lines separated by CR LF, none at the end.
std::string Text_for_saving(const std::string& memo_text);
