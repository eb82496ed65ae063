#include "shell/FirstStart.h"

#include "launcher/ProcessRunner.h"
#include "mame/MameConfig.h"
#include "mame/TodaysMame.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>

namespace zelvora {

namespace {

// Gives MAME a few seconds; one that has not answered by then is not waited for.
class Deadline : public RunWatch {
public:
    bool Waiting() override { return !deadline_.hasExpired(); }

private:
    QDeadlineTimer deadline_{10'000};
};

} // namespace

FirstStartFolders FoldersFromConfig(const QString& mameFolder, const MameConfig& config, const QString& home) {
    FirstStartFolders found;
    found.mame = MameFoldersOf(config, mameFolder, home);
    const QStringList snapshots = config.Folders(QStringLiteral("snapshot_directory"), mameFolder, home);
    found.folders = {WithSlash(mameFolder), snapshots.isEmpty() ? QString() : WithSlash(snapshots.first()),
                     JoinedFolders(found.mame.roms), JoinedFolders(found.mame.ini), JoinedFolders(found.mame.artwork)};
    return found;
}

QString FindMameFolder(const QStringList& searched) {
    for (const QString& folder : searched) {
        if (folder.isEmpty())
            continue;
        const QFileInfo mame(QDir(folder).filePath(QStringLiteral("mame")));
        if (mame.isFile() && mame.isExecutable())
            return WithSlash(mame.absolutePath());
    }
    return {};
}

QStringList MameSearchFolders() {
    QStringList folders = qEnvironmentVariable("PATH").split(u':', Qt::SkipEmptyParts);
    folders << QStringLiteral("/usr/games");
    return folders;
}

std::optional<FirstStartFolders> AskInstalledMame(const QString& mameFolder, ProcessRunner& runner) {
    Deadline deadline;
    const MameConfig config = TodaysMame(QString()).ShowConfig(mameFolder, runner, deadline);
    if (config.IsEmpty())
        return std::nullopt;
    return FoldersFromConfig(mameFolder, config, QDir::homePath());
}

} // namespace zelvora
