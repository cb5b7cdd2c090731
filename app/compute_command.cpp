#include <QDir>
#include <QFileInfo>

#include <memory>

#include "app/analysis.h"
#include "app/data_file_reader.h"
#include "app/notes.h"
#include "app/program_texts.h"
#include "app/report.h"
#include "app/worksheet_form.h"
#include "distributions/floating_point_faults.h"
#include "inference/plot_points.h"
#include "results/results_form.h"

namespace {

// The hourglass goes back to the normal cursor on every way out of the
// command, errors included.
class tBusy_cursor {
public:
    explicit tBusy_cursor(tPlatform& platform) : platform_(platform) {
        platform_.Set_busy_cursor(true);
        platform_.Process_events();
    }
    ~tBusy_cursor() { Restore(); }
    void Restore() {
        if (busy_) {
            busy_ = false;
            platform_.Set_busy_cursor(false);
        }
    }

private:
    tPlatform& platform_;
    bool busy_ = true;
};

tPlot_limits Plot_limits(tLimit_choice limits) {
    switch (limits) {
    case tLimit_choice::One_sided_lower:
        return tPlot_limits::Lower;
    case tLimit_choice::One_sided_upper:
        return tPlot_limits::Upper;
    case tLimit_choice::Two_sided:
        break;
    }
    return tPlot_limits::Two_sided;
}

} // namespace

// The Continue button: reads and checks the entries, saves them, reads the raw
// data file, runs the analysis and shows the report.
void TfrmTemplate::cmdComputeClick() {
    const tEntry_check entries =
        Check_entries(platform_, txtInput1->text().toStdString(), txtInput2->text().toStdString());
    if (!entries.Passed()) {
        if (!entries.Error_message.empty())
            platform_.Message_box(entries.Error_message, tMessage_kind::Error, Ok_button);
        (entries.Failed == tEntry_field::Predictors ? txtInput1 : txtInput2)->setFocus();
        return;
    }
    const int k = entries.K;
    const int n = entries.N;

    // Saved before the data file is chosen, and kept whatever happens next.
    SaveCurrentData();

    tBusy_cursor cursor(platform_);

    tOpen_file_request request;
    request.Start_folder = QDir::currentPath().toStdString();
    request.Filter_description = "Text files only";
    request.Filter_pattern = "*.txt";
    const std::optional<std::string> chosen = platform_.Open_file(request);
    if (!chosen || QString::fromStdString(*chosen).trimmed().isEmpty()) {
        cursor.Restore();
        platform_.Message_box(Load_cancelled_message, tMessage_kind::Information, Ok_button);
        return;
    }
    // The next dialog starts where this file was found.
    const QFileInfo file(QString::fromStdString(*chosen));
    QDir::setCurrent(file.absolutePath());

    auto data = std::make_unique<tData_matrix>();
    const std::string loaded = Read_data_file(*chosen, n + 1, k + 1, *data);
    platform_.Message_box(loaded, tMessage_kind::Information, Ok_button);

    const tLimit_choice limits = static_cast<tLimit_choice>(RadioGroup1ItemIndex());
    tAnalysis analysis;
    try {
        analysis = Run_analysis(std::move(data), k, n, limits, [this](const std::string& message) {
            platform_.Message_box(message, tMessage_kind::Warning, Ok_button);
        });
    } catch (const EAnalysis_refused& refusal) {
        if (refusal.Reason() != EAnalysis_refused::tReason::Not_positive_definite)
            throw; // reported by the default error handler
        cursor.Restore();
        platform_.Message_box(refusal.what(), tMessage_kind::Error, Ok_button);
        txtInput1->setFocus();
        return;
    }

    // Drawn from the same analysis as the report. Scores beyond what a chart
    // can hold (a double) still get their report, without a plot.
    std::optional<tPlot_points> plot;
    try {
        plot = Make_plot_points(*analysis.Data, n, k, analysis.Regression, analysis.Predicted,
                                analysis.SE_additional, analysis.Results, Plot_limits(limits));
    } catch (const EFloating_point_error&) {
    }

    cursor.Restore();
    if (!results_) // no viewer: nothing to show the report in
        return;
    const bool viewer_has_text = results_->Has_text();
    results_->show();
    hide();
    results_->setWindowTitle(QString::fromStdString("Results viewer: " + ProgramDescription));
    results_->Append_lines(Report_lines(
        analysis, Notes_lines(memoComments->toPlainText().toStdString()), viewer_has_text));
    if (plot)
        results_->Set_plot(*plot);
    else
        results_->Clear_plot();
}
