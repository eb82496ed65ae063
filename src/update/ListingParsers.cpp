#include "update/ListingParsers.h"

#include "platform/DirectoryListing.h"
#include "platform/TextCompare.h"

namespace zelvora {

namespace {

QStringView ColumnsView(QStringView line, int from, int to) {
    if (from > line.size() || to < from)
        return {};
    return line.mid(from - 1, to - from + 1);
}

QStringView TrimmedBlanks(QStringView text) {
    while (!text.isEmpty() && text.front() == QLatin1Char(' '))
        text = text.sliced(1);
    while (!text.isEmpty() && text.back() == QLatin1Char(' '))
        text.chop(1);
    return text;
}

// The columns trimmed of blanks, cut from a view: a listing has some 50,000 lines of ten columns.
QString Trimmed(const QString& line, int from, int to) {
    return TrimmedBlanks(ColumnsView(line, from, to)).toString();
}

// A processor, sound chip or maker column is stored with one blank after it, so an empty
// column is one blank.
QString WithBlank(const QString& line, int from, int to) {
    const QStringView text = TrimmedBlanks(ColumnsView(line, from, to));
    QString stored;
    stored.reserve(text.size() + 1);
    stored.append(text);
    stored.append(QLatin1Char(' '));
    return stored;
}

} // namespace

bool IsSetName(const QString& name) {
    return name.size() <= MaxListedText && IsPlainFileName(name) && !name.startsWith(QLatin1Char('-'));
}

QString Columns(const QString& line, int from, int to) {
    if (from > line.size() || to < from)
        return {};
    return line.mid(from - 1, to - from + 1);
}

QString ColumnsFrom(const QString& line, int from) {
    return from > line.size() ? QString() : line.mid(from - 1);
}

QString DetailsLineName(const QString& line) {
    return Trimmed(line, 1, 8);
}

std::optional<DetailsEntry> ParseDetailsLine(const QString& line) {
    constexpr int DescriptionColumn = 77;
    const QString name = DetailsLineName(line);
    // The last sound chip column and its gap end at column 76: a line of exactly that length is a
    // game whose description is empty, not a cut line.
    // A NUL is no character of a listing: such a line is damaged, whatever else it holds.
    if (line.size() < DescriptionColumn - 1 || line.size() > MaxDetailsLine || name.isEmpty() ||
        line.contains(QChar(0)))
        return std::nullopt;
    DetailsEntry entry;
    entry.name = name;
    entry.driver = Trimmed(line, 11, 20);
    entry.cpus = {WithBlank(line, 23, 30), WithBlank(line, 31, 38), WithBlank(line, 39, 46)};
    entry.sounds = {WithBlank(line, 47, 54), WithBlank(line, 57, 64), WithBlank(line, 67, 74)};
    entry.description = Trimmed(line, DescriptionColumn, static_cast<int>(line.size()));
    return entry;
}

std::optional<GamesEntry> ParseGamesLine(const QString& line) {
    constexpr int DescriptionColumn = 43;
    if (line.size() < DescriptionColumn || line.size() > MaxGamesLine || line.contains(QChar(0)))
        return std::nullopt;
    return GamesEntry{Columns(line, 1, 4), WithBlank(line, 6, 42),
                      Trimmed(line, DescriptionColumn, static_cast<int>(line.size()))};
}

ClonesEntry ParseClonesLine(const QString& line) {
    return {Trimmed(line, 1, 8), Trimmed(line, 10, 17)};
}

GamelistDocument ParseGamelist(const QStringList& lines) {
    GamelistDocument doc;
    const int count = static_cast<int>(lines.size());
    int i = 0;
    for (; i < count; ++i) {
        const QString& line = lines[i];
        if (StartsWithNoCase(line, QStringLiteral("|--"))) {
            doc.tableEnd = i;
            break;
        }
        if (line.startsWith(QLatin1Char('|')) && !EqualNoCase(Columns(line, 3, 6), QStringLiteral("Game")) &&
            !EqualNoCase(Columns(line, 34, 41), QStringLiteral("Accurate"))) {
            GamelistRow row;
            row.line = i;
            row.rom = TrimBlanks(Columns(line, 71, 78));
            row.status = {TrimBlanks(Columns(line, 25, 32)), TrimBlanks(Columns(line, 34, 41)),
                          TrimBlanks(Columns(line, 43, 50)), TrimBlanks(Columns(line, 52, 59)),
                          TrimBlanks(Columns(line, 61, 68))};
            doc.rows.push_back(row);
        }
    }
    if (doc.tableEnd < 0)
        return doc; // no notes without the table's end

    // A note runs from the line after its underline up to the line before the next underline,
    // which is the next note's title; the end of the document counts as an underline, so the
    // last note's last line is taken for a title and left out.
    const auto isUnderline = [&](int k) { return k >= count || StartsWithNoCase(lines[k], QStringLiteral("===")); };
    for (int j = doc.tableEnd + 1; j <= count - 2; ++j) {
        if (!StartsWithNoCase(lines[j], QStringLiteral("===")))
            continue;
        const QString& title = lines[j - 1];
        const qsizetype open = title.indexOf(QLatin1Char('"'));
        const qsizetype close = open < 0 ? -1 : title.indexOf(QLatin1Char('"'), open + 1);
        if (close < 0) {
            ++doc.untitledNotes;
            continue;
        }
        GamelistNote note;
        note.line = j;
        note.rom = title.mid(open + 1, close - open - 1);
        for (int k = j + 2; !isUnderline(k); ++k) {
            if (!TrimBlanks(lines[k - 1]).isEmpty())
                note.text += lines[k - 1] + QLatin1Char('\r');
        }
        note.text = TrimBlanks(note.text);
        doc.notes.push_back(note);
    }
    return doc;
}

} // namespace zelvora
