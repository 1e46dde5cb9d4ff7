#include "platform/secret_file.h"

#include "platform/error.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

class Descriptor
{
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

[[noreturn]] void fail(const QString &path, const QString &reason)
{
    throw Error(QStringLiteral("Cannot read %1: %2").arg(path, reason));
}

} // namespace

std::optional<SecretBuffer> readSecretFile(const QString &path, std::size_t maxBytes)
{
    const Descriptor fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) {
        if (errno == ENOENT)
            return std::nullopt;
        fail(path, errno == ELOOP ? QStringLiteral("it is a symbolic link, which is never followed")
                                  : QString::fromLocal8Bit(std::strerror(errno)));
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        fail(path, QString::fromLocal8Bit(std::strerror(errno)));
    if (!S_ISREG(st.st_mode))
        fail(path, QStringLiteral("it is not a regular file"));
    if (std::size_t(st.st_size) > maxBytes)
        fail(path, QStringLiteral("it is larger than %1 bytes").arg(maxBytes));
    // One byte more than the file holds shows a file that grew meanwhile.
    const std::size_t limit = std::size_t(st.st_size) + 1;
    SecretBuffer bytes;
    char *room = bytes.extend(limit);
    std::size_t filled = 0;
    for (;;) {
        const ssize_t got = ::read(fd.get(), room + filled, limit - filled);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            fail(path, QString::fromLocal8Bit(std::strerror(errno)));
        if (got == 0)
            break;
        filled += std::size_t(got);
        if (filled == limit)
            fail(path, QStringLiteral("it grew while it was read"));
    }
    bytes.shrink(limit - filled);
    return bytes;
}

} // namespace platform
