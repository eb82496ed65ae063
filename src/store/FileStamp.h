#pragma once

#include <QString>
#include <QStringList>

namespace zelvora {

// Which file was read: its path, size and modification time; the path is empty for none. A file
// read again only when its stamp differs keeps a collection's large text files from being read at
// every look.
struct FileStamp {
    QString path;
    qint64 size = 0;
    qint64 modified = 0; // nanoseconds
    bool operator==(const FileStamp&) const = default;
};

// The stamp of the regular file at `path`; empty when there is none.
FileStamp StampOf(const QString& path);

// The first of `folders` (empty ones skipped) holding a regular file named one of `names`, the
// earlier name first within a folder.
FileStamp FindFirstFile(const QStringList& folders, const QStringList& names);

} // namespace zelvora
