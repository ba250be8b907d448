#pragma once

#include <QString>

// Engines keep the locks of a shared file in their lock folder; two engines
// with different folders (programs of two users) would each take the file for
// its own and spoil it. A mark on the file names the folder of the engines that
// have it open: a shared byte-range lock at a place given by the folder, held
// while the connection is open. Another folder's mark refuses the opening.
class LockFolderMark {
public:
    LockFolderMark() = default;
    ~LockFolderMark() { release(); }
    LockFolderMark(const LockFolderMark&) = delete;
    LockFolderMark& operator=(const LockFolderMark&) = delete;

    // Throws DbError when engines of another lock folder hold the file. A file
    // this process cannot read is left to the engine to refuse.
    void take(const QString& path, const QString& lockFolder);
    void release() noexcept;

private:
    int m_fd = -1;
};
