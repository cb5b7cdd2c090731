#include <QApplication>

#include "app/qt_platform.h"
#include "app/state_file.h"
#include "app/worksheet_form.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    application.setWindowIcon(PavonaIcon());

    tQt_platform platform;
    TfrmTemplate frmTemplate(
        platform, GetExeDirectory(QCoreApplication::applicationFilePath().toStdString()));
    frmTemplate.show();
    return application.exec();
}
