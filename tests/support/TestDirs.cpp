#include "TestDirs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <stdexcept>

namespace zelvora::test {

TempProgramDir::TempProgramDir() : dir_(QDir::tempPath() + QStringLiteral("/zelvora-test-XXXXXX")) {
    if (!dir_.isValid())
        throw std::runtime_error("cannot make a temporary directory");
    path_ = dir_.path();
}

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

void WriteScript(const QString& path, const QByteArray& bytes, bool executable) {
    WriteBytes(path, bytes);
    QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner;
    if (executable)
        permissions |= QFile::ExeOwner;
    QFile::setPermissions(path, permissions);
}

QString FixturePath(const QString& relative) {
    return QStringLiteral(ZELVORA_FIXTURES_DIR) + QLatin1Char('/') + relative;
}

} // namespace zelvora::test
