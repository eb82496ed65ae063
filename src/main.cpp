#include "launcher/ProcessRunner.h"
#include "platform/Clock.h"
#include "platform/UserDialogs.h"
#include "shell/Shell.h"
#include "store/Settings.h"
#include "store/Variables.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zelvora"));

    zelvora::Variables vars;
    vars.ProgramDir = QCoreApplication::applicationDirPath();
    zelvora::Settings settings = zelvora::Settings::ForUser();
    zelvora::QtDialogs dialogs;
    zelvora::SystemClock clock;
    zelvora::ShellRunner runner;
    zelvora::Shell shell(vars, settings, dialogs, clock, runner);
    shell.LoadMain();
    return QApplication::exec();
}
