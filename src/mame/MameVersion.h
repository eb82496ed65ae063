#pragma once

#include <QByteArrayView>
#include <QHash>
#include <QString>

#include <chrono>
#include <memory>

#include <sys/types.h>

namespace zelvora {

class Mame;
class ProcessRunner;
class RunWatch;

// The version number an answer to "-version" starts with, or nothing.
QString VersionNumber(QByteArrayView answer);

// The MAME that ended its run for "-version" well (`answered`) or not, having printed `answer`:
// today's MAME prints its version number ("0.251 (unknown)"); the MAME of the late 1990s does not
// know the switch. The one place that tells the MAMEs apart.
std::shared_ptr<const Mame> MameAnswering(bool answered, QByteArrayView answer);

// Asks each executable once for the run: again only when the file at that path has changed, as
// when a new MAME is installed over the old one while the program runs.
class MameVersions {
public:
    // `patience`: how long MAME may take to answer. One that takes longer is ended; a program that
    // never answers would otherwise keep the window from ever appearing.
    explicit MameVersions(std::chrono::milliseconds patience = std::chrono::seconds(5)) : patience_(patience) {}

    // The MAME `executable` is. One that cannot be started, fails, answers anything but a version
    // number or runs out of patience is the classic MAME. `watch`, when given, runs while MAME is
    // asked; when it gives up, the answer is the classic MAME for now, and the executable is asked
    // again next time.
    std::shared_ptr<const Mame> Of(const QString& executable, ProcessRunner& runner, RunWatch* watch = nullptr);

private:
    // What tells a file from the one that was asked before.
    struct FileStamp {
        bool exists = false;
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        qint64 modifiedNs = 0;
        bool operator==(const FileStamp&) const = default;
    };
    static FileStamp StampOf(const QString& path);

    struct Known {
        FileStamp stamp;
        std::shared_ptr<const Mame> mame;
    };
    std::chrono::milliseconds patience_;
    QHash<QString, Known> known_;
};

// The answers kept for the whole run, for callers that are not handed a cache of their own.
MameVersions& RunMameVersions();

} // namespace zelvora
