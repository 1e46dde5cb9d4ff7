#include "archive/registrywriter.h"

#include "archive/deflater.h"

#include <zlib.h>

#include <memory>

namespace archive {
namespace {

QByteArray layOut(const std::vector<TZLBFileRec> &records)
{
    QByteArray bytes(static_cast<qsizetype>(records.size()) * layout::FileRecSize, Qt::Uninitialized);
    for (size_t i = 0; i < records.size(); ++i)
        writeFileRec(records[i], bytes.data() + i * layout::FileRecSize);
    return bytes;
}

// The compressed registry, built in memory first so that a failing compressor leaves
// nothing behind in the file; an empty result when it fails.
QByteArray compress(const QByteArray &plain, TFileCompressionLevel level,
                    const std::function<void(qint64, qint64)> &progress)
{
    QByteArray packed;
    try {
        std::unique_ptr<Deflater> deflater;
        deflater = std::make_unique<Deflater>(zlibLevel(level), [&](const char *data, qint64 size) {
            packed.append(data, size);
            if (size == Deflater::OutputBufferSize && progress)
                progress(deflater->consumed(), plain.size());
        });
        deflater->feed(plain.constData(), plain.size());
        deflater->finish();
    } catch (const std::exception &) {
        return {};
    }
    return packed;
}

} // namespace

qint64 registryReserve(qint64 count)
{
    return static_cast<qint64>(compressBound(static_cast<uLong>(count * layout::FileRecSize))) + layout::ArchiveRecSize;
}

TZLBArchiveRec writeRegistry(ArchiveWriter &out, const std::vector<TZLBFileRec> &records, TFileCompressionLevel level,
                             const std::function<void(qint64 consumed, qint64 total)> &progress)
{
    TZLBArchiveRec trailer;
    trailer.ArchiveSize = static_cast<qint32>(out.size());
    trailer.FileCount = static_cast<qint32>(records.size());
    trailer.Version = 1;
    const QByteArray plain = layOut(records);
    const QByteArray packed = compress(plain, level, progress);
    if (!packed.isEmpty()) {
        out.append(packed);
        trailer.RegistrySize = static_cast<qint32>(packed.size());
        trailer.CompressedRegistry = 1;
    } else {
        out.append(plain);
    }
    trailer.CRC = out.checksum();
    char bytes[layout::ArchiveRecSize];
    writeArchiveRec(trailer, bytes);
    out.append(bytes, sizeof bytes);
    return trailer;
}

} // namespace archive
