#include "mame/TodaysMame.h"

#include "checks/PresenceChecks.h"
#include "checks/RomAudit.h"
#include "checks/RomVerification.h"
#include "launcher/ProcessRunner.h"
#include "launcher/ShellQuote.h"
#include "mame/GameCommand.h"
#include "mame/TodaysOptions.h"
#include "store/ProgramSettings.h"
#include "update/CatalogueMerge.h"
#include "update/MachineListing.h"

#include <QDir>

#include <algorithm>
#include <cstdio>

namespace zelvora {

namespace {

// The machine listing, read while MAME printed it.
class ReadMachines : public CatalogueListings {
public:
    explicit ReadMachines(MachineListing listing) : listing(std::move(listing)) {}
    MergeOutcome MergeInto(Variables& vars, MergeReport& report) override {
        return MergeMachineListing(vars, report, listing);
    }

    MachineListing listing;
};

// MAME's standard output goes where it always went.
class PassThrough : public OutputReader {
public:
    explicit PassThrough(RunWatch& watch) : watch_(watch) {}
    bool Read(QByteArrayView bytes) override {
        std::fwrite(bytes.data(), 1, static_cast<size_t>(bytes.size()), stdout);
        std::fflush(stdout);
        return true;
    }
    bool Waiting() override { return watch_.Waiting(); }

private:
    RunWatch& watch_;
};

// MAME's settings as "-showconfig" prints them, some ten kilobytes; a megabyte is no answer of
// MAME's.
class ShownConfig : public OutputReader {
public:
    static constexpr qsizetype Kept = 1024 * 1024;
    explicit ShownConfig(RunWatch& watch) : watch_(watch) {}
    bool Read(QByteArrayView bytes) override {
        text.append(bytes.first(std::min(bytes.size(), Kept - text.size())));
        return text.size() < Kept;
    }
    bool Waiting() override { return watch_.Waiting(); }

    QByteArray text;

private:
    RunWatch& watch_;
};

} // namespace

MameConfig TodaysMame::ShowConfig(const QString& mamePath, ProcessRunner& runner, RunWatch& watch) const {
    ShownConfig answer(watch);
    const StreamedRun run =
        runner.ExecStreaming(ShellQuote(MameExecutable(mamePath)) + QStringLiteral(" -showconfig"), answer);
    if (run.exitCode != 0 || run.stopped || run.cancelled)
        return {};
    return MameConfig::Parse(answer.text);
}

const SwitchRule& TodaysMame::Switch(const OptionSpec& option) const {
    static const SwitchRule none;
    return OnTodaysPage(option.field) ? option.today : none;
}

OptionSpec::Look TodaysMame::Look(const OptionSpec& option) const {
    return option.todayLook.value_or(OptionSpec::Look{option.min, option.max, option.valueText});
}

// What the Options tab shows: a stored value beyond the control's range counts as the nearest one
// the control holds, as loading it into the control makes it.
double TodaysMame::GivenNumber(const OptionSpec& option, double x) const {
    const OptionSpec::Look look = Look(option);
    return std::clamp(x, static_cast<double>(look.min), static_cast<double>(look.max));
}

ScreenshotKinds TodaysMame::Screenshots() const {
    return ScreenshotKinds::PcxAndPng;
}

// Read while MAME prints its listing, the window naming it from before it starts.
std::unique_ptr<CatalogueListings> TodaysMame::ReadListings(const QString& mamePath, const QString& /*programDir*/,
                                                            ProcessRunner& runner, Progress& progress) const {
    progress.SetText(QStringLiteral("MAME ") + number_);
    auto listings = std::make_unique<ReadMachines>(ReadMachineListing(mamePath, runner, progress));
    if (listings->listing.run.cancelled)
        return nullptr;
    return listings;
}

CheckOutcome TodaysMame::CheckMissingRoms(GameStore& catalogue, int games, const QString& mamePath,
                                          const QString& romPath, bool assumeMerged, ProcessRunner& runner,
                                          Progress& progress) const {
    const PresenceOutcome found = CheckMissingTodaysRoms(catalogue, mamePath, romPath, assumeMerged, runner, progress);
    if (!found.problem.isEmpty())
        return {QStringLiteral("Missing Zipped ROMS: MAME could not say which sets need no files"), found.problem};
    return {MarkedGames(QStringLiteral("Missing Zipped ROMS"), found.marked, games), {}};
}

// Without a ROM folder of the user's, MAME looks in its own ROM path, whose files cannot be
// stamped: every set is verified then.
CheckOutcome TodaysMame::VerifyRoms(GameStore& catalogue, int games, const QString& mamePath, const QString& romPath,
                                    const QString& programDir, ProcessRunner& runner, Progress& progress) const {
    if (FolderList(romPath).isEmpty())
        return VerifyAll(catalogue, games, mamePath, romPath, programDir, runner, progress);
    return Audited(AuditTodaysRoms(catalogue, mamePath, romPath, runner, progress));
}

bool TodaysMame::AuditsBeside(const QString& romPath) const {
    return !FolderList(romPath).isEmpty();
}

// The sets' stamps are taken before MAME reads the files, so a file changed meanwhile is verified
// again next time.
CheckOutcome TodaysMame::VerifyAll(GameStore& catalogue, int games, const QString& mamePath, const QString& romPath,
                                   const QString& /*programDir*/, ProcessRunner& runner, Progress& progress) const {
    const bool stamped = !FolderList(romPath).isEmpty();
    const std::vector<SetNow> sets = stamped ? SetsNow(catalogue, romPath) : std::vector<SetNow>();
    const VerifyOutcome outcome = VerifyTodaysRoms(catalogue, mamePath, romPath, runner, progress);
    if (stamped)
        RecordFullAudit(catalogue, sets, outcome);
    return Verified(outcome, QStringLiteral("Bad ROM sets: %1 (MAME found and checked %2 of %3 games)")
                                 .arg(outcome.counts.marked)
                                 .arg(outcome.counts.found)
                                 .arg(games));
}

// Today's MAME writes why it refuses a game (a missing ROM set, an unknown switch) to its standard
// error: that is kept, its standard output still reaches ours, and any end but 0 is reported with
// MAME's own words.
GameRun TodaysMame::Run(ProcessRunner& runner, const QString& command, RunWatch& watch) const {
    GameRun run;
    PassThrough output(watch);
    const StreamedRun streamed = runner.ExecStreaming(command, output);
    run.exitCode = streamed.exitCode;
    if (run.exitCode == 0)
        return run;
    const QString said = MameMessages(streamed.errors);
    if (streamed.signal != 0)
        run.problem = EndedBySignal(streamed.signal, command);
    else if (CouldNotStart(run.exitCode))
        run.problem = CouldNotStartMame(run.exitCode, command);
    else
        run.problem = QStringLiteral("MAME did not run the game (exit code %1). The command was:\n%2")
                          .arg(run.exitCode)
                          .arg(command);
    if (!said.isEmpty())
        run.problem += QStringLiteral("\nMAME said:\n") + said;
    return run;
}

} // namespace zelvora
