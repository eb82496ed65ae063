#include "store/FolderLock.h"

#include "store/Catalogue.h"
#include "store/StoreError.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zelvora {

namespace {

// A lock held on another descriptor of the same folder, even by this program, would shut this
// program out: each folder is locked once per program, and counted.
struct Held {
    int fd = -1;
    int holders = 0;
};
std::mutex heldMutex;
std::map<std::pair<unsigned long long, unsigned long long>, Held> heldFolders;

QString reason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

FolderLock::FolderLock(const QString& folder) {
    if (!acquire(folder))
        throw StoreError(QStringLiteral("The catalogue '%1' is in use by another Zelvora.").arg(CatalogueFile(folder)));
}

std::unique_ptr<FolderLock> FolderLock::TryLock(const QString& folder) {
    std::unique_ptr<FolderLock> lock(new FolderLock(Unlocked{}));
    if (!lock->acquire(folder))
        return nullptr;
    return lock;
}

bool FolderLock::acquire(const QString& folder) {
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        throw StoreError(QStringLiteral("Could not open the folder '%1': %2").arg(folder, reason(errno)));
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        const int error = errno;
        ::close(fd);
        throw StoreError(QStringLiteral("Could not open the folder '%1': %2").arg(folder, reason(error)));
    }
    const std::lock_guard<std::mutex> guard(heldMutex);
    const auto key = std::pair<unsigned long long, unsigned long long>(info.st_dev, info.st_ino);
    if (const auto it = heldFolders.find(key); it != heldFolders.end()) {
        ::close(fd);
        ++it->second.holders;
    } else {
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            ::close(fd);
            if (error == EWOULDBLOCK)
                return false;
            throw StoreError(QStringLiteral("Could not lock the folder '%1': %2").arg(folder, reason(error)));
        }
        heldFolders.emplace(key, Held{fd, 1});
    }
    held_ = true;
    std::tie(device_, inode_) = key;
    return true;
}

FolderLock::~FolderLock() {
    if (!held_)
        return;
    const std::lock_guard<std::mutex> guard(heldMutex);
    const auto it = heldFolders.find({device_, inode_});
    if (it == heldFolders.end() || --it->second.holders > 0)
        return;
    ::close(it->second.fd);
    heldFolders.erase(it);
}

} // namespace zelvora
