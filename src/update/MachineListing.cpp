#include "update/MachineListing.h"

#include "launcher/ShellQuote.h"
#include "platform/Progress.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace zelvora {

namespace {

using LineTag = ListingLineFilter::LineTag;

// What of a line too long to hold is kept to tell its shape.
constexpr qsizetype LineEndBytes = 256;
// The XML reader may hold this much that it has not made a token of: the longest line the filter
// passes, with room for the rest of the piece it came in.
constexpr qsizetype LongestToken = 1024 * 1024;

const QByteArray CutMark = QByteArrayLiteral("<?") + ListingLineFilter::CutTarget + QByteArrayLiteral("?>");

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

bool IsNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
           c == '.' || c == ':';
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

QByteArrayView Trimmed(QByteArrayView text) {
    while (!text.isEmpty() && IsBlank(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && IsBlank(text.back()))
        text.chop(1);
    return text;
}

qsizetype LastMarkup(QByteArrayView text) {
    for (qsizetype at = text.size() - 1; at >= 0; --at) {
        if (text[at] == '<' || text[at] == '>')
            return at;
    }
    return -1;
}

// The name of the tag that `tag` begins, after "<" or "</".
QByteArrayView TagName(QByteArrayView tag, qsizetype from) {
    qsizetype n = from;
    while (n < tag.size() && IsNameChar(tag[n]))
        ++n;
    return tag.sliced(from, n - from);
}

LineTag ReadLineTag(QByteArrayView line) {
    qsizetype from = 0;
    while (from < line.size() && (line[from] == ' ' || line[from] == '\t'))
        ++from;
    qsizetype to = line.size();
    while (to > from && (line[to - 1] == '\n' || line[to - 1] == '\r' || line[to - 1] == ' ' || line[to - 1] == '\t'))
        --to;
    const QByteArrayView tag = line.sliced(from, to - from);
    if (tag.size() < 3 || tag.front() != '<' || tag.back() != '>')
        return {};
    // Attribute values carry "<" and ">" escaped: another one means more than one tag.
    if (std::memchr(tag.data() + 1, '<', static_cast<size_t>(tag.size() - 1)) != nullptr ||
        std::memchr(tag.data(), '>', static_cast<size_t>(tag.size() - 1)) != nullptr)
        return {};
    const bool end = tag[1] == '/';
    const QByteArrayView name = TagName(tag, end ? 2 : 1);
    if (name.isEmpty())
        return {}; // a declaration, a comment, a processing instruction
    if (end)
        return {LineTag::End, name};
    return {tag[tag.size() - 2] == '/' ? LineTag::Empty : LineTag::Start, name};
}

// The shape of a line too long to hold, from its first and last bytes; what lies between them is
// taken for attribute values or text.
LineTag ReadLongLineTag(QByteArrayView head, QByteArrayView tail) {
    head = Trimmed(head);
    tail = Trimmed(tail);
    if (head.size() < 2 || head.front() != '<' || tail.isEmpty() || tail.back() != '>')
        return {};
    const bool end = head[1] == '/';
    const QByteArrayView name = TagName(head, end ? 2 : 1);
    if (name.isEmpty())
        return {};
    if (end)
        return {LineTag::End, name};
    if (tail.endsWith(QByteArray("</") + name.toByteArray() + '>'))
        return {LineTag::Text, name};
    return {tail.endsWith("/>") ? LineTag::Empty : LineTag::Start, name};
}

// The elements the reader takes anything from, and the two that hold them.
bool IsReadElement(QByteArrayView name) {
    for (const char* read : {"mame", "machine", "description", "year", "manufacturer", "chip", "driver", "feature"}) {
        if (name == QByteArrayView(read))
            return true;
    }
    return false;
}

const QString Yes = QStringLiteral("Yes");
const QString No = QStringLiteral("No");
const QString Partial = QStringLiteral("Partial");
const QString NoHardware = QStringLiteral("n/a");

} // namespace

QByteArrayView ListingLineFilter::Filter(QByteArrayView bytes) {
    kept_.clear();
    qsizetype at = 0;
    while (at < bytes.size() && !tooLong_) {
        const auto* lineEnd =
            static_cast<const char*>(std::memchr(bytes.data() + at, '\n', static_cast<size_t>(bytes.size() - at)));
        const qsizetype next = lineEnd != nullptr ? lineEnd - bytes.data() + 1 : bytes.size();
        const QByteArrayView piece = bytes.sliced(at, next - at);
        at = next;
        if (!long_ && pending_.size() + piece.size() > LongestLine) {
            long_ = true;
            head_ = pending_.first(std::min(pending_.size(), LineEndBytes));
            head_.append(piece.first(std::min(piece.size(), LineEndBytes - head_.size())));
            tail_ = pending_.last(std::min(pending_.size(), LineEndBytes));
            pending_.clear();
        }
        if (long_) {
            tail_.append(piece.last(std::min(piece.size(), LineEndBytes)));
            tail_.remove(0, std::max<qsizetype>(tail_.size() - LineEndBytes, 0));
            if (lineEnd != nullptr) {
                LongLine();
                long_ = false;
            }
        } else if (lineEnd == nullptr) {
            pending_.append(piece);
        } else if (pending_.isEmpty()) {
            Line(piece);
        } else {
            pending_.append(piece);
            Line(pending_);
            pending_.clear();
        }
    }
    return kept_;
}

QByteArrayView ListingLineFilter::Rest() {
    kept_.clear();
    if (tooLong_)
        return kept_;
    if (long_)
        LongLine();
    else if (!pending_.isEmpty())
        Line(pending_);
    long_ = false;
    pending_.clear();
    return kept_;
}

void ListingLineFilter::Line(QByteArrayView line) {
    const qsizetype markup = LastMarkup(line);
    if (markup >= 0) {
        textRun_ = line.size() - markup - 1;
    } else if (skipping_.isEmpty()) {
        // Text that runs on over lines, which MAME never writes: once past any sane length the rest
        // of it is dropped, with one mark.
        textRun_ += line.size();
        if (textRun_ > LongestLine) {
            if (textRun_ - line.size() <= LongestLine)
                Cut({});
            return;
        }
    }
    if (Keep(ReadLineTag(line)))
        kept_.append(line);
}

void ListingLineFilter::LongLine() {
    const LineTag tag = ReadLongLineTag(head_, tail_);
    const QByteArray name = tag.name.toByteArray();
    const qsizetype markup = LastMarkup(tail_);
    // A line that ends in text is cut: the text after it is too.
    textRun_ = markup >= 0 ? tail_.size() - markup - 1 : LongestLine + 1;
    // An element the reader takes nothing from goes as it would on a short line.
    if (!Keep(tag))
        return;
    if (tag.kind == LineTag::End)
        kept_.append("</" + name + ">\n");
    else
        Cut(tag.kind == LineTag::Start ? "<" + name + ">\n" : QByteArray());
}

void ListingLineFilter::Cut(QByteArrayView bounds) {
    if (!inMachine_) {
        tooLong_ = true;
        return;
    }
    // Before the bounds: a machine's own line cut marks the machine that it starts.
    kept_.append(CutMark).append(bounds);
}

bool ListingLineFilter::Keep(const LineTag& tag) {
    if (!skipping_.isEmpty()) {
        if (tag.name == QByteArrayView(skipping_))
            depth_ += tag.kind == LineTag::Start ? 1 : tag.kind == LineTag::End ? -1 : 0;
        if (depth_ == 0)
            skipping_.clear();
        return false;
    }
    if (tag.name == QByteArrayView("machine"))
        inMachine_ = tag.kind == LineTag::Start;
    // Only what a machine holds is dropped: the document around the machines is the reader's to judge.
    if (!inMachine_ || tag.kind == LineTag::None || tag.kind == LineTag::End || IsReadElement(tag.name))
        return true;
    if (tag.kind == LineTag::Start) {
        skipping_ = tag.name.toByteArray();
        depth_ = 1;
    }
    return false;
}

MachineListingReader::MachineListingReader(Progress& progress, int maxGames)
    : progress_(progress), maxGames_(maxGames) {}

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
    cpus_ = sounds_ = 0;
    colors_ = sound_ = Working;
    noSoundHardware_ = false;
    if (malformed_)
        return;
    machine_.game.name = lastMachine_;
    const QStringView source = attributes.value(QLatin1String("sourcefile"));
    // A Neo Geo game names its BIOS in "romof" without being a clone of it; only "cloneof" makes one.
    const QStringView parent = attributes.value(QLatin1String("cloneof"));
    if (source.size() > MaxListedText || parent.size() > MaxListedText) {
        malformed_ = true;
        return;
    }
    machine_.game.driver = Shared(source.sliced(source.lastIndexOf(u'/') + 1));
    if (!parent.isEmpty())
        machine_.clone = parent.toString();
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
    progress_.SetValue(position_);
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
