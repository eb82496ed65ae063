#include "checks/RomAudit.h"

#include "checks/RomVerification.h"
#include "launcher/ProcessRunner.h"
#include "launcher/ShellQuote.h"
#include "platform/DirectoryListing.h"
#include "platform/Progress.h"
#include "platform/TextCompare.h"
#include "store/FieldNames.h"
#include "store/FileStamp.h"
#include "store/GameStore.h"
#include "store/ProgramSettings.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSet>

#include <QThread>

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <numeric>

namespace zelvora {

namespace {

QString fileLine(const QString& path) {
    const FileStamp stamp = StampOf(path);
    if (stamp.path.isEmpty())
        return {};
    return QStringLiteral("%1\t%2\t%3\n").arg(stamp.path).arg(stamp.size).arg(stamp.modified);
}

// A folder's mtime does not change when a file inside it is rewritten: its files are stamped.
QString folderLines(const QString& folder) {
    QStringList lines;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        lines << fileLine(it.next());
    lines.sort();
    return lines.join(QString());
}

QString sortedLines(const QString& lines) {
    QStringList each = lines.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    each.sort();
    return each.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

// MAME reads each name on its command line as a pattern, and one starting with "-" as a switch.
bool auditable(const QString& rom) {
    return IsPlainFileName(rom) && !EqualNoCase(rom, DefaultRom) && !rom.startsWith(QLatin1Char('-')) &&
           !rom.contains(QLatin1Char('*')) && !rom.contains(QLatin1Char('?')) && !rom.contains(QLatin1Char('['));
}

// The marks a verdict gives, as StoreVerdicts gives them; a set not found loses its Bad ROM and
// gets Missing ROM. Only what differs from `stored` is given.
QVariantHash marksFor(const QString& rom, const AuditEntry& entry, const RecordedMarks& stored) {
    const QString notes = Field::Notes, bad = Field::BadRom, missing = Field::MissingRom;
    QVariantHash wanted;
    if (entry.verdict == AuditVerdict::Bad) {
        wanted = {{notes, entry.report.isNull() ? QString(QLatin1String("")) : entry.report}, {bad, 1}};
    } else {
        wanted = {{bad, 0}, {missing, entry.verdict == AuditVerdict::NotFound ? 1 : 0}};
        if (HoldsVerifyDetails(stored.notes.toString(), rom))
            wanted.insert(notes, QString(QLatin1String("")));
    }
    QVariantHash changes;
    for (auto it = wanted.cbegin(); it != wanted.cend(); ++it) {
        const QVariant& now = it.key() == notes ? stored.notes : it.key() == bad ? stored.bad : stored.missing;
        const bool same = it.value().typeId() == QMetaType::QString
                              ? !now.isNull() && now.toString() == it.value().toString()
                              : now.typeId() == QMetaType::LongLong && now.toLongLong() == it.value().toInt();
        if (!same)
            changes.insert(it.key(), it.value());
    }
    return changes;
}

// A run's sets are looked up one by one; reading the whole table costs more than that below a
// few thousand sets, and is done for the catalogue's unchanged sets.
constexpr size_t LookedUpOneByOne = 2000;

// Gives the number of games whose marks it changed.
int storeMarks(GameStore& catalogue, const AuditEntries& sets) {
    int changed = 0;
    if (sets.size() <= LookedUpOneByOne) {
        const AuditStore audits(catalogue);
        GameWrites writes(catalogue);
        for (const auto& [rom, entry] : sets) {
            const std::optional<QVariantHash> marks = audits.Marks(rom);
            if (!marks)
                continue;
            if (const QVariantHash changes = marksFor(rom, entry, RecordedMarks::Of(*marks)); !changes.isEmpty()) {
                writes.Write(rom, changes);
                ++changed;
            }
        }
        writes.Commit();
        return changed;
    }
    QStringList names;
    for (const auto& set : sets)
        names << set.first;
    catalogue.ChangeGames(names, {Field::Notes, Field::BadRom, Field::MissingRom},
                          [&](qsizetype i, const QVariantHash* stored) {
                              if (!stored)
                                  return QVariantHash();
                              const auto& [rom, entry] = sets[static_cast<size_t>(i)];
                              QVariantHash changes = marksFor(rom, entry, RecordedMarks::Of(*stored));
                              changed += changes.isEmpty() ? 0 : 1;
                              return changes;
                          });
    return changed;
}

QHash<QString, const TodaysVerifyReader::Verdict*> byName(const std::vector<TodaysVerifyReader::Verdict>& verdicts) {
    QHash<QString, const TodaysVerifyReader::Verdict*> found;
    for (const TodaysVerifyReader::Verdict& verdict : verdicts)
        found.insert(FoldedKey(verdict.name), &verdict);
    return found;
}

} // namespace

void AuditCounts::Add(const AuditEntries& sets) {
    for (const auto& set : sets) {
        switch (set.second.verdict) {
        case AuditVerdict::Good:
            ++good;
            break;
        case AuditVerdict::Bad:
            ++bad;
            break;
        case AuditVerdict::NotFound:
            ++notFound;
            break;
        }
    }
}

AuditEntry VerdictEntry(const QString& stamp, const TodaysVerifyReader::Verdict* verdict) {
    if (!verdict)
        return {stamp, AuditVerdict::NotFound, {}};
    return {stamp, verdict->bad ? AuditVerdict::Bad : AuditVerdict::Good, verdict->notes};
}

RomSetFiles::RomSetFiles(const QStringList& folders) {
    for (const QString& folder : folders) {
        if (folder.trimmed().isEmpty())
            continue;
        QDirIterator it(folder, QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
        while (it.hasNext()) {
            const QString path = it.next();
            QString name = it.fileName();
            if (it.fileInfo().isDir()) {
                files_[FoldedKey(name)] += folderLines(path);
                continue;
            }
            const qsizetype extension = name.endsWith(QLatin1String(".zip"), Qt::CaseInsensitive)  ? 4
                                        : name.endsWith(QLatin1String(".7z"), Qt::CaseInsensitive) ? 3
                                                                                                   : 0;
            if (extension == 0)
                continue;
            name.chop(extension);
            files_[FoldedKey(name)] += fileLine(path);
        }
    }
    // The order a folder lists its files in is no change of the set.
    for (QString& lines : files_) {
        if (lines.count(QLatin1Char('\n')) > 1)
            lines = sortedLines(lines);
    }
}

QString RomSetFiles::Files(const QString& rom) const {
    return files_.value(FoldedKey(rom));
}

QString RomSetFiles::Stamp(const QString& rom, const NeededSets& needed) const {
    QString text = Files(rom);
    bool any = !text.isEmpty();
    if (!needed.parent.isEmpty()) {
        const QString files = Files(needed.parent);
        any = any || !files.isEmpty();
        text += QLatin1Char('>') + files;
    }
    if (!any)
        return {};
    for (const QString& set : needed.others) {
        if (const QString files = Files(set); !files.isEmpty())
            text += QLatin1Char('+') + FoldedKey(set) + QLatin1Char('\n') + files;
    }
    return QString::fromLatin1(QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha1).toHex());
}

NeededSets SetsNeeded(const QString& rom, const QString& clone, const QHash<QString, QStringList>& needed) {
    NeededSets sets{TrimBlanks(clone), {}};
    QSet<QString> seen{FoldedKey(rom)};
    QStringList next{rom};
    if (!sets.parent.isEmpty()) {
        seen.insert(FoldedKey(sets.parent));
        next << sets.parent;
    }
    // Breadth first: a set's own needs come before its parent's.
    for (qsizetype i = 0; i < next.size(); ++i) {
        for (const QString& set : needed.value(FoldedKey(next[i]))) {
            if (!seen.contains(FoldedKey(set))) {
                seen.insert(FoldedKey(set));
                sets.others << set;
                next << set;
            }
        }
    }
    return sets;
}

std::vector<SetNow> StampSets(const std::vector<RecordedSet>& sets, const QHash<QString, QStringList>& needed,
                              const QString& romPath) {
    const RomSetFiles files(FolderList(romPath));
    std::vector<SetNow> stamped;
    stamped.reserve(sets.size());
    for (const RecordedSet& set : sets) {
        QString stamp = files.Stamp(set.rom, SetsNeeded(set.rom, set.clone, needed));
        const bool hasFiles = !stamp.isEmpty();
        stamped.push_back({set.rom, std::move(stamp), hasFiles, set.needsFiles, set.marks});
    }
    return stamped;
}

std::vector<SetNow> SetsNow(GameStore& catalogue, const QString& romPath) {
    const AuditStart start = ReadAuditStart(catalogue);
    return StampSets(RecordedSets(start), start.needed, romPath);
}

AuditPlan PlanAudit(const std::vector<SetNow>& sets, const QHash<QString, AuditEntry>& known) {
    AuditPlan plan;
    for (const SetNow& set : sets) {
        const auto last = known.constFind(FoldedKey(set.rom));
        if (last != known.constEnd() && last->stamp == set.stamp) {
            plan.carried.emplace_back(set.rom, *last);
            if (!marksFor(set.rom, *last, set.marks).isEmpty())
                plan.restore.emplace_back(set.rom, *last);
        } else if (!set.hasFiles && set.needsFiles)
            plan.notFound.push_back(set);
        else
            plan.ask.push_back(set);
    }
    return plan;
}

AuditStart ReadAuditStart(GameStore& catalogue) {
    AuditStart start;
    start.records.reserve(static_cast<size_t>(catalogue.RecordCount()));
    catalogue.List(QString(), {Field::Rom, Field::Clone, Field::Notes, Field::BadRom, Field::MissingRom},
                   [&](const std::vector<QVariant>& values) {
                       start.records.push_back(
                           {values[0].toString(), values[1].toString(), true, {values[2], values[3], values[4]}});
                   });
    start.filesNeeded = catalogue.FilesNeeded();
    const AuditStore audits(catalogue);
    start.needed = audits.NeededSets();
    start.known = audits.Entries();
    return start;
}

std::vector<RecordedSet> RecordedSets(const AuditStart& start) {
    QHash<QString, bool> needsFiles;
    needsFiles.reserve(static_cast<qsizetype>(start.filesNeeded.size()));
    for (const auto& [rom, needs] : start.filesNeeded)
        needsFiles.insert(FoldedKey(rom), needs);
    std::vector<RecordedSet> sets;
    sets.reserve(start.records.size());
    QSet<QString> seen;
    for (RecordedSet set : start.records) {
        set.rom = TrimBlanks(set.rom);
        const QString key = FoldedKey(set.rom);
        if (!auditable(set.rom) || seen.contains(key))
            continue;
        seen.insert(key);
        const auto fact = needsFiles.constFind(key);
        set.needsFiles = !needsFiles.isEmpty() && (fact == needsFiles.constEnd() || *fact);
        sets.push_back(std::move(set));
    }
    return sets;
}

int StoreAuditVerdicts(GameStore& catalogue, const AuditVerdicts& verdicts) {
    const int changed = storeMarks(catalogue, verdicts.entries);
    if (!verdicts.carried)
        AuditStore(catalogue).Save(verdicts.entries, QDateTime::currentDateTimeUtc());
    return changed;
}

RecordedMarks RecordedMarks::Of(const QVariantHash& fields) {
    return {fields.value(Field::Notes), fields.value(Field::BadRom), fields.value(Field::MissingRom)};
}

AuditOutcome AuditTodaysRoms(GameStore& catalogue, const QString& mamePath, const QString& romPath,
                             ProcessRunner& runner, Progress& progress) {
    return RunAudit(ReadAuditStart(catalogue), mamePath, romPath, runner, progress,
                    [&](const AuditVerdicts& verdicts) { StoreAuditVerdicts(catalogue, verdicts); });
}

void RecordFullAudit(GameStore& catalogue, const std::vector<SetNow>& sets, const VerifyOutcome& outcome) {
    if (outcome.cancelled || !outcome.problem.isEmpty())
        return;
    const auto verdicts = byName(outcome.verdicts);
    AuditEntries entries;
    entries.reserve(sets.size());
    for (const SetNow& set : sets)
        entries.emplace_back(set.rom, VerdictEntry(set.stamp, verdicts.value(FoldedKey(set.rom))));
    AuditStore(catalogue).Save(entries, QDateTime::currentDateTimeUtc());
}

QString AuditSummary(const AuditCounts& counts) {
    return QStringLiteral("Verify ROMS: %1 sets checked, %2 taken from the last audit; %3 good, %4 bad, %5 not found")
        .arg(counts.checked)
        .arg(counts.carried)
        .arg(counts.good)
        .arg(counts.bad)
        .arg(counts.notFound);
}

} // namespace zelvora
