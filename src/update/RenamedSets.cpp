#include "update/RenamedSets.h"

#include "platform/TextCompare.h"
#include "store/Database.h"
#include "store/FieldNames.h"
#include "update/CatalogueMerge.h"
#include "update/MachineListing.h"
#include "update/RomFingerprints.h"

#include <algorithm>

namespace zelvora {

namespace {

// What a record takes to its new name: the user's options, and what the user and the checks
// marked in it. The notes are among them: today's MAME lists none, so a game's are its own.
QStringList MovingFields() {
    QStringList fields = OptionFields();
    fields << Field::Notes << Field::Screenshot << Field::MissingRom << Field::BadRom;
    return fields;
}

} // namespace

QString RenamedSet::Text() const {
    const QString arrow = QStringLiteral(" \u2192 ");
    // Most renames keep the title: it is said once.
    if (oldTitle == newTitle)
        return oldTitle + QStringLiteral(" (") + oldRom + arrow + newRom + QLatin1Char(')');
    const auto titled = [](const QString& title, const QString& rom) {
        return title + QStringLiteral(" (") + rom + QLatin1Char(')');
    };
    return titled(oldTitle, oldRom) + arrow + titled(newTitle, newRom);
}

void RenamedSets::Find(Database& db, const std::vector<ListedMachine>& machines,
                       const std::function<bool(const QString&)>& listed, MergeReport& report) {
    stored_ = ReadFingerprints(db);
    texts_.clear();
    texts_.reserve(static_cast<qsizetype>(machines.size()));
    QHash<QString, size_t> named;
    named.reserve(static_cast<qsizetype>(machines.size()));
    std::vector<QString> keys;
    keys.reserve(machines.size());
    for (size_t i = 0; i < machines.size(); ++i) {
        texts_ << FingerprintText(machines[i].roms);
        keys.push_back(FoldedKey(machines[i].game.name));
        named.insert(keys.back(), i);
    }
    const QStringList fields = MovingFields();
    const auto rename = [&](const QString& from, const ListedMachine& to) {
        const std::optional<QVariantHash> record =
            db.ReadRecord(RomsTable, Field::Rom, from, QStringList(fields) << Field::Rom << Field::Description);
        if (!record)
            return;
        QVariantHash moving = *record;
        const QString rom = moving.take(Field::Rom).toString();
        const QVariant title = moving.take(Field::Description);
        renamed_.push_back({rom, to.game.name, std::move(moving)});
        report.RenamedGame({rom, title.isNull() ? rom : title.toString(), to.game.name, to.game.description});
    };

    // Sets that went and still have their record, and sets that came.
    QStringList goneRoms;
    std::vector<Fingerprint> goneCrcs;
    for (auto it = stored_.cbegin(); it != stored_.cend(); ++it) {
        if (!named.contains(it.key()) && it.key() != FoldedKey(DefaultRom) && listed(it.key())) {
            goneRoms << it.key();
            goneCrcs.push_back(ParseFingerprint(it->crcs));
        }
    }
    if (!goneRoms.isEmpty()) {
        std::vector<const Fingerprint*> gone, came;
        std::vector<size_t> cameMachines;
        for (const Fingerprint& crcs : goneCrcs)
            gone.push_back(&crcs);
        for (size_t i = 0; i < machines.size(); ++i) {
            if (!machines[i].roms.empty() && !listed(machines[i].game.name)) {
                came.push_back(&machines[i].roms);
                cameMachines.push_back(i);
            }
        }
        // Reported in the listing's order.
        std::vector<std::pair<size_t, size_t>> pairs = PairRenamedSets(gone, came);
        std::sort(pairs.begin(), pairs.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
        for (const auto& [g, c] : pairs)
            rename(goneRoms[static_cast<qsizetype>(g)], machines[cameMachines[c]]);
    }

    // Sets listed before and now whose ROMs changed.
    QStringList before, after;
    std::vector<size_t> changed;
    for (size_t i = 0; i < machines.size(); ++i) {
        const auto known = stored_.constFind(keys[i]);
        const QString& now = texts_[static_cast<qsizetype>(i)];
        if (known != stored_.cend() && known->crcs != now && listed(machines[i].game.name)) {
            before << known->crcs;
            after << now;
            changed.push_back(i);
        }
    }
    for (const auto& [a, b] : PairSwappedSets(before, after)) {
        const ListedMachine& first = machines[changed[a]];
        const ListedMachine& second = machines[changed[b]];
        rename(first.game.name, second);
        rename(second.game.name, first);
    }
}

void RenamedSets::Move(Database& db, const std::vector<ListedMachine>& machines) {
    for (const Renamed& set : renamed_)
        db.WriteRecord(RomsTable, Field::Rom, set.to, set.fields);
    // Every row of before is read first: of two sets that traded names, each takes the other's.
    for (const QString& table : {SettingsTable, HistoryTable}) {
        QStringList columns;
        for (const FieldInfo& field : db.Fields(table))
            columns << QuoteName(field.name);
        const QString select =
            QStringLiteral("SELECT %1 FROM %2 WHERE Rom=?1").arg(columns.join(QLatin1Char(',')), table);
        std::vector<std::pair<QString, std::vector<QVariant>>> rows;
        for (const Renamed& set : renamed_)
            db.Select(select, {set.from},
                      [&](const std::vector<QVariant>& values) { rows.emplace_back(set.to, values); });
        const QString remove = QStringLiteral("DELETE FROM %1 WHERE Rom=?1").arg(table);
        for (const Renamed& set : renamed_) {
            db.Execute(remove, {set.from});
            db.Execute(remove, {set.to});
        }
        QStringList places;
        for (qsizetype i = 1; i <= columns.size(); ++i)
            places << QStringLiteral("?%1").arg(i);
        const QString insert = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                   .arg(table, columns.join(QLatin1Char(',')), places.join(QLatin1Char(',')));
        const qsizetype rom = columns.indexOf(QuoteName(QStringLiteral("Rom")));
        for (auto& [to, values] : rows) {
            QVariantList row(values.begin(), values.end());
            row[rom] = to;
            db.Execute(insert, row);
        }
    }
    WriteFingerprints(db, std::move(stored_), machines, texts_);
}

} // namespace zelvora
