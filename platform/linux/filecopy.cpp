#include "platform/filecopy.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace platform {
namespace {

constexpr qint64 FallbackPiece = 1 << 20;

QString systemError(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

// The kernel copy; false when the kernel cannot do it for these files, so the
// caller falls back to plain reads and writes for the rest.
bool kernelCopy(int in, qint64 &inOffset, int out, qint64 &outOffset, qint64 &left, int &failure)
{
    while (left > 0) {
        loff_t inOff = inOffset;
        loff_t outOff = outOffset;
        const ssize_t done = ::copy_file_range(in, &inOff, out, &outOff, static_cast<size_t>(left), 0);
        if (done < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP || errno == EBADF)
                return false;
            failure = errno;
            return true;
        }
        if (done == 0) {
            failure = 0; // the source ended early
            return true;
        }
        inOffset += done;
        outOffset += done;
        left -= done;
    }
    return true;
}

bool pieceCopy(int in, qint64 inOffset, int out, qint64 outOffset, qint64 left, int &failure)
{
    std::vector<char> buffer(static_cast<size_t>(std::min(left, FallbackPiece)));
    while (left > 0) {
        const ssize_t got = ::pread(in, buffer.data(), static_cast<size_t>(std::min<qint64>(left, buffer.size())), inOffset);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            failure = got < 0 ? errno : 0;
            return false;
        }
        for (ssize_t written = 0; written < got;) {
            const ssize_t put = ::pwrite(out, buffer.data() + written, static_cast<size_t>(got - written), outOffset + written);
            if (put < 0 && errno == EINTR)
                continue;
            if (put <= 0) {
                failure = put < 0 ? errno : ENOSPC;
                return false;
            }
            written += put;
        }
        inOffset += got;
        outOffset += got;
        left -= got;
    }
    return true;
}

} // namespace

bool copyFileRange(QFile &from, qint64 fromOffset, QFile &to, qint64 toOffset, qint64 length, QString *error)
{
    const int in = from.handle();
    const int out = to.handle();
    int failure = -1;
    qint64 left = length;
    if (kernelCopy(in, fromOffset, out, toOffset, left, failure) && failure < 0)
        return true;
    if (failure < 0 && pieceCopy(in, fromOffset, out, toOffset, left, failure))
        return true;
    if (error)
        *error = failure > 0 ? systemError(failure) : QStringLiteral("the file ended early");
    return false;
}

void startWriteback(QFile &file, qint64 offset, qint64 length)
{
    ::sync_file_range(file.handle(), offset, length, SYNC_FILE_RANGE_WRITE);
}

bool syncFile(QFile &file, QString *error)
{
    if (::fsync(file.handle()) == 0)
        return true;
    if (error)
        *error = systemError(errno);
    return false;
}

} // namespace platform
