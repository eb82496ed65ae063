#include "checks/RomVerification.h"

#include "launcher/ProcessRunner.h"
#include "launcher/ShellQuote.h"
#include "platform/Progress.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

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

VerifyOutcome VerifyRoms(Database& db, Recordset& rs, const QString& mamePath, const QString& programDir,
                         ProcessRunner& runner, Progress& progress) {
    VerifyOutcome outcome;
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
        outcome.exitCode = runner.ExecCmd(command);
        outcome.ran = true;
    }
    const VerifyReportResult read = ReadVerifyReport(report, db, rs, progress);
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

} // namespace zelvora
