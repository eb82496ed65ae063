#include "platform/ZipArchive.h"

#include <QFileInfo>

#include <zip.h>

namespace zelvora {

ZipArchive::ZipArchive(QString path) : path_(std::move(path)) {}

ZipArchive::~ZipArchive() {
    close();
}

void ZipArchive::close() {
    if (archive_)
        zip_discard(archive_);
    archive_ = nullptr;
    entries_.clear();
}

bool ZipArchive::Refresh() {
    const QFileInfo file(path_);
    if (!file.isFile()) {
        close();
        size_ = -1;
        problem_ = QStringLiteral("%1: no such file").arg(path_);
        return false;
    }
    // A damaged archive is remembered as damaged until it changes, not opened again per picture.
    if (file.size() == size_ && file.lastModified() == modified_)
        return archive_ != nullptr;
    close();
    size_ = file.size();
    modified_ = file.lastModified();
    int error = 0;
    archive_ = zip_open(QFile::encodeName(path_).constData(), ZIP_RDONLY, &error);
    if (!archive_) {
        zip_error_t details;
        zip_error_init_with_code(&details, error);
        problem_ = QStringLiteral("%1: %2").arg(path_, QString::fromUtf8(zip_error_strerror(&details)));
        zip_error_fini(&details);
        return false;
    }
    problem_.clear();
    const zip_int64_t count = zip_get_num_entries(archive_, 0);
    entries_.reserve(static_cast<qsizetype>(std::max<zip_int64_t>(count, 0)));
    for (zip_int64_t i = 0; i < count; ++i) {
        const char* name = zip_get_name(archive_, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_GUESS);
        // The first of two entries with one folded name is the one kept, as a listing would.
        if (name)
            entries_.insert(QString::fromUtf8(name).toLower(), i);
    }
    return true;
}

qint64 ZipArchive::Find(const QString& name) const {
    return entries_.value(name.toLower(), -1);
}

QString ZipArchive::EntryName(qint64 index) const {
    const char* name = archive_ ? zip_get_name(archive_, static_cast<zip_uint64_t>(index), ZIP_FL_ENC_GUESS) : nullptr;
    return name ? QString::fromUtf8(name) : QString();
}

QByteArray ZipArchive::Read(qint64 index, qint64 maxBytes) {
    if (!archive_ || index < 0)
        return {};
    const QString where = path_ + QLatin1Char(':') + EntryName(index);
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(archive_, static_cast<zip_uint64_t>(index), 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE)) {
        problem_ = QStringLiteral("%1: %2").arg(where, QString::fromUtf8(zip_strerror(archive_)));
        return {};
    }
    if (stat.size > static_cast<zip_uint64_t>(maxBytes)) {
        problem_ = QStringLiteral("%1: larger than %2 bytes").arg(where).arg(maxBytes);
        return {};
    }
    zip_file_t* entry = zip_fopen_index(archive_, static_cast<zip_uint64_t>(index), 0);
    if (!entry) {
        problem_ = QStringLiteral("%1: %2").arg(where, QString::fromUtf8(zip_strerror(archive_)));
        return {};
    }
    // One byte more than the entry says it holds: an entry that inflates beyond its stated size (a
    // zip bomb among them) is caught after that byte rather than read to its end.
    QByteArray bytes(static_cast<qsizetype>(stat.size) + 1, Qt::Uninitialized);
    qint64 total = 0;
    bool failed = false;
    while (total < bytes.size()) {
        const zip_int64_t got = zip_fread(entry, bytes.data() + total, static_cast<zip_uint64_t>(bytes.size() - total));
        if (got < 0)
            failed = true;
        if (got <= 0)
            break;
        total += got;
    }
    if (failed)
        problem_ =
            QStringLiteral("%1: %2").arg(where, QString::fromUtf8(zip_error_strerror(zip_file_get_error(entry))));
    else if (total != static_cast<qint64>(stat.size))
        problem_ = QStringLiteral("%1: holds other than the %2 bytes it states").arg(where).arg(stat.size);
    zip_fclose(entry);
    if (failed || total != static_cast<qint64>(stat.size))
        return {};
    bytes.truncate(total);
    return bytes;
}

} // namespace zelvora
