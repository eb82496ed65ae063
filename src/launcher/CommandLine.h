#pragma once

#include "launcher/MameKind.h"

#include <QByteArray>
#include <QString>

namespace zelvora {

class ProcessRunner;
class Recordset;
class RunWatch;

// The text of a number as it stands in MAME's switches: a blank before a value of zero or more
// and "-" before a negative one, "." as the point whatever the locale, at most 15 significant
// digits, no trailing zeros, and no zero before the point (1 -> " 1", 0.5 -> " .5", -1 -> "-1").
QString NumberText(double x);

// The switches that follow the game name on MAME's command line, read from the current record
// of `rs` (a recordset over ROMS), each followed by one blank; with additional text from the
// record the whole is trimmed instead.
//
// When the record's Default is 1 the switches come from the default record, and `rs` is left
// standing on it: the launch relies on knowing which record the options were read from.
//
// Today's MAME gets its own switches, in the same order, for the options it has, with the values
// its Options tab shows; `romPath`, the user's ROM folder, is the last folder of its ROM path.
QString BuildCommandLine(Recordset& rs, MameKind kind = MameKind::Classic, const QString& romPath = QString());

// The executable a game is started with: MAME in `mamePath` when `altExec` is blank; otherwise
// `altExec`, a bare file name meaning that file in MAME's folder (the shell would look a bare
// name up on PATH only) and a name with a "/" naming its file as it stands. Quoted for the shell;
// MAME's own name keeps the blank that follows it.
QString GameExecutable(const QString& mamePath, const QString& altExec);

// The command that starts the game `rs` stands on, with its own options or the default set's:
// executable, set name, switches. `rs` is left on the game.
QString BuildGameCommand(Recordset& rs, const QString& mamePath, MameKind kind = MameKind::Classic,
                         const QString& romPath = QString());

// What MAME wrote to its standard error, for the user: without the sound library's and the
// desktop session's complaints ("ALSA lib ...", "error: XDG_RUNTIME_DIR ..."), which come at every
// start on a machine without a sound device.
QString MameMessages(const QByteArray& errors);

struct GameRun {
    int exitCode = -1;
    // Why the game did not run, for the user; empty when MAME ended well.
    QString problem;
};

// Runs the game's command and waits for MAME to end, `watch` running meanwhile. The classic MAME
// is run as it always was, only a command that never started or a MAME ended by a signal being
// reported. Today's MAME writes why it refuses a game (a missing ROM set, an unknown switch) to
// its standard error: that is kept, its standard output still reaches ours, and any end but 0 is
// reported with MAME's own words.
GameRun RunGame(ProcessRunner& runner, const QString& command, MameKind kind, RunWatch& watch);
// The same with nothing to run meanwhile.
GameRun RunGame(ProcessRunner& runner, const QString& command, MameKind kind);

} // namespace zelvora
