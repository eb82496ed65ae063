#pragma once

#include "mame/Mame.h"

namespace zelvora {

// Today's MAME, which answers "-version" with its number: the machine listing "-listxml",
// today's switches, PNG snapshots as well as PCX screenshots, ROM sets zipped, in 7-Zip archives
// or in folders, "-verifyroms" read as MAME prints it, and a refusal to run a game told in its
// own words.
class TodaysMame : public Mame {
public:
    explicit TodaysMame(QString number) : number_(std::move(number)) {}

    QString VersionNumber() const override { return number_; }
    // Only for what its Options page shows (OnTodaysPage).
    const SwitchRule& Switch(const OptionSpec& option) const override;
    OptionSpec::Look Look(const OptionSpec& option) const override;
    double GivenNumber(const OptionSpec& option, double x) const override;
    ScreenshotKinds Screenshots() const override;
    QString HiScoreCaption() const override { return QStringLiteral("Save State-"); }
    std::unique_ptr<CatalogueListings> ReadListings(const QString& mamePath, const QString& programDir,
                                                    ProcessRunner& runner, Progress& progress) const override;
    MameConfig ShowConfig(const QString& mamePath, ProcessRunner& runner, RunWatch& watch) const override;
    CheckOutcome CheckMissingRoms(GameStore& catalogue, int games, const QString& mamePath, const QString& romPath,
                                  bool assumeMerged, ProcessRunner& runner, Progress& progress) const override;
    CheckOutcome VerifyRoms(GameStore& catalogue, int games, const QString& mamePath, const QString& romPath,
                            const QString& programDir, ProcessRunner& runner, Progress& progress) const override;
    bool AuditsBeside(const QString& romPath) const override;
    CheckOutcome VerifyAll(GameStore& catalogue, int games, const QString& mamePath, const QString& romPath,
                           const QString& programDir, ProcessRunner& runner, Progress& progress) const override;
    GameRun Run(ProcessRunner& runner, const QString& command, RunWatch& watch) const override;

private:
    QString number_;
};

} // namespace zelvora
