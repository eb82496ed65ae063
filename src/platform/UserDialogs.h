#pragma once

#include <QString>

class QWidget;

namespace zelvora {

// The questions the program puts to the user: message boxes, the file-open dialog and the folder
// chooser. Windows reach them only through this interface, so tests answer them without a person.
class UserDialogs {
public:
    virtual ~UserDialogs() = default;

    // The file-open dialog. `filter` is "what to pick|pattern"; returns the chosen file's full
    // path, or an empty string when the user cancelled.
    virtual QString OpenFile(QWidget* parent, const QString& filter, const QString& directory) = 0;
    // The file-save dialog, in the same terms, proposing `file` (a full path); it asks before a file is
    // replaced. Empty when the user cancelled.
    virtual QString SaveFile(QWidget* parent, const QString& filter, const QString& file) = 0;
    // The folder chooser, opening at `directory`: returns the chosen folder's full path ending
    // with "/", ready for file names to be appended, or an empty string when the user cancelled.
    // Unlike picking a file in it, this can choose a folder that is still empty.
    virtual QString ChooseFolder(QWidget* parent, const QString& title, const QString& directory) = 0;
    // A message box with OK and Cancel; true for OK.
    virtual bool Confirm(QWidget* parent, const QString& title, const QString& text) = 0;
    virtual void Inform(QWidget* parent, const QString& title, const QString& text) = 0;
    // Something went wrong: a message with the warning icon. Its lines are shown as they stand,
    // never broken, and can be selected and copied, as they hold command lines and MAME's words.
    virtual void Warn(QWidget* parent, const QString& title, const QString& text) = 0;
    // Shows a folder in the desktop's file manager; false when the desktop could not.
    virtual bool ShowFolder(const QString& folder) = 0;
};

// The real dialogs.
class QtDialogs : public UserDialogs {
public:
    QString OpenFile(QWidget* parent, const QString& filter, const QString& directory) override;
    QString SaveFile(QWidget* parent, const QString& filter, const QString& file) override;
    QString ChooseFolder(QWidget* parent, const QString& title, const QString& directory) override;
    bool Confirm(QWidget* parent, const QString& title, const QString& text) override;
    void Inform(QWidget* parent, const QString& title, const QString& text) override;
    void Warn(QWidget* parent, const QString& title, const QString& text) override;
    bool ShowFolder(const QString& folder) override;
};

} // namespace zelvora
