#pragma once

#include "update/ChangeReport.h"

#include <QDialog>

#include <functional>
#include <vector>

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace zelvora {

class UserDialogs;

// What the last update changed, grouped by kind with counts. A click or Enter on a game selects it
// in the main list; the report can be saved as text or as CSV. Modal over the main window; Escape
// or Close closes it.
class WhatsNewWindow : public QDialog {
    Q_OBJECT

public:
    // `selectGame` selects a set in the main list and answers why it could not, or nothing.
    WhatsNewWindow(QWidget* owner, UserDialogs& dialogs, std::vector<GameChange> changes,
                   std::function<QString(const QString& rom)> selectGame);

    // Asks for a file and writes the report into it.
    void saveAs(bool csv);

    QTreeWidget* changesTree = nullptr;
    QLabel* selectionText = nullptr; // why a game could not be selected
    QPushButton* textButton = nullptr;
    QPushButton* csvButton = nullptr;
    QPushButton* closeButton = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void gameChosen(QTreeWidgetItem* item);

    UserDialogs& dialogs_;
    std::vector<GameChange> changes_;
    std::function<QString(const QString&)> selectGame_;
};

} // namespace zelvora
