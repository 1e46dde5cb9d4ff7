#include "archive/checksum.h"

#include "suite/error.h"

#include <zlib.h>

#include <algorithm>
#include <memory>

namespace archive {
namespace {

// Mapped windows avoid copying each byte into a buffer before checksumming it, which
// costs about a third of the checksum's own time; a window at a time keeps the
// resident memory small on a file of any size.
constexpr qint64 MapWindow = 16 << 20;
constexpr qint64 ReadPiece = 256 << 10;

bool crcMapped(QFile &file, qint64 offset, qint64 length, quint32 &crc)
{
    quint32 result = crc;
    while (length > 0) {
        const qint64 piece = std::min(length, MapWindow);
        uchar *view = file.map(offset, piece);
        if (!view)
            return false;
        result = crc32Update(result, reinterpret_cast<const char *>(view), piece);
        file.unmap(view);
        offset += piece;
        length -= piece;
    }
    crc = result;
    return true;
}

bool crcRead(QFile &file, qint64 offset, qint64 length, quint32 &crc)
{
    if (!file.seek(offset))
        return false;
    const auto buffer = std::make_unique<char[]>(ReadPiece);
    while (length > 0) {
        const qint64 got = file.read(buffer.get(), std::min(length, ReadPiece));
        if (got <= 0)
            return false;
        crc = crc32Update(crc, buffer.get(), got);
        length -= got;
    }
    return true;
}

} // namespace

quint32 crc32Update(quint32 crc, const char *data, qint64 size)
{
    return static_cast<quint32>(crc32_z(crc, reinterpret_cast<const Bytef *>(data), static_cast<z_size_t>(size)));
}

quint32 crc32OfFileRange(QFile &file, qint64 offset, qint64 length, quint32 crc, const QString &failure)
{
    if (offset < 0 || length < 0 || offset + length > file.size())
        throw suite::Error(failure);
    // Only whole-window maps go through mmap: a short range is cheaper to read.
    if (length >= MapWindow && crcMapped(file, offset, length, crc))
        return crc;
    if (!crcRead(file, offset, length, crc))
        throw suite::Error(failure);
    return crc;
}

} // namespace archive
