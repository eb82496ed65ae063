#include "shell/FileLocationsDialog.h"

#include "platform/UserDialogs.h"
#include "shell/FirstStart.h"
#include "shell/MainWindow.h"
#include "shell/Shell.h"
#include "store/ProgramSettings.h"
#include "store/Settings.h"
#include "store/Variables.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <algorithm>

namespace zelvora {

namespace {

const char* const BrowseCaptions[FileLocationsDialog::FolderCount] = {"&MAME Directory", "&PCX Directory",
                                                                      "&ROMS Directory", "&Support Files", "&Artwork"};
const char* const ChooserTitles[FileLocationsDialog::FolderCount] = {
    "Select the MAME Directory", "Select the PCX Directory", "Select the ROMS Directory",
    "Select the Support Files Directory", "Select the Artwork Directory"};

// What the main window's start-up found wrong with the MAME folder it read, in the user's words.
QString reasonText(MameFolder state, const QString& mamePath, const QString& foundMame) {
    switch (state) {
    case MameFolder::NotSet:
        if (!foundMame.isEmpty())
            return QStringLiteral("Welcome to Zelvora. MAME was found in \"%1\", and the folders below are the ones "
                                  "it uses. Press OK to take them; several folders are separated by \";\".")
                .arg(foundMame);
        return QStringLiteral("Welcome to Zelvora. Please choose MAME's folder, the one that holds the \"mame\" "
                              "executable, then press OK.");
    case MameFolder::Missing:
        return QStringLiteral("The MAME folder \"%1\" does not exist, so no \"mame\" executable was found there. "
                              "Please choose MAME's folder.")
            .arg(mamePath);
    case MameFolder::WithoutMame:
        if (!mamePath.endsWith(QLatin1Char('/')))
            return QStringLiteral("No \"mame\" executable was found at \"%1mame\": the MAME folder \"%1\" lacks "
                                  "its final \"/\", which OK adds.")
                .arg(mamePath);
        return QStringLiteral("No \"mame\" executable was found in the MAME folder \"%1\". Please choose the "
                              "folder that holds it.")
            .arg(mamePath);
    case MameFolder::Ready:
        break;
    }
    return {};
}

} // namespace

FileLocationsDialog::FileLocationsDialog(Shell& shell, QWidget* mainWindow)
    : QDialog(mainWindow), shell_(shell), overMain_(mainWindow != nullptr) {
    setObjectName(QStringLiteral("FileLocationsDialog"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("File Locations"));

    auto* grid = new QGridLayout(this);
    reasonLabel = new QLabel(this);
    reasonLabel->setObjectName(QStringLiteral("reasonLabel"));
    reasonLabel->setWordWrap(true);
    reasonLabel->setTextFormat(Qt::PlainText);
    reasonLabel->setContentsMargins(0, 0, 0, 6);
    reasonLabel->hide();
    grid->addWidget(reasonLabel, 0, 0, 1, 2);
    for (int i = 0; i < FolderCount; ++i) {
        browseButtons[i] = new QPushButton(QLatin1String(BrowseCaptions[i]), this);
        browseButtons[i]->setObjectName(QStringLiteral("browseButtons_%1").arg(i));
        folderFields[i] = new QLineEdit(this);
        folderFields[i]->setObjectName(QStringLiteral("folderFields_%1").arg(i));
        folderFields[i]->setMinimumWidth(380);
        grid->addWidget(browseButtons[i], i + 1, 0);
        grid->addWidget(folderFields[i], i + 1, 1);
        connect(browseButtons[i], &QPushButton::clicked, this, [this, i] { browse(i); });
    }
    okButton = new QPushButton(QStringLiteral("OK"), this);
    okButton->setObjectName(QStringLiteral("okButton"));
    okButton->setDefault(true);
    cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    grid->addLayout(buttons, FolderCount + 1, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    connect(okButton, &QPushButton::clicked, this, [this] { confirm(); });
    connect(cancelButton, &QPushButton::clicked, this, [this] { cancelEdit(); });
}

void FileLocationsDialog::start() {
    if (!overMain_)
        shell_.UnloadMain();
    const Variables& vars = shell_.Variables();
    const QString program = WithSlash(vars.ProgramDir);
    const ProgramSettings settings(shell_.Settings());
    Folders folders = settings.ReadFolders(
        {program, program + QStringLiteral("pcx/"), program + QStringLiteral("roms/"), QString(), QString()});
    // Judged by what the main window's last load read, not by the boxes: that is what failed.
    const MameFolder state = CheckMameFolder(vars.MamePath);
    // Nothing was ever chosen: a MAME installed for the user proposes its own folders.
    found_.reset();
    if (state == MameFolder::NotSet && settings.ReadFolders().mame.isEmpty()) {
        if (const QString mame = FindMameFolder(shell_.MameSearchFolders); !mame.isEmpty()) {
            found_ = AskInstalledMame(mame, shell_.ProcessRunner());
            if (found_)
                folders = found_->folders;
        }
    }
    folderFields[0]->setText(folders.mame);
    folderFields[1]->setText(folders.screenshots);
    folderFields[2]->setText(folders.roms);
    folderFields[3]->setText(folders.support);
    folderFields[4]->setText(folders.artwork);
    // A list of folders reads from its start, and the boxes widen for the longest as far as the
    // screen has room.
    int widest = 380;
    for (QLineEdit* field : folderFields) {
        field->setCursorPosition(0);
        widest = std::max(widest, field->fontMetrics().horizontalAdvance(field->text()) + 16);
    }
    if (const QScreen* shown = screen())
        widest = std::min(widest, shown->availableGeometry().width() * 2 / 3);
    folderFields[0]->setMinimumWidth(widest);
    const QString reason = reasonText(state, vars.MamePath, found_ ? found_->folders.mame : QString());
    reasonLabel->setText(reason);
    reasonLabel->setVisible(!reason.isEmpty());
    // The dialog is already on screen: it grows to fit the wrapped line instead of cutting it,
    // about the centre it was given.
    const QPoint centre = frameGeometry().center();
    adjustSize();
    move(pos() + centre - frameGeometry().center());
    // Cancel would only bring back a main window that cannot start; OK is the way on.
    cancelButton->setEnabled(state == MameFolder::WithoutMame || state == MameFolder::Ready);
}

void FileLocationsDialog::browse(int index) {
    if (index < 0 || index >= FolderCount)
        return;
    const QString chosen = shell_.UserDialogs().ChooseFolder(this, QLatin1String(ChooserTitles[index]),
                                                             folderFields[index]->text().trimmed());
    if (!chosen.isEmpty())
        folderFields[index]->setText(chosen);
}

void FileLocationsDialog::confirm() {
    // A typed folder is meant as that folder, and the rest of the program appends file names
    // directly: "/opt/mame" would have MAME run as "/opt/mamemame".
    const auto folder = [this](int i) { return WithSlash(folderFields[i]->text().trimmed()); };
    // The ROM sets, the support files and the artwork may lie in several folders.
    const auto folders = [this](int i) { return JoinedFolders(FolderList(folderFields[i]->text())); };
    const Folders chosen{folder(0), folder(1), folders(2), folders(3), folders(4)};
    ProgramSettings settings(shell_.Settings());
    settings.SaveFolders(chosen);
    // MAME's own folders are the found MAME's: they are searched after the user's.
    const bool firstStart = found_ && chosen.mame == found_->folders.mame;
    if (firstStart)
        settings.SaveMameFolders(found_->mame);
    shell_.Variables().SetFolders(chosen);
    Shell& shell = shell_;
    if (overMain_) {
        accept();
        shell.ReloadMain();
        return;
    }
    shell.LoadMain();
    close();
    // A first start goes on to fill the catalogue, the update asking before it runs MAME.
    if (firstStart) {
        if (MainWindow* main = shell.Main())
            QTimer::singleShot(0, main, [main] { main->updateEmptyCatalogue(); });
    }
}

void FileLocationsDialog::keyPressEvent(QKeyEvent* event) {
    // Escape is Cancel, where Cancel may be used; OK is then the only way on.
    if (event->key() == Qt::Key_Escape) {
        if (cancelButton->isEnabled())
            cancelEdit();
        return;
    }
    QDialog::keyPressEvent(event);
}

void FileLocationsDialog::cancelEdit() {
    if (overMain_) {
        reject();
        return;
    }
    shell_.LoadMain();
    close();
}

} // namespace zelvora
