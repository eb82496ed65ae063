#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>

namespace zelvora {

class Settings;

// The folders the program works with, each ending with "/" (or empty when not set). The ROM sets,
// the support files and the artwork may lie in several folders, ";" between them, as MAME writes
// its own search paths.
struct Folders {
    QString mame;        // MAME's own folder, holding the executable "mame"
    QString screenshots; // the screenshots
    QString roms;        // the ROM sets
    QString support;     // catver.ini, nplayers.ini, history and information texts; empty for none
    QString artwork;     // titles/, flyers/, ... or titles.zip, ...; empty for none
};

// Today's MAME's own folders, as its "-showconfig" named them at the first start or the last
// catalogue update: asking MAME takes a run of it, which the program's start does without.
struct MameFolders {
    QStringList roms;
    QStringList artwork;
    QStringList ini;
    QStringList history;
    bool operator==(const MameFolders&) const = default;
};

// The folders of a setting that may hold several, in its order, blank ones left out.
QStringList FolderList(const QString& setting);
// The folder with its final "/", which file names are appended to directly; empty stays empty.
QString WithSlash(QString folder);
// Folders as one setting: each with its final "/", ";" between them.
QString JoinedFolders(const QStringList& folders);
// The folders searched: the user's setting's, then MAME's own, each once.
QStringList SearchFolders(const QString& setting, const QStringList& mameFolders);

// What one of the game list's filters does with the games it concerns.
enum class FilterState { Off = 0, ShowOnly = 1, Exclude = 2 };
inline constexpr int FilterCount = 6;
// The filters that read what the checks mark: Missing ROMS and Bad ROMS.
inline constexpr int MissingRomsFilter = 4, BadRomsFilter = 5;
using FilterStates = std::array<FilterState, FilterCount>;

// The program's settings, each key defined here once with its type. The values stand as text in
// the settings store under the keys and spellings older versions wrote, so a settings file moves
// between versions both ways.
class ProgramSettings {
public:
    explicit ProgramSettings(Settings& store) : store_(store) {}

    Folders ReadFolders(const Folders& fallback = {}) const;
    void SaveFolders(const Folders& folders);

    MameFolders ReadMameFolders() const;
    void SaveMameFolders(const MameFolders& folders);

    // A stored state other than 0, 1 or 2 is Off: it adds no condition.
    FilterStates Filters() const;
    void SaveFilters(const FilterStates& filters);
    // A filter of the list's filter bar by its name ("Type", "Players"), as the text it was kept
    // as: "Filter Type" beside the six of "Filter 0" to "Filter 5". Empty when never kept.
    QString BarFilter(const QString& name) const;
    void SaveBarFilter(const QString& name, const QString& value);

    // Whether ROM sets are taken to be merged, clones inside their parent's zip.
    bool AssumeMerged() const;
    void SetAssumeMerged(bool merged);

    // The game selected at exit: its set name, and its row for an older settings file.
    QString LastRom() const;
    long long LastRow() const;
    void SaveLastGame(int row, const QString& rom);

    QString SortKey(const QString& fallback) const;
    void SaveSortKey(const QString& key);
    bool SortDescending() const;
    void SaveSortDescending(bool descending);
    // The list's columns as its header left them: order and widths.
    QByteArray ListColumns() const;
    void SaveListColumns(const QByteArray& columns);

    QByteArray WindowGeometry() const;
    void SaveWindowGeometry(const QByteArray& geometry);
    // The list's and the tabs' widths beside each other, as kept.
    QList<int> SplitterWidths() const;
    void SaveSplitterWidths(const QList<int>& widths);
    long long Tab() const;
    void SaveTab(int tab);
    // The kind of picture the Screen Shot tab shows, as the index of its kind.
    long long PictureKind() const;
    void SavePictureKind(int kind);

private:
    QString state(const QString& key, const QVariant& fallback) const;
    void saveState(const QString& key, const QString& text);

    Settings& store_;
};

} // namespace zelvora
