#include "platform/UserDialogs.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QUrl>

#include <algorithm>

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

bool QtDialogs::ShowFolder(const QString& folder) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

QString QtDialogs::OpenFile(QWidget* parent, const QString& filter, const QString& directory) {
    // "Select Any File in the PCX Directory|*.pcx" becomes Qt's "text (patterns)".
    const qsizetype bar = filter.indexOf(QLatin1Char('|'));
    const QString title = bar < 0 ? filter : filter.left(bar);
    const QString patterns = bar < 0 ? QStringLiteral("*") : filter.mid(bar + 1);
    return QFileDialog::getOpenFileName(Owner(parent), title, directory,
                                        QStringLiteral("%1 (%2)").arg(title, patterns));
}

QString QtDialogs::SaveFile(QWidget* parent, const QString& filter, const QString& file) {
    const qsizetype bar = filter.indexOf(QLatin1Char('|'));
    const QString title = bar < 0 ? filter : filter.left(bar);
    const QString patterns = bar < 0 ? QStringLiteral("*") : filter.mid(bar + 1);
    return QFileDialog::getSaveFileName(Owner(parent), title, file, QStringLiteral("%1 (%2)").arg(title, patterns));
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

void QtDialogs::Warn(QWidget* parent, const QString& title, const QString& text) {
    // A message box breaks a line wider than it allows anywhere, a command line in the middle of a
    // switch included: the text stands in a label that never breaks a line, and scrolls when it
    // is larger than most of the screen.
    QDialog box(Owner(parent));
    box.setObjectName(QStringLiteral("Warning"));
    box.setWindowTitle(title);
    QStyle* style = box.style();
    auto* icon = new QLabel(&box);
    icon->setObjectName(QStringLiteral("icon"));
    const int iconSize = style->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, &box);
    icon->setPixmap(style->standardIcon(QStyle::SP_MessageBoxWarning, nullptr, &box).pixmap(iconSize));
    auto* message = new QLabel(Shown(text));
    message->setObjectName(QStringLiteral("message"));
    message->setTextFormat(Qt::PlainText);
    message->setWordWrap(false);
    message->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    message->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* scroll = new QScrollArea(&box);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(message);
    const QScreen* screen = box.screen();
    const QSize room = screen ? screen->availableGeometry().size() * 3 / 4 : QSize(1024, 600);
    const int bar = style->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &box);
    const QSize needed = message->sizeHint();
    scroll->setMinimumSize(std::min(needed.width() + bar, room.width()),
                           std::min(needed.height() + bar, room.height()));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &box);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    auto* layout = new QGridLayout(&box);
    layout->addWidget(icon, 0, 0, Qt::AlignTop);
    layout->addWidget(scroll, 0, 1);
    layout->addWidget(buttons, 1, 0, 1, 2);
    box.exec();
}

} // namespace zelvora
