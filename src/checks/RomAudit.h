#pragma once

#include "store/AuditStore.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <vector>

namespace zelvora {

class GameStore;
class ProcessRunner;
class Progress;
struct VerifyOutcome;

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

// Every game of the catalogue (the default record and names MAME would read as a pattern left out)
// with the stamp of its files now.
struct SetNow {
    QString rom;
    QString stamp;
    bool hasFiles = false; // it or its parent has a file
    // As today's listing says (GameFacts); a set without facts needs files, unless no set has
    // any (the catalogue was not made from today's MAME): MAME is asked then.
    bool needsFiles = true;
};
std::vector<SetNow> SetsNow(GameStore& catalogue, const QString& romPath);

// What "Verify ROMS" has to do: the sets MAME is asked about, those found without files (not
// found without asking), and those whose files are as they were at their last verification.
struct AuditPlan {
    std::vector<SetNow> ask;
    std::vector<SetNow> notFound;
    std::vector<std::pair<QString, AuditEntry>> carried;
};
AuditPlan PlanAudit(const std::vector<SetNow>& sets, const QHash<QString, AuditEntry>& known);

struct AuditCounts {
    int checked = 0; // verdicts of this run, MAME's and those of sets without files
    int carried = 0; // taken from the last verification
    int good = 0, bad = 0, notFound = 0;
};

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

// "Verify ROMS" with today's MAME: plans the run (PlanAudit), marks the sets without files
// missing and restores the marks of the unchanged ones from the last verification, then asks MAME
// about the rest ("-verifyroms a b c ... -rompath <romPath>", AuditRun sets a run). MAME's
// verdicts are stored AuditBatch at a time as it prints them, in ROMS (Bad ROM and the notes as
// StoreVerdicts stores them) and in the audit table; a set MAME says nothing of is not found
// (Missing ROM 1, Bad ROM 0), which is known only once MAME ended well. A cancel or a failing run
// stops there, keeping every verdict MAME printed.
AuditOutcome AuditTodaysRoms(GameStore& catalogue, const QString& mamePath, const QString& romPath,
                             ProcessRunner& runner, Progress& progress);

// Stores a full verification's verdicts (VerifyTodaysRoms) in the audit table with the stamps the
// sets had before it ran: a set without a verdict is not found.
void RecordFullAudit(GameStore& catalogue, const std::vector<SetNow>& sets, const VerifyOutcome& outcome);

// The status bar's line for a finished audit.
QString AuditSummary(const AuditCounts& counts);

} // namespace zelvora
