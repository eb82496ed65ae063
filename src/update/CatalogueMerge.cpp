#include "update/CatalogueMerge.h"

#include "launcher/ProcessRunner.h"
#include "platform/TextCompare.h"
#include "platform/TextLines.h"
#include "store/FieldNames.h"
#include "store/MergedRecords.h"
#include "store/StoreError.h"
#include "store/Variables.h"
#include "update/ListingParsers.h"
#include "update/MachineFacts.h"
#include "update/MachineListing.h"
#include "update/MachineRefusals.h"
#include "update/RenamedSets.h"

#include <QFile>
#include <QSet>

#include <algorithm>
#include <cstring>
#include <functional>

namespace zelvora {

namespace {

const std::array<MergeField, 3> CpuFields = {MergeField::Cpu1, MergeField::Cpu2, MergeField::Cpu3};
const std::array<MergeField, 3> SoundFields = {MergeField::Sound1, MergeField::Sound2, MergeField::Sound3};
const std::array<MergeField, 5> StatusFields = {MergeField::Playable, MergeField::Colors, MergeField::Sound,
                                                MergeField::HiScore, MergeField::Cocktail};

// The progress bar over the lines 0 to last of a listing. A listing of fewer than three lines
// still gets a range that holds the first value.
void StartPhase(MergeReport& report, const QString& text, int last, int first) {
    report.SetText(text);
    report.SetRange(0, std::max(last, first));
    report.SetValue(first);
}

// Thrown out of the phases when the user cancels, before anything is written.
struct MergeCancelled {};

void Step(MergeReport& report, int value) {
    report.SetValue(value);
    if (report.Cancelled())
        throw MergeCancelled{};
}

QString CaptureRemark(const std::vector<ListingCapture>& captures, const QString& file) {
    for (const ListingCapture& capture : captures) {
        if (capture.file == file)
            return QStringLiteral(" The command was: %1 (exit code %2).")
                .arg(capture.command, QString::number(capture.exitCode));
    }
    return {};
}

const QString DetailsFile = QStringLiteral("Details.txt");
const QString GamesFile = QStringLiteral("Games.txt");
const QString ClonesFile = QStringLiteral("Clones.txt");

QString ListingKind(const QString& file) {
    return file == ClonesFile  ? QStringLiteral("clone listing")
           : file == GamesFile ? QStringLiteral("game listing")
                               : QStringLiteral("detail listing");
}

QString SkippedRemark(int count, const QString& file, const QString& what) {
    return QStringLiteral("%1 %2 of %3 skipped: %4.")
        .arg(count)
        .arg(count == 1 ? QStringLiteral("line") : QStringLiteral("lines"), file, what);
}

// MAME's listings are read twice and never held whole: their lines are counted first, which give the
// progress range and the direction of each search, then read one at a time.
struct ListingFile {
    QString name; // "Details.txt"
    QString path;
    bool found = false;
    int lines = 0; // counted up to one past MaxListedGames
};

// Counted by their ends, as TextLineReader reads them, without making text of them.
ListingFile CountListing(const QString& programDir, const QString& name) {
    ListingFile file{name, programDir + QLatin1Char('/') + name};
    QFile in(file.path);
    file.found = in.open(QIODevice::ReadOnly);
    QByteArray block(TextLineReader::BlockSize, Qt::Uninitialized);
    bool open = false; // a line has begun and not ended
    for (qint64 got; file.lines <= MaxListedGames && (got = in.read(block.data(), block.size())) > 0;) {
        for (const char *at = block.constData(), *end = at + got; at < end;) {
            const auto* lineEnd = static_cast<const char*>(std::memchr(at, '\n', static_cast<size_t>(end - at)));
            if (lineEnd == nullptr) {
                open = true;
                break;
            }
            ++file.lines;
            open = false;
            at = lineEnd + 1;
        }
    }
    file.lines += open;
    return file;
}

template <typename Each> void EachLine(const ListingFile& file, Each each) {
    TextLineReader reader(file.path);
    QString line;
    for (int i = 0; i < file.lines && reader.Next(line); ++i)
        each(i, line);
}

// A line too short to read as a game may still name its set, which MAME then still lists.
struct ListedGame {
    int line = 0;
    DetailsEntry entry; // only `name` for a line that was skipped
    bool complete = false;
};

struct DetailListing {
    ListingFile file;
    std::vector<ListedGame> listed;
    int games = 0;
    int skipped = 0;
    int tooLong = 0; // of the skipped lines
};

DetailListing ReadDetails(const ListingFile& file) {
    DetailListing details{file, {}, 0, 0, 0};
    if (file.lines > MaxListedGames)
        return details;
    EachLine(file, [&](int i, const QString& line) {
        if (i < DetailsHeadingLines)
            return;
        std::optional<DetailsEntry> entry = ParseDetailsLine(line);
        if (entry && IsSetName(entry->name)) {
            details.listed.push_back({i, std::move(*entry), true});
            ++details.games;
            return;
        }
        ++details.skipped;
        details.tooLong += line.size() > MaxDetailsLine;
        ListedGame named{i, {}, false};
        named.entry.name = DetailsLineName(line);
        if (IsSetName(named.entry.name))
            details.listed.push_back(std::move(named));
    });
    return details;
}

// Why the catalogue must stay as it is, or nothing. Without games in the detail listing the update
// would take every game for expired.
QStringList Refusals(const DetailListing& details, const std::vector<ListingFile>& listings,
                     const std::vector<ListingCapture>& captures) {
    QStringList remarks;
    if (details.games == 0 && details.file.lines <= MaxListedGames) {
        const QString what = !details.file.found       ? QStringLiteral("is missing")
                             : details.file.lines == 0 ? QStringLiteral("is empty")
                                                       : QStringLiteral("lists no games");
        remarks << QStringLiteral("MAME's detail listing %1 %2, so the catalogue was not changed.%3")
                       .arg(DetailsFile, what, CaptureRemark(captures, DetailsFile));
    }
    // Each game takes room until the update's end: a listing longer than any MAME gives is not read.
    for (const ListingFile& listing : listings) {
        if (listing.lines > MaxListedGames)
            remarks << QStringLiteral("MAME's %1 %2 has more than %3 lines, so the catalogue was not changed.%4")
                           .arg(ListingKind(listing.name), listing.name, QString::number(MaxListedGames),
                                CaptureRemark(captures, listing.name));
    }
    // A listing that ended with an error may have stopped anywhere: the games after the cut would
    // be taken for expired and deleted with their options.
    for (const ListingCapture& capture : captures) {
        if (capture.exitCode != 0 && !(details.games == 0 && capture.file == DetailsFile))
            remarks << QStringLiteral("MAME's %1 %2 failed, so the catalogue was not changed.%3")
                           .arg(ListingKind(capture.file), capture.file, CaptureRemark(captures, capture.file));
    }
    return remarks;
}

// What the phases share. Each phase reads its own listing and lets it go when it is done: the
// records hold what the update keeps of it, and the whole MAME set's listings together take as
// much memory again.
struct Merge {
    MergedRecords& records;
    MergeReport& report;
    QStringList& remarks;
    // Every game the listing does not name again is expired.
    std::vector<bool> named;
    // The set names of renamed games (FoldedKey), of before and of now: neither new nor expired.
    QSet<QString> renamedFrom, renamedTo;
};

// The game's record, found or added as a new game, takes what MAME says of it.
void ListGame(Merge& m, const DetailsEntry& game, bool fromLast) {
    int record = m.records.FindRom(game.name, fromLast);
    if (record < 0) {
        record = m.records.Add();
        m.named.push_back(true);
        if (!m.renamedTo.contains(FoldedKey(game.name)))
            m.report.NewGame(game.description);
        m.records.SetValue(record, MergeField::Default, 1);
    }
    m.named[record] = true;
    m.records.SetValue(record, MergeField::Rom, game.name);
    m.records.SetValue(record, MergeField::Driver, game.driver);
    for (size_t c = 0; c < 3; ++c) {
        m.records.SetValue(record, CpuFields[c], game.cpus[c]);
        m.records.SetValue(record, SoundFields[c], game.sounds[c]);
    }
    m.records.SetValue(record, MergeField::Description, game.description);
    m.records.SetValue(record, MergeField::Active, -1);
}

void CheckNewGames(Merge& m, DetailListing details) {
    const int last = details.file.lines - 1;
    StartPhase(m.report, QStringLiteral("Checking for New Games"), last, 2);
    for (const auto& [i, game, complete] : details.listed) {
        Step(m.report, i);
        if (complete) {
            ListGame(m, game, 2 * i > last);
        } else if (const int record = m.records.FindRom(game.name, 2 * i > last); record >= 0) {
            m.named[record] = true;
            m.records.SetValue(record, MergeField::Active, -1);
        }
    }
    if (details.skipped > details.tooLong)
        m.remarks << SkippedRemark(details.skipped - details.tooLong, DetailsFile,
                                   QStringLiteral("too short or without a set name"));
    if (details.tooLong > 0)
        m.remarks << SkippedRemark(details.tooLong, DetailsFile, QStringLiteral("too long"));
}

void CheckExpiredGames(Merge& m) {
    m.report.SetText(QStringLiteral("Checking for Expired Games"));
    m.report.SetRange(0, std::max(m.records.Count() - 1, 0));
    m.report.SetValue(0);
    for (int record = 0; record < m.records.Count(); ++record) {
        Step(m.report, record);
        if (m.named[record])
            continue;
        const QString rom = m.records.Value(record, MergeField::Rom).toString();
        if (EqualNoCase(rom, DefaultRom)) {
            // Kept, with the flag of a game the listing did not name.
            m.records.SetValue(record, MergeField::Active, 0);
            continue;
        }
        const QVariant description = m.records.Value(record, MergeField::Description);
        if (!m.renamedFrom.contains(FoldedKey(rom)))
            m.report.ExpiredGame(description.isNull() ? rom : description.toString());
        m.records.Remove(record);
    }
}

void SetStatusWords(Merge& m, int record, const std::array<QString, 5>& status) {
    for (size_t f = 0; f < StatusFields.size(); ++f)
        m.records.SetValue(record, StatusFields[f], status[f]);
}

// The status words of the document's table; `last` is the document's last line.
void GatherDetails(Merge& m, const GamelistDocument& doc, int last) {
    StartPhase(m.report, QStringLiteral("Gathering Details"), last, 2);
    for (const GamelistRow& row : doc.rows) {
        Step(m.report, row.line);
        if (const int record = m.records.FindRom(row.rom, false); record >= 0)
            SetStatusWords(m, record, row.status);
    }
}

// The notes below the table, on the progress range of the status words.
void GatherInformation(Merge& m, const GamelistDocument& doc) {
    m.report.SetText(QStringLiteral("Gathering Information"));
    for (const GamelistNote& note : doc.notes) {
        Step(m.report, note.line);
        const int record = m.records.FindRom(note.rom, false);
        if (record >= 0)
            m.records.SetValue(record, MergeField::Notes, note.text);
    }
    if (doc.untitledNotes > 0)
        m.remarks << SkippedRemark(doc.untitledNotes, QStringLiteral("gamelist.txt"),
                                   QStringLiteral("note titles without a set name between double quotes"));
}

// MAME's game list document is held whole, as its notes are found by looking ahead; one far
// longer than any that came with MAME is not read.
constexpr int MaxGamelistLines = 2'000'000;
constexpr qsizetype MaxGamelistCharacters = 64 * 1024 * 1024;

void GatherFromGamelist(Merge& m, const QString& path) {
    TextLineReader reader(path);
    if (!reader.IsOpen()) {
        m.remarks << QStringLiteral("MAME's game list document %1 is missing, so status words and notes "
                                    "were not gathered.")
                         .arg(path);
        return;
    }
    QStringList lines;
    qsizetype characters = 0;
    for (QString line; reader.Next(line); lines.append(line)) {
        characters += line.size();
        if (lines.size() >= MaxGamelistLines || characters > MaxGamelistCharacters) {
            m.remarks << QStringLiteral("MAME's game list document %1 is too long, so status words and notes "
                                        "were not gathered.")
                             .arg(path);
            return;
        }
    }
    const GamelistDocument doc = ParseGamelist(lines);
    GatherDetails(m, doc, static_cast<int>(lines.size()) - 1);
    GatherInformation(m, doc);
}

void CheckClones(Merge& m, const ListingFile& clones) {
    const int last = clones.lines - 1;
    StartPhase(m.report, QStringLiteral("Checking for Clones"), last, 2);
    EachLine(clones, [&](int i, const QString& line) {
        Step(m.report, i);
        const ClonesEntry entry = ParseClonesLine(line);
        const int parent = entry.parent.isEmpty() ? -1 : m.records.FindRom(entry.parent, 2 * i >= last);
        if (parent < 0)
            return;
        const int clone = entry.clone.isEmpty() ? -1 : m.records.FindRom(entry.clone, false);
        if (clone < 0)
            return;
        m.records.SetValue(clone, MergeField::Notes, m.records.Value(parent, MergeField::Notes));
        for (MergeField field : StatusFields)
            m.records.SetValue(clone, field, m.records.Value(parent, field));
        m.records.SetValue(clone, MergeField::Clone, m.records.Value(parent, MergeField::Rom));
    });
}

void GatherManufacturersAndDates(Merge& m, const ListingFile& makers) {
    const int last = makers.lines - 1;
    StartPhase(m.report, QStringLiteral("Gathering Manufacturers and Dates"), last, 2);
    int skipped = 0, tooLong = 0;
    EachLine(makers, [&](int i, const QString& line) {
        Step(m.report, i);
        const std::optional<GamesEntry> entry = ParseGamesLine(line);
        if (!entry) {
            ++(line.size() > MaxGamesLine ? tooLong : skipped);
            return;
        }
        const int record = m.records.FindDescription(entry->description, 2 * i >= last);
        if (record < 0)
            return;
        m.records.SetValue(record, MergeField::Manufacturer, entry->maker);
        m.records.SetValue(record, MergeField::Date, entry->year);
    });
    if (skipped > 0)
        m.remarks << SkippedRemark(skipped, GamesFile, QStringLiteral("too short to hold a description"));
    if (tooLong > 0)
        m.remarks << SkippedRemark(tooLong, GamesFile, QStringLiteral("too long"));
}

// Phase 1 over today's MAME's listing. It runs once the listing has turned out whole, so the window
// never lists new games that a refused update did not add.
void CheckNewMachines(Merge& m, const std::vector<ListedMachine>& machines) {
    StartPhase(m.report, QStringLiteral("Checking for New Games"), static_cast<int>(machines.size()) - 1, 0);
    for (size_t i = 0; i < machines.size(); ++i) {
        Step(m.report, static_cast<int>(i));
        ListGame(m, machines[i].game, false);
    }
}

// A later phase over today's MAME's listing: each machine's record takes what `set` gives it.
template <typename Set>
void EachMachine(Merge& m, const QString& text, const std::vector<ListedMachine>& machines, Set set) {
    StartPhase(m.report, text, static_cast<int>(machines.size()) - 1, 0);
    for (size_t i = 0; i < machines.size(); ++i) {
        Step(m.report, static_cast<int>(i));
        if (const int record = m.records.FindRom(machines[i].game.name, false); record >= 0)
            set(record, machines[i]);
    }
}

// The phases work on the records in memory and the changes are written at the end, in one
// transaction: an update that fails or is cancelled on the way leaves the catalogue as it was.
// Once the writing has begun, the update runs to its end.
// `written` goes on in that transaction once the records are written.
template <typename Phases>
void MergeInMemory(Variables& vars, MergeReport& report, MergeOutcome& outcome, Phases phases,
                   const std::function<void()>& written = {}) {
    Database& db = *vars.CatalogueDb;
    MergedRecords records(db);
    Merge merge{records, report, outcome.remarks, std::vector<bool>(static_cast<size_t>(records.Count())), {}, {}};
    try {
        phases(merge);
    } catch (const MergeCancelled&) {
        outcome = UpdateCancelled();
        return;
    }
    outcome.merged = true;

    try {
        Transaction transaction(db);
        records.Write();
        if (written)
            written();
        transaction.Commit();
    } catch (const StoreError& error) {
        // A disk without room is no fault of the catalogue, which the rollback leaves as it was.
        if (!error.IsFull())
            throw;
        outcome.merged = false;
        outcome.remarks = {
            QStringLiteral("The catalogue could not be written (%1), so it was not changed.").arg(error.Text())};
    }
}

} // namespace

MergeOutcome UpdateCancelled() {
    return {false, {QStringLiteral("The update was cancelled, so the catalogue was not changed.")}};
}

MergeOutcome MergeListings(Variables& vars, MergeReport& report, const std::vector<ListingCapture>& captures) {
    MergeOutcome outcome;
    report.SetText(QStringLiteral("Checking for New Games"));
    // What is left of a listing that could not be written is not read.
    for (const ListingCapture& capture : captures) {
        if (!capture.error.isEmpty())
            outcome.remarks << QStringLiteral("MAME's %1 %2 could not be written (%3), so the catalogue was not "
                                              "changed.%4")
                                   .arg(ListingKind(capture.file), capture.file, capture.error,
                                        CaptureRemark(captures, capture.file));
    }
    if (!outcome.remarks.isEmpty()) {
        RemoveCaptures(captures);
        return outcome;
    }
    const ListingFile clones = CountListing(vars.ProgramDir, ClonesFile);
    const ListingFile games = CountListing(vars.ProgramDir, GamesFile);
    DetailListing details = ReadDetails(CountListing(vars.ProgramDir, DetailsFile));
    outcome.remarks = Refusals(details, {clones, games, details.file}, captures);
    if (!outcome.remarks.isEmpty()) {
        RemoveCaptures(captures);
        return outcome;
    }
    MergeInMemory(vars, report, outcome, [&](Merge& merge) {
        CheckNewGames(merge, std::move(details));
        CheckExpiredGames(merge);
        GatherFromGamelist(merge, vars.MamePath + QStringLiteral("gamelist.txt"));
        CheckClones(merge, clones);
        GatherManufacturersAndDates(merge, games);
    });
    if (!outcome.merged)
        RemoveCaptures(captures);
    return outcome;
}

MergeOutcome MergeMachineListing(Variables& vars, MergeReport& report, const MachineListing& listing) {
    MergeOutcome outcome;
    outcome.remarks = MachineRefusals(listing);
    if (!outcome.remarks.isEmpty())
        return outcome;
    if (listing.malformed > 0)
        outcome.remarks << QStringLiteral("%1 %2 of MAME's machine listing skipped: without a set name or too long "
                                          "to read.")
                               .arg(listing.malformed)
                               .arg(listing.malformed == 1 ? QStringLiteral("machine") : QStringLiteral("machines"));
    const std::vector<ListedMachine>& machines = listing.machines;
    RenamedSets renamed;
    MergeInMemory(
        vars, report, outcome,
        [&](Merge& merge) {
            if (listing.fingerprints)
                renamed.Find(
                    *vars.CatalogueDb, machines,
                    [&](const QString& rom) { return merge.records.FindRom(rom, false) >= 0; }, report);
            for (const RenamedSets::Renamed& set : renamed.Renames()) {
                merge.renamedFrom.insert(FoldedKey(set.from));
                merge.renamedTo.insert(FoldedKey(set.to));
            }
            CheckNewMachines(merge, machines);
            CheckExpiredGames(merge);
            // MAME lists no notes any more: each game keeps its own.
            EachMachine(
                merge, QStringLiteral("Gathering Details"), machines,
                [&](int record, const ListedMachine& machine) { SetStatusWords(merge, record, machine.status); });
            EachMachine(merge, QStringLiteral("Checking for Clones"), machines,
                        [&](int record, const ListedMachine& machine) {
                            merge.records.SetValue(record, MergeField::Clone, machine.clone);
                        });
            EachMachine(merge, QStringLiteral("Gathering Manufacturers and Dates"), machines,
                        [&](int record, const ListedMachine& machine) {
                            merge.records.SetValue(record, MergeField::Manufacturer, machine.manufacturer);
                            merge.records.SetValue(record, MergeField::Date, machine.year);
                        });
        },
        [&] {
            if (listing.fingerprints)
                renamed.Move(*vars.CatalogueDb, machines);
        });
    if (outcome.merged)
        StoreMachineFacts(*vars.CatalogueDb, machines, outcome);
    return outcome;
}

} // namespace zelvora
