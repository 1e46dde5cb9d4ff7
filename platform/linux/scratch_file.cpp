#include "platform/scratch_file.h"

#include "platform/error.h"
#include "platform/linux/descriptor_file_p.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace platform {
namespace {

[[noreturn]] void fail(const QString &folder, int code)
{
    throw Error(folder + QLatin1String(": ") + QString::fromLocal8Bit(std::strerror(code)));
}

int openUnnamed(const QByteArray &folder)
{
    const int fd = ::open(folder.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL))
        return fd;
    QByteArray pattern = folder + "/.scratch-XXXXXX";
    const int named = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (named >= 0)
        ::unlink(pattern.constData());
    return named;
}

} // namespace

std::unique_ptr<QFile> openScratchFile(const QString &folder)
{
    const int fd = openUnnamed(QFile::encodeName(folder));
    if (fd < 0)
        fail(folder, errno);
    auto file = std::make_unique<DescriptorFile>(folder);
    if (!file->open(fd, QIODevice::ReadWrite | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw Error(folder + QLatin1String(": ") + file->errorString());
    }
    return file;
}

} // namespace platform
