#pragma once

#include "store/FileStamp.h"
#include "store/ProgramSettings.h"

#include <QHash>
#include <QString>
#include <QStringList>

namespace zelvora {

// What the collection's support files say of each set: its category from catver.ini (section
// [Category], "set=Genre / Subgenre", " * Mature *" at the end marking it for adults) and its
// players from nplayers.ini (section [NPlayers], "set=2P sim"). Set names are compared without
// case. A file that is missing says nothing; one that cannot be what it claims to be (no such
// section, binary content, over 64 MiB, a line over 64 KiB) says nothing either, and the problem
// names it. Nothing here throws.
class SupportFiles {
public:
    static constexpr qint64 MaxFileSize = 64 * 1024 * 1024;
    static constexpr qsizetype MaxLineLength = 64 * 1024;

    // The folders looked in, in order: the Support Files folder first, then MAME's ini folders.
    // Empty ones are skipped.
    void SetFolders(const QStringList& folders);
    // Reads catver.ini and nplayers.ini again when the file found (in the first folder holding it)
    // is not the one read last, or its size or modification time changed; true when anything
    // changed.
    bool Refresh();

    QString Category(const QString& rom) const; // "Shooter / Flying Vertical", empty when none
    bool Mature(const QString& rom) const;
    QString Players(const QString& rom) const; // "2P sim"
    int PlayerCount(const QString& rom) const; // 2; 0 when the text names no "<n>P"
    bool HasCategories() const { return !categories_.isEmpty(); }
    bool HasPlayers() const { return !players_.isEmpty(); }

    // A problem met by the last Refresh that changed something (missing files are no problem),
    // once: empty after it was taken.
    QString TakeProblem();

private:
    struct CategoryEntry {
        QString text;
        bool mature = false;
    };
    struct PlayerEntry {
        QString text;
        int count = 0;
    };

    QString readCategories(const QString& path);
    QString readPlayers(const QString& path);

    QStringList folders_;
    FileStamp categoryFile_, playerFile_;
    QHash<QString, CategoryEntry> categories_;
    QHash<QString, PlayerEntry> players_;
    QString problem_;
};

} // namespace zelvora
