#include "shell/frmMain.h"

#include "store/Variables.h"

namespace zelvora {

frmMain::frmMain(Variables& vars, QWidget* parent) : QMainWindow(parent), vars_(vars) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Zelvora"));
    resize(800, 600);
}

} // namespace zelvora
