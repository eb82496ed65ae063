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

#include <algorithm>
#include <functional>

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

// Counts a run's verdicts on from the sets verified before it, and hands each count to `seen`.
class RunProgress : public Progress {
public:
    RunProgress(Progress& whole, int done, std::function<void(int)> seen)
        : whole_(whole), done_(done), seen_(std::move(seen)) {}
    void SetText(const QString&) override {}
    void SetRange(int, int) override {}
    void SetValue(int value) override {
        whole_.SetValue(done_ + value);
        seen_(value);
    }
    void OfferCancel() override { whole_.OfferCancel(); }
    bool Cancelled() const override { return whole_.Cancelled(); }

private:
    Progress& whole_;
    int done_;
    std::function<void(int)> seen_;
};

using Entries = std::vector<std::pair<QString, AuditEntry>>;

// The marks a verdict gives, as StoreVerdicts gives them; a set not found loses its Bad ROM and
// gets Missing ROM. Only what differs from `stored` is given.
QVariantHash marksFor(const QString& rom, const AuditEntry& entry, const QVariantHash& stored) {
    const QString notes = Field::Notes, bad = Field::BadRom, missing = Field::MissingRom;
    QVariantHash wanted;
    if (entry.verdict == AuditVerdict::Bad) {
        wanted = {{notes, entry.report.isNull() ? QString(QLatin1String("")) : entry.report}, {bad, 1}};
    } else {
        wanted = {{bad, 0}, {missing, entry.verdict == AuditVerdict::NotFound ? 1 : 0}};
        if (HoldsVerifyDetails(stored.value(notes).toString(), rom))
            wanted.insert(notes, QString(QLatin1String("")));
    }
    QVariantHash changes;
    for (auto it = wanted.cbegin(); it != wanted.cend(); ++it) {
        const QVariant now = stored.value(it.key());
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

void storeMarks(GameStore& catalogue, const Entries& sets) {
    if (sets.size() <= LookedUpOneByOne) {
        const AuditStore audits(catalogue);
        GameWrites writes(catalogue);
        for (const auto& [rom, entry] : sets) {
            const std::optional<QVariantHash> marks = audits.Marks(rom);
            if (!marks)
                continue;
            if (const QVariantHash changes = marksFor(rom, entry, *marks); !changes.isEmpty())
                writes.Write(rom, changes);
        }
        writes.Commit();
        return;
    }
    QStringList names;
    for (const auto& set : sets)
        names << set.first;
    catalogue.ChangeGames(names, {Field::Notes, Field::BadRom, Field::MissingRom},
                          [&](qsizetype i, const QVariantHash* stored) {
                              if (!stored)
                                  return QVariantHash();
                              const auto& [rom, entry] = sets[static_cast<size_t>(i)];
                              return marksFor(rom, entry, *stored);
                          });
}

void count(AuditCounts& counts, const Entries& sets) {
    for (const auto& set : sets) {
        switch (set.second.verdict) {
        case AuditVerdict::Good:
            ++counts.good;
            break;
        case AuditVerdict::Bad:
            ++counts.bad;
            break;
        case AuditVerdict::NotFound:
            ++counts.notFound;
            break;
        }
    }
}

AuditEntry entryOf(const QString& stamp, const TodaysVerifyReader::Verdict* verdict) {
    if (!verdict)
        return {stamp, AuditVerdict::NotFound, {}};
    return {stamp, verdict->bad ? AuditVerdict::Bad : AuditVerdict::Good, verdict->notes};
}

QHash<QString, const TodaysVerifyReader::Verdict*> byName(const std::vector<TodaysVerifyReader::Verdict>& verdicts) {
    QHash<QString, const TodaysVerifyReader::Verdict*> found;
    for (const TodaysVerifyReader::Verdict& verdict : verdicts)
        found.insert(FoldedKey(verdict.name), &verdict);
    return found;
}

} // namespace

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

std::vector<SetNow> SetsNow(GameStore& catalogue, const QString& romPath) {
    const RomSetFiles files(FolderList(romPath));
    const QHash<QString, GameFacts> facts = catalogue.Facts();
    const QHash<QString, QStringList> needed = AuditStore(catalogue).NeededSets();
    std::vector<SetNow> sets;
    QSet<QString> seen;
    catalogue.List(QString(), {Field::Rom, Field::Clone}, [&](const std::vector<QVariant>& values) {
        SetNow set;
        set.rom = TrimBlanks(values[0].toString());
        const QString key = FoldedKey(set.rom);
        if (!auditable(set.rom) || seen.contains(key))
            return;
        seen.insert(key);
        set.stamp = files.Stamp(set.rom, SetsNeeded(set.rom, values[1].toString(), needed));
        set.hasFiles = !set.stamp.isEmpty();
        const auto fact = facts.constFind(key);
        set.needsFiles = !facts.isEmpty() && (fact == facts.constEnd() || fact->needsFiles);
        sets.push_back(std::move(set));
    });
    return sets;
}

AuditPlan PlanAudit(const std::vector<SetNow>& sets, const QHash<QString, AuditEntry>& known) {
    AuditPlan plan;
    for (const SetNow& set : sets) {
        const auto last = known.constFind(FoldedKey(set.rom));
        if (last != known.constEnd() && last->stamp == set.stamp)
            plan.carried.emplace_back(set.rom, *last);
        else if (!set.hasFiles && set.needsFiles)
            plan.notFound.push_back(set);
        else
            plan.ask.push_back(set);
    }
    return plan;
}

AuditOutcome AuditTodaysRoms(GameStore& catalogue, const QString& mamePath, const QString& romPath,
                             ProcessRunner& runner, Progress& progress) {
    AuditOutcome outcome;
    progress.SetText(QStringLiteral("Verifying ROM Sets"));
    progress.OfferCancel();
    AuditStore audits(catalogue);
    const AuditPlan plan = PlanAudit(SetsNow(catalogue, romPath), audits.Entries());

    // The sets MAME is not asked about first: their marks as the last verification left them (a
    // "Clear Status Fields" since cleared them), and those without files not found.
    Entries notFound;
    for (const SetNow& set : plan.notFound)
        notFound.emplace_back(set.rom, AuditEntry{set.stamp, AuditVerdict::NotFound, {}});
    storeMarks(catalogue, plan.carried);
    storeMarks(catalogue, notFound);
    audits.Save(notFound, QDateTime::currentDateTimeUtc());
    outcome.counts.carried = static_cast<int>(plan.carried.size());
    outcome.counts.checked = static_cast<int>(notFound.size());
    count(outcome.counts, plan.carried);
    count(outcome.counts, notFound);

    const int asked = static_cast<int>(plan.ask.size());
    progress.SetRange(0, asked);
    progress.SetValue(0);
    for (int start = 0; start < asked; start += AuditRun) {
        if (progress.Cancelled()) {
            outcome.cancelled = true;
            break;
        }
        const int end = std::min(asked, start + AuditRun);
        QString command = ShellQuote(MameExecutable(mamePath)) + QStringLiteral(" -verifyroms");
        QHash<QString, const SetNow*> named;
        for (int i = start; i < end; ++i) {
            const SetNow& set = plan.ask[static_cast<size_t>(i)];
            command += QLatin1Char(' ') + ShellQuote(set.rom);
            named.insert(FoldedKey(set.rom), &set);
        }
        command += QStringLiteral(" -rompath ") + ShellQuote(romPath.trimmed());

        // MAME's verdicts are stored as they come, AuditBatch at a time, so that a MAME that
        // crashes or is cancelled keeps every set it verified.
        TodaysVerifyReader reader;
        size_t stored = 0;
        const auto store = [&](size_t upTo) {
            Entries verified;
            for (; stored < upTo; ++stored) {
                const TodaysVerifyReader::Verdict& verdict = reader.Verdicts()[stored];
                const QString key = FoldedKey(verdict.name);
                if (const SetNow* set = named.take(key))
                    verified.emplace_back(set->rom, entryOf(set->stamp, &verdict));
            }
            storeMarks(catalogue, verified);
            audits.Save(verified, QDateTime::currentDateTimeUtc());
            outcome.counts.checked += static_cast<int>(verified.size());
            count(outcome.counts, verified);
        };
        RunProgress run(progress, start, [&](int verdicts) {
            if (static_cast<size_t>(verdicts) >= stored + AuditBatch)
                store(static_cast<size_t>(verdicts));
        });
        QElapsedTimer mame;
        mame.start();
        const StreamedRun ended = RunTodaysVerify(command, reader, runner, run);
        outcome.mameMs += mame.elapsed();
        outcome.asked += end - start;
        store(reader.Verdicts().size());
        if (ended.cancelled) {
            outcome.cancelled = true;
            break;
        }
        if (!reader.Problem().isEmpty()) {
            outcome.problem = reader.Problem() + QStringLiteral(" The command was:\n") + command;
            break;
        }
        if (ended.exitCode != 0 && ended.exitCode != 2) {
            outcome.problem = VerifyFailure(ended, command);
            break;
        }
        // MAME says nothing of a set none of whose own files it found; that it said nothing is
        // known only once it has ended well.
        Entries notFoundByMame;
        for (int i = start; i < end; ++i) {
            const SetNow& set = plan.ask[static_cast<size_t>(i)];
            if (named.contains(FoldedKey(set.rom)))
                notFoundByMame.emplace_back(set.rom, entryOf(set.stamp, nullptr));
        }
        storeMarks(catalogue, notFoundByMame);
        audits.Save(notFoundByMame, QDateTime::currentDateTimeUtc());
        outcome.counts.checked += static_cast<int>(notFoundByMame.size());
        count(outcome.counts, notFoundByMame);
        progress.SetValue(end);
    }
    return outcome;
}

void RecordFullAudit(GameStore& catalogue, const std::vector<SetNow>& sets, const VerifyOutcome& outcome) {
    if (outcome.cancelled || !outcome.problem.isEmpty())
        return;
    const auto verdicts = byName(outcome.verdicts);
    Entries entries;
    entries.reserve(sets.size());
    for (const SetNow& set : sets)
        entries.emplace_back(set.rom, entryOf(set.stamp, verdicts.value(FoldedKey(set.rom))));
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
