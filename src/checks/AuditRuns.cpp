#include "checks/RomAudit.h"

#include "checks/RomVerification.h"
#include "launcher/ProcessRunner.h"
#include "launcher/ShellQuote.h"
#include "platform/Progress.h"
#include "platform/TextCompare.h"

#include <QElapsedTimer>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <numeric>

namespace zelvora {

namespace {

// A run of MAME's progress: each verdict count goes to `seen`; it stops when `stopped` says so.
class RunProgress : public Progress {
public:
    RunProgress(std::function<void(int)> seen, std::function<bool()> stopped)
        : seen_(std::move(seen)), stopped_(std::move(stopped)) {}
    void SetText(const QString&) override {}
    void SetRange(int, int) override {}
    void SetValue(int value) override { seen_(value); }
    void OfferCancel() override {}
    bool Cancelled() const override { return stopped_(); }

private:
    std::function<void(int)> seen_;
    std::function<bool()> stopped_;
};

} // namespace

int AuditLanes(int asked) {
    return std::clamp(std::min(QThread::idealThreadCount(), asked / AuditLaneSets), 1, 4);
}

namespace {

// One audit's runs of MAME, side by side: each lane verifies its share of the sets, run after
// run; what the lanes find meets here, one lane at a time.
class AuditLanesRun {
public:
    AuditLanesRun(const AuditPlan& plan, const QString& mamePath, const QString& romPath, ProcessRunner& runner,
                  Progress& progress, const std::function<void(AuditVerdicts)>& store, AuditOutcome& outcome)
        : plan_(plan), mamePath_(mamePath), romPath_(romPath), runner_(runner), progress_(progress), store_(store),
          outcome_(outcome) {}

    void Run() {
        const int asked = static_cast<int>(plan_.ask.size());
        const int lanes = AuditLanes(asked);
        done_.assign(static_cast<size_t>(lanes), 0);
        // Lane i takes the sets from i * asked / lanes on: equal shares, in the plan's order.
        const auto from = [&](int lane) { return static_cast<int>(static_cast<qint64>(asked) * lane / lanes); };
        std::vector<std::unique_ptr<QThread>> others;
        for (int lane = 1; lane < lanes; ++lane) {
            others.emplace_back(QThread::create(
                [this, lane, first = from(lane), end = from(lane + 1)] { this->lane(lane, first, end); }));
            others.back()->start();
        }
        lane(0, 0, from(1));
        for (const auto& other : others)
            other->wait();
    }

private:
    // No run starts once the user cancelled or a run failed. A run under way beside a failed one
    // ends as it would: what its MAME verifies is good.
    bool stopped() const { return stop_ || progress_.Cancelled(); }

    // Counts and hands on verdicts.
    void hand(AuditVerdicts verdicts) {
        const std::lock_guard lock(mutex_);
        outcome_.counts.checked += static_cast<int>(verdicts.entries.size());
        outcome_.counts.Add(verdicts.entries);
        store_(std::move(verdicts));
    }

    void lane(int index, int first, int end) {
        for (int start = first; start < end && !stopped(); start += AuditRun) {
            if (!runOnce(index, start, std::min(end, start + AuditRun), start - first))
                return;
        }
    }

    // One run of MAME over the plan's sets [start, end), after `before` sets of its lane; false
    // when the audit stops.
    bool runOnce(int lane, int start, int end, int before) {
        QString command = ShellQuote(MameExecutable(mamePath_)) + QStringLiteral(" -verifyroms");
        QHash<QString, const SetNow*> named;
        for (int i = start; i < end; ++i) {
            const SetNow& set = plan_.ask[static_cast<size_t>(i)];
            command += QLatin1Char(' ') + ShellQuote(set.rom);
            named.insert(FoldedKey(set.rom), &set);
        }
        command += QStringLiteral(" -rompath ") + ShellQuote(romPath_.trimmed());

        // MAME's verdicts are handed on as they come, AuditBatch at a time, so that a MAME that
        // crashes or is cancelled keeps every set it verified.
        TodaysVerifyReader reader;
        size_t stored = 0;
        const auto store = [&](size_t upTo) {
            AuditVerdicts verified;
            for (; stored < upTo; ++stored) {
                const TodaysVerifyReader::Verdict& verdict = reader.Verdicts()[stored];
                if (const SetNow* set = named.take(FoldedKey(verdict.name)))
                    verified.entries.emplace_back(set->rom, VerdictEntry(set->stamp, &verdict));
            }
            hand(std::move(verified));
        };
        RunProgress run(
            [&](int verdicts) {
                {
                    const std::lock_guard lock(mutex_);
                    done_[static_cast<size_t>(lane)] = before + verdicts;
                    const int done = std::accumulate(done_.begin(), done_.end(), 0);
                    // MAME first matches every name against its thousands of sets: the bar
                    // shows work without a measure until its first verdict.
                    if (done > 0 && !measured_) {
                        progress_.SetRange(0, static_cast<int>(plan_.ask.size()));
                        measured_ = true;
                    }
                    progress_.SetValue(done);
                }
                if (static_cast<size_t>(verdicts) >= stored + AuditBatch)
                    store(static_cast<size_t>(verdicts));
            },
            [this] { return progress_.Cancelled(); });
        const StreamedRun ended = RunTodaysVerify(command, reader, runner_, run);
        store(reader.Verdicts().size());

        QString problem;
        if (!ended.cancelled && !reader.Problem().isEmpty())
            problem = reader.Problem() + QStringLiteral(" The command was:\n") + command;
        else if (!ended.cancelled && ended.exitCode != 0 && ended.exitCode != 2)
            problem = VerifyFailure(ended, command);
        {
            const std::lock_guard lock(mutex_);
            outcome_.asked += end - start;
            outcome_.cancelled = outcome_.cancelled || ended.cancelled;
            if (!problem.isEmpty() && outcome_.problem.isEmpty())
                outcome_.problem = problem;
        }
        if (ended.cancelled || !problem.isEmpty()) {
            stop_ = true;
            return false;
        }
        // MAME says nothing of a set none of whose own files it found; that it said nothing is
        // known only once it has ended well.
        AuditVerdicts notFound;
        for (int i = start; i < end; ++i) {
            const SetNow& set = plan_.ask[static_cast<size_t>(i)];
            if (named.contains(FoldedKey(set.rom)))
                notFound.entries.emplace_back(set.rom, VerdictEntry(set.stamp, nullptr));
        }
        hand(std::move(notFound));
        return true;
    }

    const AuditPlan& plan_;
    const QString& mamePath_;
    const QString& romPath_;
    ProcessRunner& runner_;
    Progress& progress_;
    const std::function<void(AuditVerdicts)>& store_;
    AuditOutcome& outcome_;
    std::mutex mutex_;
    std::atomic<bool> stop_ = false;
    std::vector<int> done_; // each lane's sets verified so far
    bool measured_ = false; // the bar has its range
};

} // namespace

AuditOutcome RunAudit(const AuditStart& start, const QString& mamePath, const QString& romPath, ProcessRunner& runner,
                      Progress& progress, const std::function<void(AuditVerdicts)>& store) {
    AuditOutcome outcome;
    progress.SetText(QStringLiteral("Verifying ROM Sets"));
    progress.OfferCancel();
    const AuditPlan plan = PlanAudit(StampSets(RecordedSets(start), start.needed, romPath), start.known);

    // The sets MAME is not asked about first: their marks as the last verification left them (a
    // "Clear Status Fields" since cleared them), and those without files not found.
    AuditVerdicts notFound;
    for (const SetNow& set : plan.notFound)
        notFound.entries.emplace_back(set.rom, AuditEntry{set.stamp, AuditVerdict::NotFound, {}});
    outcome.counts.carried = static_cast<int>(plan.carried.size());
    outcome.counts.checked = static_cast<int>(notFound.entries.size());
    outcome.counts.Add(plan.carried);
    outcome.counts.Add(notFound.entries);
    store(AuditVerdicts{plan.restore, true});
    store(std::move(notFound));

    progress.SetRange(0, 0);
    QElapsedTimer mame;
    mame.start();
    AuditLanesRun(plan, mamePath, romPath, runner, progress, store, outcome).Run();
    outcome.mameMs = mame.elapsed();
    if (!outcome.cancelled && outcome.problem.isEmpty()) {
        progress.SetRange(0, static_cast<int>(plan.ask.size()));
        progress.SetValue(static_cast<int>(plan.ask.size()));
    }
    return outcome;
}

} // namespace zelvora
