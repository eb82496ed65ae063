#include "gamelist/GameListQuery.h"

#include "platform/TextCompare.h"
#include "store/FieldNames.h"
#include "store/GameStore.h"

#include <QStringMatcher>

namespace zelvora {

namespace {

struct FilterClauses {
    const char* showOnly;
    const char* exclude;
};

// Each clause ends with a blank so the next one follows it. SQLite needs IS NULL to test for a
// field that holds no value; a comparison with NULL is never true.
constexpr FilterClauses Clauses[FilterCount] = {
    // MAME's Neo Geo driver is "neogeo.c" in older versions, "neogeo.cpp" since its sources are C++.
    {"AND Driver IN ('neogeo.c','neogeo.cpp') ", "AND Driver NOT IN ('neogeo.c','neogeo.cpp') "},
    {"AND Clone IS NULL ", "AND Clone IS NOT NULL "},
    {"AND Clone IS NOT NULL ", "AND Clone IS NULL "},
    {"AND Screenshot = 1 ", "AND Screenshot = 0 "},
    {"AND [Missing Rom] = 1 ", "AND [Missing Rom] = 0 "},
    {"AND [Bad Rom] = 1 ", "AND [Bad Rom] = 0 "},
};

const char* const FilterCaptions[FilterCount] = {"Neo Geo Games",       "Original Games", "Clones",
                                                 "Missing Screenshots", "Missing ROMS",   "Bad ROMS"};

const QString SortKeys[] = {Field::Description, Field::Date, Field::Manufacturer, Field::Rom};

bool isOne(const QVariant& value) {
    return !value.isNull() && value.toLongLong() == 1;
}

} // namespace

QString FilterCaption(int index) {
    return index >= 0 && index < FilterCount ? QLatin1String(FilterCaptions[index]) : QString();
}

QString FiltersText(const FilterStates& filters) {
    QStringList on;
    for (int i = 0; i < FilterCount; ++i) {
        if (filters[i] == FilterState::ShowOnly)
            on << FilterCaption(i) + QStringLiteral(" (Show Only)");
        else if (filters[i] == FilterState::Exclude)
            on << FilterCaption(i) + QStringLiteral(" (Exclude)");
    }
    return on.isEmpty() ? QStringLiteral("No filters") : QStringLiteral("Filters: ") + on.join(QStringLiteral(", "));
}

QString GameListSql(const FilterStates& filters, const ListOrder& order) {
    QString condition;
    for (int i = 0; i < FilterCount; ++i) {
        if (filters[i] == FilterState::ShowOnly)
            condition += QLatin1String(Clauses[i].showOnly);
        else if (filters[i] == FilterState::Exclude)
            condition += QLatin1String(Clauses[i].exclude);
    }
    // AND binds before OR, so the filters narrow every record but the default one.
    if (!condition.isEmpty())
        condition = QStringLiteral("WHERE ") + condition.mid(3) + QStringLiteral(" OR Rom='-default-'");
    // The key goes into the SQL text, so only the list's own sort fields are taken.
    const QString key = KnownSortKey(order.key) + (order.descending ? QStringLiteral(" DESC") : QString());
    // The default record heads the list whatever the key and the titles: the default options, the
    // start of a game and the screenshot deletion all take row 0 to be it. IS NOT, unlike <>, is
    // never NULL, so a game without a set name keeps its place among the others.
    return condition + QStringLiteral("ORDER BY Rom IS NOT '-default-',") + key + QStringLiteral(",Description");
}

namespace {

// The numbers the list reads, after its texts, and the marks they make.
const QString MarkFields[] = {Field::Screenshot, Field::BadRom, Field::MissingRom, Field::Default, Field::Rom};

QString statusMarks(const QVariant* values) {
    QString marks;
    if (isOne(values[0]))
        marks += QLatin1Char('S');
    if (isOne(values[1]))
        marks += QLatin1Char('B');
    if (isOne(values[2]))
        marks += QLatin1Char('R');
    const QVariant& useDefault = values[3];
    if (!useDefault.isNull() && useDefault.toLongLong() == 0 && !EqualNoCase(values[4].toString(), DefaultRom))
        marks += QLatin1Char('*');
    return marks;
}

} // namespace

GameListRows LoadGameList(const GameStore& catalogue, const FilterStates& filters, const ListOrder& order) {
    // The listed fields of text are kept as texts; the numbers the list reads become the marks.
    QStringList names;
    for (const CatalogueField& field : CatalogueFields()) {
        if (field.listed && (field.type == FieldType::Text || field.type == FieldType::Memo))
            names << field.name;
    }
    std::vector<QStringList> texts(static_cast<size_t>(names.size()));
    GameListRows rows;
    QStringList fields = names;
    for (const QString& field : MarkFields)
        fields << field;
    catalogue.List(GameListSql(filters, order), fields, [&](const std::vector<QVariant>& values) {
        for (size_t i = 0; i < texts.size(); ++i)
            texts[i] << values[i].toString();
        rows.marks << statusMarks(values.data() + texts.size());
    });
    for (qsizetype i = 0; i < names.size(); ++i)
        rows.texts.insert(names[i], std::move(texts[static_cast<size_t>(i)]));
    return rows;
}

GameListRows FindInRows(const GameListRows& rows, const QString& text) {
    if (text.isEmpty())
        return rows;
    // Each field's list is gathered on its own, not looked up by name for every row found.
    std::vector<std::pair<const QStringList*, QStringList>> fields;
    for (auto it = rows.texts.begin(); it != rows.texts.end(); ++it)
        fields.emplace_back(&it.value(), QStringList());
    GameListRows found;
    const QStringMatcher matcher(text, Qt::CaseInsensitive);
    const QStringList& descriptions = rows.Of(Field::Description);
    for (qsizetype row = 0; row < descriptions.size(); ++row) {
        const QString& description = descriptions[row];
        const bool defaultRow = row == 0 && EqualNoCase(description, DefaultDescription);
        if (defaultRow || matcher.indexIn(description) >= 0) {
            for (auto& [all, kept] : fields)
                kept << all->value(row);
            found.marks << rows.marks.value(row);
        }
    }
    auto field = fields.begin();
    for (auto it = rows.texts.begin(); it != rows.texts.end(); ++it, ++field)
        found.texts.insert(it.key(), std::move(field->second));
    return found;
}

const QStringList& GameListRows::Of(const QString& field) const {
    static const QStringList none;
    const auto it = texts.find(field);
    return it == texts.end() ? none : *it;
}

QString NextSortKey(const QString& caption) {
    for (int i = 0; i < 3; ++i) {
        if (EqualNoCase(caption, SortKeys[i]))
            return SortKeys[i + 1];
    }
    return SortKeys[0];
}

QString KnownSortKey(const QString& text) {
    for (const QString& key : SortKeys) {
        if (EqualNoCase(text, key))
            return key;
    }
    return SortKeys[0];
}

} // namespace zelvora
