#pragma once

#include "platform/OutputLimits.h"
#include "store/GameStore.h"

#include <QString>

#include <optional>
#include <vector>

namespace zelvora {

class Progress;

// The kinds of line in MAME's ROM verification report, recognised in this order, letter case
// ignored: "romset <name> ..." names a set found bad; a line of blanks only and a line starting
// "the zipfile" or "error in" say nothing; any other line is a detail about the set named next.
enum class VerifyLineKind { Romset, Blank, Ignored, Detail };

struct VerifyLine {
    VerifyLineKind kind = VerifyLineKind::Detail;
    // For a romset line, the set's name: from the 8th character up to the next blank, or to the end
    // of the line when no blank follows.
    QString name;
};

VerifyLine ClassifyVerifyLine(const QString& line);

struct VerifyCounts {
    qint64 lines = 0;
    qint64 romsets = 0;
    qint64 marked = 0; // romset lines whose set is in the catalogue
    // Today's MAME only: the verdicts on sets the catalogue holds, and those of them that were good
    // or bad. "Best available" is all MAME says of a set that needs no file, so a ROM folder in
    // which MAME found nothing gives verdicts, but none good or bad.
    qint64 found = 0;
    qint64 goodOrBad = 0;
};

// Carries a report's lines into the catalogue one at a time. The detail lines before a romset line,
// each followed by a carriage return, replace the named set's Notes and its Bad ROM becomes 1;
// either way the collected lines are dropped there, so a set named right after another gets empty
// notes, and detail lines after the last romset line are dropped. Sets the report does not name keep
// their Notes and Bad ROM. A name that is in no record is skipped; names are looked up as values, so
// quotes in them are harmless.
//
// One set's notes keep at most MaxNotesLength characters, in whole lines, so a report of endless
// detail lines without a romset line cannot fill the memory.
class VerifyReport {
public:
    static constexpr qsizetype MaxNotesLength = 256 * 1024;

    // `progress` is told to let pending events run once per romset line.
    VerifyReport(GameStore& catalogue, Progress& progress);

    void Read(const QString& line);
    // Stores what is still waiting to be committed.
    void Finish();

    const VerifyCounts& Counts() const { return counts_; }

private:
    Progress& progress_;
    GameWrites writes_;
    QString notes_;
    VerifyCounts counts_;
};

struct VerifyReportResult {
    VerifyCounts counts;
    // Why a report that exists could not be read; empty otherwise.
    QString error;
};

// Reads the report file at `path` into the catalogue through VerifyReport, streaming it twice: once
// to count its lines for the progress range (0 to the count), then line by line, the progress value
// rising by one per line. A file that does not exist is an empty report. The file is left in place.
VerifyReportResult ReadVerifyReport(const QString& path, GameStore& catalogue, Progress& progress);

// Today's MAME reports, for each set it finds files for, detail lines naming the set
// ("pacman      : pacman.6e (4096 bytes) - NOT FOUND", an "INCORRECT CHECKSUM:" followed by its
// "EXPECTED:" and "FOUND:" lines) and then its verdict: "romset pacman [puckman] is bad", "... is
// good" or "... is best available", the bracket naming the parent or BIOS. Detail lines of a set
// that gets no verdict (it needs no file it lacks) belong to no other set. The summary "N romsets
// found, M were OK." and any other line are not details.
//
// The reader only collects: nothing is stored before MAME has ended well. A verdict whose set
// name is longer than MaxListedText names no set: it is skipped and counted. A report of more
// verdicts than MaxListedGames is refused whole.
class TodaysVerifyReader {
public:
    struct Verdict {
        QString name;
        bool bad = false;
        QString notes; // a bad set's detail lines, each ended by a carriage return
        bool bestAvailable = false;
    };
    struct Summary {
        qint64 found = 0;
        qint64 ok = 0;
    };
    // What all bad sets' notes together may hold; the verdicts go on being read beyond it.
    static constexpr qsizetype MaxAllNotesLength = 64 * 1024 * 1024;

    void Read(const QString& line);

    const std::vector<Verdict>& Verdicts() const { return verdicts_; }
    const std::optional<Summary>& ReadSummary() const { return summary_; }
    qint64 Malformed() const { return malformed_; }
    // Why the report cannot be taken; empty while it can. Nothing more is read once it is set.
    const QString& Problem() const { return problem_; }

private:
    std::vector<Verdict> verdicts_;
    qint64 malformed_ = 0;
    QString problem_;
    std::optional<Summary> summary_;
    QString detailsOf_; // the set the waiting detail lines name
    QString details_;
    qsizetype allNotes_ = 0;
};

// True when `notes` hold nothing but detail lines of today's MAME about the set `rom`, as a bad
// verdict stores them: what a later good verdict takes back, unlike notes of MAME's game list.
bool HoldsVerifyDetails(const QString& notes, const QString& rom);

// Stores the verdicts: a bad set gets Bad ROM 1 and its detail lines as its Notes, replacing the
// old. A good or best-available set is one MAME runs: it gets Bad ROM 0 and Missing ROM 0, and
// loses notes that an earlier bad verdict stored (HoldsVerifyDetails); other notes stay. Sets
// without a verdict, and verdicts on sets the catalogue does not hold, change nothing. `progress`
// runs from 0 to the number of verdicts.
VerifyCounts StoreVerdicts(GameStore& catalogue, const std::vector<TodaysVerifyReader::Verdict>& verdicts,
                           Progress& progress);

} // namespace zelvora
