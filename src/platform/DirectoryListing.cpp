#include "platform/DirectoryListing.h"

#include <QDir>
#include <QDirIterator>

namespace zelvora {

bool IsPlainFileName(const QString& name) {
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QChar(0));
}

DirectoryListing::DirectoryListing(const QString& directory) {
    add(directory);
}

DirectoryListing::DirectoryListing(const QStringList& directories) {
    for (const QString& directory : directories)
        add(directory);
}

void DirectoryListing::add(const QString& directory) {
    if (directory.trimmed().isEmpty())
        return;
    const QDir dir(directory);
    if (!dir.exists())
        return;
    // Unsorted: the order is of no use here, and sorting 40,000 names costs more than reading them.
    // Without QDir::System: a pipe, socket or device named like a file is none, and opening it
    // could wait forever.
    QDirIterator it(directory, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        QHash<QString, QString>& names = it.fileInfo().isDir() ? folders_ : names_;
        if (const QString key = name.toLower(); !names.contains(key))
            names.insert(key, name);
    }
}

QString DirectoryListing::Find(const QString& name) const {
    if (name.isEmpty())
        return {};
    return names_.value(name.toLower());
}

QString DirectoryListing::FindFolder(const QString& name) const {
    return name.isEmpty() ? QString() : folders_.value(name.toLower());
}

} // namespace zelvora
