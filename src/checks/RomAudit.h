#pragma once

#include "checks/RomVerification.h"
#include "store/AuditStore.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantHash>

#include <functional>
#include <utility>
#include <vector>

namespace zelvora {

class GameStore;
class ProcessRunner;
class Progress;

// The other sets whose files MAME reads to verify a set: its parent, as the catalogue names it
// (Clone), and the sets the last update from today's MAME told it takes ROMs from, followed on
// (a clone's parent's BIOS), each once: its BIOS and its devices with ROMs of their own.
struct NeededSets {
    QString parent;
    QStringList others;
};
NeededSets SetsNeeded(const QString& rom, const QString& clone, const QHash<QString, QStringList>& needed);

// The ROM sets in the ROM folders, listed once: each set's "<rom>.zip", "<rom>.7z" and folder
// "<rom>" (with the files inside it) in every folder, by path, size and modification time.
class RomSetFiles {
public:
    explicit RomSetFiles(const QStringList& folders);

    // The set's files, one line each; empty when it has none.
    QString Files(const QString& rom) const;
    // What a set's verdict depends on: its own files and those of the sets it needs
    // (SetsNeeded), as a hash; empty when neither it nor its parent has a file, as MAME finds
    // nothing of a set then. The other sets count only with files, each after its name: a set
    // that needs no more than its parent keeps the stamp it had before they counted.
    QString Stamp(const QString& rom, const NeededSets& needed) const;

private:
    QHash<QString, QString> files_; // folded set name -> its files' lines
};

// What a verification leaves in a game's record: Notes, Bad ROM and Missing ROM, as read.
struct RecordedMarks {
    QVariant notes, bad, missing;
    static RecordedMarks Of(const QVariantHash& fields);
};

// A set as the catalogue records it, before its files are looked at.
struct RecordedSet {
    QString rom;
    QString clone; // its parent, as the Clone field names it
    // As today's listing says (GameFacts); a set without facts needs files, unless no set has
    // any (the catalogue was not made from today's MAME): MAME is asked then.
    bool needsFiles = true;
    RecordedMarks marks;
};
// A set with the stamp of its files now.
struct SetNow {
    QString rom;
    QString stamp;
    bool hasFiles = false; // it or its parent has a file
    bool needsFiles = true;
    RecordedMarks marks;
};
// The sets with their stamps, from one listing of the ROM folders; no catalogue is read.
// `needed`: AuditStore::NeededSets.
std::vector<SetNow> StampSets(const std::vector<RecordedSet>& sets, const QHash<QString, QStringList>& needed,
                              const QString& romPath);
std::vector<SetNow> SetsNow(GameStore& catalogue, const QString& romPath);

// What "Verify ROMS" has to do: the sets MAME is asked about, those found without files (not
// found without asking), and those whose files are as they were at their last verification
// (carried), of which `restore` are those whose marks differ from that verification's verdict (a
// "Clear Status Fields" since cleared them).
using AuditEntries = std::vector<std::pair<QString, AuditEntry>>;
struct AuditPlan {
    std::vector<SetNow> ask;
    std::vector<SetNow> notFound;
    AuditEntries carried;
    AuditEntries restore;
};
AuditPlan PlanAudit(const std::vector<SetNow>& sets, const QHash<QString, AuditEntry>& known);

struct AuditCounts {
    int checked = 0; // verdicts of this run, MAME's and those of sets without files
    int carried = 0; // taken from the last verification
    int good = 0, bad = 0, notFound = 0;
    // Counts the verdicts as good, bad or not found.
    void Add(const AuditEntries& verdicts);
};

// A set's entry for MAME's verdict on it; none (MAME said nothing of it) is not found.
AuditEntry VerdictEntry(const QString& stamp, const TodaysVerifyReader::Verdict* verdict);

struct AuditOutcome {
    AuditCounts counts;
    bool cancelled = false;
    QString problem;   // why MAME stopped verifying; the batches verified before it are kept
    int asked = 0;     // the sets MAME verified
    qint64 mameMs = 0; // the time MAME took, of the whole run's
};

// How many sets one run of MAME is asked about: few runs, as each start of MAME costs a
// fraction of a second, and a command line far below any system's limit.
inline constexpr int AuditRun = 4000;
// How many of MAME's verdicts are stored at a time, while it goes on verifying.
inline constexpr int AuditBatch = 200;

// What an audit starts from, read from the catalogue before anything else runs.
// Read on the window's thread, which the catalogue's connection belongs to: the records as they
// come, sorted out by RecordedSets on the audit's own thread.
struct AuditStart {
    std::vector<RecordedSet> records;                  // as read: needsFiles not yet set
    std::vector<std::pair<QString, bool>> filesNeeded; // GameStore::FilesNeeded
    QHash<QString, QStringList> needed;                // AuditStore::NeededSets
    QHash<QString, AuditEntry> known;                  // the last verification's entries (AuditStore::Entries)
};
AuditStart ReadAuditStart(GameStore& catalogue);
// Every game of the catalogue, the default record and names MAME would read as a pattern left
// out, each set name once, with whether it needs files.
std::vector<RecordedSet> RecordedSets(const AuditStart& start);

// Verdicts for the catalogue: `carried` ones are restored from the last verification and only
// their marks are written; the others are new and go to the audit table too.
struct AuditVerdicts {
    AuditEntries entries;
    bool carried = false;
};
// Writes the verdicts' marks to ROMS (Bad ROM and the notes as StoreVerdicts stores them, a set not
// found Missing ROM 1 and Bad ROM 0) and new verdicts to the audit table, one transaction each.
// Gives the number of games whose marks changed.
int StoreAuditVerdicts(GameStore& catalogue, const AuditVerdicts& verdicts);

// How many runs of MAME verify side by side: one per processor, at most four, and none with fewer
// than AuditLaneSets sets (a start of MAME costs a fraction of a second).
inline constexpr int AuditLaneSets = 200;
int AuditLanes(int asked);

// "Verify ROMS" with today's MAME, without the catalogue: stamps the sets' files, plans the run
// (PlanAudit), hands `store` the unchanged sets' last verdicts and the sets without files as not
// found, then asks MAME about the rest ("-verifyroms a b c ... -rompath <romPath>", AuditRun sets a
// run, AuditLanes runs at a time). MAME's verdicts reach `store` AuditBatch at a time as it prints
// them; a set MAME says nothing of is not found, which is known only once its run ended well. A
// cancel stops every run there; after a failing run the runs beside it end and no other starts;
// either way every verdict MAME printed is handed on. `store` is called one call at a time, from
// whichever thread a run is read on.
AuditOutcome RunAudit(const AuditStart& start, const QString& mamePath, const QString& romPath, ProcessRunner& runner,
                      Progress& progress, const std::function<void(AuditVerdicts)>& store);

// RunAudit over the catalogue, storing as it goes (StoreAuditVerdicts).
AuditOutcome AuditTodaysRoms(GameStore& catalogue, const QString& mamePath, const QString& romPath,
                             ProcessRunner& runner, Progress& progress);

// Stores a full verification's verdicts (VerifyTodaysRoms) in the audit table with the stamps the
// sets had before it ran: a set without a verdict is not found.
void RecordFullAudit(GameStore& catalogue, const std::vector<SetNow>& sets, const VerifyOutcome& outcome);

// The status bar's line for a finished audit.
QString AuditSummary(const AuditCounts& counts);

} // namespace zelvora
