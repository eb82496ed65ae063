#include "update/MachineRefusals.h"

#include "platform/TextLines.h"
#include "update/MachineListing.h"

namespace zelvora {

namespace {

// The first lines of what MAME wrote to its standard error, which hold its own message.
QString MameSaid(const QByteArray& errors) {
    constexpr int LinesShown = 5;
    QStringList lines;
    for (const QString& line : DecodeLine(errors).split(QLatin1Char('\n'))) {
        if (!line.trimmed().isEmpty() && lines.size() < LinesShown)
            lines << line.trimmed();
    }
    return lines.isEmpty() ? QString() : QStringLiteral(" MAME said: ") + lines.join(QLatin1Char('\n'));
}

} // namespace

QStringList MachineRefusals(const MachineListing& listing) {
    const QString kept = QStringLiteral(", so the catalogue was not changed. The command was: %1 (exit code %2).")
                             .arg(listing.command, QString::number(listing.run.exitCode));
    const QString listed = QStringLiteral("MAME's machine listing ");
    // A listing this program stopped reading ended MAME with it: MAME's exit code tells nothing then.
    if (!listing.problem.isEmpty() && listing.run.stopped)
        return {listed + listing.problem + kept};
    if (listing.run.exitCode != 0)
        return {listed + QStringLiteral("failed") + kept + MameSaid(listing.run.errors)};
    if (!listing.problem.isEmpty())
        return {listed + listing.problem + kept};
    if (listing.machines.empty())
        return {listed + QStringLiteral("lists no games") + kept};
    return {};
}

} // namespace zelvora
