#include "shell/UpdateWindow.h"

#include "launcher/ProcessRunner.h"
#include "mame/Mame.h"
#include "mame/MameConfig.h"
#include "mame/MameVersion.h"
#include "platform/BackgroundWork.h"
#include "platform/WindowPlacement.h"
#include "store/ProgramSettings.h"
#include "store/StoreError.h"
#include "store/Variables.h"
#include "update/ChangeReport.h"

#include <QDir>
#include <QFontMetricsF>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace zelvora {

namespace {

// The window as first drawn; the lists take what the window gains.
constexpr QSize StartingSize(361, 314);
constexpr int ProgressHeight = 9;
constexpr int ProgressTextLines = 2;
constexpr QSize ButtonSize(89, 25);

} // namespace

UpdateWindow::UpdateWindow(Variables& vars, ProcessRunner& runner, Owner main, MameVersions* versions)
    : QDialog(main.window, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), vars_(vars), runner_(runner),
      main_(std::move(main)), versions_(versions ? *versions : RunMameVersions()) {
    setObjectName(QStringLiteral("UpdateWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::WindowModal);
    setWindowTitle(QStringLiteral("New Version of Mame"));

    newGamesCaption = new QLabel(QStringLiteral("New Games"), this);
    newGamesCaption->setObjectName(QStringLiteral("newGamesCaption"));
    newGamesList = new QListWidget(this);
    newGamesList->setObjectName(QStringLiteral("newGamesList"));
    expiredGamesCaption = new QLabel(QStringLiteral("Expired Games"), this);
    expiredGamesCaption->setObjectName(QStringLiteral("expiredGamesCaption"));
    expiredGamesList = new QListWidget(this);
    expiredGamesList->setObjectName(QStringLiteral("expiredGamesList"));
    renamedGamesCaption = new QLabel(QStringLiteral("Renamed Games"), this);
    renamedGamesCaption->setObjectName(QStringLiteral("renamedGamesCaption"));
    renamedGamesList = new QListWidget(this);
    renamedGamesList->setObjectName(QStringLiteral("renamedGamesList"));
    renamedGamesCaption->hide();
    renamedGamesList->hide();
    progressBar = new QProgressBar(this);
    progressBar->setObjectName(QStringLiteral("progressBar"));
    progressBar->setTextVisible(false);
    progressBar->setFixedHeight(ProgressHeight);
    progressText = new QLabel(this);
    progressText->setObjectName(QStringLiteral("progressText"));
    progressText->setTextFormat(Qt::PlainText);
    progressText->setWordWrap(true);
    progressText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    progressText->setMinimumHeight(ProgressTextLines * progressText->fontMetrics().lineSpacing());
    okButton = new QPushButton(QStringLiteral("OK"), this);
    okButton->setObjectName(QStringLiteral("okButton"));
    okButton->setMinimumSize(ButtonSize);
    cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    cancelButton->setMinimumSize(ButtonSize);
    cancelButton->setAutoDefault(false);
    cancelButton->hide();

    auto* lists = new QGridLayout;
    lists->addWidget(newGamesCaption, 0, 0);
    lists->addWidget(expiredGamesCaption, 0, 1);
    lists->addWidget(newGamesList, 1, 0);
    lists->addWidget(expiredGamesList, 1, 1);
    lists->addWidget(renamedGamesCaption, 2, 0, 1, 2);
    lists->addWidget(renamedGamesList, 3, 0, 1, 2);
    lists->setRowStretch(1, 1);
    // OK and Cancel share one place; only one of them shows at a time.
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists, 1);
    layout->addWidget(progressBar);
    layout->addWidget(progressText);
    layout->addLayout(buttons);
    // The lists would ask for far more than their share of the starting size; they need only
    // their least.
    resize(StartingSize.expandedTo(minimumSizeHint()));
    OpenOver(this, main_.window);

    connect(okButton, &QPushButton::clicked, this, [this] { finish(); });
    connect(cancelButton, &QPushButton::clicked, this, [this] { cancelWork(); });
}

void UpdateWindow::start() {
    show();
    okButton->hide();
    cancelButton->show();
    running_ = true;
    QString fatal;
    MergeOutcome outcome;
    CatchStoreError(
        [&] {
            RunBesideEvents(display_, [&](WorkProgress& work) {
                work_ = &work;
                outcome = RunUpdate();
            });
        },
        [&](const QString& text) { fatal = text; });
    work_ = nullptr;
    running_ = false;
    cancelButton->hide();
    if (!fatal.isEmpty()) {
        if (main_.fatal)
            main_.fatal(fatal);
        return;
    }
    // Kept for the game list's support files, before the list is filled again.
    if (outcome.merged && main_.keepMameFolders)
        main_.keepMameFolders(mameFolders_);
    ShowOutcome(outcome);
    // The user has seen enough: what the update came to stands in the main window's status bar.
    if (cancelled_) {
        finish();
        return;
    }
    okButton->show();
    okButton->setDefault(true);
}

MergeOutcome UpdateWindow::RunUpdate() {
    ProgressWatch watch(*this);
    const std::shared_ptr<const Mame> mame = versions_.Of(MameExecutable(vars_.MamePath), runner_, &watch);
    return Cancelled() ? UpdateCancelled() : UpdateFrom(*mame);
}

void UpdateWindow::ShowOutcome(const MergeOutcome& outcome) {
    // A catalogue that could not be written gained and lost nothing, whatever the merge had found.
    if (!outcome.merged) {
        newGamesList->clear();
        expiredGamesList->clear();
        renamedGamesList->clear();
    }
    // The list is refilled either way: a refused update has not changed the catalogue, but the
    // recordset the list works on must be its own again.
    QStringList words{QStringLiteral("DONE!")};
    words << outcome.remarks;
    progressText->setText(words.join(QLatin1Char('\n')));
    FitProgressText();
    if (main_.window && main_.refill)
        main_.refill();
    if (main_.showResult)
        main_.showResult(
            !outcome.merged
                ? QStringLiteral("Catalogue not updated")
                : QStringLiteral("New: %1, Expired: %2").arg(newGamesList->count()).arg(expiredGamesList->count()) +
                      (renamedGamesList->count() == 0
                           ? QString()
                           : QStringLiteral(", Renamed: %1").arg(renamedGamesList->count())));
}

MergeOutcome UpdateWindow::UpdateFrom(const Mame& mame) {
    const std::unique_ptr<CatalogueListings> listings =
        mame.ReadListings(vars_.MamePath, vars_.ProgramDir, runner_, *this);
    if (!listings)
        return UpdateCancelled();
    ProgressWatch watch(*this);
    mameFolders_ = MameFoldersOf(mame.ShowConfig(vars_.MamePath, runner_, watch), vars_.MamePath, QDir::homePath());
    work_->Post([this] { activateWindow(); });
    ChangeReport changes(*vars_.CatalogueDb);
    renamed_.clear();
    MergeOutcome outcome = listings->MergeInto(vars_, *this);
    for (const RenamedSet& set : renamed_)
        changes.AddRename(set.oldRom, set.newRom);
    if (outcome.merged)
        changedGames_ = KeepChanges(*vars_.CatalogueDb, changes, outcome) && changes.HadGames();
    return outcome;
}

void UpdateWindow::FitProgressText() {
    // The lists give way to the text first; the window grows by what they cannot give.
    layout()->activate();
    const int missing = progressText->heightForWidth(progressText->width()) - progressText->height();
    if (missing > 0)
        resize(width(), height() + missing);
}

void UpdateWindow::finish() {
    accept();
}

void UpdateWindow::done(int result) {
    // The merge works on the main window's recordset until its end: the window goes once the
    // update has stopped.
    if (running_) {
        cancelWork();
        return;
    }
    // Closing deletes this window: what the main window needs is taken first.
    const Owner main = main_;
    const bool changed = changedGames_ && !cancelled_;
    QDialog::done(result);
    if (main.window) {
        main.window->activateWindow();
        if (main.focusList)
            main.focusList();
    }
    // OK, not Escape: what the update changed follows.
    if (changed && result == Accepted && main.showChanges)
        main.showChanges();
}

void UpdateWindow::cancelWork() {
    cancelled_ = true;
    cancelButton->setEnabled(false);
}

// What the update reports, from the thread it runs on, goes to the window's thread.
void UpdateWindow::SetText(const QString& text) {
    work_->SetText(text);
}

void UpdateWindow::SetRange(int minimum, int maximum) {
    work_->SetRange(minimum, maximum);
}

void UpdateWindow::SetValue(int value) {
    work_->SetValue(value);
}

void UpdateWindow::NewGame(const QString& description) {
    work_->Post([this, description] { Append(newGamesList, newSize_, description); });
}

void UpdateWindow::ExpiredGame(const QString& description) {
    work_->Post([this, description] { Append(expiredGamesList, expiredSize_, description); });
}

void UpdateWindow::RenamedGame(const RenamedSet& set) {
    renamed_.push_back(set);
    work_->Post([this, text = set.Text()] {
        renamedGamesCaption->show();
        renamedGamesList->show();
        Append(renamedGamesList, renamedSize_, text);
        // A rename names two sets: the window widens for its line, within the screen.
        const QListWidgetItem* item = renamedGamesList->item(renamedGamesList->count() - 1);
        const int missing =
            item->sizeHint().width() + 2 * renamedGamesList->frameWidth() + 4 - renamedGamesList->viewport()->width();
        const QScreen* shown = screen();
        if (missing > 0 && shown)
            resize(std::min(width() + missing, shown->availableGeometry().width() * 9 / 10), height());
    });
}

void UpdateWindow::Display::SetText(const QString& text) {
    window_.progressText->setText(text);
}

void UpdateWindow::Display::SetRange(int minimum, int maximum) {
    window_.progressBar->setRange(minimum, std::max(minimum, maximum));
}

void UpdateWindow::Display::SetValue(int value) {
    window_.progressBar->setValue(std::clamp(value, window_.progressBar->minimum(), window_.progressBar->maximum()));
}

void UpdateWindow::Append(QListWidget* list, ItemSize& size, const QString& text) {
    // A list lays out every item again after each addition, and an item without a size of its
    // own has its text laid out each time to measure it: over thousands of games that is most of
    // the update's time. The delegate's size is the text's width plus margins that are the same
    // for every item, so the first item is measured by the list and the others from their width.
    const QFontMetricsF metrics(list->font());
    const auto width = [&] { return static_cast<int>(std::ceil(metrics.horizontalAdvance(text))); };
    auto* item = new QListWidgetItem(text);
    if (size.margin < 0) {
        list->addItem(item);
        const QSize measured = list->sizeHintForIndex(list->model()->index(list->count() - 1, 0));
        size = {measured.width() - width(), measured.height()};
        item->setSizeHint(measured);
        return;
    }
    item->setSizeHint(QSize(width() + size.margin, size.height));
    list->addItem(item);
}

} // namespace zelvora
