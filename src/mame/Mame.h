#pragma once

#include "mame/MameConfig.h"
#include "mame/OptionTable.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace zelvora {

class GameStore;
class MergeReport;
class ProcessRunner;
class Progress;
class RunWatch;
struct GameRun;
struct MergeOutcome;
struct Variables;
struct AuditOutcome;
struct VerifyOutcome;
enum class ScreenshotKinds;

// MAME's listings, read and held until they are merged into the catalogue.
class CatalogueListings {
public:
    virtual ~CatalogueListings() = default;
    // Brings ROMS up to date with the listings; see MergeListings and MergeMachineListing.
    virtual MergeOutcome MergeInto(Variables& vars, MergeReport& report) = 0;
};

// What a check of the collection came to: its line for the status bar, and what the user is told
// in a message box; empty when there is nothing to tell.
struct CheckOutcome {
    QString result;
    QString message;
};

// Everything that differs between the MAMEs the program works with: its switches and how its
// Options tab reads, the screenshots it leaves, its listings, how it checks the ROM sets and how a
// game is run. The program holds the one it found (MameVersions) and never asks which it is.
class Mame {
public:
    virtual ~Mame() = default;

    // Its version number ("0.251"); empty for a MAME that gives none.
    virtual QString VersionNumber() const = 0;

    // The switch the option becomes on its command line.
    virtual const SwitchRule& Switch(const OptionSpec& option) const = 0;
    // The option means something to it: a switch, or a part of how the game starts.
    bool HasSwitch(const OptionSpec& option) const { return Switch(option).form != SwitchRule::Form::None; }
    // The range of the option's scroll bar or slider and its label's texts.
    virtual OptionSpec::Look Look(const OptionSpec& option) const = 0;
    // The number it is given for the stored number `x` of the option.
    virtual double GivenNumber(const OptionSpec& option, double x) const = 0;

    // The screenshot files it leaves.
    virtual ScreenshotKinds Screenshots() const = 0;
    // The information tab's caption of the Hi Score field, named for what the update keeps there.
    virtual QString HiScoreCaption() const = 0;

    // Asks MAME in `mamePath` for its listings, files of the program directory `programDir` where it
    // needs them, `progress` letting events run; nothing when the user cancelled meanwhile.
    virtual std::unique_ptr<CatalogueListings> ReadListings(const QString& mamePath, const QString& programDir,
                                                            ProcessRunner& runner, Progress& progress) const = 0;

    // Its settings as it would run a game with them: its folders (ROM sets, artwork, ini files,
    // snapshots) and its options' defaults; empty when it has no such answer or could not say.
    virtual MameConfig ShowConfig(const QString& mamePath, ProcessRunner& runner, RunWatch& watch) const = 0;

    // "Missing Zipped ROMS" over the catalogue's `games` games, with the ROM sets in `romPath`.
    virtual CheckOutcome CheckMissingRoms(GameStore& catalogue, int games, const QString& mamePath,
                                          const QString& romPath, bool assumeMerged, ProcessRunner& runner,
                                          Progress& progress) const = 0;
    // "Verify ROMS" over the catalogue's `games` games.
    virtual CheckOutcome VerifyRoms(GameStore& catalogue, int games, const QString& mamePath, const QString& romPath,
                                    const QString& programDir, ProcessRunner& runner, Progress& progress) const = 0;
    // "Verify All": every set verified whatever the last verification found; for a MAME whose
    // "Verify ROMS" always verifies every set, that.
    virtual CheckOutcome VerifyAll(GameStore& catalogue, int games, const QString& mamePath, const QString& romPath,
                                   const QString& programDir, ProcessRunner& runner, Progress& progress) const {
        return VerifyRoms(catalogue, games, mamePath, romPath, programDir, runner, progress);
    }

    // Whether "Verify ROMS" over the folders `romPath` keeps an audit and runs beside the list
    // (RunAudit, Audited) rather than as VerifyRoms.
    virtual bool AuditsBeside(const QString& /*romPath*/) const { return false; }
    // What a finished audit says, as VerifyRoms says it.
    static CheckOutcome Audited(const AuditOutcome& audit);

    // Runs a game's command, one the shell can read, and waits for MAME to end, `watch` running
    // meanwhile; see RunGame.
    virtual GameRun Run(ProcessRunner& runner, const QString& command, RunWatch& watch) const = 0;

protected:
    // What either verification says: cancelled, MAME failing, or `counts`, the sets it marked.
    static CheckOutcome Verified(const VerifyOutcome& outcome, const QString& counts);
};

} // namespace zelvora
