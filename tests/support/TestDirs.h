#pragma once

#include "QtPrinters.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

#include <stdexcept>

namespace zelvora::test {

// A fresh, empty program directory that disappears with the object.
class TempProgramDir {
public:
    TempProgramDir() : dir_(QDir::tempPath() + QStringLiteral("/zelvora-test-XXXXXX")), path_(dir_.path()) {
        if (!dir_.isValid())
            throw std::runtime_error("cannot make a temporary directory");
    }
    const QString& path() const { return path_; }
    QString file(const QString& name) const { return path_ + QLatin1Char('/') + name; }

private:
    QTemporaryDir dir_;
    QString path_;
};

inline QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Makes the folders the path needs.
inline void WriteBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

// A file its owner may run, such as a stand-in MAME; `executable` false leaves it read and write only.
inline void WriteScript(const QString& path, const QByteArray& bytes, bool executable = true) {
    WriteBytes(path, bytes);
    const QFile::Permissions readWrite = QFile::ReadOwner | QFile::WriteOwner;
    QFile::setPermissions(path, executable ? readWrite | QFile::ExeOwner : readWrite);
}

// A file of tests/fixtures, e.g. "mame-classic/gamelist.txt".
inline QString FixturePath(const QString& relative) {
    return QStringLiteral(ZELVORA_FIXTURES_DIR) + QLatin1Char('/') + relative;
}

} // namespace zelvora::test
