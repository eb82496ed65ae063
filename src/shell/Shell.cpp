#include "shell/Shell.h"

#include "launcher/ProcessRunner.h"
#include "mame/MameVersion.h"
#include "platform/FatalError.h"
#include "platform/UserDialogs.h"
#include "platform/WindowPlacement.h"
#include "shell/FileLocationsDialog.h"
#include "shell/MainWindow.h"
#include "store/FolderLock.h"
#include "store/StoreError.h"
#include "store/Variables.h"

#include <QFileInfo>

namespace zelvora {

MameFolder CheckMameFolder(const QString& mamePath) {
    if (mamePath.trimmed().isEmpty())
        return MameFolder::NotSet;
    const QFileInfo mame(MameExecutable(mamePath));
    if (mame.isFile() && mame.isExecutable())
        return MameFolder::Ready;
    return QFileInfo(mamePath).isDir() ? MameFolder::WithoutMame : MameFolder::Missing;
}

Shell::Shell(zelvora::Variables& vars, zelvora::Settings& settings, zelvora::UserDialogs& dialogs,
             zelvora::ProcessRunner& runner)
    : vars_(vars), settings_(settings), dialogs_(dialogs), runner_(runner) {}

Shell::~Shell() = default;

bool Shell::Start() {
    bool running = false;
    const bool locked = CatchStoreError(
        [&] {
            lock_ = FolderLock::TryLock(vars_.ProgramDir);
            running = !lock_;
        },
        [this](const QString& text) { Fatal(text); });
    if (running)
        dialogs_.Inform(nullptr, QStringLiteral("Zelvora"), QStringLiteral("Zelvora is already running."));
    if (!locked || running)
        return false;
    LoadMain();
    return true;
}

void Shell::LoadMain() {
    auto* window = new MainWindow(*this);
    main_ = window;
    window->start();
}

void Shell::UnloadMain() {
    if (main_)
        main_->close();
    main_ = nullptr;
}

void Shell::ShowFileLocations() {
    auto* dialog = new FileLocationsDialog(*this);
    // Where the main window is now; it is unloaded once the dialog is up, so the dialog cannot be
    // one of its windows.
    CentreWhenShown(dialog, main_);
    dialog->show();
    dialog->start();
}

void Shell::EditFileLocations() {
    if (!main_) {
        ShowFileLocations();
        return;
    }
    auto* dialog = new FileLocationsDialog(*this, main_);
    dialog->open();
    dialog->start();
}

void Shell::ReloadMain() {
    const QPointer<MainWindow> old = main_;
    if (old)
        old->unload();
    LoadMain();
    if (old)
        old->close();
}

std::shared_ptr<const Mame> Shell::Mame() {
    return RunMameVersions().Of(MameExecutable(vars_.MamePath), runner_);
}

MainWindow* Shell::Main() const {
    return main_.data();
}

void Shell::Fatal(const QString& text) {
    if (onFatal) {
        onFatal(text);
        return;
    }
    ShowFatalError(text, main_);
}

} // namespace zelvora
