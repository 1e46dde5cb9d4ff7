#include "archive/archiveindex.h"

#include "archive/checksum.h"
#include "archive/inflater.h"
#include "archive/zlbmessages.h"
#include "platform/error.h"

namespace archive {
namespace {

constexpr qint64 RegistryPiece = 4096;
// Deflate cannot expand data by more than about 1032 to 1, so a registry region that
// claims more than this many records per byte is refused before anything is allocated.
constexpr qint64 MaxInflateRatio = 1032;

[[noreturn]] void failList()
{
    throw platform::Error(msg::unableToReadList());
}

TZLBArchiveRec readTrailer(QIODevice &file, qint64 fileSize)
{
    char bytes[layout::ArchiveRecSize];
    if (!file.seek(fileSize - layout::ArchiveRecSize) || file.read(bytes, sizeof bytes) != sizeof bytes)
        throw platform::Error(msg::archiveCorrupted());
    return readArchiveRec(bytes);
}

QByteArray readCompressedRegistry(QIODevice &file, qint64 start, qint64 regionLength, qint64 wanted,
                                  const RegistryProgress &progress)
{
    if (wanted / MaxInflateRatio > regionLength)
        failList();
    Inflater inflater(file, start, regionLength);
    QByteArray bytes;
    // Grown only as the stream delivers, so a lying count never allocates ahead.
    while (bytes.size() < wanted) {
        const qint64 piece = std::min(RegistryPiece, wanted - bytes.size());
        const qsizetype before = bytes.size();
        bytes.resize(before + piece);
        const qint64 got = inflater.read(bytes.data() + before, piece);
        if (got != piece || inflater.failed())
            failList();
        if (progress)
            progress(bytes.size(), wanted);
    }
    return bytes;
}

QByteArray readPlainRegistry(QIODevice &file, qint64 start, qint64 regionLength, qint64 wanted)
{
    if (wanted > regionLength || !file.seek(start))
        failList();
    QByteArray bytes = file.read(wanted);
    if (bytes.size() != wanted)
        failList();
    return bytes;
}

bool blockInDataArea(const TZLBFileRec &rec, qint64 dataAreaSize)
{
    return rec.osize >= 0 && rec.csize >= 0 && rec.start >= 0
           && static_cast<qint64>(rec.start) + rec.csize <= dataAreaSize;
}

std::vector<TZLBFileRec> cutRecords(const QByteArray &bytes, qint64 count, qint64 dataAreaSize)
{
    std::vector<TZLBFileRec> records;
    records.reserve(static_cast<size_t>(count));
    for (qint64 i = 0; i < count; ++i) {
        records.push_back(readFileRec(bytes.constData() + i * layout::FileRecSize));
        if (!blockInDataArea(records.back(), dataAreaSize))
            failList();
    }
    return records;
}

} // namespace

ArchiveIndex readArchiveIndex(QIODevice &file, const RegistryProgress &progress)
{
    const qint64 fileSize = file.size();
    if (fileSize < layout::ArchiveRecSize)
        throw platform::Error(msg::archiveCorrupted());
    ArchiveIndex index;
    index.details = readTrailer(file, fileSize);
    const qint64 checked = fileSize - layout::ArchiveRecSize;
    const qint64 dataArea = index.details.ArchiveSize;
    const bool dataAreaFits = dataArea >= 0 && dataArea <= checked;
    // The data area's checksum falls out of the whole-file pass when the area fits.
    quint32 crc = 0;
    if (dataAreaFits) {
        index.dataAreaCrc = crc32OfFileRange(file, 0, dataArea, 0, msg::archiveCorrupted());
        crc = crc32OfFileRange(file, dataArea, checked - dataArea, index.dataAreaCrc, msg::archiveCorrupted());
    } else {
        crc = crc32OfFileRange(file, 0, checked, 0, msg::archiveCorrupted());
    }
    if (crc != index.details.CRC)
        throw platform::Error(msg::archiveCorrupted());
    if (!dataAreaFits || index.details.FileCount < 0)
        failList();

    const qint64 count = index.details.FileCount;
    const qint64 wanted = count * layout::FileRecSize;
    const qint64 region = checked - dataArea;
    const QByteArray bytes = index.details.CompressedRegistry != 0
                                 ? readCompressedRegistry(file, dataArea, region, wanted, progress)
                                 : readPlainRegistry(file, dataArea, region, wanted);
    index.records = cutRecords(bytes, count, dataArea);
    return index;
}

} // namespace archive
