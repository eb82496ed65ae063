#include "shell/frmFileLocations.h"

#include "shell/Shell.h"
#include "shell/UserDialogs.h"
#include "store/Settings.h"
#include "store/Variables.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace zelvora {

namespace {

const char* const Keys[3] = {"MameLocation", "PCXFiles", "ROMFiles"};
const char* const BrowseCaptions[3] = {"MAME Directory", "PCX Directory", "ROMS Directory"};
// MAME's executable on this system is "mame", without an extension; the other two offer the
// files a user would recognise the folder by.
const char* const Filters[3] = {"Select Any File in the MAME Directory|mame mame*",
                                "Select Any File in the PCX Directory|*.pcx *.PCX",
                                "Select Any File in the ROMS Directory|*"};

QString withSlash(QString dir) {
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

} // namespace

frmFileLocations::frmFileLocations(Shell& shell, QWidget* parent) : QWidget(parent, Qt::Window), shell_(shell) {
    setObjectName(QStringLiteral("frmFileLocations"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("File Locations"));

    auto* grid = new QGridLayout(this);
    for (int i = 0; i < 3; ++i) {
        Command1[i] = new QPushButton(QLatin1String(BrowseCaptions[i]), this);
        Command1[i]->setObjectName(QStringLiteral("Command1_%1").arg(i));
        txtFile[i] = new QLineEdit(this);
        txtFile[i]->setObjectName(QStringLiteral("txtFile_%1").arg(i));
        txtFile[i]->setMinimumWidth(380);
        grid->addWidget(Command1[i], i, 0);
        grid->addWidget(txtFile[i], i, 1);
        connect(Command1[i], &QPushButton::clicked, this, [this, i] { Command1_Click(i); });
    }
    Command2 = new QPushButton(QStringLiteral("OK"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setDefault(true);
    Command3 = new QPushButton(QStringLiteral("Cancel"), this);
    Command3->setObjectName(QStringLiteral("Command3"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Command2);
    buttons->addWidget(Command3);
    grid->addLayout(buttons, 3, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
}

void frmFileLocations::Form_Load() {
    shell_.UnloadMain();
    const Variables& vars = shell_.vars();
    const QString program = withSlash(vars.ProgramDir);
    const QString defaults[3] = {program, program + QStringLiteral("pcx/"), program + QStringLiteral("roms/")};
    for (int i = 0; i < 3; ++i)
        txtFile[i]->setText(
            shell_.settings().Get(DirectoriesApplication, DirectoriesSection, QLatin1String(Keys[i]), defaults[i]));
    // Cancel would only bring back a main window that cannot start; OK is the way on.
    const bool mameDirExists = !vars.MamePath.trimmed().isEmpty() && QFileInfo(vars.MamePath).isDir();
    Command3->setEnabled(mameDirExists);
}

void frmFileLocations::Command1_Click(int index) {
    if (index < 0 || index > 2)
        return;
    const QString chosen =
        shell_.dialogs().OpenFile(this, QLatin1String(Filters[index]), txtFile[index]->text().trimmed());
    if (chosen.isEmpty())
        return;
    const QFileInfo file(chosen);
    txtFile[index]->setText(withSlash(file.absolutePath()));
}

void frmFileLocations::Command2_Click() {
    Settings& settings = shell_.settings();
    for (int i = 0; i < 3; ++i)
        settings.Save(DirectoriesApplication, DirectoriesSection, QLatin1String(Keys[i]), txtFile[i]->text().trimmed());
    Variables& vars = shell_.vars();
    vars.MamePath = settings.Get(DirectoriesApplication, DirectoriesSection, QLatin1String(Keys[0]), QString());
    vars.PcxPath = settings.Get(DirectoriesApplication, DirectoriesSection, QLatin1String(Keys[1]), QString());
    vars.RomPath = settings.Get(DirectoriesApplication, DirectoriesSection, QLatin1String(Keys[2]), QString());
    shell_.LoadMain();
    close();
}

void frmFileLocations::Command3_Click() {
    shell_.LoadMain();
    close();
}

} // namespace zelvora
