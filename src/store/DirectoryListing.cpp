#include "store/DirectoryListing.h"

#include <QDir>

namespace zelvora {

DirectoryListing::DirectoryListing(const QString& directory) {
    if (directory.trimmed().isEmpty())
        return;
    const QDir dir(directory);
    if (!dir.exists())
        return;
    const QStringList names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    names_.reserve(names.size());
    for (const QString& name : names)
        names_.insert(name.toLower(), name);
}

QString DirectoryListing::Find(const QString& name) const {
    if (name.isEmpty())
        return {};
    return names_.value(name.toLower());
}

} // namespace zelvora
