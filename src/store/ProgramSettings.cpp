#include "store/ProgramSettings.h"

#include "store/Settings.h"

#include <QDir>
#include <QStringList>

#include <algorithm>

namespace zelvora {

namespace {

// The folders are written under "Zelvora"/"Settings", the rest under "zelvora"/"settings": one
// section, in the two spellings older versions used.
const QString FolderApplication = QStringLiteral("Zelvora");
const QString FolderSection = QStringLiteral("Settings");
const QString StateApplication = QStringLiteral("zelvora");
const QString StateSection = QStringLiteral("settings");

const QString MameFolderKey = QStringLiteral("MameLocation");
const QString ScreenshotFolderKey = QStringLiteral("PCXFiles");
const QString RomFolderKey = QStringLiteral("ROMFiles");
const QString SupportFolderKey = QStringLiteral("SupportFiles");
const QString ArtworkFolderKey = QStringLiteral("ArtworkFiles");
const QString MameIniKey = QStringLiteral("MameIniPath");
const QString MameRomKey = QStringLiteral("MameRomPath");
const QString MameArtKey = QStringLiteral("MameArtPath");
const QString MameHistoryKey = QStringLiteral("MameHistoryPath");
const QString MergedKey = QStringLiteral("Merged");
const QString LastRowKey = QStringLiteral("Last");
const QString LastRomKey = QStringLiteral("LastRom");
const QString SortKeyKey = QStringLiteral("Sort");
const QString SortDescendingKey = QStringLiteral("SortDescending");
const QString ListColumnsKey = QStringLiteral("Columns");
const QString WindowKey = QStringLiteral("Window");
const QString SplitterKey = QStringLiteral("Splitter");
const QString TabKey = QStringLiteral("Tab");
const QString PictureKey = QStringLiteral("Picture");

template <typename Name> QString filterKey(const Name& index) {
    return QStringLiteral("Filter %1").arg(index);
}

} // namespace

Folders ProgramSettings::ReadFolders(const Folders& fallback) const {
    const auto folder = [this](const QString& key, const QString& otherwise) {
        return store_.Get(FolderApplication, FolderSection, key, otherwise);
    };
    return {folder(MameFolderKey, fallback.mame), folder(ScreenshotFolderKey, fallback.screenshots),
            folder(RomFolderKey, fallback.roms), folder(SupportFolderKey, fallback.support),
            folder(ArtworkFolderKey, fallback.artwork)};
}

void ProgramSettings::SaveFolders(const Folders& folders) {
    store_.Save(FolderApplication, FolderSection, MameFolderKey, folders.mame);
    store_.Save(FolderApplication, FolderSection, ScreenshotFolderKey, folders.screenshots);
    store_.Save(FolderApplication, FolderSection, RomFolderKey, folders.roms);
    store_.Save(FolderApplication, FolderSection, SupportFolderKey, folders.support);
    store_.Save(FolderApplication, FolderSection, ArtworkFolderKey, folders.artwork);
}

QStringList FolderList(const QString& setting) {
    QStringList folders;
    for (const QString& folder : setting.split(u';', Qt::SkipEmptyParts)) {
        if (const QString trimmed = folder.trimmed(); !trimmed.isEmpty())
            folders << trimmed;
    }
    return folders;
}

QString WithSlash(QString folder) {
    if (!folder.isEmpty() && !folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

QString JoinedFolders(const QStringList& folders) {
    QStringList slashed;
    for (const QString& folder : folders)
        slashed << WithSlash(folder);
    return slashed.join(u';');
}

QStringList SearchFolders(const QString& setting, const QStringList& mameFolders) {
    QStringList folders;
    for (const QString& folder : FolderList(setting) + mameFolders) {
        // "/a/b" and "/a/b/" are one folder.
        const QString plain = QDir::cleanPath(folder);
        if (!std::any_of(folders.cbegin(), folders.cend(),
                         [&plain](const QString& kept) { return QDir::cleanPath(kept) == plain; }))
            folders << folder;
    }
    return folders;
}

// Joined by ";", as MAME writes its own search paths.
MameFolders ProgramSettings::ReadMameFolders() const {
    const auto folders = [this](const QString& key) { return FolderList(state(key, QString())); };
    return {folders(MameRomKey), folders(MameArtKey), folders(MameIniKey), folders(MameHistoryKey)};
}

void ProgramSettings::SaveMameFolders(const MameFolders& folders) {
    saveState(MameRomKey, folders.roms.join(u';'));
    saveState(MameArtKey, folders.artwork.join(u';'));
    saveState(MameIniKey, folders.ini.join(u';'));
    saveState(MameHistoryKey, folders.history.join(u';'));
}

FilterStates ProgramSettings::Filters() const {
    FilterStates filters{};
    for (int i = 0; i < FilterCount; ++i) {
        const long long state = Settings::ToNumber(this->state(filterKey(i), 0));
        filters[i] = state == 1 ? FilterState::ShowOnly : state == 2 ? FilterState::Exclude : FilterState::Off;
    }
    return filters;
}

void ProgramSettings::SaveFilters(const FilterStates& filters) {
    for (int i = 0; i < FilterCount; ++i)
        saveState(filterKey(i), QString::number(static_cast<int>(filters[i])));
}

QString ProgramSettings::BarFilter(const QString& name) const {
    return state(filterKey(name), QString());
}

void ProgramSettings::SaveBarFilter(const QString& name, const QString& value) {
    saveState(filterKey(name), value);
}

bool ProgramSettings::AssumeMerged() const {
    return Settings::ToBool(state(MergedKey, false));
}

void ProgramSettings::SetAssumeMerged(bool merged) {
    saveState(MergedKey, QString::number(merged ? 1 : 0));
}

QString ProgramSettings::LastRom() const {
    return state(LastRomKey, QString());
}

long long ProgramSettings::LastRow() const {
    return Settings::ToNumber(state(LastRowKey, 0));
}

void ProgramSettings::SaveLastGame(int row, const QString& rom) {
    saveState(LastRowKey, QString::number(row));
    saveState(LastRomKey, rom);
}

QString ProgramSettings::SortKey(const QString& fallback) const {
    return state(SortKeyKey, fallback);
}

void ProgramSettings::SaveSortKey(const QString& key) {
    saveState(SortKeyKey, key);
}

bool ProgramSettings::SortDescending() const {
    return Settings::ToNumber(state(SortDescendingKey, 0)) != 0;
}

void ProgramSettings::SaveSortDescending(bool descending) {
    saveState(SortDescendingKey, descending ? QStringLiteral("1") : QStringLiteral("0"));
}

QByteArray ProgramSettings::ListColumns() const {
    return QByteArray::fromBase64(state(ListColumnsKey, QString()).toLatin1());
}

void ProgramSettings::SaveListColumns(const QByteArray& columns) {
    saveState(ListColumnsKey, QString::fromLatin1(columns.toBase64()));
}

QByteArray ProgramSettings::WindowGeometry() const {
    return QByteArray::fromBase64(state(WindowKey, QString()).toLatin1());
}

void ProgramSettings::SaveWindowGeometry(const QByteArray& geometry) {
    saveState(WindowKey, QString::fromLatin1(geometry.toBase64()));
}

QList<int> ProgramSettings::SplitterWidths() const {
    QList<int> widths;
    for (const QString& width : state(SplitterKey, QString()).split(u','))
        widths << static_cast<int>(Settings::ToNumber(width));
    return widths;
}

void ProgramSettings::SaveSplitterWidths(const QList<int>& widths) {
    QStringList texts;
    for (const int width : widths)
        texts << QString::number(width);
    saveState(SplitterKey, texts.join(u','));
}

long long ProgramSettings::Tab() const {
    return Settings::ToNumber(state(TabKey, 0));
}

void ProgramSettings::SaveTab(int tab) {
    saveState(TabKey, QString::number(tab));
}

long long ProgramSettings::PictureKind() const {
    return Settings::ToNumber(state(PictureKey, 0));
}

void ProgramSettings::SavePictureKind(int kind) {
    saveState(PictureKey, QString::number(kind));
}

QString ProgramSettings::state(const QString& key, const QVariant& fallback) const {
    return store_.Get(StateApplication, StateSection, key, fallback);
}

void ProgramSettings::saveState(const QString& key, const QString& text) {
    store_.Save(StateApplication, StateSection, key, text);
}

} // namespace zelvora
