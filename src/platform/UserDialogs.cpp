#include "platform/UserDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace zelvora {

namespace {

// The program's texts break lines with a lone carriage return, which a message box would not
// show as a break.
QString Shown(const QString& text) {
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

// A dialog opens over the window it is about; asked without one, over the window in front, or the
// screen's centre when there is none.
QWidget* Owner(QWidget* parent) {
    return parent ? parent : QApplication::activeWindow();
}

} // namespace

QString QtDialogs::OpenFile(QWidget* parent, const QString& filter, const QString& directory) {
    // "Select Any File in the PCX Directory|*.pcx" becomes Qt's "text (patterns)".
    const qsizetype bar = filter.indexOf(QLatin1Char('|'));
    const QString title = bar < 0 ? filter : filter.left(bar);
    const QString patterns = bar < 0 ? QStringLiteral("*") : filter.mid(bar + 1);
    return QFileDialog::getOpenFileName(Owner(parent), title, directory,
                                        QStringLiteral("%1 (%2)").arg(title, patterns));
}

QString QtDialogs::ChooseFolder(QWidget* parent, const QString& title, const QString& directory) {
    QString folder = QFileDialog::getExistingDirectory(Owner(parent), title, directory);
    if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

bool QtDialogs::Confirm(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, title, Shown(text), QMessageBox::Ok | QMessageBox::Cancel, Owner(parent));
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok;
}

void QtDialogs::Inform(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox::information(Owner(parent), title, Shown(text));
}

} // namespace zelvora
