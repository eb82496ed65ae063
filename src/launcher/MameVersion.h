#pragma once

#include "launcher/MameKind.h"

#include <QByteArrayView>
#include <QHash>
#include <QString>

#include <sys/types.h>

namespace zelvora {

class ProcessRunner;

// Which MAME an executable is, as it answers "-version": today's MAME prints its version number
// ("0.251 (unknown)"); the MAME of the late 1990s does not know the switch.
struct MameVersion {
    MameKind kind = MameKind::Classic;
    QString number; // "0.251"; empty for the classic MAME
};

// The version number an answer to "-version" starts with, or nothing.
QString VersionNumber(QByteArrayView answer);

// Asks each executable once for the run: again only when the file at that path has changed, as
// when a new MAME is installed over the old one while the program runs.
class MameVersions {
public:
    // An executable that cannot be started, fails, or answers anything but a version number is
    // the classic MAME.
    MameVersion Of(const QString& executable, ProcessRunner& runner);

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
        MameVersion version;
    };
    QHash<QString, Known> known_;
};

// The answers kept for the whole run, for callers that are not handed a cache of their own.
MameVersions& RunMameVersions();

} // namespace zelvora
