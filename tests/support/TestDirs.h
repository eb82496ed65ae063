#pragma once

#include "QtPrinters.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace zelvora::test {

// A fresh, empty program directory that disappears with the object.
class TempProgramDir {
public:
    TempProgramDir();
    const QString& path() const { return path_; }
    QString file(const QString& name) const { return path_ + QLatin1Char('/') + name; }

private:
    QTemporaryDir dir_;
    QString path_;
};

QByteArray ReadBytes(const QString& path);
// Makes the folders the path needs.
void WriteBytes(const QString& path, const QByteArray& bytes);
// A file its owner may run, such as a stand-in MAME; `executable` false leaves it read and write only.
void WriteScript(const QString& path, const QByteArray& bytes, bool executable = true);

// A file of tests/fixtures, e.g. "mame-classic/gamelist.txt".
QString FixturePath(const QString& relative);

} // namespace zelvora::test
