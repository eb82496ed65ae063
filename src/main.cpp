#include "launcher/ProcessRunner.h"
#include "platform/FatalError.h"
#include "platform/ProgramStyle.h"
#include "platform/UserDialogs.h"
#include "shell/Shell.h"
#include "store/Catalogue.h"
#include "store/Settings.h"
#include "store/StoreError.h"
#include "store/Variables.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zelvora"));
    QApplication::setDesktopFileName(QStringLiteral("zelvora"));
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/zelvora-%1.png").arg(size), QSize(size, size));
    QApplication::setWindowIcon(icon);
    QApplication::setStyle(new zelvora::ProgramStyle);

    zelvora::Variables vars;
    // Beside the program when it may write there, else in the user's data folder.
    try {
        vars.ProgramDir = zelvora::DataFolder(QCoreApplication::applicationDirPath());
    } catch (const zelvora::StoreError& error) {
        zelvora::ShowFatalError(error.Text(), nullptr);
    }
    zelvora::Settings settings = zelvora::Settings::ForUser();
    zelvora::QtDialogs dialogs;
    zelvora::ShellRunner runner;
    zelvora::Shell shell(vars, settings, dialogs, runner);
    if (!shell.Start())
        return 1;
    return QApplication::exec();
}
