#pragma once

#include "store/GameOptions.h"

#include <QString>
#include <QVariant>

#include <functional>
#include <optional>

namespace zelvora {

class Mame;
class ProcessRunner;
class RunWatch;

// The text of a number as it stands in MAME's switches: a blank before a value of zero or more
// and "-" before a negative one, "." as the point whatever the locale, at most 15 significant
// digits, no trailing zeros, and no zero before the point (1 -> " 1", 0.5 -> " .5", -1 -> "-1").
QString NumberText(double x);

// The value of a game's option field, by the field's name; Null for none.
using OptionValues = std::function<QVariant(const QString& field)>;

// The switches `mame` is given for the option values `values`, in the order of OptionTable, each
// followed by one blank; with additional text from the user the whole is trimmed instead.
// `romPath`, the user's ROM folder, is the last folder of a ROM path where the MAME takes one.
QString GameSwitches(const OptionValues& values, const Mame& mame, const QString& romPath);

// The switches that follow the game name on MAME's command line for the options a game starts
// with (StartingOptions), with GameSwitches.
QString BuildCommandLine(const GameOptions& options, const Mame& mame, const QString& romPath);

// The executable a game is started with: MAME in `mamePath` when `altExec` is blank; otherwise
// `altExec`, a bare file name meaning that file in MAME's folder (the shell would look a bare
// name up on PATH only) and a name with a "/" naming its file as it stands. Quoted for the shell;
// MAME's own name keeps the blank that follows it.
QString GameExecutable(const QString& mamePath, const QString& altExec);

// The command that starts the game `rom` whose options are `game`, with its own options or, when
// it uses them, those of the default set `defaults`: executable, set name, switches. A game on the
// default set also takes the default set's executable.
QString BuildGameCommand(const QString& rom, const GameOptions& game, const std::optional<GameOptions>& defaults,
                         const QString& mamePath, const Mame& mame, const QString& romPath);

struct GameRun {
    int exitCode = -1;
    // Why the game did not run, for the user; empty when MAME ended well.
    QString problem;
};

// Runs the game's command and waits for MAME to end, `watch` running meanwhile, as `mame` is run
// (Mame::Run). A command the shell cannot read is reported, not run.
GameRun RunGame(ProcessRunner& runner, const QString& command, const Mame& mame, RunWatch& watch);
// The same with nothing to run meanwhile.
GameRun RunGame(ProcessRunner& runner, const QString& command, const Mame& mame);

// What a run reports of a MAME that never started, and of one ended by a signal: a game that ran
// until something outside it ended it is no refusal, whatever code a shell would give it.
QString CouldNotStartMame(int exitCode, const QString& command);
QString EndedBySignal(int signal, const QString& command);

} // namespace zelvora
