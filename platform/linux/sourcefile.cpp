#include "platform/sourcefile.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

SourceFile::~SourceFile()
{
    close();
}

bool SourceFile::openFile(const QString &name)
{
    close();
    // O_NONBLOCK: opening a FIFO must not wait for a writer; a regular file ignores it.
    const int fd = ::open(QFile::encodeName(name).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        setErrorString(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    struct stat status{};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        setErrorString(QStringLiteral("not a regular file"));
        ::close(fd);
        return false;
    }
    m_fd = fd;
    m_size = status.st_size;
    return QIODevice::open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

void SourceFile::close()
{
    if (m_fd < 0)
        return;
    QIODevice::close();
    ::close(m_fd);
    m_fd = -1;
    m_size = 0;
    m_endSeenAt = -1;
}

bool SourceFile::seek(qint64 pos)
{
    m_endSeenAt = -1;
    return QIODevice::seek(pos);
}

qint64 SourceFile::readData(char *data, qint64 maxSize)
{
    if (m_endSeenAt >= 0 && pos() >= m_endSeenAt)
        return 0;
    for (;;) {
        const ssize_t got = ::pread(m_fd, data, static_cast<size_t>(maxSize), pos());
        if (got >= 0) {
            // A regular file reads short only at its end.
            if (got < maxSize && pos() + got >= m_size)
                m_endSeenAt = pos() + got;
            return got;
        }
        if (errno != EINTR) {
            setErrorString(QString::fromLocal8Bit(std::strerror(errno)));
            return -1;
        }
    }
}

qint64 SourceFile::writeData(const char *, qint64)
{
    return -1;
}

} // namespace platform
