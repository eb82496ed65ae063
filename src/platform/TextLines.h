#pragma once

#include <QFile>
#include <QString>
#include <QStringList>

#include <optional>

namespace zelvora {

// Reads a text file that another program wrote (MAME's listings and report, its game list
// document) one line at a time, whatever it holds. Lines end with LF or CR LF; the end is not
// kept. A line that is not valid UTF-8 is read as Latin-1. A line longer than MaxLineLength
// keeps its first MaxLineLength characters and the rest is skipped, so a file without line ends
// cannot fill the memory.
class TextLineReader {
public:
    static constexpr qsizetype MaxLineLength = 64 * 1024;
    static constexpr qsizetype BlockSize = 64 * 1024;

    explicit TextLineReader(const QString& path);

    // False when the file does not exist or cannot be read.
    bool IsOpen() const { return file_.isOpen(); }
    QString ErrorString() const { return file_.errorString(); }
    // The next line into `line`; false at the end of the file.
    bool Next(QString& line);

private:
    bool fill();

    QFile file_;
    QByteArray bytes_;
    QByteArray block_; // read ahead of the lines handed out
    qsizetype at_ = 0; // the next unread byte of block_
};

// Every line of the file, or nothing when it does not exist or cannot be read.
std::optional<QStringList> ReadTextLines(const QString& path);

// One line's bytes as text: UTF-8 when they are valid UTF-8, Latin-1 otherwise.
QString DecodeLine(const QByteArray& bytes);

} // namespace zelvora
