#include "store/FileStamp.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>

namespace zelvora {

FileStamp StampOf(const QString& path) {
    struct stat info {};
    if (path.isEmpty() || stat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return {};
    return {path, static_cast<qint64>(info.st_size),
            static_cast<qint64>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

FileStamp FindFirstFile(const QStringList& folders, const QStringList& names) {
    for (const QString& folder : folders) {
        if (folder.isEmpty())
            continue;
        for (const QString& name : names) {
            if (FileStamp stamp = StampOf(QDir(folder).filePath(name)); !stamp.path.isEmpty())
                return stamp;
        }
    }
    return {};
}

} // namespace zelvora
