// The main window's commands that start MAME, run a job over the whole catalogue or open a window
// of their own: the game, the screenshot's deletion, merged sets, compaction, the About box.

#include "shell/MainWindow.h"

#include "gamelist/FilterDialog.h"

#include "about/AboutDialog.h"
#include "checks/PresenceChecks.h"
#include "checks/ProgressDialog.h"
#include "checks/RomVerification.h"
#include "detail/DetailTabs.h"
#include "detail/OptionsPanel.h"
#include "detail/ScreenshotView.h"
#include "gamelist/FilterDialog.h"
#include "gamelist/GameGrid.h"
#include "launcher/ProcessRunner.h"
#include "mame/GameCommand.h"
#include "mame/Mame.h"
#include "platform/BackgroundWork.h"
#include "platform/UserDialogs.h"
#include "platform/WindowPlacement.h"
#include "shell/Shell.h"
#include "shell/UpdateWindow.h"
#include "store/Catalogue.h"
#include "store/FieldNames.h"
#include "store/GameStore.h"
#include "store/ProgramSettings.h"
#include "store/Settings.h"
#include "store/Variables.h"

#include <QAction>
#include <QClipboard>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QThread>

namespace zelvora {

void MainWindow::fatal(const QString& text) {
    shell_.Fatal(text);
}

void MainWindow::toggleAssumeMerged() {
    ProgramSettings settings(shell_.Settings());
    settings.SetAssumeMerged(!settings.AssumeMerged());
    assumeMergedAction->setChecked(settings.AssumeMerged());
    UpdateTab();
}

void MainWindow::WaitOn(QWidget* workWindow, const std::function<void()>& work) {
    working_ = true;
    workWindow_ = workWindow;
    work();
    working_ = false;
    workWindow_ = nullptr;
}

bool MainWindow::CloseIfAsked() {
    if (!closeWhenDone_)
        return false;
    closeWhenDone_ = false;
    close();
    return true;
}

bool MainWindow::RunWithStatus(const std::function<void(WorkProgress&)>& job) {
    // Edits still in the option controls are written before the job reads or rewrites the catalogue.
    commitOptions();
    auto* status = new ProgressDialog(this);
    status->open();
    const QPointer<ProgressDialog> window(status);
    WaitOn(status, [&] { guarded([&] { RunBesideEvents(*status, job); }); });
    if (window)
        window->Finish();
    if (CloseIfAsked())
        return false;
    gameList->setFocus();
    return true;
}

void MainWindow::compactCatalogue() {
    Variables& vars = shell_.Variables();
    QString failure;
    const qint64 before = QFileInfo(CatalogueFile(vars.ProgramDir)).size();
    const bool stayed = RunWithStatus([&](Progress&) {
        vars.CatalogueDb.reset();
        try {
            CompactCatalogue(vars.ProgramDir);
        } catch (const StoreError& error) {
            // The compaction leaves the catalogue as it was when it fails, so the program can
            // go on with it.
            failure = error.Text();
        }
        OpenCatalogue(vars);
    });
    if (!stayed)
        return;
    guarded([&] { RefindShownGame(); });
    if (!failure.isEmpty()) {
        ShowResult(QStringLiteral("Catalogue not compacted"));
        shell_.UserDialogs().Inform(
            this, QStringLiteral("Zelvora"),
            QStringLiteral("The catalogue could not be compacted; it is unchanged.\n%1").arg(failure));
        return;
    }
    const qint64 after = QFileInfo(CatalogueFile(vars.ProgramDir)).size();
    const QLocale locale;
    ShowResult(QStringLiteral("Catalogue compacted: %1 to %2")
                   .arg(locale.formattedDataSize(before, 1, QLocale::DataSizeSIFormat),
                        locale.formattedDataSize(after, 1, QLocale::DataSizeSIFormat)));
}

QString MainWindow::romSearchPath() const {
    return SearchFolders(shell_.Variables().RomPath, ProgramSettings(shell_.Settings()).ReadMameFolders().roms)
        .join(u';');
}

void MainWindow::checkCollection(int index) {
    Variables& vars = shell_.Variables();
    CheckOutcome outcome;
    bool refill = false;
    const bool merged = assumeMergedAction->isChecked();
    // Asked here, on the window's thread, which also sets the Options tab for it.
    const std::shared_ptr<const Mame> mame = mameInUse();
    const QString roms = romSearchPath();
    if (static_cast<CollectionCheck>(index) == CollectionCheck::VerifyRoms && mame->AuditsBeside(roms)) {
        auditRoms(vars.MamePath, roms);
        return;
    }
    const bool stayed = RunWithStatus([&](Progress& status) {
        GameStore catalogue(*vars.CatalogueDb);
        const int records = catalogue.RecordCount();
        if (records <= 1) {
            outcome.result = QStringLiteral("Nothing to check: the catalogue holds no games");
            return;
        }
        const int games = records - 1;
        status.SetRange(0, games);
        status.SetValue(0);
        switch (static_cast<CollectionCheck>(index)) {
        case CollectionCheck::MissingScreenshots:
            outcome.result = MarkedGames(
                QStringLiteral("Missing Screenshots"),
                CheckMissingScreenshots(catalogue, vars.PcxPath, merged, status, mame->Screenshots()), games);
            break;
        case CollectionCheck::MissingZippedRoms:
            outcome =
                mame->CheckMissingRoms(catalogue, games, vars.MamePath, roms, merged, shell_.ProcessRunner(), status);
            break;
        case CollectionCheck::ClearStatusFields:
            ClearStatusFields(catalogue, status);
            outcome.result = QStringLiteral("Status fields cleared: %1 games").arg(games);
            break;
        case CollectionCheck::VerifyRoms:
            outcome = mame->VerifyRoms(catalogue, games, vars.MamePath, roms, vars.ProgramDir, shell_.ProcessRunner(),
                                       status);
            break;
        case CollectionCheck::VerifyAll:
            outcome =
                mame->VerifyAll(catalogue, games, vars.MamePath, roms, vars.ProgramDir, shell_.ProcessRunner(), status);
            break;
        default:
            return; // no such entry
        }
        refill = true;
    });
    if (!stayed)
        return;
    if (refill)
        FillGrid();
    if (!outcome.result.isEmpty())
        ShowResult(outcome.result);
    if (!outcome.message.isEmpty())
        shell_.UserDialogs().Inform(this, QStringLiteral("Zelvora"), outcome.message);
}

std::shared_ptr<const Mame> MainWindow::mameInUse() {
    std::shared_ptr<const Mame> mame = shell_.Mame();
    detailTabs->Options->SetMame(mame);
    return mame;
}

void MainWindow::startGame() {
    if (lastRunEnd_ >= 0 && clock_() < lastRunEnd_ + 1000)
        return;
    commitOptions();
    const int row = gameList->CurrentRow();
    if (row == 0 || rows_.rowCount() == 0)
        return;
    const Variables& vars = shell_.Variables();
    const std::shared_ptr<const Mame> mame = shell_.Mame();
    QString command, rom;
    guarded([&] {
        // The game of the highlighted row, found as entering the row found it for the tabs.
        if (const std::optional<GameRecord> game = rowGame(row)) {
            rom = game->Value(Field::Rom).toString();
            command =
                BuildGameCommand(rom, game->Options(), Games().DefaultOptions(), vars.MamePath, *mame, romSearchPath());
        }
    });
    if (command.isEmpty())
        return;
    gameList->setFocus();
    setEnabled(false);
    const qint64 started = clock_();
    GameRun run;
    NoProgress none;
    RunWatch untilItEnds;
    WaitOn(nullptr, [&] {
        RunBesideEvents(none,
                        [&](WorkProgress&) { run = RunGame(shell_.ProcessRunner(), command, *mame, untilItEnds); });
    });
    lastRunEnd_ = clock_();
    // A game MAME refused, or that never started, was not played.
    if (run.problem.isEmpty() && !rom.isEmpty()) {
        guarded([&] { Games().RecordPlay(rom, (lastRunEnd_ - started) / 1000, QDateTime::currentDateTimeUtc()); });
        rows_.ChangeGame(rows_.RowOfRom(rom), [&](ListedGame& game) {
            ++game.playCount;
            game.lastPlayed = Games().History(rom).lastPlayed;
        });
    }
    setEnabled(true);
    if (CloseIfAsked())
        return;
    show();
    raise();
    activateWindow();
    gameList->setFocus();
    if (!run.problem.isEmpty())
        shell_.UserDialogs().Warn(this, QStringLiteral("Zelvora"), run.problem);
}

QMenu* MainWindow::GameMenu(int row) {
    gameList->SetCurrentRow(row);
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->setObjectName(QStringLiteral("gameMenu"));
    const bool game = row > 0; // the default record is no game
    menu->addAction(QStringLiteral("&Start Game"), this, [this] { startGame(); })->setEnabled(game);
    menu->addAction(favouriteAction);
    favouriteAction->setEnabled(game);
    const QString rom = rows_.Rom(row);
    menu->addAction(QStringLiteral("&Copy Set Name"), this, [rom] { QGuiApplication::clipboard()->setText(rom); })
        ->setEnabled(game && !rom.isEmpty());
    menu->addAction(QStringLiteral("&Open Screenshot Folder"), this, [this] {
        const QString folder = shell_.Variables().PcxPath;
        if (!shell_.UserDialogs().ShowFolder(folder))
            ShowResult(QStringLiteral("The screenshot folder %1 could not be opened").arg(folder));
    });
    menu->addAction(QStringLiteral("&Information"), this,
                    [this] { detailTabs->setCurrentIndex(DetailTabs::InformationTab); });
    connect(menu, &QMenu::aboutToHide, this, [this] { favouriteAction->setEnabled(true); });
    return menu;
}

void MainWindow::toggleFavourite() {
    const QString title = rows_.Text(gameList->CurrentRow(), GameListModel::TitleColumn);
    guarded([&] {
        if (shownRom_.isEmpty() || gameList->CurrentRow() <= 0) {
            favouriteAction->setChecked(false); // the default record is no game
            return;
        }
        const bool favourite = !Games().History(shownRom_).favourite;
        Games().SetFavourite(shownRom_, favourite);
        rows_.ChangeGame(gameList->CurrentRow(), [&](ListedGame& game) { game.favourite = favourite; });
        favouriteAction->setChecked(favourite);
        ShowResult(favourite ? QStringLiteral("%1 is a favourite").arg(title)
                             : QStringLiteral("%1 is no longer a favourite").arg(title));
    });
}

void MainWindow::deleteScreenshot() {
    if (gameList->CurrentRow() == 0)
        return;
    commitOptions();
    QString rom;
    guarded([&] {
        if (const std::optional<GameRecord> game = shownGame(); game && !shownRom_.isEmpty())
            rom = game->Value(Field::Rom).toString();
    });
    if (rom.isEmpty())
        return;
    const ScreenshotKinds kinds = mameInUse()->Screenshots();
    const QString pcxPath = shell_.Variables().PcxPath;
    // Today's MAME may have left a PNG instead, by the set's name or as a snapshot in the set's
    // folder: the question names the file that would go, as it lies in the screenshot folder.
    QString file;
    if (kinds == ScreenshotKinds::PcxAndPng) {
        file = detailTabs->Finder().FindOwn(pcxPath, rom, kinds);
        if (file.isEmpty())
            return;
    }
    const QString name = file.isEmpty() ? rom + QStringLiteral(".pcx") : file.mid(pcxPath.size());
    if (!shell_.UserDialogs().Confirm(this, QStringLiteral("Zelvora"),
                                      QStringLiteral("Confirm deletion of %1").arg(name)))
        return;
    if (file.isEmpty())
        file = detailTabs->Finder().FindOwn(pcxPath, rom, kinds);
    if (file.isEmpty())
        return;
    QFile screenshot(file);
    if (!screenshot.remove()) {
        shell_.UserDialogs().Inform(this, QStringLiteral("Zelvora"),
                                    QStringLiteral("Could not delete %1: %2").arg(file, screenshot.errorString()));
        return;
    }
    detailTabs->screenshotView->Clear();

    // The game's S mark follows at once, as "Missing Screenshots" would set it: another snapshot
    // of the set, or the parent's screenshot while merged sets are assumed, may still be there.
    bool marked = false;
    guarded([&] {
        const std::optional<GameRecord> game = Games().Game(rom);
        if (!game)
            return;
        const QString clone = game->Value(Field::Clone).toString();
        const bool left =
            !detailTabs->Finder().Find(pcxPath, rom, clone, assumeMergedAction->isChecked(), kinds).isEmpty();
        const qlonglong mark = left ? 0 : 1;
        if (game->Value(Field::Screenshot).toLongLong() == mark)
            return;
        marked = Games().Write(rom, {{Field::Screenshot, mark}});
    });
    if (marked)
        FillGrid();
}

void MainWindow::updateEmptyCatalogue() {
    int records = 0;
    guarded([&] { records = Games().RecordCount(); });
    if (records <= 1)
        runUpdate();
}

void MainWindow::updateCatalogue() {
    const QString prompt = QStringLiteral("Confirm update of new version of MAME from file: ") +
                           shell_.Variables().MamePath +
                           QStringLiteral("mame\rWarning, your screen may blank out for a few seconds while this "
                                          "program communicates with MAME.");
    if (!shell_.UserDialogs().Confirm(this, QStringLiteral("Zelvora"), prompt))
        return;
    runUpdate();
}

void MainWindow::runUpdate() {
    commitOptions();
    QPointer<MainWindow> self(this);
    auto* window = new UpdateWindow(
        shell_.Variables(), shell_.ProcessRunner(),
        {this, [self] { self->FillGrid(); }, [self] { self->FocusGrid(); },
         [&shell = shell_](const QString& text) { shell.Fatal(text); }, ResultCallback(),
         [&shell = shell_](const MameFolders& folders) { ProgramSettings(shell.Settings()).SaveMameFolders(folders); },
         [self] {
             if (self)
                 self->showWhatsNew();
         }});
    WaitOn(window, [window] { window->start(); });
    CloseIfAsked();
}

void MainWindow::showAbout() {
    auto* about = new AboutDialog(this, shell_.Mame()->VersionNumber());
    about->open();
}

void MainWindow::quit() {
    close();
}

void MainWindow::editFileLocations() {
    shell_.EditFileLocations();
}

void MainWindow::editFilters() {
    QPointer<MainWindow> self(this);
    auto* dialog = new FilterDialog(shell_.Settings(), this, [self] {
        if (!self)
            return;
        self->FillGrid();
    });
    dialog->open();
}

} // namespace zelvora
