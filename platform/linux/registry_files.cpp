#include "platform/linux/registry_files_p.h"

#include "platform/linux/writer_temp_names_p.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace platform::registry {
namespace {

constexpr int TempAttempts = 16;

// ".tmp-<writer's process id>-<random>": the id tells a later writer whether the file
// is still being written or was left behind by a process that is gone.
QByteArray tempEntry()
{
    return writerTempName(TempPrefix);
}

// Left over from a writer that died between naming its file and renaming it, or written
// before temporary names carried the writer's id.
bool isStaleTemp(int dirFd, const QByteArray &entry)
{
    if (const std::optional<bool> gone = writerIsGone(entry, TempPrefix))
        return *gone;
    struct stat st;
    constexpr time_t UnnamedWriterGrace = 60;
    return fstatat(dirFd, entry.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0
        && st.st_mtime + UnnamedWriterGrace < time(nullptr);
}

void removeStaleTemps(int dirFd)
{
    std::vector<Entry> entries;
    if (listEntries(dirFd, entries) != 0)
        return; // only tidying: the write itself reports what is wrong with the folder
    for (const Entry &entry : entries) {
        if (entry.kind == EntryKind::StoreFile && entry.name.startsWith(TempPrefix) && isStaleTemp(dirFd, entry.name))
            unlinkat(dirFd, entry.name.constData(), 0);
    }
}

// A file without a name in the directory: a crash before it is linked leaves nothing.
UniqueFd createUnnamedFile(int dirFd)
{
    return UniqueFd(openat(dirFd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600));
}

bool lacksUnnamedFiles(int error)
{
    return error == EOPNOTSUPP || error == EISDIR || error == EINVAL;
}

// Gives the unnamed file a temporary name, only to rename it over the entry at once.
// linkat with AT_EMPTY_PATH needs a capability; the /proc link of the descriptor does not.
int nameUnnamedFile(int fd, int dirFd, QByteArray &entry)
{
    const QByteArray procPath = "/proc/self/fd/" + QByteArray::number(fd);
    for (int attempt = 0; attempt < TempAttempts; ++attempt) {
        entry = tempEntry();
        if (linkat(AT_FDCWD, procPath.constData(), dirFd, entry.constData(), AT_SYMLINK_FOLLOW) == 0)
            return 0;
        if (errno != EEXIST)
            return errno;
    }
    return EEXIST;
}

UniqueFd createTempFile(int dirFd, QByteArray &entry)
{
    for (int attempt = 0; attempt < TempAttempts; ++attempt) {
        entry = tempEntry();
        UniqueFd fd(openat(dirFd, entry.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (fd || errno != EEXIST)
            return fd;
    }
    return UniqueFd();
}

int writeAll(int fd, const QByteArray &bytes)
{
    const char *at = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = write(fd, at, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        at += n;
        left -= n;
    }
    return 0;
}

// Everything before the rename: the temporary file must be whole and on disk first.
int writeFilled(int fd, const QByteArray &bytes, mode_t mode)
{
    if (const int error = writeAll(fd, bytes))
        return error;
    return fchmod(fd, mode) == 0 && fsync(fd) == 0 ? 0 : errno;
}

int readAll(int fd, qsizetype size, QByteArray &bytes)
{
    bytes.resize(size);
    qsizetype done = 0;
    while (done < size) {
        const ssize_t n = read(fd, bytes.data() + done, size_t(size - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            break; // shortened under us: the record check finds it damaged
        done += n;
    }
    bytes.truncate(done);
    return 0;
}

FileType fileTypeOf(int dirFd, const dirent &entry)
{
    unsigned char type = entry.d_type;
    if (type == DT_UNKNOWN) {
        struct stat st;
        if (fstatat(dirFd, entry.d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            return FileType::Other;
        type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISREG(st.st_mode) ? DT_REG : DT_UNKNOWN;
    }
    return type == DT_DIR ? FileType::Directory : type == DT_REG ? FileType::Regular : FileType::Other;
}

} // namespace

UniqueFd &UniqueFd::operator=(UniqueFd &&other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            close(m_fd);
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

UniqueFd::~UniqueFd()
{
    if (m_fd >= 0)
        close(m_fd);
}

RegistryStatus statusOf(int error)
{
    switch (error) {
    case 0:
        return {};
    case ENOENT:
        return {RegistryResult::NotFound, error};
    case EACCES:
    case EPERM:
    case EROFS:
        return {RegistryResult::AccessDenied, error};
    case ENODATA:
        return {RegistryResult::NoMoreItems, error};
    case EOVERFLOW:
        return {RegistryResult::MoreData, error};
    default:
        return {RegistryResult::Failed, error};
    }
}

UniqueFd openDirectory(int parentFd, const QByteArray &entry)
{
    return UniqueFd(openat(parentFd, entry.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

UniqueFd openBeneath(int rootFd, const QByteArray &relativePath)
{
    open_how how {};
    how.flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
    how.resolve = RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS;
    return UniqueFd(int(syscall(SYS_openat2, rootFd, relativePath.constData(), &how, sizeof how)));
}

int mayChange(int dirFd)
{
    return faccessat(dirFd, ".", W_OK | X_OK, AT_EACCESS) == 0 ? 0 : errno;
}

int readFile(int dirFd, const QByteArray &entry, qsizetype maxSize, QByteArray &bytes)
{
    // Non-blocking, so a foreign pipe of the same name cannot hang the read.
    UniqueFd fd(openat(dirFd, entry.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!fd)
        return errno;
    struct stat st;
    if (fstat(fd.get(), &st) != 0)
        return errno;
    if (!S_ISREG(st.st_mode))
        return S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    if (st.st_size > maxSize)
        return EFBIG;
    return readAll(fd.get(), qsizetype(st.st_size), bytes);
}

int replaceFile(int dirFd, const QByteArray &entry, const QByteArray &bytes, mode_t mode)
{
    removeStaleTemps(dirFd);
    QByteArray temp;
    int error = 0;
    UniqueFd file = createUnnamedFile(dirFd);
    if (file) {
        error = writeFilled(file.get(), bytes, mode);
        if (!error)
            error = nameUnnamedFile(file.get(), dirFd, temp);
        if (error)
            return error; // nothing was named, so nothing is left
        if (close(file.release()) != 0)
            error = errno;
    } else {
        if (!lacksUnnamedFiles(errno))
            return errno;
        file = createTempFile(dirFd, temp);
        if (!file)
            return errno;
        error = writeFilled(file.get(), bytes, mode);
        if (!error && close(file.release()) != 0)
            error = errno;
    }
    if (!error && renameat(dirFd, temp.constData(), dirFd, entry.constData()) != 0)
        error = errno;
    if (error) {
        unlinkat(dirFd, temp.constData(), 0);
        return error;
    }
    return fsync(dirFd) == 0 ? 0 : errno;
}

int removeEntry(int dirFd, const QByteArray &entry, int flags)
{
    if (unlinkat(dirFd, entry.constData(), flags) != 0)
        return errno;
    return fsync(dirFd) == 0 ? 0 : errno;
}

int listEntries(int dirFd, std::vector<Entry> &entries)
{
    // A directory stream of its own: readdir must start at the beginning every time.
    UniqueFd fd(openat(dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    DIR *dir = fd ? fdopendir(fd.get()) : nullptr;
    if (!dir)
        return errno;
    fd.release();
    entries.clear();
    int error = 0;
    for (;;) {
        errno = 0;
        const dirent *d = readdir(dir);
        if (!d) {
            error = errno;
            break;
        }
        const QByteArray name(d->d_name);
        if (name != "." && name != "..")
            entries.push_back({name, classifyEntry(name, fileTypeOf(dirfd(dir), *d))});
    }
    closedir(dir);
    std::sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) { return a.name < b.name; });
    return error;
}

} // namespace platform::registry
