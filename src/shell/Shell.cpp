#include "shell/Shell.h"

#include "shell/FatalError.h"
#include "shell/frmFileLocations.h"
#include "shell/frmMain.h"

namespace zelvora {

Shell::Shell(Variables& vars, Settings& settings, UserDialogs& dialogs, Clock& clock, ProcessRunner& runner)
    : vars_(vars), settings_(settings), dialogs_(dialogs), clock_(clock), runner_(runner) {}

void Shell::LoadMain() {
    auto* window = new frmMain(*this);
    main_ = window;
    window->Form_Load();
}

void Shell::UnloadMain() {
    if (main_)
        main_->close();
    main_ = nullptr;
}

void Shell::ShowFileLocations() {
    auto* dialog = new frmFileLocations(*this);
    dialog->show();
    dialog->Form_Load();
}

frmMain* Shell::Main() const {
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
