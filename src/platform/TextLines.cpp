#include "platform/TextLines.h"

#include <QStringDecoder>

#include <algorithm>
#include <cstring>

namespace zelvora {

QString DecodeLine(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return QString::fromLatin1(bytes);
    return text;
}

namespace {

// Room for MaxLineLength characters of UTF-8.
constexpr qsizetype MaxLineBytes = TextLineReader::MaxLineLength * 4;

} // namespace

TextLineReader::TextLineReader(const QString& path) : file_(path) {
    // Read in blocks of our own: QFile's buffer would only be copied once more.
    if (!file_.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return;
    bytes_.reserve(256);
}

bool TextLineReader::fill() {
    block_.resize(BlockSize);
    const qint64 got = file_.read(block_.data(), BlockSize);
    block_.resize(std::max<qint64>(got, 0));
    at_ = 0;
    return !block_.isEmpty();
}

bool TextLineReader::Next(QString& line) {
    if (!file_.isOpen())
        return false;
    bytes_.clear();
    bool any = false;
    for (;;) {
        if (at_ >= block_.size() && !fill())
            break;
        any = true;
        const char* start = block_.constData() + at_;
        const qsizetype left = block_.size() - at_;
        const auto* end = static_cast<const char*>(std::memchr(start, '\n', static_cast<size_t>(left)));
        const qsizetype length = end ? end - start : left;
        bytes_.append(start, std::min(length, MaxLineBytes - bytes_.size()));
        at_ += end ? length + 1 : length;
        if (end)
            break;
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
