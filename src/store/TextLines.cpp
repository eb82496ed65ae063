#include "store/TextLines.h"

#include <QStringDecoder>

namespace zelvora {

QString DecodeLine(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return QString::fromLatin1(bytes);
    return text;
}

TextLineReader::TextLineReader(const QString& path) : file_(path) {
    if (!file_.open(QIODevice::ReadOnly))
        return;
    bytes_.reserve(256);
}

bool TextLineReader::Next(QString& line) {
    if (!file_.isOpen())
        return false;
    bytes_.clear();
    bool any = false;
    char c = 0;
    // QFile buffers its reads, so taking one byte at a time costs no system call per byte.
    while (file_.getChar(&c)) {
        any = true;
        if (c == '\n')
            break;
        if (bytes_.size() < MaxLineLength * 4) // room for MaxLineLength characters of UTF-8
            bytes_.append(c);
    }
    if (!any)
        return false;
    if (bytes_.endsWith('\r'))
        bytes_.chop(1);
    line = DecodeLine(bytes_);
    if (line.size() > MaxLineLength)
        line.truncate(MaxLineLength);
    return true;
}

std::optional<QStringList> ReadTextLines(const QString& path) {
    TextLineReader reader(path);
    if (!reader.IsOpen())
        return std::nullopt;
    QStringList lines;
    QString line;
    while (reader.Next(line))
        lines.append(line);
    return lines;
}

} // namespace zelvora
