#include "shell/MainWindow.h"

#include "checks/RomAudit.h"
#include "gamelist/GameGrid.h"
#include "mame/Mame.h"
#include "platform/BackgroundWork.h"
#include "platform/TextCompare.h"
#include "platform/UserDialogs.h"
#include "shell/MainStatusBar.h"
#include "shell/Shell.h"
#include "store/StoreError.h"

#include <QAction>
#include <QPushButton>

namespace zelvora {

namespace {

// A game's marks with an audit verdict in them: B for a bad set, R for one not found; a bad set
// keeps its R as it stood.
QString withVerdict(const QString& marks, AuditVerdict verdict) {
    const bool missing =
        verdict == AuditVerdict::NotFound || (verdict == AuditVerdict::Bad && marks.contains(QLatin1Char('R')));
    QString shown;
    if (marks.contains(QLatin1Char('S')))
        shown += QLatin1Char('S');
    if (verdict == AuditVerdict::Bad)
        shown += QLatin1Char('B');
    if (missing)
        shown += QLatin1Char('R');
    if (marks.contains(QLatin1Char('*')))
        shown += QLatin1Char('*');
    return shown;
}

} // namespace

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
    if (start.sets.empty()) {
        ShowResult(QStringLiteral("Nothing to check: the catalogue holds no games"));
        return false;
    }
    status_->BeginJob();
    enableCatalogueWork(false);
    auto outcome = std::make_shared<AuditOutcome>();
    ProcessRunner& runner = shell_.ProcessRunner();
    audit_ = std::make_unique<BackgroundJob>(
        status_->Job(),
        [this, outcome, start = std::move(start), mamePath, romPath, &runner](WorkProgress& work) {
            // The verdicts are written on the window's thread, between the user's own steps.
            *outcome = RunAudit(start, mamePath, romPath, runner, work, [this, &work](AuditVerdicts verdicts) {
                work.Post([this, verdicts = std::move(verdicts)] {
                    guarded([&] {
                        GameStore catalogue = Games();
                        StoreAuditVerdicts(catalogue, verdicts);
                    });
                    showAuditMarks(verdicts);
                });
            });
        },
        [this, outcome](std::exception_ptr failure) { auditEnded(*outcome, failure); });
    return true;
}

void MainWindow::stopAudit() {
    if (!audit_)
        return;
    status_->jobCancelButton->click();
    // Waits for the verdicts handed on before the stop, and reports nothing.
    audit_.reset();
    status_->EndJob();
    enableCatalogueWork(true);
}

void MainWindow::showAuditMarks(const AuditVerdicts& verdicts) {
    if (!loaded_ || verdicts.entries.empty())
        return;
    if (auditRowsOf_ != loaded_.get()) {
        auditRows_.clear();
        for (int index = 0; index < loaded_->Size(); ++index)
            auditRows_.insert(FoldedKey((*loaded_)[index].rom), index);
        auditRowsOf_ = loaded_.get();
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
    auditRowsOf_ = nullptr;
    auditRows_.clear();
    if (failure) {
        guarded([&] { std::rethrow_exception(failure); });
        return;
    }
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
