#include "platform/confinedfile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

// An open folder descriptor that closes itself.
class FolderHandle
{
public:
    explicit FolderHandle(int fd = -1)
        : m_fd(fd)
    {
    }
    FolderHandle(const FolderHandle &) = delete;
    FolderHandle &operator=(const FolderHandle &) = delete;
    FolderHandle(FolderHandle &&other) noexcept
        : m_fd(other.m_fd)
    {
        other.m_fd = -1;
    }
    FolderHandle &operator=(FolderHandle &&other) noexcept
    {
        std::swap(m_fd, other.m_fd);
        return *this;
    }
    ~FolderHandle()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int fd() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }

private:
    int m_fd;
};

QString systemError(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

QString describe(const QString &root, const QStringList &folders, qsizetype count)
{
    QString path = root;
    for (qsizetype i = 0; i < count; ++i)
        path += QLatin1Char('/') + folders.at(i);
    return path;
}

FolderHandle openSubFolder(int parent, const QByteArray &name)
{
    return FolderHandle(::openat(parent, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

// Walks (and with `create`, makes) the chain of folders below root without following
// links below it; an invalid handle and *error when it cannot.
FolderHandle walk(const QString &root, const QStringList &folders, bool create, QString *error)
{
    FolderHandle current(::open(QFile::encodeName(root).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!current.valid()) {
        if (error)
            *error = root + QLatin1String(": ") + systemError(errno);
        return current;
    }
    for (qsizetype i = 0; i < folders.size(); ++i) {
        const QByteArray name = QFile::encodeName(folders.at(i));
        if (create && ::mkdirat(current.fd(), name.constData(), 0777) != 0 && errno != EEXIST) {
            if (error)
                *error = describe(root, folders, i + 1) + QLatin1String(": ") + systemError(errno);
            return FolderHandle();
        }
        FolderHandle next = openSubFolder(current.fd(), name);
        if (!next.valid()) {
            const int code = errno;
            if (error) {
                *error = describe(root, folders, i + 1)
                         + (code == ELOOP || code == ENOTDIR ? QLatin1String(" is a symbolic link or not a folder")
                                                             : QLatin1String(": ") + systemError(code));
            }
            return next;
        }
        current = std::move(next);
    }
    return current;
}

} // namespace

bool makeConfinedFolders(const QString &root, const QStringList &folders, QString *error)
{
    return walk(root, folders, true, error).valid();
}

bool confinedEntryExists(const QString &root, const QStringList &folders, const QString &name)
{
    const FolderHandle folder = walk(root, folders, false, nullptr);
    struct stat info {};
    return folder.valid() && ::fstatat(folder.fd(), QFile::encodeName(name).constData(), &info, AT_SYMLINK_NOFOLLOW) == 0;
}

bool openConfinedFile(QFile &file, const QString &root, const QStringList &folders, const QString &name,
                      QString *error)
{
    const FolderHandle folder = walk(root, folders, false, error);
    if (!folder.valid())
        return false;
    const QByteArray native = QFile::encodeName(name);
    struct stat info {};
    if (::fstatat(folder.fd(), native.constData(), &info, AT_SYMLINK_NOFOLLOW) == 0) {
        // A link at the name is removed, never written through; a FIFO or device is
        // refused, so nothing blocks on it or writes into it.
        if (S_ISLNK(info.st_mode)) {
            ::unlinkat(folder.fd(), native.constData(), 0);
        } else if (!S_ISREG(info.st_mode)) {
            if (error)
                *error = describe(root, folders, folders.size()) + QLatin1Char('/') + name
                         + QLatin1String(" is not a regular file");
            return false;
        }
    }
    const int fd = ::openat(folder.fd(), native.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
        if (error)
            *error = describe(root, folders, folders.size()) + QLatin1Char('/') + name + QLatin1String(": ")
                     + systemError(errno);
        return false;
    }
    if (!file.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace platform
