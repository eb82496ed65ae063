#pragma once

#include <QString>

#include <memory>

namespace zelvora {

// Only one Zelvora uses the catalogue of a folder: it holds an exclusive lock on the folder itself,
// which goes with the process however that process ends. The program takes it before its first
// window and holds it to its end, so that no other Zelvora creates, opens or compacts the
// catalogue meanwhile; creation and compaction take it as well, for a program (a tool, a test)
// that has not. Within one program it may be taken again: the folder is let go with its last
// holder.
class FolderLock {
public:
    // Raises StoreError when the folder cannot be opened, or another program holds its lock.
    explicit FolderLock(const QString& folder);
    // The lock, or nothing when another program holds it. Raises StoreError when the folder cannot
    // be opened or locked for another reason.
    static std::unique_ptr<FolderLock> TryLock(const QString& folder);

    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    struct Unlocked {};
    explicit FolderLock(Unlocked) {}
    // False when another program holds the lock.
    bool acquire(const QString& folder);

    bool held_ = false;
    unsigned long long device_ = 0, inode_ = 0; // the folder's, which name it however it is spelt
};

} // namespace zelvora
