#include "mame/ClassicMame.h"

#include "checks/PresenceChecks.h"
#include "checks/RomVerification.h"
#include "launcher/ProcessRunner.h"
#include "mame/GameCommand.h"
#include "update/CatalogueMerge.h"
#include "update/ListingCapture.h"

namespace zelvora {

namespace {

// The three listings, captured into files of the program directory.
class CapturedListings : public CatalogueListings {
public:
    explicit CapturedListings(std::vector<ListingCapture> captures) : captures(std::move(captures)) {}
    MergeOutcome MergeInto(Variables& vars, MergeReport& report) override {
        return MergeListings(vars, report, captures);
    }

    std::vector<ListingCapture> captures;
};

} // namespace

OptionSpec::Look ClassicMame::Look(const OptionSpec& option) const {
    return {option.min, option.max, option.valueText};
}

// The stored value as it stands, but for the values only another MAME's controls make (sound and
// joystick off at -1 with today's MAME): those are this control's nearest, which says the same.
double ClassicMame::GivenNumber(const OptionSpec& option, double x) const {
    if (x < option.min && x >= LowestOfAnyMame(option))
        return option.min;
    return x;
}

ScreenshotKinds ClassicMame::Screenshots() const {
    return ScreenshotKinds::Pcx;
}

std::unique_ptr<CatalogueListings> ClassicMame::ReadListings(const QString& mamePath, const QString& programDir,
                                                             ProcessRunner& runner, Progress& progress) const {
    auto listings = std::make_unique<CapturedListings>(ListingCommands(mamePath, programDir));
    if (!CaptureListings(listings->captures, runner, progress))
        return nullptr;
    return listings;
}

CheckOutcome ClassicMame::CheckMissingRoms(GameStore& catalogue, int games, const QString& /*mamePath*/,
                                           const QString& romPath, bool assumeMerged, ProcessRunner& /*runner*/,
                                           Progress& progress) const {
    return {MarkedGames(QStringLiteral("Missing Zipped ROMS"),
                        CheckMissingZippedRoms(catalogue, romPath, assumeMerged, progress, RomSetKinds::Zip), games),
            {}};
}

CheckOutcome ClassicMame::VerifyRoms(GameStore& catalogue, int /*games*/, const QString& mamePath,
                                     const QString& /*romPath*/, const QString& programDir, ProcessRunner& runner,
                                     Progress& progress) const {
    const VerifyOutcome outcome = zelvora::VerifyRoms(catalogue, mamePath, programDir, runner, progress);
    return Verified(outcome, QStringLiteral("Bad ROM sets: %1").arg(outcome.counts.marked));
}

// Run as it always was: only a command that never started or a MAME ended by a signal is reported.
GameRun ClassicMame::Run(ProcessRunner& runner, const QString& command, RunWatch& watch) const {
    GameRun run;
    const ChildEnd end = runner.ExecCmd(command, watch);
    run.exitCode = end.exitCode;
    if (end.signal != 0)
        run.problem = EndedBySignal(end.signal, command);
    else if (CouldNotStart(run.exitCode))
        run.problem = CouldNotStartMame(run.exitCode, command);
    return run;
}

} // namespace zelvora
