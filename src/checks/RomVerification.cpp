#include "checks/RomVerification.h"

#include "launcher/ProcessRunner.h"
#include "launcher/ShellQuote.h"
#include "platform/Progress.h"
#include "store/GameStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <climits>

namespace zelvora {

namespace {

// Makes a directory current again however the verification ends.
class CurrentDirectoryRestorer {
public:
    explicit CurrentDirectoryRestorer(QString directory) : directory_(std::move(directory)) {}
    ~CurrentDirectoryRestorer() { QDir::setCurrent(directory_); }
    CurrentDirectoryRestorer(const CurrentDirectoryRestorer&) = delete;
    CurrentDirectoryRestorer& operator=(const CurrentDirectoryRestorer&) = delete;

private:
    QString directory_;
};

// False when something of that name is still there, a folder included.
bool removeReport(const QString& path) {
    QFile::remove(path);
    return !QFileInfo::exists(path);
}

} // namespace

QString VerifyReportFile(const QString& programDir) {
    QString dir = programDir;
    while (dir.size() > 1 && dir.endsWith(QLatin1Char('/')))
        dir.chop(1);
    return dir + QStringLiteral("/Verify.txt");
}

QString VerifyCommand(const QString& mamePath, const QString& programDir) {
    return ShellQuote(MameExecutable(mamePath)) + QStringLiteral(" -verifyroms ") + ShellQuote(QStringLiteral("*.*")) +
           QStringLiteral(" > ") + ShellQuote(VerifyReportFile(programDir));
}

VerifyOutcome VerifyRoms(GameStore& catalogue, const QString& mamePath, const QString& programDir,
                         ProcessRunner& runner, Progress& progress) {
    VerifyOutcome outcome;
    progress.OfferCancel();
    const QString report = VerifyReportFile(programDir);
    if (!removeReport(report)) {
        outcome.problem = QStringLiteral("The old report '%1' could not be deleted; MAME was not run.").arg(report);
        return outcome;
    }
    QString command;
    {
        const CurrentDirectoryRestorer restorer(programDir);
        // MAME finds its settings and ROM sets from its own directory; run anywhere else it would
        // report every set as missing.
        if (mamePath.isEmpty() || !QDir::setCurrent(mamePath)) {
            outcome.problem =
                QStringLiteral("MAME's directory '%1' could not be made current; MAME was not run.").arg(mamePath);
            return outcome;
        }
        command = VerifyCommand(mamePath, programDir);
        ProgressWatch watch(progress);
        const ChildEnd end = runner.ExecCmd(command, watch);
        outcome.exitCode = end.exitCode;
        outcome.ran = true;
        outcome.cancelled = end.cancelled;
    }
    // What MAME reported before it was stopped is no verdict on the sets it did not reach.
    if (outcome.cancelled) {
        QFile::remove(report);
        return outcome;
    }
    const VerifyReportResult read = ReadVerifyReport(report, catalogue, progress);
    outcome.counts = read.counts;
    QStringList problems;
    if (CouldNotStart(outcome.exitCode))
        problems << QStringLiteral("MAME could not be started (exit code %1). The command was:\n%2")
                        .arg(outcome.exitCode)
                        .arg(command);
    if (!read.error.isEmpty())
        problems << read.error;
    outcome.problem = problems.join(QLatin1Char('\n'));
    QFile::remove(report);
    return outcome;
}

namespace {

// Hands MAME's report to the reader line by line as it comes, letting the window repaint.
class ReportStream : public OutputReader {
public:
    ReportStream(TodaysVerifyReader& reader, Progress& progress) : reader_(reader), progress_(progress) {}

    bool Read(QByteArrayView bytes) override {
        pending_.append(bytes);
        qsizetype start = 0;
        for (qsizetype end; (end = pending_.indexOf('\n', start)) >= 0; start = end + 1)
            line(QByteArrayView(pending_).sliced(start, end - start));
        pending_.remove(0, start);
        // A line without an end cannot grow without bound.
        if (pending_.size() > MaxLine) {
            line(pending_);
            pending_.clear();
        }
        return reader_.Problem().isEmpty();
    }
    bool Waiting() override { return !progress_.Cancelled(); }
    void Finish() {
        if (!pending_.isEmpty())
            line(pending_);
        pending_.clear();
    }

private:
    static constexpr qsizetype MaxLine = 1024 * 1024;

    void line(QByteArrayView bytes) {
        if (bytes.endsWith('\r'))
            bytes.chop(1);
        const size_t before = reader_.Verdicts().size();
        reader_.Read(QString::fromUtf8(bytes));
        if (reader_.Verdicts().size() != before) {
            progress_.SetValue(static_cast<int>(std::min<size_t>(reader_.Verdicts().size(), INT_MAX)));
        }
    }

    TodaysVerifyReader& reader_;
    Progress& progress_;
    QByteArray pending_;
};

} // namespace

StreamedRun RunTodaysVerify(const QString& command, TodaysVerifyReader& reader, ProcessRunner& runner,
                            Progress& progress) {
    ReportStream stream(reader, progress);
    const StreamedRun run = runner.ExecStreaming(command, stream);
    stream.Finish();
    return run;
}

QString VerifyFailure(const StreamedRun& run, const QString& command) {
    const QString said = MameMessages(run.errors);
    return (CouldNotStart(run.exitCode) ? QStringLiteral("MAME could not be started (exit code %1).")
                                        : QStringLiteral("MAME could not verify the ROM sets (exit code %1)."))
               .arg(run.exitCode) +
           QStringLiteral(" The command was:\n") + command +
           (said.isEmpty() ? QString() : QStringLiteral("\nMAME said:\n") + said);
}

QString TodaysVerifyCommand(const QString& mamePath, const QString& romPath) {
    QString command =
        ShellQuote(MameExecutable(mamePath)) + QStringLiteral(" -verifyroms ") + ShellQuote(QStringLiteral("*"));
    if (!romPath.trimmed().isEmpty())
        command += QStringLiteral(" -rompath ") + ShellQuote(romPath.trimmed());
    return command;
}

VerifyOutcome VerifyTodaysRoms(GameStore& catalogue, const QString& mamePath, const QString& romPath,
                               ProcessRunner& runner, Progress& progress) {
    VerifyOutcome outcome;
    const QString command = TodaysVerifyCommand(mamePath, romPath);
    // The classic check leaves its window untitled; this one runs long enough to deserve a name.
    progress.SetText(QStringLiteral("Verifying ROM Sets"));
    const int games = std::max(catalogue.RecordCount() - 1, 0);
    progress.SetRange(0, games);
    progress.SetValue(0);
    progress.OfferCancel();
    TodaysVerifyReader reader;
    const StreamedRun run = RunTodaysVerify(command, reader, runner, progress);
    outcome.ran = true;
    outcome.exitCode = run.exitCode;
    outcome.cancelled = run.cancelled;
    if (outcome.cancelled)
        return outcome;
    // A report refused by the reader ended MAME with it: MAME's exit code tells nothing then.
    if (!reader.Problem().isEmpty()) {
        outcome.problem = reader.Problem() + QStringLiteral(" Nothing was stored. The command was:\n") + command;
        return outcome;
    }
    if (run.exitCode != 0 && run.exitCode != 2) {
        outcome.problem = VerifyFailure(run, command);
        return outcome;
    }
    // With a bad set MAME prints its summary to the standard error.
    for (const QString& line : QString::fromUtf8(run.errors).split(QLatin1Char('\n')))
        reader.Read(line);
    outcome.counts = StoreVerdicts(catalogue, reader.Verdicts(), progress);
    outcome.verdicts = reader.Verdicts();
    if (outcome.counts.goodOrBad == 0)
        outcome.notice = QStringLiteral("MAME found and checked %1 of the %2 games, none of them good or bad: it "
                                        "found no ROM set in %3.\nIs that the right ROM folder?")
                             .arg(outcome.counts.found)
                             .arg(games)
                             .arg(romPath.trimmed().isEmpty() ? QStringLiteral("its own ROM path")
                                                              : QStringLiteral("the ROM folder ") + romPath.trimmed());
    return outcome;
}

NoFileSets SetsNeedingNoFiles(const QString& mamePath, ProcessRunner& runner, Progress& progress) {
    NoFileSets sets;
    const QTemporaryDir empty;
    if (!empty.isValid()) {
        sets.problem = QStringLiteral("No empty folder could be made for MAME to look in: %1").arg(empty.errorString());
        return sets;
    }
    const QString command = TodaysVerifyCommand(mamePath, empty.path() + QLatin1Char('/'));
    TodaysVerifyReader reader;
    const StreamedRun run = RunTodaysVerify(command, reader, runner, progress);
    if (run.exitCode != 0 && run.exitCode != 2) {
        const QString said = MameMessages(run.errors);
        sets.problem = QStringLiteral("MAME could not say which sets need no files (exit code %1). The command was:\n")
                           .arg(run.exitCode) +
                       command + (said.isEmpty() ? QString() : QStringLiteral("\nMAME said:\n") + said);
        return sets;
    }
    for (const TodaysVerifyReader::Verdict& verdict : reader.Verdicts()) {
        if (!verdict.bad)
            sets.names.insert(verdict.name.toLower());
    }
    return sets;
}

} // namespace zelvora
