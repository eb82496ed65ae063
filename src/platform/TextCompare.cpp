#include "platform/TextCompare.h"

#include <algorithm>

namespace zelvora {

namespace {

inline char16_t fold(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
}

} // namespace

int CompareNoCase(QStringView a, QStringView b) {
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t x = fold(a[i].unicode());
        const char16_t y = fold(b[i].unicode());
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool EqualNoCase(QStringView a, QStringView b) {
    return a.size() == b.size() && CompareNoCase(a, b) == 0;
}

bool StartsWithNoCase(QStringView text, QStringView prefix) {
    return text.size() >= prefix.size() && CompareNoCase(text.left(prefix.size()), prefix) == 0;
}

QString TrimBlanks(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == QLatin1Char(' '))
        ++begin;
    while (end > begin && text[end - 1] == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}

QString FoldedKey(QStringView name) {
    QString key(name.size(), Qt::Uninitialized);
    std::transform(name.begin(), name.end(), key.begin(), [](QChar c) { return QChar(fold(c.unicode())); });
    return key;
}

QString FoldedKey(std::string_view name) {
    QString key(static_cast<qsizetype>(name.size()), Qt::Uninitialized);
    std::transform(name.begin(), name.end(), key.begin(),
                   [](char c) { return QChar(fold(static_cast<unsigned char>(c))); });
    return key;
}

std::string_view TrimBlankBytes(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool EqualNoCaseBytes(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [&](char x, char y) { return lower(x) == lower(y); });
}

} // namespace zelvora
