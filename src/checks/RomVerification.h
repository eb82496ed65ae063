#pragma once

#include "checks/VerifyReport.h"

#include <QString>

namespace zelvora {

class Database;
class ProcessRunner;
class Progress;
class Recordset;

// Where MAME's report goes: "Verify.txt" in the program's directory.
QString VerifyReportFile(const QString& programDir);

// MAME verifying every set, its report redirected into the program's directory. Every path and the
// wildcard are quoted, so blanks and quotes in the directories work and the shell leaves "*.*" to MAME.
QString VerifyCommand(const QString& mamePath, const QString& programDir);

struct VerifyOutcome {
    bool ran = false;  // the command was started through the runner
    int exitCode = -1; // the runner's answer; nothing depends on it
    VerifyCounts counts;
    // Why MAME was not run or its report could not be read; empty when all went well.
    QString problem;
};

// "Verify ROMS": runs VerifyCommand through `runner` with MAME's directory as the current directory,
// makes `programDir` the current directory again (whatever happens), carries the report into `rs`
// with ReadVerifyReport and deletes it.
//
// A report left over from an earlier run is deleted first, so it is never read as this run's; when
// it cannot be, or MAME's directory cannot be made current, nothing is run and no record changes.
// A report missing after the run is an empty report.
VerifyOutcome VerifyRoms(Database& db, Recordset& rs, const QString& mamePath, const QString& programDir,
                         ProcessRunner& runner, Progress& progress);

} // namespace zelvora
