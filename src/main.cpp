#include "shell/FatalError.h"
#include "shell/frmMain.h"
#include "store/StoreError.h"
#include "store/Variables.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zelvora"));

    zelvora::Variables vars;
    vars.ProgramDir = QCoreApplication::applicationDirPath();
    try {
        zelvora::frmMain window(vars);
        window.show();
        return QApplication::exec();
    } catch (const zelvora::StoreError& error) {
        zelvora::ShowFatalError(error.text());
    }
}
