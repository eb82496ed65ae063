#include "launcher/ShellQuote.h"

#include <QByteArrayView>

#include <algorithm>

namespace zelvora {

namespace {

bool isSafe(QChar c) {
    if (c.unicode() > 0x7f)
        return false;
    const char ch = static_cast<char>(c.unicode());
    return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9') ||
           QByteArrayView("_./:=@%+,-").contains(ch);
}

bool isNameChar(QChar c, bool first) {
    const char16_t u = c.unicode();
    return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u == '_' || (!first && u >= '0' && u <= '9');
}

// "NAME=value" standing first on a line is a variable assignment, not a command; quoting it
// keeps it a word wherever it is put.
bool looksLikeAssignment(const QString& word) {
    const qsizetype equals = word.indexOf(QLatin1Char('='));
    if (equals <= 0)
        return false;
    for (qsizetype i = 0; i < equals; ++i) {
        if (!isNameChar(word[i], i == 0))
            return false;
    }
    return true;
}

} // namespace

QString ShellQuote(const QString& word) {
    // Words made only of characters the shell never treats specially stay bare, so that the
    // usual command lines (paths, switches, set names) read as they always did.
    if (!word.isEmpty() && std::all_of(word.begin(), word.end(), isSafe) && !looksLikeAssignment(word))
        return word;
    // Inside single quotes nothing is special, not even a backslash; a quote of the word itself
    // ends the quoted part, is given escaped, and a new quoted part begins.
    QString quoted = word;
    quoted.replace(QLatin1Char('\''), QLatin1String("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

} // namespace zelvora
