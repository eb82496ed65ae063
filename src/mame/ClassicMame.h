#pragma once

#include "mame/Mame.h"

namespace zelvora {

// The MAME of the late 1990s, which does not answer "-version": fixed-column listings captured into
// files, DOS-era switches, PCX screenshots, zipped ROM sets and a verification report in a file.
class ClassicMame : public Mame {
public:
    QString VersionNumber() const override { return {}; }
    const SwitchRule& Switch(const OptionSpec& option) const override { return option.classic; }
    OptionSpec::Look Look(const OptionSpec& option) const override;
    double GivenNumber(const OptionSpec& option, double x) const override;
    ScreenshotKinds Screenshots() const override;
    QString HiScoreCaption() const override { return QStringLiteral("Hi Score-"); }
    std::unique_ptr<CatalogueListings> ReadListings(const QString& mamePath, const QString& programDir,
                                                    ProcessRunner& runner, Progress& progress) const override;
    MameConfig ShowConfig(const QString&, ProcessRunner&, RunWatch&) const override { return {}; }
    CheckOutcome CheckMissingRoms(GameStore& catalogue, int games, const QString& mamePath, const QString& romPath,
                                  bool assumeMerged, ProcessRunner& runner, Progress& progress) const override;
    CheckOutcome VerifyRoms(GameStore& catalogue, int games, const QString& mamePath, const QString& romPath,
                            const QString& programDir, ProcessRunner& runner, Progress& progress) const override;
    GameRun Run(ProcessRunner& runner, const QString& command, RunWatch& watch) const override;
};

} // namespace zelvora
