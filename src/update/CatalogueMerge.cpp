#include "update/CatalogueMerge.h"

#include "launcher/ProcessRunner.h"
#include "launcher/ShellQuote.h"
#include "platform/TextCompare.h"
#include "platform/TextLines.h"
#include "store/Recordset.h"
#include "store/Variables.h"
#include "update/ListingParsers.h"
#include "update/MergedRecords.h"

#include <algorithm>

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

void Step(MergeReport& report, int value) {
    report.SetValue(value);
    report.LetEventsRun();
}

QString CaptureRemark(const std::vector<ListingCapture>& captures, const QString& file) {
    for (const ListingCapture& capture : captures) {
        if (capture.file == file)
            return QStringLiteral(" The command was: %1 (exit code %2).").arg(capture.command).arg(capture.exitCode);
    }
    return {};
}

QString ListingKind(const QString& file) {
    if (file == QLatin1String("Clones.txt"))
        return QStringLiteral("clone listing");
    if (file == QLatin1String("Games.txt"))
        return QStringLiteral("game listing");
    return QStringLiteral("detail listing");
}

QString SkippedRemark(int count, const QString& file, const QString& what) {
    return QStringLiteral("%1 %2 of %3 skipped: %4.")
        .arg(count)
        .arg(count == 1 ? QStringLiteral("line") : QStringLiteral("lines"), file, what);
}

struct Listing {
    QStringList lines;
    bool found = false;
};

Listing Read(const QString& path) {
    std::optional<QStringList> lines = ReadTextLines(path);
    return lines ? Listing{std::move(*lines), true} : Listing{};
}

} // namespace

std::vector<ListingCapture> ListingCommands(const QString& mamePath, const QString& programDir) {
    const QString mame = ShellQuote(mamePath + QStringLiteral("mame"));
    std::vector<ListingCapture> captures;
    for (const auto& [file, option] : {std::pair{"Clones.txt", "-listclones"}, std::pair{"Games.txt", "-listgames"},
                                       std::pair{"Details.txt", "-listdetails"}}) {
        const QString target = programDir + QLatin1Char('/') + QLatin1String(file);
        captures.push_back({QLatin1String(file), mame + QLatin1Char(' ') + QLatin1String(option) +
                                                     QStringLiteral(" > ") + ShellQuote(target)});
    }
    return captures;
}

void CaptureListings(std::vector<ListingCapture>& captures, ProcessRunner& runner) {
    for (ListingCapture& capture : captures)
        capture.exitCode = runner.ExecCmd(capture.command);
}

MergeOutcome MergeListings(Variables& vars, MergeReport& report, const std::vector<ListingCapture>& captures) {
    MergeOutcome outcome;
    Database& db = *vars.CatalogueDb;
    const QString details = QStringLiteral("Details.txt");

    // Phase 1 reads the detail listing first: without games in it the update would take every
    // game for expired, so nothing is changed at all.
    report.SetText(QStringLiteral("Checking for New Games"));
    Listing detailLines = Read(vars.ProgramDir + QLatin1Char('/') + details);
    // A line too short to read as a game may still name its set, which MAME then still lists.
    struct ListedGame {
        int line = 0;
        DetailsEntry entry; // only `name` for a line that was skipped
        bool complete = false;
    };
    std::vector<ListedGame> listed;
    int games = 0;
    int skippedDetails = 0;
    for (int i = DetailsHeadingLines; i < detailLines.lines.size(); ++i) {
        if (std::optional<DetailsEntry> entry = ParseDetailsLine(detailLines.lines[i])) {
            listed.push_back({i, std::move(*entry), true});
            ++games;
            continue;
        }
        ++skippedDetails;
        ListedGame named{i, {}, false};
        named.entry.name = DetailsLineName(detailLines.lines[i]);
        if (!named.entry.name.isEmpty())
            listed.push_back(std::move(named));
    }
    if (games == 0) {
        const QString what = !detailLines.found          ? QStringLiteral("is missing")
                             : detailLines.lines.empty() ? QStringLiteral("is empty")
                                                         : QStringLiteral("lists no games");
        outcome.remarks << QStringLiteral("MAME's detail listing %1 %2, so the catalogue was not changed.%3")
                               .arg(details, what, CaptureRemark(captures, details));
    }
    // A listing that ended with an error may have stopped anywhere: the games after the cut would
    // be taken for expired and deleted with their options.
    for (const ListingCapture& capture : captures) {
        if (capture.exitCode != 0 && !(games == 0 && capture.file == details))
            outcome.remarks << QStringLiteral("MAME's %1 %2 failed, so the catalogue was not changed.%3")
                                   .arg(ListingKind(capture.file), capture.file, CaptureRemark(captures, capture.file));
    }
    if (!outcome.remarks.isEmpty())
        return outcome;
    outcome.merged = true;

    // The phases work on the records in memory and the changes are written at the end, in one
    // transaction: an update that fails on the way leaves the catalogue as it was.
    vars.RomsRecordset = db.OpenRecordset(QStringLiteral("SELECT * FROM ROMS"));
    MergedRecords records(*vars.RomsRecordset);
    // Every game the listing does not name again is expired.
    std::vector<bool> named(static_cast<size_t>(records.Count()));

    int last = static_cast<int>(detailLines.lines.size()) - 1;
    StartPhase(report, QStringLiteral("Checking for New Games"), last, 2);
    for (const auto& [i, game, complete] : listed) {
        Step(report, i);
        int record = records.FindRom(game.name, 2 * i > last);
        if (!complete) {
            if (record >= 0) {
                named[record] = true;
                records.SetValue(record, MergeField::Active, -1);
            }
            continue;
        }
        if (record < 0) {
            record = records.Add();
            named.push_back(true);
            report.NewGame(game.description);
            records.SetValue(record, MergeField::Default, 1);
        }
        named[record] = true;
        records.SetValue(record, MergeField::Rom, game.name);
        records.SetValue(record, MergeField::Driver, game.driver);
        for (size_t c = 0; c < 3; ++c) {
            records.SetValue(record, CpuFields[c], game.cpus[c]);
            records.SetValue(record, SoundFields[c], game.sounds[c]);
        }
        records.SetValue(record, MergeField::Description, game.description);
        records.SetValue(record, MergeField::Active, -1);
    }
    if (skippedDetails > 0)
        outcome.remarks << SkippedRemark(skippedDetails, details, QStringLiteral("too short or without a set name"));
    // Each listing goes once its phase is done: the records hold what the update keeps of it, and
    // the whole MAME set's listings together take as much memory again.
    listed = {};
    detailLines = {};

    report.SetText(QStringLiteral("Checking for Expired Games"));
    report.SetRange(0, std::max(records.Count() - 1, 0));
    report.SetValue(0);
    for (int record = 0; record < records.Count(); ++record) {
        Step(report, record);
        if (named[record])
            continue;
        const QString rom = records.Value(record, MergeField::Rom).toString();
        if (EqualNoCase(rom, DefaultRom)) {
            // Kept, with the flag of a game the listing did not name.
            records.SetValue(record, MergeField::Active, 0);
            continue;
        }
        const QVariant description = records.Value(record, MergeField::Description);
        report.ExpiredGame(description.isNull() ? rom : description.toString());
        records.Remove(record);
    }

    const QString gamelistPath = vars.MamePath + QStringLiteral("gamelist.txt");
    Listing gamelist = Read(gamelistPath);
    if (!gamelist.found) {
        outcome.remarks << QStringLiteral("MAME's game list document %1 is missing, so status words and notes "
                                          "were not gathered.")
                               .arg(gamelistPath);
    } else {
        const GamelistDocument doc = ParseGamelist(gamelist.lines);
        last = static_cast<int>(gamelist.lines.size()) - 1;
        StartPhase(report, QStringLiteral("Gathering Details"), last, 2);
        for (const GamelistRow& row : doc.rows) {
            Step(report, row.line);
            const int record = records.FindRom(row.rom, false);
            if (record < 0)
                continue;
            for (size_t f = 0; f < StatusFields.size(); ++f)
                records.SetValue(record, StatusFields[f], row.status[f]);
        }
        report.SetText(QStringLiteral("Gathering Information"));
        for (const GamelistNote& note : doc.notes) {
            Step(report, note.line);
            const int record = records.FindRom(note.rom, false);
            if (record >= 0)
                records.SetValue(record, MergeField::Notes, note.text);
        }
        if (doc.untitledNotes > 0)
            outcome.remarks << SkippedRemark(doc.untitledNotes, QStringLiteral("gamelist.txt"),
                                             QStringLiteral("note titles without a set name between double quotes"));
    }
    gamelist = {};

    Listing clones = Read(vars.ProgramDir + QStringLiteral("/Clones.txt"));
    last = static_cast<int>(clones.lines.size()) - 1;
    StartPhase(report, QStringLiteral("Checking for Clones"), last, 2);
    for (int i = 0; i <= last; ++i) {
        Step(report, i);
        const ClonesEntry entry = ParseClonesLine(clones.lines[i]);
        const int parent = entry.parent.isEmpty() ? -1 : records.FindRom(entry.parent, 2 * i >= last);
        if (parent < 0)
            continue;
        const int clone = entry.clone.isEmpty() ? -1 : records.FindRom(entry.clone, false);
        if (clone < 0)
            continue;
        records.SetValue(clone, MergeField::Notes, records.Value(parent, MergeField::Notes));
        for (MergeField field : StatusFields)
            records.SetValue(clone, field, records.Value(parent, field));
        records.SetValue(clone, MergeField::Clone, records.Value(parent, MergeField::Rom));
    }
    clones = {};

    Listing makers = Read(vars.ProgramDir + QStringLiteral("/Games.txt"));
    last = static_cast<int>(makers.lines.size()) - 1;
    StartPhase(report, QStringLiteral("Gathering Manufacturers and Dates"), last, 2);
    int skippedGames = 0;
    for (int i = 0; i <= last; ++i) {
        Step(report, i);
        const std::optional<GamesEntry> entry = ParseGamesLine(makers.lines[i]);
        if (!entry) {
            ++skippedGames;
            continue;
        }
        const int record = records.FindDescription(entry->description, 2 * i >= last);
        if (record < 0)
            continue;
        records.SetValue(record, MergeField::Manufacturer, entry->maker);
        records.SetValue(record, MergeField::Date, entry->year);
    }
    if (skippedGames > 0)
        outcome.remarks << SkippedRemark(skippedGames, QStringLiteral("Games.txt"),
                                         QStringLiteral("too short to hold a description"));
    makers = {};

    Transaction transaction(db);
    records.Write(report);
    transaction.Commit();
    return outcome;
}

} // namespace zelvora
