#include <QApplication>

#include "app/worksheet_form.h"
#include "assessment/state_file.h"
#include "platform/qt_platform.h"
#include "results/results_form.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    application.setWindowIcon(PavonaIcon());

    tQt_platform platform;
    TfrmTemplate frmTemplate(platform, StateFolderForUser(GetExeDirectory(
                                           QCoreApplication::applicationFilePath().toStdString())));
    // Created after the worksheet and kept hidden until the first report.
    TfrmTemplateResults frmTemplateResults(platform, [] { QCoreApplication::quit(); });
    frmTemplateResults.Set_worksheet(&frmTemplate);
    frmTemplate.setResultsViewer(&frmTemplateResults);

    frmTemplate.show();
    return application.exec();
}
