#include "update/ListingLineFilter.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <iterator>
#include <string_view>

namespace zelvora {

namespace {

using LineTag = ListingLineFilter::LineTag;

// What of a line too long to hold is kept to tell its shape.
constexpr qsizetype LineEndBytes = 256;

const QByteArray CutMark = QByteArrayLiteral("<?") + ListingLineFilter::CutTarget + QByteArrayLiteral("?>");

const QByteArray FactsMark = QByteArrayLiteral("<?") + ListingLineFilter::FactsTarget + ' ';

const QByteArray RomsMark = QByteArrayLiteral("<?") + ListingLineFilter::RomsTarget;

// The most bytes of device names kept of one machine.
constexpr size_t MostDeviceBytes = 16 * 1024;

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

// The elements of a machine the filter looks at: those the reader takes anything from (and the two
// that hold them), and those whose dropped lines tell a machine's facts.
enum class Element { Read, Files, Players, Media, MediaDevice, Display, DeviceRef, Other };

// A comparison of a known length, which the compiler makes a few loads and compares.
template <size_t N> bool Is(QByteArrayView name, const char (&element)[N]) {
    return name.size() == N - 1 && std::memcmp(name.data(), element, N - 1) == 0;
}

// Asked of millions of lines: the name's length rules out most before any comparison.
Element ElementOf(QByteArrayView name) {
    const auto is = [&](const auto& element) { return Is(name, element); };
    switch (name.size()) {
    case 3:
        return is("rom") ? Element::Files : Element::Other;
    case 4:
        return is("mame") || is("chip") || is("year") ? Element::Read : is("disk") ? Element::Files : Element::Other;
    case 5:
        return is("input") ? Element::Players : Element::Other;
    case 6:
        return is("driver") ? Element::Read : is("device") ? Element::MediaDevice : Element::Other;
    case 7:
        return is("machine") || is("feature") ? Element::Read : is("display") ? Element::Display : Element::Other;
    case 10:
        return is("device_ref") ? Element::DeviceRef : Element::Other;
    case 11:
        return is("description") ? Element::Read : Element::Other;
    case 12:
        return is("manufacturer") ? Element::Read : is("softwarelist") ? Element::Media : Element::Other;
    default:
        return Element::Other;
    }
}

// Found as the standard library finds it: Qt's search costs several times as much on lines this short.
qsizetype Find(QByteArrayView line, std::string_view text) {
    const size_t at = std::string_view(line.data(), static_cast<size_t>(line.size())).find(text);
    return at == std::string_view::npos ? -1 : static_cast<qsizetype>(at);
}

// The value of the attribute that `name` (' name="') begins in a tag's line; empty when it has none.
QByteArrayView Attribute(QByteArrayView line, std::string_view name) {
    const qsizetype from = Find(line, name);
    if (from < 0)
        return {};
    const QByteArrayView value = line.sliced(from + static_cast<qsizetype>(name.size()));
    const qsizetype to = value.indexOf('"');
    return to < 0 ? QByteArrayView() : value.first(to);
}

// Of a ROM's or disk's line: only what was never dumped is no file to look for.
bool NeedsFile(QByteArrayView line) {
    return Find(line, " status=\"nodump\"") < 0;
}

// MAME writes CRCs in lower case.
bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
}

// Of a ROM's line: its CRC when the ROM is the machine's own and was dumped; empty otherwise.
QByteArrayView OwnCrc(QByteArrayView line) {
    if (Find(line, " merge=\"") >= 0 || !NeedsFile(line))
        return {};
    const QByteArrayView crc = Attribute(line, " crc=\"");
    return crc.size() == 8 && std::all_of(crc.begin(), crc.end(), IsHexDigit) ? crc : QByteArrayView();
}

// Of a device_ref's line: the device's set name after the quote that opens it, cut from the line as
// it stands. Asked of most lines MAME writes: MAME writes the name first.
std::string_view QuotedName(QByteArrayView line) {
    constexpr std::string_view Name(" name=");
    const char* const begin = line.data();
    const auto size = static_cast<size_t>(line.size());
    const auto* open = static_cast<const char*>(std::memchr(begin, '"', size));
    if (open != nullptr && open - begin >= static_cast<qsizetype>(Name.size()) &&
        std::memcmp(open - Name.size(), Name.data(), Name.size()) == 0) {
        const auto* close = static_cast<const char*>(std::memchr(open + 1, '"', size - (open + 1 - begin)));
        return close != nullptr && close > open + 1 ? std::string_view(open, close - open) : std::string_view();
    }
    const QByteArrayView name = Attribute(line, " name=\"");
    return name.isEmpty() ? std::string_view() : std::string_view(name.data() - 1, name.size() + 1);
}

int Players(QByteArrayView line) {
    const QByteArrayView players = Attribute(line, " players=\"");
    return players.size() <= 4 ? std::max(players.toInt(), 0) : 0;
}

// The devices that load software the user picks, as a computer's or a console's do.
bool IsMediaDevice(QByteArrayView line) {
    const QByteArrayView type = Attribute(line, " type=\"");
    for (const char* media : {"cartridge", "floppydisk", "cassette", "quickload", "cdrom"}) {
        // A Neo Geo game's cartridge slot holds that game for good.
        if (type == QByteArrayView(media))
            return Attribute(line, " fixed_image=\"") != QByteArrayView("1");
    }
    return false;
}

// An attribute's value as it goes into the facts: short, and nothing that could end the
// instruction or part its fields. Any other is left out.
QByteArrayView FactValue(QByteArrayView line, std::string_view name) {
    const QByteArrayView value = Attribute(line, name);
    if (value.size() > 16)
        return {};
    for (const char c : value) {
        if (!IsNameChar(c) && c != ' ' && c != '(' && c != ')')
            return {};
    }
    return value;
}

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
    if (Keep(ReadLineTag(line), line))
        kept_.append(line);
}

void ListingLineFilter::LongLine() {
    const LineTag tag = ReadLongLineTag(head_, tail_);
    const QByteArray name = tag.name.toByteArray();
    const qsizetype markup = LastMarkup(tail_);
    // A line that ends in text is cut: the text after it is too.
    textRun_ = markup >= 0 ? tail_.size() - markup - 1 : LongestLine + 1;
    // An element the reader takes nothing from goes as it would on a short line.
    if (!Keep(tag, head_))
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

bool ListingLineFilter::Keep(const LineTag& tag, QByteArrayView line) {
    if (!skipping_.isEmpty()) {
        if (tag.name == QByteArrayView(skipping_))
            depth_ += tag.kind == LineTag::Start ? 1 : tag.kind == LineTag::End ? -1 : 0;
        else if (input_ && tag.kind != LineTag::End && Is(tag.name, "control"))
            Control(line);
        if (depth_ == 0)
            skipping_.clear();
        return false;
    }
    if (Is(tag.name, "machine")) {
        if (inMachine_ && tag.kind == LineTag::End)
            AppendFacts();
        inMachine_ = tag.kind == LineTag::Start;
        // A device's name, to tell whether it has ROMs of its own.
        device_ = inMachine_ && fingerprints_ && Find(line, " isdevice=\"yes\"") >= 0
                      ? Attribute(line, " name=\"").toByteArray()
                      : QByteArray();
        players_ = screens_ = buttons_ = 0;
        media_ = files_ = false;
        screen_.clear();
        controls_.clear();
        crcs_.clear();
        named_.clear(); // keeping its room: most machines name devices
    }
    // Only what a machine holds is dropped: the document around the machines is the reader's to judge.
    const Element element = ElementOf(tag.name);
    if (!inMachine_ || tag.kind == LineTag::None || tag.kind == LineTag::End || element == Element::Read)
        return true;
    if (fingerprints_ && element == Element::Files && Is(tag.name, "rom") && crcs_.size() < MostRoms * 9) {
        const QByteArrayView crc = OwnCrc(line);
        if (!crc.isEmpty())
            crcs_.append(' ').append(crc);
    }
    if (fingerprints_ && element == Element::DeviceRef && named_.size() < MostDeviceBytes)
        named_ += QuotedName(line);
    // What is known already needs no second look.
    if (element == Element::Files && !files_)
        files_ = NeedsFile(line);
    else if (element == Element::Players)
        players_ = Players(line);
    else if (element == Element::Media || (element == Element::MediaDevice && !media_ && IsMediaDevice(line)))
        media_ = true;
    else if (element == Element::Display && screens_++ == 0)
        for (const std::string_view name : {" type=\"", " rotate=\"", " width=\"", " height=\"", " refresh=\""})
            screen_.append('"').append(FactValue(line, name));
    if (tag.kind == LineTag::Start) {
        skipping_ = tag.name.toByteArray();
        depth_ = 1;
        input_ = element == Element::Players;
    }
    return false;
}

void ListingLineFilter::Control(QByteArrayView line) {
    const QByteArrayView buttons = Attribute(line, " buttons=\"");
    if (buttons.size() <= 4)
        buttons_ = std::max(buttons_, buttons.toInt());
    // Each kind once: four players' joysticks are one kind of control.
    QByteArray control;
    control.append('"').append(FactValue(line, " type=\"")).append('"').append(FactValue(line, " ways=\""));
    if (controls_.size() < 256 && !(controls_ + '"').contains(control + '"'))
        controls_.append(control);
}

void ListingLineFilter::AppendFacts() {
    if (!device_.isEmpty() && !crcs_.isEmpty())
        withRoms_.insert(device_);
    qsizetype devices = -1;
    if (!named_.empty()) {
        const auto known =
            numbers_.constFind(QByteArray::fromRawData(named_.data(), static_cast<qsizetype>(named_.size())));
        devices = known != numbers_.cend() ? *known : lists_.size();
        if (known == numbers_.cend()) {
            lists_ << QByteArray(named_.data(), static_cast<qsizetype>(named_.size()));
            numbers_.insert(lists_.back(), static_cast<int>(devices));
        }
    }
    if (!crcs_.isEmpty())
        kept_.append(RomsMark).append(crcs_).append("?>");
    kept_.append(FactsMark)
        .append(QByteArray::number(players_))
        .append(media_ ? " 1 " : " 0 ")
        .append(files_ ? "1 " : "0 ")
        .append(QByteArray::number(screens_))
        .append(' ')
        .append(QByteArray::number(buttons_));
    if (devices >= 0)
        kept_.append(' ').append(QByteArray::number(devices));
    // A machine without a screen still fills its five places, so that the controls follow them.
    kept_.append(screen_.isEmpty() ? QByteArrayLiteral("\"\"\"\"\"") : screen_).append(controls_).append("?>");
}

} // namespace zelvora
