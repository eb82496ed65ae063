#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

namespace zelvora {

// True when `name` names something directly inside a folder: not empty, no "/", not "." or "..".
// A set name that is not such a name must never become part of a path, or a screenshot or ROM
// file looked up or deleted by it could lie outside its folder.
bool IsPlainFileName(const QString& name);

// One listing of a directory's files and folders, looked up by name without regard to case. A
// check over the whole catalogue lists each directory once and asks this, instead of listing it
// per game.
class DirectoryListing {
public:
    explicit DirectoryListing(const QString& directory);
    // The folders' listings as one; a name in more than one is found in the first.
    explicit DirectoryListing(const QStringList& directories);

    // The file's name as it is on disk, or an empty string when there is none.
    QString Find(const QString& name) const;
    bool Contains(const QString& name) const { return !Find(name).isEmpty(); }
    // The same for a folder directly inside the directory.
    QString FindFolder(const QString& name) const;
    int Size() const { return static_cast<int>(names_.size()); }

private:
    void add(const QString& directory);

    QHash<QString, QString> names_;   // folded name -> name on disk
    QHash<QString, QString> folders_; // likewise, for the folders
};

} // namespace zelvora
