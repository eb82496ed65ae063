#pragma once

#include "launcher/ProcessRunner.h"
#include "store/GameFacts.h"
#include "update/ListingLineFilter.h"
#include "update/ListingParsers.h"

#include <QByteArray>
#include <QSet>
#include <QStringList>
#include <QVariant>
#include <QXmlStreamReader>

#include <array>
#include <cstdint>
#include <vector>

namespace zelvora {

class Progress;

// A machine of today's MAME's "-listxml" that the catalogue keeps: a system that runs, neither
// a device nor a BIOS set.
struct ListedMachine {
    DetailsEntry game; // set name, driver's source file, first processors and sound chips, description
    QString year;
    QString manufacturer;
    QVariant clone; // the parent's set name; Null for a machine that is no clone
    // Playable, Colors, Sound, Hi Score, Cocktail. The listing says nothing of high scores: the Hi
    // Score field keeps whether the machine can save its state instead.
    std::array<QString, 5> status;
    // Mechanical wins over media: a machine that takes them is a computer or a console.
    MachineType type = MachineType::Arcade;
    int players = 0;
    // False when every ROM and disk it lists, if any, was never dumped: there is nothing to look for.
    bool needsFiles = true;
    ScreenFacts screen;
    ControlFacts controls;
    // The CRCs of the machine's own ROMs, sorted, each once: not those it takes from its parent or
    // its BIOS, nor those never dumped. They tell a set that MAME renamed.
    std::vector<std::uint32_t> roms;
    // The set it takes ROMs from ("romof"): its parent, or its BIOS; empty when none.
    QString romof;
    // The devices it is built from that are sets with ROMs of their own, each once, in the
    // listing's order. Known once the whole listing was read: MAME lists the devices last.
    QStringList devices;
};

// Reads today's MAME's machine listing as MAME prints it, one piece at a time, and keeps what the
// catalogue holds of each runnable system. The progress moves with each system's set name:
// MAME lists them sorted by name, and how many will come is not known before the end.
class MachineListingReader : public OutputReader {
public:
    // A listing of more than `maxGames` runnable systems is refused. Without `fingerprints` the
    // machines' ROMs are not read.
    explicit MachineListingReader(Progress& progress, int maxGames = MaxListedGames, bool fingerprints = true);

    // False once the document has turned out unusable; Problem() then says why.
    bool Read(QByteArrayView bytes) override;
    // False once the user has cancelled: MAME is ended.
    bool Waiting() override;
    // After the last bytes: a document that has not ended was cut short.
    void Finish();

    std::vector<ListedMachine>& Machines() { return machines_; }
    // Devices, BIOS sets and machines that do not run.
    int Skipped() const { return skipped_; }
    // Runnable systems left out because they cannot be taken as they stand: without a set name,
    // or with a text longer than MaxListedText or a line too long to read.
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
    void ReadFacts(QStringView data);
    void ReadRoms(QStringView data);
    void ResolveDevices();
    QString Shared(QStringView text);
    QString Where() const;
    void CheckFilter();

    Progress& progress_;
    const int maxGames_;
    ListingLineFilter filter_;
    QXmlStreamReader xml_;
    qsizetype unread_ = 0; // bytes given to the XML reader since it last gave a token
    bool read_ = false;    // any bytes at all
    bool ended_ = false;
    int depth_ = 0;
    int position_ = 0;
    QString problem_;
    QString lastMachine_;

    bool inMachine_ = false;
    bool keep_ = false;
    bool malformed_ = false;
    bool cutNext_ = false; // the next machine's own line was cut
    ListedMachine machine_;
    int cpus_ = 0, sounds_ = 0;
    Level colors_ = Working, sound_ = Working;
    bool noSoundHardware_ = false;
    Text text_ = Text::None;
    QString chars_;

    std::vector<ListedMachine> machines_;
    // The machines' lists of devices as the filter numbers them, in the machines' order; -1 for none.
    int deviceList_ = -1;
    std::vector<int> deviceLists_;
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
    // Whether the machines' ROMs were read: a listing without them finds no renamed sets and leaves
    // the fingerprints of the last update.
    bool fingerprints = true;
};

// The command that lists MAME's machines; MAME's path is quoted.
QString MachineListingCommand(const QString& mamePath);

// Runs MAME with "-listxml" and reads its listing while MAME prints it, the progress moving
// meanwhile and the window's events running; a cancelled progress ends MAME (run.cancelled).
MachineListing ReadMachineListing(const QString& mamePath, ProcessRunner& runner, Progress& progress);

} // namespace zelvora
