#pragma once

#include "checks/VerifyReport.h"

#include <QSet>
#include <QString>

namespace zelvora {

class GameStore;
class ProcessRunner;
class Progress;

// Where MAME's report goes: "Verify.txt" in the program's directory.
QString VerifyReportFile(const QString& programDir);

// MAME verifying every set, its report redirected into the program's directory. Every path and the
// wildcard are quoted, so blanks and quotes in the directories work and the shell leaves "*.*" to MAME.
QString VerifyCommand(const QString& mamePath, const QString& programDir);

struct VerifyOutcome {
    bool ran = false; // the command was started through the runner
    // The runner's answer. MAME's own codes say nothing here (it ends with a non-zero code when it
    // found bad sets); only the shell's and the runner's codes for a command that never started do.
    int exitCode = -1;
    VerifyCounts counts;
    // The user cancelled while MAME ran: MAME was ended and no record changed.
    bool cancelled = false;
    // Why MAME was not run, could not be started or its report could not be read, for the user;
    // empty when all went well.
    QString problem;
    // What the user should hear of although MAME ended well; empty when there is nothing.
    QString notice;
    // Today's MAME: the verdicts stored, once MAME ended well.
    std::vector<TodaysVerifyReader::Verdict> verdicts;
};

// "Verify ROMS": runs VerifyCommand through `runner` with MAME's directory as the current directory,
// makes `programDir` the current directory again (whatever happens), carries the report into the catalogue
// with ReadVerifyReport and deletes it.
//
// A report left over from an earlier run is deleted first, so it is never read as this run's; when
// it cannot be, or MAME's directory cannot be made current, nothing is run and no record changes.
// A report missing after the run is an empty report. When the shell could not start MAME (126,
// 127) or the runner no shell (-1), the report, empty then, is still read and deleted, and the
// problem names the command and its code: an empty report would otherwise read as all sets good.
// The progress offers a Cancel while MAME runs; cancelled, the report is deleted unread.
VerifyOutcome VerifyRoms(GameStore& catalogue, const QString& mamePath, const QString& programDir,
                         ProcessRunner& runner, Progress& progress);

// Today's MAME verifying every set in the user's ROM folder (MAME's own ROM path when there is
// none), its report read from its output.
QString TodaysVerifyCommand(const QString& mamePath, const QString& romPath);

// "Verify ROMS" with today's MAME: runs TodaysVerifyCommand through `runner`, reading MAME's report
// as it prints it (the progress counts the sets reported against the catalogue's games), then stores
// the verdicts with StoreVerdicts. MAME ends with 0 when every set it found is good and 2 when one
// is bad; with any other code nothing is stored and the problem names the command, the code and
// what MAME wrote to its standard error. When MAME found no set good or bad, as in an empty or wrong
// ROM folder where it reports only the sets that need no file, the notice says how many of the
// catalogue's games it checked and in which folder. A Cancel while MAME runs stores nothing either.
VerifyOutcome VerifyTodaysRoms(GameStore& catalogue, const QString& mamePath, const QString& romPath,
                               ProcessRunner& runner, Progress& progress);

// Runs a verification command of today's MAME, handing its report to `reader` line by line as MAME
// prints it; the progress value counts the verdicts, and a Cancel ends MAME.
struct StreamedRun;
StreamedRun RunTodaysVerify(const QString& command, TodaysVerifyReader& reader, ProcessRunner& runner,
                            Progress& progress);

// Why a run of today's MAME that ended with a code other than 0 and 2 verified nothing: the code,
// the command and what MAME wrote to its standard error.
QString VerifyFailure(const StreamedRun& run, const QString& command);

// The sets today's MAME runs without any file of their own (Pong and the other games built from
// discrete logic, sets whose every file has no known dump): those it does not call bad when it
// verifies every set in an empty ROM folder. Names are folded to lower case. With an exit code of
// MAME's other than 0 and 2 the set is empty and the problem says why, as for VerifyTodaysRoms.
struct NoFileSets {
    QSet<QString> names;
    QString problem;
};
NoFileSets SetsNeedingNoFiles(const QString& mamePath, ProcessRunner& runner, Progress& progress);

} // namespace zelvora
