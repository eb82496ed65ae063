#pragma once

#include "launcher/ProcessRunner.h"
#include "update/ListingParsers.h"

#include <QByteArray>
#include <QSet>
#include <QVariant>
#include <QXmlStreamReader>

#include <array>
#include <vector>

namespace zelvora {

class Progress;

// A machine of today's MAME's "-listxml" that the catalogue keeps: a system that runs, neither
// a device nor a BIOS set.
struct ListedMachine {
    DetailsEntry game; // set name, driver's source file, first processors and sound chips, description
    QString year;
    QString manufacturer;
    QVariant clone;                // the parent's set name; Null for a machine that is no clone
    std::array<QString, 5> status; // Playable, Colors, Sound, Hi Score, Cocktail
};

// Drops the lines of a machine's elements that the catalogue has no field for (ROMs, DIP switches,
// slots, ports, devices: nine tenths of the document) before the XML reader sees them: over the
// whole document the reader takes twice as long as MAME takes to print it. MAME writes each such
// element on lines of its own; a line of any other shape is passed on as it stands, as is
// everything outside the machines, so the reader still judges the document's shape.
class ListingLineFilter {
public:
    // What of `bytes` goes on to the reader; a line is held back until its end has come.
    QByteArrayView Filter(QByteArrayView bytes);
    // The last line when the document does not end with a line end.
    QByteArrayView Rest();

private:
    bool Keep(QByteArrayView line);

    QByteArray pending_;    // the start of a line whose end has not come
    bool passLine_ = false; // a line too long to hold goes as it comes, or is dropped with its element
    bool inMachine_ = false;
    QByteArray skipping_; // the element whose lines are dropped up to its end tag
    int depth_ = 0;       // of `skipping_` in itself
    QByteArray kept_;
};

// Reads today's MAME's machine listing as MAME prints it, one piece at a time, and keeps what the
// catalogue holds of each runnable system. The progress moves with each system's set name:
// MAME lists them sorted by name, and how many will come is not known before the end.
class MachineListingReader : public OutputReader {
public:
    explicit MachineListingReader(Progress& progress);

    // False once the document has turned out unusable; Problem() then says why.
    bool Read(QByteArrayView bytes) override;
    void Waiting() override;
    // After the last bytes: a document that has not ended was cut short.
    void Finish();

    std::vector<ListedMachine>& Machines() { return machines_; }
    // Devices, BIOS sets and machines that do not run.
    int Skipped() const { return skipped_; }
    // Runnable systems left out because they cannot be taken as they stand: without a set name.
    int Malformed() const { return malformedMachines_; }
    // What made the document unusable; empty when it was whole.
    const QString& Problem() const { return problem_; }

private:
    enum class Text { None, Description, Year, Manufacturer };
    // What the features and the driver of the machine being read tell, worst first.
    enum Level { Working, Imperfect, Unemulated };

    void Parse(QByteArrayView bytes);
    void StartElement();
    void StartMachine();
    void EndElement();
    void EndMachine();
    QString Shared(QStringView text);
    QString Where() const;

    Progress& progress_;
    ListingLineFilter filter_;
    QXmlStreamReader xml_;
    bool read_ = false; // any bytes at all
    bool ended_ = false;
    int depth_ = 0;
    int position_ = 0;
    QString problem_;
    QString lastMachine_;

    bool inMachine_ = false;
    bool keep_ = false;
    bool malformed_ = false;
    ListedMachine machine_;
    int cpus_ = 0, sounds_ = 0;
    Level colors_ = Working, sound_ = Working;
    bool noSoundHardware_ = false;
    Text text_ = Text::None;
    QString chars_;

    std::vector<ListedMachine> machines_;
    int skipped_ = 0;
    int malformedMachines_ = 0;
    // Chip, driver and maker names and years repeat across thousands of machines; one copy each.
    QSet<QString> shared_;
};

// What MAME's machine listing gave: the command, how it ended, and what was read of it.
struct MachineListing {
    QString command;
    StreamedRun run;
    std::vector<ListedMachine> machines;
    int skipped = 0;
    QString problem;
    int malformed = 0;
};

// The command that lists MAME's machines; MAME's path is quoted.
QString MachineListingCommand(const QString& mamePath);

// Runs MAME with "-listxml" and reads its listing while MAME prints it, the progress moving
// meanwhile and the window's events running.
MachineListing ReadMachineListing(const QString& mamePath, ProcessRunner& runner, Progress& progress);

} // namespace zelvora
