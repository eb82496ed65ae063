#include "update/MachineListing.h"

#include "launcher/ShellQuote.h"
#include "platform/Progress.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <utility>

namespace zelvora {

namespace {

// The XML reader may hold this much that it has not made a token of: the longest line the filter
// passes, with room for the rest of the piece it came in.
constexpr qsizetype LongestToken = 1024 * 1024;

// The set name's first two characters place it among all names, 0-9 before a-z.
constexpr int NameRanks = 36;
constexpr int ListingPositions = NameRanks * NameRanks;

int Rank(QStringView name, qsizetype at) {
    if (at >= name.size())
        return 0;
    const char16_t c = name[at].toLower().unicode();
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'z')
        return 10 + (c - u'a');
    return 0;
}

int ListingPosition(QStringView name) {
    return Rank(name, 0) * NameRanks + Rank(name, 1);
}

const QString Yes = QStringLiteral("Yes");
const QString No = QStringLiteral("No");
const QString Partial = QStringLiteral("Partial");
const QString NoHardware = QStringLiteral("n/a");

// Type, rotation, width, height and refresh of the first of `screens`.
ScreenFacts ScreenOf(int screens, const QList<QStringView>& values) {
    ScreenFacts screen;
    const QStringView type = values[0];
    screen.type = type == u"raster"   ? ScreenType::Raster
                  : type == u"vector" ? ScreenType::Vector
                  : type == u"lcd"    ? ScreenType::Lcd
                  : type == u"svg"    ? ScreenType::Svg
                                      : ScreenType::None;
    screen.screens = static_cast<std::uint16_t>(std::clamp(screens, 0, 0xFFFF));
    screen.vertical = values[1] == u"90" || values[1] == u"270";
    screen.width = std::max(values[2].toInt(), 0);
    screen.height = std::max(values[3].toInt(), 0);
    const float refresh = values[4].toFloat();
    screen.refresh = refresh > 0 && refresh < 1e6f ? refresh : 0;
    return screen;
}

// A control as the information page names it, with its joystick's ways: "Joystick (4-way)".
QString ControlName(QStringView type, QStringView ways) {
    static const std::pair<QStringView, QString> Names[] = {
        {u"joy", QStringLiteral("Joystick")},
        {u"doublejoy", QStringLiteral("Double joystick")},
        {u"triplejoy", QStringLiteral("Triple joystick")},
        {u"stick", QStringLiteral("Analogue stick")},
        {u"paddle", QStringLiteral("Paddle")},
        {u"pedal", QStringLiteral("Pedal")},
        {u"lightgun", QStringLiteral("Light gun")},
        {u"positional", QStringLiteral("Positional")},
        {u"dial", QStringLiteral("Dial")},
        {u"trackball", QStringLiteral("Trackball")},
        {u"mouse", QStringLiteral("Mouse")},
        {u"keyboard", QStringLiteral("Keyboard")},
        {u"keypad", QStringLiteral("Keypad")},
        {u"mahjong", QStringLiteral("Mahjong panel")},
        {u"hanafuda", QStringLiteral("Hanafuda panel")},
        {u"gambling", QStringLiteral("Gambling panel")},
        {u"only_buttons", QStringLiteral("Buttons only")},
    };
    if (type.isEmpty())
        return {};
    const auto known = std::find_if(std::begin(Names), std::end(Names), [&](const auto& n) { return n.first == type; });
    QString name = known != std::end(Names) ? known->second : type.toString().replace(u'_', u' ');
    name[0] = name[0].toUpper();
    // "8", "3 (half4)", "vertical2": the number of ways comes first or last.
    qsizetype digits = 0;
    while (digits < ways.size() && ways[digits].isDigit())
        ++digits;
    if (digits > 0)
        return QStringLiteral("%1 (%2-way)").arg(name, ways.first(digits));
    if (ways == u"vertical2")
        return QStringLiteral("%1 (vertical 2-way)").arg(name);
    return name;
}

} // namespace

MachineListingReader::MachineListingReader(Progress& progress, int maxGames, bool fingerprints)
    : progress_(progress), maxGames_(maxGames), filter_(fingerprints) {}

bool MachineListingReader::Read(QByteArrayView bytes) {
    if (!problem_.isEmpty())
        return false;
    read_ = read_ || !bytes.isEmpty();
    Parse(filter_.Filter(bytes));
    CheckFilter();
    return problem_.isEmpty();
}

void MachineListingReader::CheckFilter() {
    if (problem_.isEmpty() && filter_.TooLong())
        problem_ = QStringLiteral("holds a line or an element too long to read %1").arg(Where());
}

bool MachineListingReader::Waiting() {
    return !progress_.Cancelled();
}

void MachineListingReader::Finish() {
    if (problem_.isEmpty())
        Parse(filter_.Rest());
    CheckFilter();
    if (problem_.isEmpty() && ended_)
        ResolveDevices();
    if (!problem_.isEmpty() || ended_)
        return;
    problem_ = read_ ? QStringLiteral("was cut off %1").arg(Where()) : QStringLiteral("is empty");
}

void MachineListingReader::Parse(QByteArrayView bytes) {
    // Whatever follows the end of the document is not read.
    if (bytes.isEmpty() || ended_)
        return;
    xml_.addData(bytes.toByteArray());
    bool token = false;
    while (!ended_) {
        switch (xml_.readNext()) {
        case QXmlStreamReader::StartElement:
            StartElement();
            break;
        case QXmlStreamReader::EndElement:
            EndElement();
            break;
        case QXmlStreamReader::Characters:
            if (text_ == Text::None)
                break;
            if (chars_.size() + xml_.text().size() > MaxListedText)
                malformed_ = true;
            else
                chars_ += xml_.text();
            break;
        case QXmlStreamReader::ProcessingInstruction:
            if (xml_.processingInstructionTarget() == QLatin1String(ListingLineFilter::CutTarget)) {
                if (inMachine_)
                    malformed_ = true;
                else
                    cutNext_ = true;
            } else if (xml_.processingInstructionTarget() == QLatin1String(ListingLineFilter::FactsTarget)) {
                ReadFacts(xml_.processingInstructionData());
            } else if (xml_.processingInstructionTarget() == QLatin1String(ListingLineFilter::RomsTarget)) {
                ReadRoms(xml_.processingInstructionData());
            }
            break;
        case QXmlStreamReader::Invalid:
            if (xml_.error() == QXmlStreamReader::CustomError) {
                problem_ = xml_.errorString();
            } else if (xml_.error() != QXmlStreamReader::PrematureEndOfDocumentError) {
                problem_ = QStringLiteral("is not well-formed XML (%1) %2").arg(xml_.errorString(), Where());
            } else {
                // The XML reader holds a comment, a declaration or a text whole until its end: one
                // that runs on through pieces that give no token at all would grow it without bound.
                unread_ = token ? 0 : unread_ + bytes.size();
                if (unread_ > LongestToken)
                    problem_ = QStringLiteral("holds a line or an element too long to read %1").arg(Where());
            }
            return;
        default:
            break;
        }
        token = true;
    }
}

QString MachineListingReader::Where() const {
    return lastMachine_.isEmpty() ? QStringLiteral("before its first machine")
                                  : QStringLiteral("after the machine \"%1\"").arg(lastMachine_);
}

QString MachineListingReader::Shared(QStringView text) {
    QString copy = text.toString();
    if (const auto it = shared_.constFind(copy); it != shared_.constEnd())
        return *it;
    shared_.insert(copy);
    return copy;
}

void MachineListingReader::StartElement() {
    ++depth_;
    const QStringView name = xml_.name();
    if (depth_ == 1) {
        if (name != u"mame")
            xml_.raiseError(QStringLiteral("is not MAME's machine listing: its document is <%1>").arg(name));
        return;
    }
    if (depth_ == 2) {
        if (name == u"machine")
            StartMachine();
        return;
    }
    if (depth_ != 3 || !inMachine_ || !keep_ || malformed_)
        return;
    if (name == u"description" || name == u"year" || name == u"manufacturer") {
        text_ = name == u"description" ? Text::Description : name == u"year" ? Text::Year : Text::Manufacturer;
        chars_.clear();
        return;
    }
    const QXmlStreamAttributes attributes = xml_.attributes();
    if (name == u"chip") {
        const QStringView type = attributes.value(QLatin1String("type"));
        const QStringView chip = attributes.value(QLatin1String("name"));
        if (chip.size() > MaxListedText)
            malformed_ = true;
        else if (type == u"cpu" && cpus_ < 3)
            machine_.game.cpus[cpus_++] = Shared(chip);
        // Every machine with sound lists its speakers among its sound chips; they would push
        // the chips themselves out of the three fields.
        else if (type == u"audio" && sounds_ < 3 && chip != u"Speaker")
            machine_.game.sounds[sounds_++] = Shared(chip);
    } else if (name == u"driver") {
        const QStringView status = attributes.value(QLatin1String("status"));
        machine_.status[0] = status == u"good"          ? Yes
                             : status == u"imperfect"   ? Partial
                             : status == u"preliminary" ? No
                                                        : QString();
        // Save states, in the field that today's MAME leaves without high scores.
        machine_.status[3] = attributes.value(QLatin1String("savestate")) == u"supported" ? Yes : No;
        machine_.status[4] = attributes.value(QLatin1String("cocktail")) == u"preliminary" ? No : QString();
        noSoundHardware_ = attributes.value(QLatin1String("nosoundhardware")) == u"yes";
    } else if (name == u"feature") {
        // "overall" also counts the devices the machine is built from.
        Level level = Working;
        for (const QStringView status :
             {attributes.value(QLatin1String("status")), attributes.value(QLatin1String("overall"))}) {
            if (status == u"unemulated")
                level = Unemulated;
            else if (status == u"imperfect")
                level = std::max(level, Imperfect);
        }
        const QStringView type = attributes.value(QLatin1String("type"));
        if (type == u"graphics" || type == u"palette")
            colors_ = std::max(colors_, level);
        else if (type == u"sound")
            sound_ = std::max(sound_, level);
    }
}

void MachineListingReader::StartMachine() {
    const QXmlStreamAttributes attributes = xml_.attributes();
    const QStringView name = attributes.value(QLatin1String("name"));
    // A machine whose own line was too long to read has lost its name with its other attributes.
    const bool cut = std::exchange(cutNext_, false);
    if (name.isEmpty() && !cut) {
        xml_.raiseError(QStringLiteral("holds a machine without a name %1").arg(Where()));
        return;
    }
    inMachine_ = true;
    malformed_ = cut;
    if (!cut) {
        lastMachine_ = name.toString();
        malformed_ = !IsSetName(lastMachine_);
        lastMachine_.truncate(MaxListedText);
    }
    keep_ = cut || (attributes.value(QLatin1String("isdevice")) != u"yes" &&
                    attributes.value(QLatin1String("isbios")) != u"yes" &&
                    attributes.value(QLatin1String("runnable")) != u"no");
    if (!keep_) {
        ++skipped_;
        return;
    }
    machine_ = ListedMachine{};
    deviceList_ = -1;
    if (attributes.value(QLatin1String("ismechanical")) == u"yes")
        machine_.type = MachineType::Mechanical;
    cpus_ = sounds_ = 0;
    colors_ = sound_ = Working;
    noSoundHardware_ = false;
    if (malformed_)
        return;
    machine_.game.name = lastMachine_;
    const QStringView source = attributes.value(QLatin1String("sourcefile"));
    // A Neo Geo game names its BIOS in "romof" without being a clone of it; only "cloneof" makes one.
    const QStringView parent = attributes.value(QLatin1String("cloneof"));
    const QStringView romof = attributes.value(QLatin1String("romof"));
    if (source.size() > MaxListedText || parent.size() > MaxListedText || romof.size() > MaxListedText) {
        malformed_ = true;
        return;
    }
    machine_.game.driver = Shared(source.sliced(source.lastIndexOf(u'/') + 1));
    if (!parent.isEmpty())
        machine_.clone = parent.toString();
    if (!romof.isEmpty())
        machine_.romof = romof == parent ? machine_.clone.toString() : Shared(romof);
}

// The facts as the filter writes them for every machine: counts, then the first screen's values
// and the controls' types and ways, each after a '"'.
void MachineListingReader::ReadFacts(QStringView data) {
    const QList<QStringView> parts = data.split(u'"');
    const QList<QStringView> counts = parts[0].split(u' ');
    if (!inMachine_ || !keep_ || counts.size() < 5 || counts.size() > 6 || parts.size() < 6)
        return;
    if (counts.size() == 6)
        deviceList_ = counts[5].toInt();
    machine_.players = std::max(counts[0].toInt(), 0);
    if (counts[1] == u"1" && machine_.type != MachineType::Mechanical)
        machine_.type = MachineType::ComputerOrConsole;
    machine_.needsFiles = counts[2] == u"1";
    machine_.screen = ScreenOf(counts[3].toInt(), parts.mid(1, 5));
    machine_.controls.buttons = std::max(counts[4].toInt(), 0);
    QStringList names;
    for (qsizetype i = 6; i + 1 < parts.size(); i += 2) {
        const QString name = ControlName(parts[i], parts[i + 1]);
        if (!name.isEmpty() && !names.contains(name))
            names << name;
    }
    machine_.controls.controls = Shared(names.join(QStringLiteral(", ")));
}

void MachineListingReader::ReadRoms(QStringView data) {
    if (!inMachine_ || !keep_)
        return;
    std::vector<std::uint32_t>& roms = machine_.roms;
    roms.clear();
    roms.reserve(static_cast<size_t>(data.size() / 9));
    // Eight hex digits each, as the filter writes them.
    std::uint32_t crc = 0;
    int digits = 0;
    for (const QChar c : data) {
        const char16_t u = c.unicode();
        const int digit = u >= u'0' && u <= u'9' ? u - u'0' : u >= u'a' && u <= u'f' ? u - u'a' + 10 : -1;
        if (digit >= 0) {
            crc = crc << 4 | static_cast<std::uint32_t>(digit);
            ++digits;
        }
        if (digit < 0 || digits == 8) {
            if (digits == 8)
                roms.push_back(crc);
            crc = 0;
            digits = 0;
        }
    }
    std::sort(roms.begin(), roms.end());
    roms.erase(std::unique(roms.begin(), roms.end()), roms.end());
    roms.shrink_to_fit();
}

void MachineListingReader::EndElement() {
    --depth_;
    if (depth_ == 2 && text_ != Text::None) {
        if (text_ == Text::Description)
            machine_.game.description = chars_;
        else if (text_ == Text::Year)
            machine_.year = Shared(chars_);
        else
            machine_.manufacturer = Shared(chars_);
        text_ = Text::None;
    } else if (depth_ == 1 && inMachine_) {
        EndMachine();
    } else if (depth_ == 0) {
        ended_ = true;
    }
}

void MachineListingReader::EndMachine() {
    inMachine_ = false;
    if (!keep_)
        return;
    if (malformed_) {
        ++malformedMachines_;
        return;
    }
    const auto word = [](Level level) { return level == Unemulated ? No : level == Imperfect ? Partial : Yes; };
    machine_.status[1] = word(colors_);
    machine_.status[2] = noSoundHardware_ ? NoHardware : word(sound_);
    if (machines_.size() >= static_cast<size_t>(maxGames_)) {
        xml_.raiseError(QStringLiteral("lists more than %1 games").arg(maxGames_));
        return;
    }
    position_ = std::max(position_, ListingPosition(machine_.game.name));
    machines_.push_back(std::move(machine_));
    deviceLists_.push_back(deviceList_);
    progress_.SetValue(position_);
}

void MachineListingReader::ResolveDevices() {
    // Machines of one driver name the same devices: each list is looked at once.
    QHash<int, QStringList> resolved;
    for (size_t i = 0; i < machines_.size() && i < deviceLists_.size(); ++i) {
        const int list = deviceLists_[i];
        if (list < 0)
            continue;
        auto found = resolved.constFind(list);
        if (found == resolved.cend()) {
            const QByteArray named = filter_.DeviceList(list);
            QStringList withRoms;
            for (qsizetype at = 1; at < named.size();) {
                qsizetype end = named.indexOf('"', at);
                end = end < 0 ? named.size() : end;
                const QByteArrayView device = QByteArrayView(named).sliced(at, end - at);
                at = end + 1;
                if (device.isEmpty() || !filter_.HasRoms(device))
                    continue;
                const QString name = QString::fromLatin1(device);
                if (!withRoms.contains(name))
                    withRoms << name;
            }
            found = resolved.insert(list, withRoms);
        }
        machines_[i].devices = *found;
    }
    deviceLists_ = {};
}

QString MachineListingCommand(const QString& mamePath) {
    return ShellQuote(MameExecutable(mamePath)) + QStringLiteral(" -listxml");
}

MachineListing ReadMachineListing(const QString& mamePath, ProcessRunner& runner, Progress& progress) {
    MachineListing listing;
    listing.command = MachineListingCommand(mamePath);
    progress.SetRange(0, ListingPositions - 1);
    progress.SetValue(0);
    MachineListingReader reader(progress);
    listing.run = runner.ExecStreaming(listing.command, reader);
    reader.Finish();
    listing.machines = std::move(reader.Machines());
    listing.skipped = reader.Skipped();
    listing.malformed = reader.Malformed();
    listing.problem = reader.Problem();
    return listing;
}

} // namespace zelvora
