#include "archive/registrywriter.h"

#include "archive/deflater.h"

#include <zlib.h>

#include <algorithm>
#include <memory>

namespace archive {
namespace {

// The records go to the compressor, or to the file, this many at a time: the registry
// of a large archive is never laid out whole in memory.
constexpr size_t RecordsPerPiece = 2048;

// Lays out records [first, first + count) in `piece`.
void layOut(const std::vector<TZLBFileRec> &records, size_t first, size_t count, std::vector<char> &piece)
{
    piece.resize(count * layout::FileRecSize);
    for (size_t i = 0; i < count; ++i)
        writeFileRec(records[first + i], piece.data() + i * layout::FileRecSize);
}

// Hands every record's 532 bytes to `take`, in pieces.
template<class Take>
void forEachPiece(const std::vector<TZLBFileRec> &records, Take &&take)
{
    std::vector<char> piece;
    for (size_t first = 0; first < records.size(); first += RecordsPerPiece) {
        layOut(records, first, std::min(RecordsPerPiece, records.size() - first), piece);
        take(piece.data(), static_cast<qint64>(piece.size()));
    }
}

// The compressed registry, built in memory first so that a failing compressor leaves
// nothing behind in the file; an empty result when it fails.
QByteArray compress(const std::vector<TZLBFileRec> &records, TFileCompressionLevel level,
                    const std::function<void(qint64, qint64)> &progress)
{
    const qint64 total = static_cast<qint64>(records.size()) * layout::FileRecSize;
    QByteArray packed;
    try {
        std::unique_ptr<Deflater> deflater;
        deflater = std::make_unique<Deflater>(zlibLevel(level), [&](const char *data, qint64 size) {
            packed.append(data, size);
            if (size == Deflater::OutputBufferSize && progress)
                progress(deflater->consumed(), total);
        });
        forEachPiece(records, [&](const char *data, qint64 size) { deflater->feed(data, size); });
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
    const QByteArray packed = compress(records, level, progress);
    if (!packed.isEmpty()) {
        out.append(packed);
        trailer.RegistrySize = static_cast<qint32>(packed.size());
        trailer.CompressedRegistry = 1;
    } else {
        forEachPiece(records, [&](const char *data, qint64 size) { out.append(data, size); });
    }
    trailer.CRC = out.checksum();
    char bytes[layout::ArchiveRecSize];
    writeArchiveRec(trailer, bytes);
    out.append(bytes, sizeof bytes);
    return trailer;
}

} // namespace archive
