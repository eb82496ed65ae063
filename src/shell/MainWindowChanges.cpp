#include "shell/MainWindow.h"

#include "gamelist/FilterBar.h"
#include "gamelist/FindField.h"
#include "gamelist/GameGrid.h"
#include "platform/TextCompare.h"
#include "shell/Shell.h"
#include "shell/WhatsNewWindow.h"
#include "store/Database.h"
#include "store/Variables.h"
#include "update/ChangeReport.h"

#include <QMenu>

namespace zelvora {

void MainWindow::addWhatsNewEntry() {
    whatsNewAction = actionsMenu->addAction(QStringLiteral("&What's New"), this, [this] { showWhatsNew(); });
    whatsNewAction->setObjectName(QStringLiteral("whatsNewAction"));
    whatsNewAction->setEnabled(false);
    // Asked as the menu opens: every update, and nothing else, replaces the report.
    connect(actionsMenu, &QMenu::aboutToShow, this, [this] {
        bool any = false;
        guarded([&] {
            const Variables& vars = shell_.Variables();
            any = vars.CatalogueDb && HasLastChanges(*vars.CatalogueDb);
        });
        whatsNewAction->setEnabled(any);
    });
}

void MainWindow::showWhatsNew() {
    std::vector<GameChange> changes;
    guarded([&] {
        if (Variables& vars = shell_.Variables(); vars.CatalogueDb)
            changes = LastChanges(*vars.CatalogueDb);
    });
    if (changes.empty())
        return;
    auto* window = new WhatsNewWindow(this, shell_.UserDialogs(), std::move(changes),
                                      [this](const QString& rom) { return selectListedGame(rom); });
    window->open();
}

QString MainWindow::selectListedGame(const QString& rom) {
    const auto loaded = [&] {
        if (!loaded_)
            return false;
        for (int index = 0; index < loaded_->Size(); ++index) {
            if (EqualNoCase((*loaded_)[index].rom, rom))
                return true;
        }
        return false;
    };
    int row = rows_.RowOfRom(rom);
    // Listed, but not shown: the find field's text goes first, then the filter bar's filters.
    if (row < 0 && loaded()) {
        if (!findField->text().isEmpty())
            findField->clear();
        if ((row = rows_.RowOfRom(rom)) < 0) {
            filterBar->SetFilters({});
            barFiltersChanged();
            row = rows_.RowOfRom(rom);
        }
    }
    if (row < 0)
        return QStringLiteral("%1 is not in the list: the game filters (Options, Game Filters) hide it.").arg(rom);
    gameList->SetCurrentRow(row);
    return {};
}

} // namespace zelvora
