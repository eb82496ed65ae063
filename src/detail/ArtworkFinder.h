#pragma once

#include "checks/ScreenshotFinder.h"
#include "platform/ZipArchive.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <map>
#include <memory>
#include <optional>

namespace zelvora {

enum class ArtworkKind { Snapshot, Title, Flyer, Cabinet, Marquee, ControlPanel, Pcb };
inline constexpr ArtworkKind kArtworkKinds[] = {ArtworkKind::Snapshot, ArtworkKind::Title,   ArtworkKind::Flyer,
                                                ArtworkKind::Cabinet,  ArtworkKind::Marquee, ArtworkKind::ControlPanel,
                                                ArtworkKind::Pcb};

// "Snapshot", "Title", "Flyer", "Cabinet", "Marquee", "Control Panel", "PCB".
QString ArtworkKindCaption(ArtworkKind kind);
// The folder each kind is kept in under an artwork root, and the zip's name without ".zip":
// "snap", "titles", "flyers", "cabinets", "marquees", "cpanel", "pcb".
QString ArtworkFolderName(ArtworkKind kind);

// No picture is larger than this; a bigger file or zip entry is not read at all.
inline constexpr qint64 kMaxArtworkBytes = 64 * 1024 * 1024;

struct ArtworkFile {
    QByteArray bytes;
    QString name; // the file's path, or the zip's path, ":" and the entry's name; for messages
};

// Finds a game's pictures of each kind under an ordered list of artwork roots. Under each root a
// kind is a folder ("<root>/titles/<set>.png", or any picture in "<root>/titles/<set>/") or a zip
// ("<root>/titles.zip" holding "<set>.png" at its top or under "titles/"); names are compared
// without regard to case. Folder listings and zip indexes are kept until the folder or zip changes,
// so a lookup among tens of thousands of pictures costs about one file read.
class ArtworkFinder {
public:
    // The roots in the order they are searched, e.g. the user's artwork folder before MAME's own.
    void SetRoots(const QStringList& roots);
    // The game's picture of the kind, or, when it has none under any root, its parent's; nothing
    // when neither has one or a set name is not a plain file name.
    std::optional<ArtworkFile> Find(ArtworkKind kind, const QString& rom, const QString& parent);
    // Why the last picture found in a folder or zip could not be read (a damaged zip, an entry that
    // is too large or does not hold what it states); empty when nothing went wrong.
    const QString& Problem() const { return problem_; }

private:
    std::optional<ArtworkFile> findOwn(ArtworkKind kind, const QString& rom);
    std::optional<ArtworkFile> readFile(const QString& path);
    std::optional<ArtworkFile> readZipped(const QString& zipPath, const QString& folder, const QString& rom);
    ScreenshotFinder& folderFinder(const QString& folder);

    QStringList roots_;
    std::map<QString, ScreenshotFinder> folders_;
    std::map<QString, std::unique_ptr<ZipArchive>> zips_;
    QString problem_;
};

} // namespace zelvora
