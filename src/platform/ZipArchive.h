#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QString>

struct zip;

namespace zelvora {

// A zip archive opened once and indexed by its entries' names folded to lower case, so that a
// picture among tens of thousands is found without a scan and read without reopening the archive.
// The archive stays open; Refresh() opens and indexes it again when its size or modification time
// has changed since. Not for use from two threads at once.
class ZipArchive {
public:
    explicit ZipArchive(QString path);
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    // Checks the file and indexes it again when it has changed; false when it cannot be read as a
    // zip archive, with Problem() saying why.
    bool Refresh();
    // The entry's index for a name compared without regard to case, or -1.
    qint64 Find(const QString& name) const;
    // The entry's bytes; empty, with Problem() saying why, when the entry is larger than `maxBytes`,
    // holds other than its stated size or checksum, or cannot be read.
    QByteArray Read(qint64 index, qint64 maxBytes);
    QString EntryName(qint64 index) const;
    const QString& Problem() const { return problem_; }

private:
    void close();

    QString path_;
    qint64 size_ = -1;
    QDateTime modified_;
    zip* archive_ = nullptr;
    QHash<QString, qint64> entries_; // folded name -> entry index
    QString problem_;
};

} // namespace zelvora
