#include "detail/ScreenshotFinder.h"

#include <QFileInfo>

namespace zelvora {

const DirectoryListing& ScreenshotFinder::listing(const QString& pcxPath) {
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

QString ScreenshotFinder::FindOwn(const QString& pcxPath, const QString& rom) {
    if (rom.isEmpty() || pcxPath.isEmpty())
        return {};
    const QString name = rom + QStringLiteral(".pcx");
    if (QFileInfo(pcxPath + name).isFile())
        return pcxPath + name;
    const QString stored = listing(pcxPath).Find(name);
    return stored.isEmpty() ? QString() : pcxPath + stored;
}

QString ScreenshotFinder::Find(const QString& pcxPath, const QString& rom, const QString& clone, bool assumeMerged) {
    const QString own = FindOwn(pcxPath, rom);
    if (!own.isEmpty())
        return own;
    const QString parent = clone.trimmed();
    if (parent.isEmpty() || !assumeMerged)
        return {};
    return FindOwn(pcxPath, parent);
}

} // namespace zelvora
