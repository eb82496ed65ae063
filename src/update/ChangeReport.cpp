#include "update/ChangeReport.h"

#include "platform/TextCompare.h"
#include "store/Database.h"
#include "store/FieldNames.h"
#include "store/StoreError.h"
#include "update/CatalogueMerge.h"

#include <algorithm>

namespace zelvora {

namespace {

using Games = QHash<QString, ChangeReport::Game>;

// The games as the list shows them: title and status, the default record left out. Of two records
// with one set name, the first counts, as everywhere a game is found by its set name.
Games ReadGames(Database& db) {
    Games games;
    db.Select(QStringLiteral("SELECT %1,%2,%3 FROM %4")
                  .arg(QuoteName(Field::Rom), QuoteName(Field::Description), QuoteName(Field::Playable), RomsTable),
              {}, [&](const std::vector<QVariant>& values) {
                  const QString rom = values[0].toString();
                  if (rom.isEmpty() || EqualNoCase(rom, DefaultRom))
                      return;
                  const QString key = FoldedKey(rom);
                  if (!games.contains(key))
                      games.insert(key, {rom, values[1].toString(), StatusOf(values[2].toString())});
              });
    return games;
}

QString StatusWords(GameStatus status) {
    return status == GameStatus::Unknown ? QStringLiteral("unknown") : StatusText(status);
}

QString CsvField(const QString& text) {
    // A field with a separator, a quote or a line end is quoted, its quotes doubled.
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n')) &&
        !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

constexpr ChangeKind Kinds[] = {ChangeKind::Added, ChangeKind::Removed, ChangeKind::Renamed, ChangeKind::Status,
                                ChangeKind::Title};

} // namespace

QString ChangeCaption(ChangeKind kind) {
    switch (kind) {
    case ChangeKind::Added:
        return QStringLiteral("Added");
    case ChangeKind::Removed:
        return QStringLiteral("Removed");
    case ChangeKind::Renamed:
        return QStringLiteral("Renamed");
    case ChangeKind::Status:
        return QStringLiteral("Status changed");
    case ChangeKind::Title:
        return QStringLiteral("Title changed");
    }
    return {};
}

QString ChangeDetail(const GameChange& change) {
    switch (change.kind) {
    case ChangeKind::Status:
        return StatusWords(change.oldStatus) + QStringLiteral(" → ") + StatusWords(change.status);
    case ChangeKind::Title:
        return QStringLiteral("was ") + change.oldTitle;
    case ChangeKind::Renamed:
        return QStringLiteral("was ") + change.oldRom;
    case ChangeKind::Added:
    case ChangeKind::Removed:
        break;
    }
    return {};
}

ChangeReport::ChangeReport(Database& db) : before_(ReadGames(db)) {}

void ChangeReport::AddRename(const QString& oldRom, const QString& newRom) {
    renames_.emplace_back(oldRom, newRom);
}

std::vector<GameChange> ChangeReport::Changes(Database& db) const {
    const Games after = ReadGames(db);
    std::vector<GameChange> changes;
    // What stayed under another name is compared with what it was, as a game that kept its name.
    QHash<QString, QString> renamedFrom; // new key -> old key
    QHash<QString, QString> renamedTo;   // old key -> new key
    for (const auto& [oldRom, newRom] : renames_) {
        const QString from = FoldedKey(oldRom), to = FoldedKey(newRom);
        // Two sets that traded names are each there before and after.
        if (!before_.contains(from) || !after.contains(to) || renamedTo.contains(from) || renamedFrom.contains(to))
            continue;
        renamedFrom.insert(to, from);
        renamedTo.insert(from, to);
    }
    const auto compare = [&](const ChangeReport::Game& was, const ChangeReport::Game& now) {
        // A status the list shows no word for is no status to compare.
        if (was.status != now.status && was.status != GameStatus::Unknown && now.status != GameStatus::Unknown)
            changes.push_back({ChangeKind::Status, now.rom, now.title, now.status, {}, {}, was.status});
        if (was.title != now.title)
            changes.push_back({ChangeKind::Title, now.rom, now.title, now.status, {}, was.title, was.status});
    };
    for (auto game = after.cbegin(); game != after.cend(); ++game) {
        const Game& now = game.value();
        if (const auto from = renamedFrom.constFind(game.key()); from != renamedFrom.cend()) {
            const Game& was = before_[*from];
            changes.push_back({ChangeKind::Renamed, now.rom, now.title, now.status, was.rom, was.title, was.status});
            compare(was, now);
        } else if (const auto was = before_.constFind(game.key()); was != before_.cend()) {
            compare(*was, now);
        } else {
            changes.push_back({ChangeKind::Added, now.rom, now.title, now.status, {}, {}, {}});
        }
    }
    for (auto game = before_.cbegin(); game != before_.cend(); ++game) {
        if (!after.contains(game.key()) && !renamedTo.contains(game.key()))
            changes.push_back({ChangeKind::Removed, game->rom, game->title, game->status, {}, {}, {}});
    }
    std::sort(changes.begin(), changes.end(), [](const GameChange& a, const GameChange& b) {
        if (a.kind != b.kind)
            return a.kind < b.kind;
        const int titles = CompareNoCase(a.title, b.title);
        return titles != 0 ? titles < 0 : CompareNoCase(a.rom, b.rom) < 0;
    });
    return changes;
}

void SaveLastChanges(Database& db, const std::vector<GameChange>& changes) {
    Transaction transaction(db);
    db.Execute(QStringLiteral("DELETE FROM %1").arg(ChangesTable));
    const QString insert =
        QStringLiteral("INSERT INTO %1 (Kind,Rom,Title,Status,OldRom,OldTitle,OldStatus) VALUES (?1,?2,?3,?4,?5,?6,?7)")
            .arg(ChangesTable);
    for (const GameChange& change : changes)
        db.Execute(insert, {static_cast<int>(change.kind), change.rom, change.title, static_cast<int>(change.status),
                            change.oldRom, change.oldTitle, static_cast<int>(change.oldStatus)});
    transaction.Commit();
}

std::vector<GameChange> LastChanges(Database& db) {
    std::vector<GameChange> changes;
    const auto status = [](const QVariant& value) {
        const int number = value.toInt();
        return number >= 0 && number <= static_cast<int>(GameStatus::NotWorking) ? static_cast<GameStatus>(number)
                                                                                 : GameStatus::Unknown;
    };
    db.Select(QStringLiteral("SELECT Kind,Rom,Title,Status,OldRom,OldTitle,OldStatus FROM %1 ORDER BY rowid")
                  .arg(ChangesTable),
              {}, [&](const std::vector<QVariant>& values) {
                  const int kind = values[0].toInt();
                  // A kind of a later version is left out rather than shown as another.
                  if (kind < static_cast<int>(ChangeKind::Added) || kind > static_cast<int>(ChangeKind::Title))
                      return;
                  changes.push_back({static_cast<ChangeKind>(kind), values[1].toString(), values[2].toString(),
                                     status(values[3]), values[4].toString(), values[5].toString(), status(values[6])});
              });
    return changes;
}

bool HasLastChanges(Database& db) {
    bool any = false;
    if (!db.IsOpen())
        return false;
    db.Select(QStringLiteral("SELECT 1 FROM %1 LIMIT 1").arg(ChangesTable), {},
              [&](const std::vector<QVariant>&) { any = true; });
    return any;
}

bool KeepChanges(Database& db, const ChangeReport& report, MergeOutcome& outcome) {
    const std::vector<GameChange> changes = report.Changes(db);
    try {
        SaveLastChanges(db, changes);
        return !changes.empty();
    } catch (const StoreError& error) {
        if (!error.IsFull())
            throw;
        outcome.remarks << QStringLiteral("The list of what changed could not be written (%1), so the last one was "
                                          "kept.")
                               .arg(error.Text());
        return false;
    }
}

QString ChangesText(const std::vector<GameChange>& changes) {
    QString text;
    for (const ChangeKind kind : Kinds) {
        const auto count =
            std::count_if(changes.begin(), changes.end(), [&](const GameChange& c) { return c.kind == kind; });
        if (count == 0)
            continue;
        if (!text.isEmpty())
            text += QLatin1Char('\n');
        text += QStringLiteral("%1 (%2)\n").arg(ChangeCaption(kind)).arg(count);
        for (const GameChange& change : changes) {
            if (change.kind != kind)
                continue;
            text += QStringLiteral("    %1 [%2]").arg(change.title, change.rom);
            if (const QString detail = ChangeDetail(change); !detail.isEmpty())
                text += QStringLiteral(": ") + detail;
            text += QLatin1Char('\n');
        }
    }
    return text;
}

QString ChangesCsv(const std::vector<GameChange>& changes) {
    QString csv = QStringLiteral("Change,Set,Title,Status,Old Set,Old Title,Old Status\r\n");
    for (const GameChange& change : changes) {
        const bool old =
            change.kind == ChangeKind::Renamed || change.kind == ChangeKind::Status || change.kind == ChangeKind::Title;
        const QStringList fields{ChangeCaption(change.kind),
                                 change.rom,
                                 change.title,
                                 StatusText(change.status),
                                 change.oldRom,
                                 old ? change.oldTitle : QString(),
                                 old ? StatusText(change.oldStatus) : QString()};
        QStringList quoted;
        for (const QString& field : fields)
            quoted << CsvField(field);
        csv += quoted.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    return csv;
}

} // namespace zelvora
