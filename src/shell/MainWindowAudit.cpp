#include "shell/MainWindow.h"

#include "checks/RomAudit.h"
#include "gamelist/GameGrid.h"
#include "gamelist/ListedGames.h"
#include "mame/Mame.h"
#include "platform/BackgroundWork.h"
#include "platform/TextCompare.h"
#include "platform/UserDialogs.h"
#include "shell/MainStatusBar.h"
#include "shell/Shell.h"
#include "store/ProgramSettings.h"
#include "store/StoreError.h"

#include <QAction>
#include <QTimer>

#include <algorithm>
#include <cstddef>
#include <deque>
#include <mutex>

namespace zelvora {

namespace {

// A game's marks with an audit verdict in them: B for a bad set, R for one not found; a bad set
// keeps its R as it stood.
QString withVerdict(const QString& marks, AuditVerdict verdict) {
    const auto has = [&](char mark) { return marks.contains(QLatin1Char(mark)); };
    const bool bad = verdict == AuditVerdict::Bad;
    return MarksText(has('S'), bad, verdict == AuditVerdict::NotFound || (bad && has('R')), has('*'));
}

// How many verdicts the window writes and marks at a time.
constexpr size_t VerdictsAtOnce = 1000;

} // namespace

// Verdicts the audit's thread handed on, waiting for the window: it writes a part of them at a
// time, a turn of its event loop apart, so that the user's clicks and keys come in between.
struct AuditQueue {
    std::mutex mutex;
    std::deque<AuditVerdicts> parts;
    bool asked = false; // the window was asked to write
};

MainWindow::~MainWindow() {
    stopAudit();
}

bool MainWindow::auditRoms(const QString& mamePath, const QString& romPath) {
    if (audit_)
        return false;
    commitOptions();
    AuditStart start;
    guarded([&] {
        GameStore catalogue = Games();
        start = ReadAuditStart(catalogue);
    });
    if (start.records.size() <= 1) {
        ShowResult(QStringLiteral("Nothing to check: the catalogue holds no games"));
        return false;
    }
    status_->BeginJob();
    enableCatalogueWork(false);
    auditMarked_ = 0;
    auto outcome = std::make_shared<AuditOutcome>();
    auto queue = std::make_shared<AuditQueue>();
    auditQueue_ = queue;
    ProcessRunner& runner = shell_.ProcessRunner();
    audit_ = std::make_unique<BackgroundJob>(
        status_->Job(),
        [this, outcome, queue, start = std::move(start), mamePath, romPath, &runner](WorkProgress& work) {
            // The verdicts are written on the window's thread, between the user's own steps.
            *outcome = RunAudit(start, mamePath, romPath, runner, work, [this, queue, &work](AuditVerdicts verdicts) {
                bool ask = false;
                {
                    const std::lock_guard lock(queue->mutex);
                    auto& all = verdicts.entries;
                    for (size_t from = 0; from < all.size(); from += VerdictsAtOnce) {
                        const size_t end = std::min(all.size(), from + VerdictsAtOnce);
                        queue->parts.push_back({{all.begin() + static_cast<std::ptrdiff_t>(from),
                                                 all.begin() + static_cast<std::ptrdiff_t>(end)},
                                                verdicts.carried});
                    }
                    ask = !queue->asked && !queue->parts.empty();
                    queue->asked = queue->asked || ask;
                }
                if (ask)
                    work.Post([this] { writeAuditVerdicts(false); });
            });
        },
        [this, outcome](std::exception_ptr failure) { auditEnded(*outcome, failure); });
    return true;
}

void MainWindow::writeAuditVerdicts(bool all) {
    const std::shared_ptr<AuditQueue> queue = auditQueue_;
    while (queue) {
        AuditVerdicts part;
        bool more = false;
        {
            const std::lock_guard lock(queue->mutex);
            if (queue->parts.empty()) {
                queue->asked = false;
                return;
            }
            part = std::move(queue->parts.front());
            queue->parts.pop_front();
            more = !queue->parts.empty();
            queue->asked = more;
        }
        guarded([&] {
            GameStore catalogue = Games();
            auditMarked_ += StoreAuditVerdicts(catalogue, part);
        });
        showAuditMarks(part);
        if (!all) {
            // A timer's turn comes after the user's input waiting meanwhile.
            if (more)
                QTimer::singleShot(1, this, [this] { writeAuditVerdicts(false); });
            return;
        }
    }
}

void MainWindow::stopAudit() {
    if (!audit_)
        return;
    status_->CancelJob();
    // Waits for the audit's thread to end, reporting nothing; every verdict it handed on is written.
    audit_.reset();
    writeAuditVerdicts(true);
    auditQueue_.reset();
    status_->EndJob();
    enableCatalogueWork(true);
}

void MainWindow::showAuditMarks(const AuditVerdicts& verdicts) {
    if (!loaded_ || verdicts.entries.empty())
        return;
    if (auditRowsOf_.lock() != loaded_) {
        auditRows_.clear();
        for (int index = 0; index < loaded_->Size(); ++index)
            auditRows_.insert(FoldedKey((*loaded_)[index].rom), index);
        auditRowsOf_ = loaded_;
    }
    bool changed = false;
    for (const auto& [rom, entry] : verdicts.entries) {
        const auto found = auditRows_.constFind(FoldedKey(rom));
        if (found == auditRows_.constEnd())
            continue;
        QString& marks = loaded_->Edit(*found).marks;
        const QString now = withVerdict(marks, entry.verdict);
        changed = changed || now != marks;
        marks = now;
    }
    if (changed)
        rows_.GamesChanged();
}

void MainWindow::auditEnded(const AuditOutcome& outcome, std::exception_ptr failure) {
    // Destroyed once this call has returned.
    QMetaObject::invokeMethod(
        this, [this] { audit_.reset(); }, Qt::QueuedConnection);
    status_->EndJob();
    enableCatalogueWork(true);
    if (failure) {
        guarded([&] { std::rethrow_exception(failure); });
        return;
    }
    // The list shows the marks already; only a filter that reads them may now let other games
    // through.
    const auto reads = [&](int filter) { return filters_[static_cast<size_t>(filter)] != FilterState::Off; };
    if (auditMarked_ > 0 && (reads(MissingRomsFilter) || reads(BadRomsFilter)))
        FillGrid();
    const CheckOutcome shown = Mame::Audited(outcome);
    ShowResult(shown.result);
    if (!shown.message.isEmpty())
        shell_.UserDialogs().Inform(this, QStringLiteral("Zelvora"), shown.message);
}

void MainWindow::enableCatalogueWork(bool enabled) {
    updateAction->setEnabled(enabled);
    compactAction->setEnabled(enabled);
    for (QAction* check : checkActions)
        check->setEnabled(enabled);
}

} // namespace zelvora
