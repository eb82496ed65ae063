#include "platform/FatalError.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>

namespace zelvora {

void ShowFatalError(const QString& text, QWidget* parent) {
    std::fprintf(stderr, "Zelvora: %s\n", text.toLocal8Bit().constData());
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        QMessageBox::critical(parent, QStringLiteral("Zelvora"), text);
    std::exit(EXIT_FAILURE);
}

} // namespace zelvora
