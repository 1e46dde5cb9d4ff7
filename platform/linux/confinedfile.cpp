#include "platform/confinedfile.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace platform {
namespace {

QString systemError(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

void closeFd(int &fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

int openSubFolder(int parent, const QByteArray &name)
{
    return ::openat(parent, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

// The whole chain in one resolution that may neither leave the root nor pass a link;
// -1 with errno (ENOSYS where the kernel lacks it).
int openBeneath(int rootFd, const QStringList &folders)
{
    const QByteArray relative = QFile::encodeName(folders.join(QLatin1Char('/')));
    open_how how{};
    how.flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
    how.resolve = RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS;
    return static_cast<int>(::syscall(SYS_openat2, rootFd, relative.constData(), &how, sizeof how));
}

// A file made new with O_EXCL: what is written cannot go through anything planted at
// the name. The common case of an empty destination costs this one call.
int createNew(int folder, const QByteArray &native)
{
    return ::openat(folder, native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
}

} // namespace

ConfinedFile::~ConfinedFile()
{
    closeFd(m_fd);
}

void ConfinedFile::adopt(int fd)
{
    m_fd = fd;
    QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

bool ConfinedFile::finish()
{
    if (m_fd < 0)
        return true;
    const int result = ::close(m_fd);
    m_fd = -1;
    QIODevice::close();
    if (result != 0 && errno != EINTR) {
        setErrorString(systemError(errno));
        return false;
    }
    return true;
}

void ConfinedFile::close()
{
    (void)finish();
}

qint64 ConfinedFile::readData(char *, qint64)
{
    return -1;
}

qint64 ConfinedFile::writeData(const char *data, qint64 size)
{
    qint64 written = 0;
    while (written < size) {
        const ssize_t count = ::write(m_fd, data + written, static_cast<size_t>(size - written));
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0) {
            setErrorString(systemError(count < 0 ? errno : ENOSPC));
            return -1;
        }
        written += count;
    }
    return written;
}

ConfinedTree::ConfinedTree(const QString &root)
    : m_root(root)
{
}

ConfinedTree::~ConfinedTree()
{
    closeFd(m_folderFd);
    closeFd(m_rootFd);
}

QString ConfinedTree::describe(qsizetype count) const
{
    QString path = m_root;
    for (qsizetype i = 0; i < count; ++i)
        path += QLatin1Char('/') + m_folders.at(i);
    return path;
}

// Folder by folder from the root without following links, making (with `create`) each
// that is missing: where the kernel has no single resolution, or when something on the
// way is missing or wrong and must be made or named. The folder's descriptor, or -1.
int ConfinedTree::walk(const QStringList &folders, bool create, QString *error) const
{
    int current = ::dup(m_rootFd);
    for (qsizetype i = 0; i < folders.size() && current >= 0; ++i) {
        const QByteArray name = QFile::encodeName(folders.at(i));
        int next = openSubFolder(current, name);
        if (next < 0 && errno == ENOENT && create) {
            if (::mkdirat(current, name.constData(), 0777) == 0 || errno == EEXIST)
                next = openSubFolder(current, name);
        }
        const int code = errno;
        closeFd(current);
        current = next;
        if (current < 0 && error) {
            QString where = m_root;
            for (qsizetype j = 0; j <= i; ++j)
                where += QLatin1Char('/') + folders.at(j);
            *error = where + (code == ELOOP || code == ENOTDIR ? QLatin1String(" is a symbolic link or not a folder")
                                                               : QLatin1String(": ") + systemError(code));
        }
    }
    return current;
}

bool ConfinedTree::enter(const QStringList &folders, bool create, QString *error)
{
    if (m_entered && folders == m_folders)
        return true;
    m_entered = false;
    closeFd(m_folderFd);
    if (m_rootFd < 0) {
        m_rootFd = ::open(QFile::encodeName(m_root).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (m_rootFd < 0) {
            if (error)
                *error = m_root + QLatin1String(": ") + systemError(errno);
            return false;
        }
    }
    if (!folders.isEmpty()) {
        m_folderFd = openBeneath(m_rootFd, folders);
        // Anything but success goes the long way, which makes what is missing and names
        // what is wrong.
        if (m_folderFd < 0)
            m_folderFd = walk(folders, create, error);
        if (m_folderFd < 0)
            return false;
    }
    m_folders = folders;
    m_entered = true;
    return true;
}

bool ConfinedTree::exists(const QString &name) const
{
    struct stat info {};
    const int folder = m_folderFd >= 0 ? m_folderFd : m_rootFd;
    return m_entered && ::fstatat(folder, QFile::encodeName(name).constData(), &info, AT_SYMLINK_NOFOLLOW) == 0;
}

bool ConfinedTree::openFile(ConfinedFile &file, const QString &name, QString *error)
{
    const int folder = m_folderFd >= 0 ? m_folderFd : m_rootFd;
    const QByteArray native = QFile::encodeName(name);
    const auto fail = [&](const QString &reason) {
        if (error)
            *error = describe(m_folders.size()) + QLatin1Char('/') + name + reason;
        return false;
    };
    if (!m_entered)
        return fail(QLatin1String(": no folder"));
    int fd = createNew(folder, native);
    if (fd < 0 && errno == EEXIST) {
        struct stat info {};
        if (::fstatat(folder, native.constData(), &info, AT_SYMLINK_NOFOLLOW) == 0) {
            // A link at the name is removed, never written through; a FIFO or device is
            // refused, so nothing blocks on it or writes into it.
            if (S_ISLNK(info.st_mode))
                ::unlinkat(folder, native.constData(), 0);
            else if (!S_ISREG(info.st_mode))
                return fail(QLatin1String(" is not a regular file"));
        }
        fd = ::openat(folder, native.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
    }
    if (fd < 0)
        return fail(QLatin1String(": ") + systemError(errno));
    file.adopt(fd);
    return true;
}

} // namespace platform
