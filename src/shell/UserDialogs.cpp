#include "shell/UserDialogs.h"

#include <QFileDialog>
#include <QMessageBox>

namespace zelvora {

QString QtDialogs::OpenFile(QWidget* parent, const QString& filter, const QString& directory) {
    // "Select Any File in the PCX Directory|*.pcx" becomes Qt's "text (patterns)".
    const qsizetype bar = filter.indexOf(QLatin1Char('|'));
    const QString title = bar < 0 ? filter : filter.left(bar);
    const QString patterns = bar < 0 ? QStringLiteral("*") : filter.mid(bar + 1);
    return QFileDialog::getOpenFileName(parent, title, directory, QStringLiteral("%1 (%2)").arg(title, patterns));
}

bool QtDialogs::Confirm(QWidget* parent, const QString& title, const QString& text) {
    return QMessageBox::question(parent, title, text, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok) ==
           QMessageBox::Ok;
}

void QtDialogs::Inform(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox::information(parent, title, text);
}

} // namespace zelvora
