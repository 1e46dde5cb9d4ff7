#pragma once
// File-system steps of the file-tree registry store, all relative to an open directory
// and never following a symbolic link: the machine store is writable by every account,
// so a link planted in it must not lead a write elsewhere. Functions give 0 or an errno.
#include "platform/linux/registry_names_p.h"
#include "platform/registry_store.h"

#include <QByteArray>

#include <sys/types.h>
#include <utility>
#include <vector>

namespace platform::registry {

class UniqueFd
{
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : m_fd(fd) {}
    UniqueFd(UniqueFd &&other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    UniqueFd &operator=(UniqueFd &&other) noexcept;
    UniqueFd(const UniqueFd &) = delete;
    UniqueFd &operator=(const UniqueFd &) = delete;
    ~UniqueFd();

    int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }
    explicit operator bool() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

RegistryStatus statusOf(int error);

// Opens the directory entry of a key (sets errno on failure).
UniqueFd openDirectory(int parentFd, const QByteArray &entry);

// Opens the key directory at a path of entries joined by "/" below the root in one step,
// where the kernel can (openat2: no link followed, nothing outside the root); fails
// otherwise, and the caller walks one directory at a time.
UniqueFd openBeneath(int rootFd, const QByteArray &relativePath);

// 0 when this account may change the directory (create and remove entries in it).
int mayChange(int dirFd);

// Reads a whole regular file of at most maxSize bytes (EFBIG when larger).
int readFile(int dirFd, const QByteArray &entry, qsizetype maxSize, QByteArray &bytes);

// Replaces the entry with a file of these bytes: a temporary file in the same directory
// (unnamed until it is whole, where the file system allows), flushed to disk, renamed over
// the entry, and the directory flushed. Temporary files left by writers that are gone are
// removed first.
int replaceFile(int dirFd, const QByteArray &entry, const QByteArray &bytes, mode_t mode);

// Removes an entry and flushes the directory.
int removeEntry(int dirFd, const QByteArray &entry, int flags);

struct Entry
{
    QByteArray name;
    EntryKind kind;
};

// The directory's entries sorted by name.
int listEntries(int dirFd, std::vector<Entry> &entries);

} // namespace platform::registry
