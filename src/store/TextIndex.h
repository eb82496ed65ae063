#pragma once

#include "store/FileStamp.h"

#include <QByteArray>
#include <QHash>
#include <QString>

namespace zelvora {

// Where each set's text is in one of the collection's text files: history.xml (the entries'
// <text>, for every <system> each names; entries of software lists name none), or a .dat file of
// "$info=set,set," blocks whose section of the wanted kind ("$bio", "$mame", "$cmd") runs to
// "$end". Only the places are kept; a text is read from the file when it is asked for, so tens of
// megabytes of texts cost a few megabytes of index.
//
// Refresh builds the index; once built, Text may be called from another thread than the one that
// built it (nothing here has thread affinity), as long as Refresh is not running. Nothing throws.
class TextIndex {
public:
    static constexpr qint64 MaxFileSize = 256 * 1024 * 1024;
    static constexpr qint64 MaxTextSize = 1024 * 1024;

    // `section`: the marker of a .dat file's wanted text, "$bio" for example. A file whose name ends
    // with ".xml" is read as history.xml.
    explicit TextIndex(QByteArray section) : section_(std::move(section)) {}

    // Indexes `path` again when it is not the file indexed last, or its size or modification time
    // changed; true then. An empty path or a missing file leaves the index empty. A file that is
    // refused or malformed leaves it empty too, and Problem names it.
    bool Refresh(const QString& path);

    // The set's text, its lines ending with LF, trimmed; empty when it has none or the file changed
    // since it was indexed. A text longer than MaxTextSize bytes is cut there.
    QString Text(const QString& rom) const;
    QString Problem() const { return problem_; }
    qsizetype Count() const { return pieces_.size(); }

private:
    struct Piece {
        qint64 offset = 0;
        qint64 length = 0;
    };

    QString index(const QByteArray& bytes);

    QByteArray section_;
    FileStamp stamp_;
    bool xml_ = false;
    QHash<QString, Piece> pieces_;
    QString problem_;
};

} // namespace zelvora
