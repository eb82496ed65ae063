#include "gamelist/GameSearch.h"

#include "store/ProgramSettings.h"

#include <QRegularExpression>

namespace zelvora {

QStringList ListFilters::Names() const {
    QStringList names;
    if (type != MachineType::Unknown)
        names << QStringLiteral("Type: ") + TypeText(type);
    if (status != GameStatus::Unknown)
        names << QStringLiteral("Status: ") + StatusText(status);
    if (availableOnly)
        names << QStringLiteral("Available");
    if (favouritesOnly)
        names << QStringLiteral("Favourites");
    if (!category.isEmpty())
        names << QStringLiteral("Category: ") + category;
    if (players > 0)
        names << QStringLiteral("Players: %1").arg(players);
    return names;
}

bool ListFilters::Passes(const ListedGame& game) const {
    if (type != MachineType::Unknown && game.type != type)
        return false;
    if (status != GameStatus::Unknown && game.status != status)
        return false;
    if ((availableOnly && !game.available) || (favouritesOnly && !game.favourite))
        return false;
    if (players > 0 && game.playerCount != players)
        return false;
    if (!category.isEmpty()) {
        // A genre takes in each of its subgenres: "Shooter" is "Shooter / Flying Vertical" too.
        if (!game.category.startsWith(category, Qt::CaseInsensitive))
            return false;
        if (game.category.size() != category.size() && !game.category.mid(category.size()).startsWith(u" /"))
            return false;
    }
    return true;
}

namespace {

int keptNumber(const ProgramSettings& settings, const QString& name, int highest) {
    const int value = settings.BarFilter(name).toInt();
    return value >= 0 && value <= highest ? value : 0;
}

} // namespace

ListFilters KeptListFilters(const ProgramSettings& settings) {
    ListFilters filters;
    filters.type = static_cast<MachineType>(
        keptNumber(settings, QStringLiteral("Type"), static_cast<int>(MachineType::ComputerOrConsole)));
    filters.status = static_cast<GameStatus>(
        keptNumber(settings, QStringLiteral("Status"), static_cast<int>(GameStatus::NotWorking)));
    filters.availableOnly = keptNumber(settings, QStringLiteral("Available"), 1) == 1;
    filters.favouritesOnly = keptNumber(settings, QStringLiteral("Favourites"), 1) == 1;
    filters.category = settings.BarFilter(QStringLiteral("Category"));
    filters.players = keptNumber(settings, QStringLiteral("Players"), 99);
    return filters;
}

void KeepListFilters(ProgramSettings& settings, const ListFilters& filters) {
    settings.SaveBarFilter(QStringLiteral("Type"), QString::number(static_cast<int>(filters.type)));
    settings.SaveBarFilter(QStringLiteral("Status"), QString::number(static_cast<int>(filters.status)));
    settings.SaveBarFilter(QStringLiteral("Available"), QString::number(filters.availableOnly ? 1 : 0));
    settings.SaveBarFilter(QStringLiteral("Favourites"), QString::number(filters.favouritesOnly ? 1 : 0));
    settings.SaveBarFilter(QStringLiteral("Category"), filters.category);
    settings.SaveBarFilter(QStringLiteral("Players"), QString::number(filters.players));
}

namespace {

std::string folded(QStringView text) {
    return text.toString().toLower().toStdString();
}

const QString KnownQualifiers = QStringLiteral("year, mfr, set, src, cat, players, is");

} // namespace

int YearOf(const QString& year) {
    if (year.size() < 4)
        return 0;
    int value = 0;
    for (int i = 0; i < 4; ++i) {
        if (!year[i].isDigit())
            return 0;
        value = value * 10 + year[i].digitValue();
    }
    return value;
}

SearchQuery SearchQuery::Parse(const QString& text) {
    SearchQuery query;
    QStringList unknown;
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    static const QRegularExpression range(QStringLiteral("^(\\d{4})-(\\d{4})?$"));
    for (const QString& word : text.split(blanks, Qt::SkipEmptyParts)) {
        const qsizetype colon = word.indexOf(QLatin1Char(':'));
        if (colon <= 0) {
            query.words.push_back(folded(word));
            continue;
        }
        const QString key = word.left(colon).toLower();
        const QString value = word.mid(colon + 1);
        const std::string v = folded(value);
        if (key == u"year") {
            if (const QRegularExpressionMatch m = range.match(value); m.hasMatch()) {
                // "1980-" while the end is being typed: from 1980 on.
                const int from = m.captured(1).toInt(), to = m.hasCaptured(2) ? m.captured(2).toInt() : 9999;
                query.yearRanges.emplace_back(std::min(from, to), std::max(from, to));
            } else if (!v.empty())
                query.years.push_back(v);
        } else if (key == u"mfr" || key == u"manufacturer") {
            if (!v.empty())
                query.manufacturer.push_back(v);
        } else if (key == u"set" || key == u"rom") {
            if (!v.empty())
                query.sets.push_back(v);
        } else if (key == u"src" || key == u"source") {
            if (!v.empty())
                query.source.push_back(v);
        } else if (key == u"cat" || key == u"category") {
            if (!v.empty())
                query.category.push_back(v);
        } else if (key == u"players") {
            bool number = false;
            const int players = value.toInt(&number);
            if (number && players > 0)
                query.players = players;
            else if (!value.isEmpty())
                query.problem = QStringLiteral("\"%1\": players: takes a number, as in players:2").arg(word);
        } else if (key == u"is") {
            const QString what = value.toLower();
            if (what == u"favourite" || what == u"favorite")
                query.favourite = true;
            else if (what == u"available")
                query.available = true;
            else if (what == u"working")
                query.working = true;
            else if (!what.isEmpty())
                query.problem = QStringLiteral("\"%1\": is: takes favourite, available or working").arg(word);
        } else {
            // A title may hold a colon ("Street Fighter II: The World Warrior"): the word is still
            // searched for, and the status bar says it was not taken as a field.
            query.words.push_back(folded(word));
            unknown << key + QLatin1Char(':');
        }
    }
    if (!unknown.isEmpty() && query.problem.isEmpty())
        query.problem = QStringLiteral("No field is called %1: searched as text. Fields: %2")
                            .arg(unknown.join(QStringLiteral(", ")), KnownQualifiers);
    return query;
}

bool SearchQuery::Empty() const {
    return words.empty() && manufacturer.empty() && source.empty() && category.empty() && sets.empty() &&
           years.empty() && yearRanges.empty() && players == 0 && !favourite && !available && !working;
}

bool SearchQuery::Passes(const ListedGame& game) const {
    if ((favourite && !game.favourite) || (available && !game.available) ||
        (working && game.status != GameStatus::Working))
        return false;
    if (players > 0 && game.playerCount != players)
        return false;
    if (!yearRanges.empty()) {
        const int year = YearOf(game.year);
        for (const auto& [from, to] : yearRanges) {
            if (year < from || year > to)
                return false;
        }
    }
    return true;
}

bool MatchesSetPattern(std::string_view pattern, std::string_view name) {
    if (pattern.find_first_of("*?") == std::string_view::npos)
        return name.substr(0, pattern.size()) == pattern;
    // The classic backtracking match: a "*" remembers where to resume when what follows fails.
    size_t p = 0, n = 0, star = std::string_view::npos, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = n;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

} // namespace zelvora
