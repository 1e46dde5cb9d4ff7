#include "archive/checksum.h"

#include "archive/crc32_clmul_p.h"

#include "platform/error.h"

#include <zlib.h>

#include <algorithm>
#include <memory>

namespace archive {
namespace {

// Read in large pieces rather than mapped: a file that another process truncates while
// it is checked must give an error, not a SIGBUS that ends the program.
constexpr qint64 ReadPiece = 1 << 20;

bool crcRead(QIODevice &file, qint64 offset, qint64 length, quint32 &crc)
{
    if (!file.seek(offset))
        return false;
    // No larger than the range, and left as it comes: a small archive is opened in the
    // time it takes to read it, not to clear a megabyte.
    const qint64 size = std::clamp<qint64>(length, 1, ReadPiece);
    const auto buffer = std::make_unique_for_overwrite<char[]>(static_cast<size_t>(size));
    while (length > 0) {
        const qint64 got = file.read(buffer.get(), std::min(length, size));
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
    auto bytes = reinterpret_cast<const unsigned char *>(data);
    if (size >= detail::ClmulMinimum && detail::clmulAvailable()) {
        const qint64 folded = size & ~(detail::ClmulBlock - 1);
        crc = ~detail::crc32Clmul(~crc, bytes, folded);
        bytes += folded;
        size -= folded;
    }
    return static_cast<quint32>(crc32_z(crc, bytes, static_cast<z_size_t>(size)));
}

quint32 crc32OfFileRange(QIODevice &file, qint64 offset, qint64 length, quint32 crc, const QString &failure)
{
    if (offset < 0 || length < 0 || offset + length > file.size())
        throw platform::Error(failure);
    if (!crcRead(file, offset, length, crc))
        throw platform::Error(failure);
    return crc;
}

} // namespace archive
