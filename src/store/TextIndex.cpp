#include "store/TextIndex.h"

#include "platform/TextCompare.h"
#include "platform/TextLines.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

namespace zelvora {

namespace {

using AddText = std::function<void(std::string_view name, std::string_view text)>;

bool blank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Reads the elements of history.xml far enough to find each entry's systems and text, checking
// that the document is well formed: a tag left open, closed by another name or cut short stops
// the reading with what went wrong and where.
class XmlScan {
public:
    XmlScan(std::string_view data, const AddText& add) : data_(data), add_(add) {}

    // What went wrong and the byte where it did, or an empty text.
    QString Run(size_t& errorAt) {
        const QString problem = run();
        errorAt = at_;
        return problem;
    }

private:
    bool skipTo(std::string_view end) {
        const size_t found = data_.find(end, at_);
        if (found == std::string_view::npos)
            return false;
        at_ = found + end.size();
        return true;
    }

    void skipBlanks() {
        while (at_ < data_.size() && blank(data_[at_]))
            ++at_;
    }

    std::string_view name() {
        const size_t begin = at_;
        while (at_ < data_.size() && !blank(data_[at_]) && !std::strchr("/>=<\"'", data_[at_]))
            ++at_;
        return data_.substr(begin, at_ - begin);
    }

    QString run() {
        bool rootSeen = false;
        while ((at_ = data_.find('<', at_)) != std::string_view::npos) {
            const std::string_view rest = data_.substr(at_);
            const size_t tagAt = at_;
            if (rest.starts_with("<!--")) {
                if (!skipTo("-->"))
                    return QStringLiteral("a comment is not closed");
            } else if (rest.starts_with("<![CDATA[")) {
                if (!skipTo("]]>"))
                    return QStringLiteral("a CDATA section is not closed");
            } else if (rest.starts_with("<?")) {
                if (!skipTo("?>"))
                    return QStringLiteral("a processing instruction is not closed");
            } else if (rest.starts_with("<!")) {
                const size_t bracket = rest.find('['), close = rest.find('>');
                if (!(bracket < close ? skipTo("]>") : skipTo(">")))
                    return QStringLiteral("a declaration is not closed");
            } else if (rest.starts_with("</")) {
                at_ += 2;
                const std::string_view closed = name();
                skipBlanks();
                if (at_ >= data_.size() || data_[at_] != '>')
                    return QStringLiteral("the end tag </%1> is not closed").arg(latin1(closed));
                if (open_.empty() || open_.back() != closed) {
                    return open_.empty()
                               ? QStringLiteral("</%1> closes nothing").arg(latin1(closed))
                               : QStringLiteral("</%1> does not close <%2>").arg(latin1(closed), latin1(open_.back()));
                }
                ++at_;
                open_.pop_back();
                end(closed, tagAt);
            } else {
                ++at_;
                if (open_.empty() && rootSeen)
                    return QStringLiteral("a second document element starts");
                if (QString problem = start(); !problem.isEmpty())
                    return problem;
                rootSeen = true;
            }
        }
        at_ = data_.size();
        if (!open_.empty())
            return QStringLiteral("the file ends inside <%1>").arg(latin1(open_.back()));
        if (!rootSeen)
            return QStringLiteral("it holds no XML element");
        return {};
    }

    QString start() {
        const std::string_view element = name();
        if (element.empty())
            return QStringLiteral("a '<' starts no tag");
        const bool system = inEntry_ && element == "system";
        for (;;) {
            skipBlanks();
            if (at_ >= data_.size())
                return QStringLiteral("the tag <%1> is not closed").arg(latin1(element));
            if (data_[at_] == '>' || data_.substr(at_).starts_with("/>")) {
                const bool empty = data_[at_] == '/';
                at_ += empty ? 2 : 1;
                opened(element);
                if (empty)
                    end(element, at_);
                else
                    open_.push_back(element);
                return {};
            }
            const std::string_view attribute = name();
            skipBlanks();
            if (attribute.empty() || at_ >= data_.size() || data_[at_] != '=')
                return QStringLiteral("an attribute of <%1> has no value").arg(latin1(element));
            ++at_;
            skipBlanks();
            const char quote = at_ < data_.size() ? data_[at_] : '\0';
            const size_t close = quote == '"' || quote == '\'' ? data_.find(quote, at_ + 1) : std::string_view::npos;
            if (close == std::string_view::npos)
                return QStringLiteral("an attribute of <%1> is not quoted").arg(latin1(element));
            if (system && attribute == "name")
                systems_.push_back(TrimBlankBytes(data_.substr(at_ + 1, close - at_ - 1)));
            at_ = close + 1;
        }
    }

    void opened(std::string_view element) {
        if (element == "entry") {
            inEntry_ = true;
            systems_.clear();
            text_ = {};
        } else if (inEntry_ && element == "text") {
            textAt_ = at_;
        }
    }

    void end(std::string_view element, size_t tagAt) {
        if (inEntry_ && element == "text") {
            text_ = data_.substr(textAt_, tagAt - textAt_);
        } else if (element == "entry") {
            // Entries of software lists name no system: nothing of them is kept.
            for (const std::string_view system : systems_)
                add_(system, text_);
            inEntry_ = false;
        }
    }

    static QString latin1(std::string_view text) {
        return QString::fromLatin1(text.data(), static_cast<qsizetype>(std::min<size_t>(text.size(), 100)));
    }

    std::string_view data_;
    const AddText& add_;
    size_t at_ = 0;
    std::vector<std::string_view> open_;
    bool inEntry_ = false;
    std::vector<std::string_view> systems_;
    size_t textAt_ = 0;
    std::string_view text_;
};

// A .dat file: "$info=set,set," names the sets of the block, the line `section` starts the text
// wanted, "$end" ends it. Other "$<list>=" lines name software, not sets; other sections ("$drv",
// "$story") are passed over; "#" starts a comment outside the texts.
void scanDat(std::string_view data, std::string_view section, const AddText& add) {
    enum class In { Nothing, Wanted, Other } in = In::Nothing;
    std::vector<std::string_view> sets;
    size_t textAt = 0;
    for (size_t at = 0; at < data.size();) {
        const size_t lineAt = at;
        const size_t lineEnd = std::min(data.find('\n', at), data.size());
        at = lineEnd + 1;
        const std::string_view line = TrimBlankBytes(data.substr(lineAt, lineEnd - lineAt));
        if (in != In::Nothing) {
            if (EqualNoCaseBytes(line, "$end")) {
                if (in == In::Wanted) {
                    for (const std::string_view set : sets)
                        add(set, data.substr(textAt, lineAt - textAt));
                }
                sets.clear();
                in = In::Nothing;
            }
            continue;
        }
        if (!line.starts_with('$'))
            continue;
        if (line.size() > 6 && EqualNoCaseBytes(line.substr(0, 6), "$info=")) {
            for (std::string_view rest = line.substr(6); !rest.empty();) {
                const size_t comma = std::min(rest.find(','), rest.size());
                if (const std::string_view set = TrimBlankBytes(rest.substr(0, comma)); !set.empty())
                    sets.push_back(set);
                rest.remove_prefix(std::min(comma + 1, rest.size()));
            }
        } else if (line.find('=') != std::string_view::npos) {
            continue;
        } else if (EqualNoCaseBytes(line, section)) {
            in = In::Wanted;
            textAt = std::min(at, data.size());
        } else if (EqualNoCaseBytes(line, "$end")) {
            sets.clear();
        } else {
            in = In::Other;
        }
    }
    // A last text that the file ends without "$end" is kept.
    if (in == In::Wanted) {
        for (const std::string_view set : sets)
            add(set, data.substr(textAt));
    }
}

void appendUtf8(QByteArray& out, char32_t code) {
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return;
    out += QString::fromUcs4(&code, 1).toUtf8();
}

// An element's content as the text it stands for: entities replaced, CDATA unwrapped, tags
// dropped. What is cut short is kept as it stands.
QByteArray xmlText(const QByteArray& bytes) {
    QByteArray out;
    out.reserve(bytes.size());
    const std::string_view data(bytes.constData(), static_cast<size_t>(bytes.size()));
    static const std::pair<std::string_view, char> named[] = {
        {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
    for (size_t at = 0; at < data.size();) {
        const char c = data[at];
        const std::string_view rest = data.substr(at);
        if (c == '<' && rest.starts_with("<![CDATA[")) {
            const size_t end = std::min(rest.find("]]>"), rest.size());
            out.append(rest.data() + 9, static_cast<qsizetype>(std::max<size_t>(end, 9) - 9));
            at += std::min(end + 3, rest.size());
        } else if (c == '<' && rest.find('>') != std::string_view::npos) {
            at += rest.find('>') + 1;
        } else if (c == '&' && rest.find(';') < 12) {
            const std::string_view entity = rest.substr(1, rest.find(';') - 1);
            at += entity.size() + 2;
            if (entity.starts_with('#')) {
                const bool hex = entity.size() > 1 && (entity[1] == 'x' || entity[1] == 'X');
                bool ok = false;
                const uint code =
                    QByteArray(entity.data() + (hex ? 2 : 1), static_cast<qsizetype>(entity.size()) - (hex ? 2 : 1))
                        .toUInt(&ok, hex ? 16 : 10);
                if (ok)
                    appendUtf8(out, code);
                continue;
            }
            bool known = false;
            for (const auto& [entityName, character] : named) {
                if (entity == entityName) {
                    out += character;
                    known = true;
                }
            }
            if (!known)
                out.append(rest.data(), static_cast<qsizetype>(entity.size()) + 2);
        } else {
            out += c;
            ++at;
        }
    }
    return out;
}

} // namespace

bool TextIndex::Refresh(const QString& path) {
    const FileStamp stamp = StampOf(path);
    if (stamp == stamp_)
        return false;
    stamp_ = stamp;
    pieces_.clear();
    problem_.clear();
    xml_ = path.endsWith(QStringLiteral(".xml"), Qt::CaseInsensitive);
    if (stamp.path.isEmpty())
        return true;
    QFile file(path);
    QString problem;
    if (!file.open(QIODevice::ReadOnly)) {
        problem = QStringLiteral("it could not be opened (%1)").arg(file.errorString());
    } else if (file.size() > MaxFileSize) {
        problem = QStringLiteral("it is larger than 256 MiB");
    } else {
        // What a file still being written has beyond its size then is read at the next Refresh.
        problem = index(file.read(stamp.size));
    }
    if (!problem.isEmpty()) {
        pieces_.clear();
        problem_ = QStringLiteral("%1 was not read: %2.").arg(QDir::toNativeSeparators(path), problem);
    }
    return true;
}

QString TextIndex::index(const QByteArray& bytes) {
    if (bytes.contains('\0'))
        return QStringLiteral("it holds binary content, not text");
    std::string_view data(bytes.constData(), static_cast<size_t>(bytes.size()));
    if (data.starts_with("\xEF\xBB\xBF"))
        data.remove_prefix(3);
    // Some six hundred bytes of file per set, in either kind of file.
    pieces_.reserve(static_cast<qsizetype>(bytes.size() / 600));
    const AddText add = [&](std::string_view name, std::string_view text) {
        if (name.empty() || text.empty())
            return;
        qint64 length = std::min<qint64>(static_cast<qint64>(text.size()), MaxTextSize);
        // A text cut short is cut before a character, not inside one.
        while (length > 0 && static_cast<size_t>(length) < text.size() && (text[length] & 0xC0) == 0x80)
            --length;
        const QString key = FoldedKey(name);
        if (!pieces_.contains(key))
            pieces_.insert(key, {text.data() - bytes.constData(), length});
    };
    if (!xml_) {
        scanDat(data, std::string_view(section_.constData(), static_cast<size_t>(section_.size())), add);
        return {};
    }
    size_t errorAt = 0;
    const QString problem = XmlScan(data, add).Run(errorAt);
    if (problem.isEmpty())
        return {};
    const qsizetype line = std::count(data.begin(), data.begin() + std::min(errorAt, data.size()), '\n') + 1;
    return QStringLiteral("line %1: %2").arg(line).arg(problem);
}

QString TextIndex::Text(const QString& rom) const {
    const auto piece = pieces_.constFind(FoldedKey(rom));
    if (piece == pieces_.constEnd() || StampOf(stamp_.path) != stamp_)
        return {};
    QFile file(stamp_.path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(piece->offset))
        return {};
    QByteArray bytes = file.read(piece->length);
    if (xml_)
        bytes = xmlText(bytes);
    QString text = DecodeLine(bytes);
    text.remove(QLatin1Char('\r'));
    return text.trimmed();
}

} // namespace zelvora
