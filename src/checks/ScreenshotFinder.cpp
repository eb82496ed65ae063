#include "checks/ScreenshotFinder.h"

#include <QDir>
#include <QFileInfo>

namespace zelvora {
namespace {

// The file name endings looked for, the first preferred.
QStringList Suffixes(ScreenshotKinds kinds) {
    switch (kinds) {
    case ScreenshotKinds::Pcx:
        return {QStringLiteral(".pcx")};
    case ScreenshotKinds::PcxAndPng:
        return {QStringLiteral(".pcx"), QStringLiteral(".png")};
    case ScreenshotKinds::Artwork:
        break;
    }
    return {QStringLiteral(".png"), QStringLiteral(".jpg"), QStringLiteral(".jpeg"), QStringLiteral(".pcx")};
}

} // namespace

QString FindScreenshotFile(const QString& folder, const DirectoryListing& listing, const QString& rom,
                           ScreenshotKinds kinds) {
    if (!IsPlainFileName(rom) || folder.isEmpty())
        return {};
    QString stored;
    for (const QString& suffix : Suffixes(kinds)) {
        stored = listing.Find(rom + suffix);
        if (!stored.isEmpty())
            break;
    }
    if (stored.isEmpty() && kinds != ScreenshotKinds::Pcx) {
        const QString setFolder = listing.FindFolder(rom);
        if (!setFolder.isEmpty()) {
            QStringList filters = {QStringLiteral("*.png")};
            if (kinds == ScreenshotKinds::Artwork)
                filters = {QStringLiteral("*.png"), QStringLiteral("*.jpg"), QStringLiteral("*.jpeg"),
                           QStringLiteral("*.pcx")};
            // Name filters ignore case; MAME numbers its snapshots from 0000, so the first by name
            // is the first it took.
            const QStringList shots =
                QDir(folder + setFolder).entryList(filters, QDir::Files | QDir::Hidden, QDir::Name);
            if (!shots.isEmpty())
                stored = setFolder + QLatin1Char('/') + shots.first();
        }
    }
    return stored.isEmpty() ? QString() : folder + stored;
}

const DirectoryListing& ScreenshotFinder::Listing(const QString& pcxPath) {
    const QDateTime modified = QFileInfo(pcxPath).lastModified();
    // A folder's time stamp has coarse steps: one changed shortly before the listing was taken
    // may change again without showing it, so such a listing is not trusted.
    const bool settled = listedModified_.isValid() && listedModified_.msecsTo(listedAt_) > 2000;
    if (!listing_ || listedPath_ != pcxPath || listedModified_ != modified || !settled) {
        listing_ = std::make_unique<DirectoryListing>(pcxPath);
        listedPath_ = pcxPath;
        listedModified_ = modified;
        listedAt_ = QDateTime::currentDateTime();
    }
    return *listing_;
}

QString ScreenshotFinder::FindOwn(const QString& pcxPath, const QString& rom, ScreenshotKinds kinds) {
    if (!IsPlainFileName(rom) || pcxPath.isEmpty())
        return {};
    // The usual case, a file named exactly as the set, needs no listing.
    const QString exact = pcxPath + rom + Suffixes(kinds).first();
    if (QFileInfo(exact).isFile())
        return exact;
    return FindScreenshotFile(pcxPath, Listing(pcxPath), rom, kinds);
}

QString ScreenshotFinder::Find(const QString& pcxPath, const QString& rom, const QString& clone, bool assumeMerged,
                               ScreenshotKinds kinds) {
    const QString own = FindOwn(pcxPath, rom, kinds);
    if (!own.isEmpty())
        return own;
    const QString parent = clone.trimmed();
    if (parent.isEmpty() || !assumeMerged)
        return {};
    return FindOwn(pcxPath, parent, kinds);
}

} // namespace zelvora
