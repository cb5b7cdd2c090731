#include <QDir>
#include <QFileInfo>

#include <memory>

#include "app/worksheet_form.h"
#include "assessment/notes.h"
#include "assessment/program_texts.h"
#include "assessment/request.h"
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

} // namespace

// The Continue button: checks the entries, saves them, asks for the raw data
// file, reads it, runs the analysis and shows the report.
void TfrmTemplate::cmdComputeClick() {
    tRequest request;
    request.Predictors = txtInput1->text().toStdString();
    request.Sample_size = txtInput2->text().toStdString();
    request.Limits = static_cast<tLimits>(RadioGroup1ItemIndex());
    request.Notes = Notes_lines(memoComments->toPlainText().toStdString());
    request.After_earlier_report = results_ && results_->Has_text();

    std::optional<tBusy_cursor> cursor;
    tRequest_hooks hooks;
    hooks.Choose_data = [&]() -> std::optional<tData_source> {
        // Saved before the data file is chosen, and kept whatever happens next.
        SaveCurrentData();
        cursor.emplace(platform_);
        tOpen_file_request dialog;
        dialog.Start_folder = QDir::currentPath().toStdString();
        dialog.Filter_description = "Text files only";
        dialog.Filter_pattern = "*.txt";
        const std::optional<std::string> chosen = platform_.Open_file(dialog);
        if (!chosen || QString::fromStdString(*chosen).trimmed().isEmpty()) return std::nullopt;
        // The next dialog starts where this file was found.
        QDir::setCurrent(QFileInfo(QString::fromStdString(*chosen)).absolutePath());
        return tData_source::File(*chosen);
    };
    hooks.Loaded = [this](const std::string& message) {
        platform_.Message_box(message, tMessage_kind::Information, Ok_button);
    };
    hooks.Warned = [this](const std::string& message) {
        platform_.Message_box(message, tMessage_kind::Warning, Ok_button);
    };
    const tOutcome outcome = Run_request(request, hooks);
    if (cursor) cursor->Restore();

    if (!outcome.Done) {
        if (outcome.Failure)
            Show_default_error(platform_, outcome.Message);
        else
            platform_.Message_box(outcome.Message, outcome.Kind, Ok_button);
        if (outcome.Field != tEntry_field::None)
            (outcome.Field == tEntry_field::Predictors ? txtInput1 : txtInput2)->setFocus();
        return;
    }
    if (!results_) // no viewer: nothing to show the report in
        return;
    results_->show();
    hide();
    results_->setWindowTitle(QString::fromStdString("Results viewer: " + ProgramDescription));
    results_->Append_lines(outcome.Report);
    if (outcome.Plot)
        results_->Set_plot(*outcome.Plot);
    else
        results_->Clear_plot();
}
