#include "store/KeysetSql.h"

#include "store/FieldType.h"
#include "store/StoreError.h"

#include <algorithm>
#include <vector>

namespace zelvora {

namespace {

bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

// The SQL text's top-level words (outside quotes, brackets and parentheses) with their offsets,
// enough to find FROM, its table, ORDER BY and LIMIT in a single-table SELECT.
struct Word {
    QString text;
    qsizetype start;
    qsizetype end;
};

std::vector<Word> topLevelWords(const QString& sql) {
    std::vector<Word> words;
    int depth = 0;
    qsizetype i = 0;
    const qsizetype n = sql.size();
    while (i < n) {
        const QChar c = sql[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('[') || c == QLatin1Char('`')) {
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : c;
            const qsizetype start = i++;
            while (i < n && sql[i] != close)
                ++i;
            ++i;
            if (depth == 0)
                words.push_back({sql.mid(start, i - start), start, std::min(i, n)});
        } else if (c == QLatin1Char('(')) {
            ++depth;
            ++i;
        } else if (c == QLatin1Char(')')) {
            --depth;
            ++i;
        } else if (isWordChar(c)) {
            const qsizetype start = i;
            while (i < n && (isWordChar(sql[i]) || sql[i] == QLatin1Char('.')))
                ++i;
            if (depth == 0)
                words.push_back({sql.mid(start, i - start), start, i});
        } else {
            ++i;
        }
    }
    return words;
}

QString unquoteName(const QString& word) {
    if (word.size() >= 2 &&
        (word.front() == QLatin1Char('[') || word.front() == QLatin1Char('"') || word.front() == QLatin1Char('`')))
        return word.mid(1, word.size() - 2);
    return word;
}

} // namespace

KeysetSql ParseKeysetSql(const QString& tableOrSql) {
    KeysetSql result;
    const QString text = tableOrSql.trimmed();
    const std::vector<Word> words = topLevelWords(text);
    const bool isSelect =
        !words.empty() && words.front().text.compare(QLatin1String("SELECT"), Qt::CaseInsensitive) == 0;
    if (!isSelect) {
        if (words.size() != 1)
            throw StoreError(QStringLiteral("Invalid SQL statement; expected a table name or 'SELECT': %1").arg(text));
        result.table = unquoteName(text);
        result.rowsClause = QStringLiteral("FROM %1").arg(QuoteName(result.table));
        result.keysetStatement =
            QStringLiteral("SELECT rowid ") + result.rowsClause + QStringLiteral(" ORDER BY rowid");
        return result;
    }
    qsizetype fromAt = -1;
    qsizetype orderAt = -1;
    bool ordered = false;
    for (size_t w = 0; w < words.size(); ++w) {
        const QString& word = words[w].text;
        if (fromAt < 0 && word.compare(QLatin1String("FROM"), Qt::CaseInsensitive) == 0 && w + 1 < words.size()) {
            fromAt = static_cast<qsizetype>(w);
            result.table = unquoteName(words[w + 1].text);
        } else if (word.compare(QLatin1String("ORDER"), Qt::CaseInsensitive) == 0) {
            ordered = true;
            orderAt = words[w].start;
        } else if (word.compare(QLatin1String("LIMIT"), Qt::CaseInsensitive) == 0 ||
                   word.compare(QLatin1String("UNION"), Qt::CaseInsensitive) == 0 ||
                   word.compare(QLatin1String("JOIN"), Qt::CaseInsensitive) == 0) {
            throw StoreError(
                QStringLiteral("Only single-table SELECT statements can be opened as recordsets: %1").arg(text));
        }
    }
    if (fromAt < 0)
        throw StoreError(QStringLiteral("Syntax error in query: no FROM clause: %1").arg(text));
    const QString rowId = QuoteName(result.table) + QLatin1String(".rowid");
    const qsizetype fromStart = words[fromAt].start;
    result.rowsClause = ordered ? text.mid(fromStart, orderAt - fromStart) : text.mid(fromStart);
    const QString order = ordered ? QStringLiteral(", ") + rowId : QStringLiteral(" ORDER BY ") + rowId;
    result.keysetStatement = QStringLiteral("SELECT ") + rowId + QLatin1Char(' ') + text.mid(fromStart) + order;
    return result;
}

} // namespace zelvora
