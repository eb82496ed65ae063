#include "store/SupportFiles.h"

#include "platform/TextCompare.h"
#include "platform/TextLines.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace zelvora {

namespace {

const QString CategoryFileName = QStringLiteral("catver.ini");
const QString PlayerFileName = QStringLiteral("nplayers.ini");
constexpr std::string_view MatureMark = "* Mature *";

// The few hundred distinct texts of tens of thousands of lines are decoded once and shared.
class TextPool {
public:
    const QString& Of(std::string_view bytes) {
        auto it = texts_.find(bytes);
        if (it == texts_.end()) {
            it =
                texts_.emplace(bytes, DecodeLine(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())))).first;
        }
        return it->second;
    }

private:
    std::unordered_map<std::string_view, QString> texts_;
};

// Hands `take` each "key=value" of the file's section `section`, both trimmed; returns what made
// the file unreadable, or nothing.
template <typename Take> QString readSection(const QString& path, std::string_view section, Take take) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("it could not be opened (%1)").arg(file.errorString());
    const qint64 size = file.size();
    if (size > SupportFiles::MaxFileSize)
        return QStringLiteral("it is larger than 64 MiB");
    // What a file still being written has beyond the size it had is read at the next Refresh, its
    // size or time having changed. Asking for the limit would have it allocated.
    const QByteArray bytes = file.read(size);
    if (bytes.contains('\0'))
        return QStringLiteral("it holds binary content, not text");

    std::string_view rest(bytes.constData(), static_cast<size_t>(bytes.size()));
    if (rest.substr(0, 3) == "\xEF\xBB\xBF")
        rest.remove_prefix(3);
    bool found = false, inside = false;
    while (!rest.empty()) {
        const size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        if (line.size() > static_cast<size_t>(SupportFiles::MaxLineLength))
            return QStringLiteral("it has a line longer than 64 KiB");
        line = TrimBlankBytes(line.substr(0, line.size() - (line.ends_with('\r') ? 1 : 0)));
        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[') {
            const size_t close = line.find(']');
            inside =
                close != std::string_view::npos && EqualNoCaseBytes(TrimBlankBytes(line.substr(1, close - 1)), section);
            found |= inside;
            continue;
        }
        if (!inside)
            continue;
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            continue;
        const std::string_view key = TrimBlankBytes(line.substr(0, equals));
        const std::string_view value = TrimBlankBytes(line.substr(equals + 1));
        if (!key.empty() && !value.empty())
            take(key, value);
    }
    if (!found)
        return QStringLiteral("it has no [%1] section").arg(QLatin1StringView(section.data(), section.size()));
    return {};
}

// The number of the first "<n>P" of the text: "4P alt / 2P sim" is 4, "???" 0.
int playerCount(std::string_view text) {
    for (size_t i = 0; i < text.size();) {
        if (text[i] < '0' || text[i] > '9') {
            ++i;
            continue;
        }
        int count = 0;
        size_t j = i;
        for (; j < text.size() && text[j] >= '0' && text[j] <= '9'; ++j)
            count = std::min(count * 10 + (text[j] - '0'), 1000);
        if (j < text.size() && text[j] == 'P')
            return count;
        i = j;
    }
    return 0;
}

QString problemText(const QString& path, const QString& what) {
    return QStringLiteral("%1 was not read: %2.").arg(QDir::toNativeSeparators(path), what);
}

} // namespace

void SupportFiles::SetFolders(const QStringList& folders) {
    folders_ = folders;
}

bool SupportFiles::Refresh() {
    const FileStamp categoryFile = FindFirstFile(folders_, {CategoryFileName});
    const FileStamp playerFile = FindFirstFile(folders_, {PlayerFileName});
    if (categoryFile == categoryFile_ && playerFile == playerFile_)
        return false;
    QStringList problems;
    if (categoryFile != categoryFile_) {
        categoryFile_ = categoryFile;
        categories_.clear();
        if (!categoryFile.path.isEmpty())
            problems << readCategories(categoryFile.path);
    }
    if (playerFile != playerFile_) {
        playerFile_ = playerFile;
        players_.clear();
        if (!playerFile.path.isEmpty())
            problems << readPlayers(playerFile.path);
    }
    problems.removeAll(QString());
    problem_ = problems.join(QLatin1Char('\n'));
    return true;
}

QString SupportFiles::readCategories(const QString& path) {
    TextPool texts;
    // A category's line takes some fifty bytes, half the file being other sections.
    categories_.reserve(static_cast<qsizetype>(std::min<qint64>(categoryFile_.size / 50, MaxFileSize / 50)));
    const QString problem = readSection(path, "Category", [&](std::string_view rom, std::string_view value) {
        const bool mature = value.ends_with(MatureMark);
        if (mature)
            value = TrimBlankBytes(value.substr(0, value.size() - MatureMark.size()));
        if (!value.empty())
            categories_.insert(FoldedKey(rom), {texts.Of(value), mature});
    });
    if (problem.isEmpty())
        return {};
    categories_.clear();
    return problemText(path, problem);
}

QString SupportFiles::readPlayers(const QString& path) {
    TextPool texts;
    const QString problem = readSection(path, "NPlayers", [&](std::string_view rom, std::string_view value) {
        players_.insert(FoldedKey(rom), {texts.Of(value), playerCount(value)});
    });
    if (problem.isEmpty())
        return {};
    players_.clear();
    return problemText(path, problem);
}

QString SupportFiles::Category(const QString& rom) const {
    return categories_.value(FoldedKey(rom)).text;
}

bool SupportFiles::Mature(const QString& rom) const {
    return categories_.value(FoldedKey(rom)).mature;
}

QString SupportFiles::Players(const QString& rom) const {
    return players_.value(FoldedKey(rom)).text;
}

int SupportFiles::PlayerCount(const QString& rom) const {
    return players_.value(FoldedKey(rom)).count;
}

QString SupportFiles::TakeProblem() {
    return std::exchange(problem_, QString());
}

} // namespace zelvora
