#include "detail/ArtworkFinder.h"

#include "store/ProgramSettings.h"

#include <QFile>
#include <QFileInfo>

namespace zelvora {

QString ArtworkKindCaption(ArtworkKind kind) {
    switch (kind) {
    case ArtworkKind::Snapshot:
        return QStringLiteral("Snapshot");
    case ArtworkKind::Title:
        return QStringLiteral("Title");
    case ArtworkKind::Flyer:
        return QStringLiteral("Flyer");
    case ArtworkKind::Cabinet:
        return QStringLiteral("Cabinet");
    case ArtworkKind::Marquee:
        return QStringLiteral("Marquee");
    case ArtworkKind::ControlPanel:
        return QStringLiteral("Control Panel");
    case ArtworkKind::Pcb:
        break;
    }
    return QStringLiteral("PCB");
}

QString ArtworkFolderName(ArtworkKind kind) {
    switch (kind) {
    case ArtworkKind::Snapshot:
        return QStringLiteral("snap");
    case ArtworkKind::Title:
        return QStringLiteral("titles");
    case ArtworkKind::Flyer:
        return QStringLiteral("flyers");
    case ArtworkKind::Cabinet:
        return QStringLiteral("cabinets");
    case ArtworkKind::Marquee:
        return QStringLiteral("marquees");
    case ArtworkKind::ControlPanel:
        return QStringLiteral("cpanel");
    case ArtworkKind::Pcb:
        break;
    }
    return QStringLiteral("pcb");
}

void ArtworkFinder::SetRoots(const QStringList& roots) {
    roots_.clear();
    for (const QString& root : roots) {
        if (!root.trimmed().isEmpty())
            roots_.append(WithSlash(root));
    }
}

std::optional<ArtworkFile> ArtworkFinder::Find(ArtworkKind kind, const QString& rom, const QString& parent) {
    problem_.clear();
    if (auto own = findOwn(kind, rom))
        return own;
    const QString parentRom = parent.trimmed();
    if (parentRom.isEmpty() || parentRom.compare(rom, Qt::CaseInsensitive) == 0)
        return std::nullopt;
    return findOwn(kind, parentRom);
}

ScreenshotFinder& ArtworkFinder::folderFinder(const QString& folder) {
    return folders_[folder];
}

std::optional<ArtworkFile> ArtworkFinder::findOwn(ArtworkKind kind, const QString& rom) {
    if (!IsPlainFileName(rom))
        return std::nullopt;
    const QString folderName = ArtworkFolderName(kind);
    for (const QString& root : roots_) {
        const DirectoryListing& listing = folderFinder(root).Listing(root);
        const QString folder = listing.FindFolder(folderName);
        if (!folder.isEmpty()) {
            const QString path = root + folder + QLatin1Char('/');
            const QString file = folderFinder(path).FindOwn(path, rom, ScreenshotKinds::Artwork);
            if (!file.isEmpty()) {
                if (auto read = readFile(file))
                    return read;
            }
        }
        const QString zipName = listing.Find(folderName + QStringLiteral(".zip"));
        if (!zipName.isEmpty()) {
            if (auto read = readZipped(root + zipName, folderName, rom))
                return read;
        }
    }
    return std::nullopt;
}

std::optional<ArtworkFile> ArtworkFinder::readFile(const QString& path) {
    // Only a regular file: a pipe or a device named like a picture would never end.
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > kMaxArtworkBytes) {
        problem_ = QStringLiteral("%1: not a picture file of at most %2 bytes").arg(path).arg(kMaxArtworkBytes);
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        problem_ = QStringLiteral("%1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    QByteArray bytes = file.read(kMaxArtworkBytes);
    if (bytes.isEmpty())
        return std::nullopt;
    return ArtworkFile{std::move(bytes), path};
}

std::optional<ArtworkFile> ArtworkFinder::readZipped(const QString& zipPath, const QString& folder,
                                                     const QString& rom) {
    std::unique_ptr<ZipArchive>& zip = zips_[zipPath];
    if (!zip)
        zip = std::make_unique<ZipArchive>(zipPath);
    if (!zip->Refresh()) {
        problem_ = zip->Problem();
        return std::nullopt;
    }
    for (const char* suffix : {".png", ".jpg", ".jpeg", ".pcx"}) {
        const QString name = rom + QLatin1String(suffix);
        qint64 index = zip->Find(name);
        if (index < 0)
            index = zip->Find(folder + QLatin1Char('/') + name);
        if (index < 0)
            continue;
        QByteArray bytes = zip->Read(index, kMaxArtworkBytes);
        if (bytes.isEmpty()) {
            problem_ = zip->Problem();
            return std::nullopt;
        }
        return ArtworkFile{std::move(bytes), zipPath + QLatin1Char(':') + zip->EntryName(index)};
    }
    return std::nullopt;
}

} // namespace zelvora
