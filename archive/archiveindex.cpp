#include "archive/archiveindex.h"

#include "archive/checksum.h"
#include "archive/inflater.h"
#include "archive/zlbmessages.h"
#include "platform/error.h"

namespace archive {
namespace {

constexpr qint64 RegistryPiece = 4096;
constexpr qint64 PlainPiece = 1000 * layout::FileRecSize;
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

bool blockInDataArea(const TZLBFileRec &rec, qint64 dataAreaSize)
{
    return rec.osize >= 0 && rec.csize >= 0 && rec.start >= 0
           && static_cast<qint64>(rec.start) + rec.csize <= dataAreaSize;
}

// Turns the registry's bytes into records as they arrive, so the registry is never held
// whole: an archive of 200,000 entries would need 100 MiB for it.
class RecordCutter
{
public:
    RecordCutter(qint64 count, qint64 dataAreaSize)
        : m_dataAreaSize(dataAreaSize)
    {
        m_records.reserve(static_cast<size_t>(count));
    }

    // Room for the next `size` bytes, to be filled before take().
    char *room(qint64 size)
    {
        m_bytes.resize(static_cast<size_t>(m_filled + size));
        return m_bytes.data() + m_filled;
    }

    // Takes the bytes put into room() and cuts every whole record they complete.
    void take(qint64 size)
    {
        m_filled += size;
        qint64 at = 0;
        for (; m_filled - at >= layout::FileRecSize; at += layout::FileRecSize) {
            m_records.push_back(readFileRec(m_bytes.data() + at));
            if (!blockInDataArea(m_records.back(), m_dataAreaSize))
                failList();
        }
        m_bytes.erase(m_bytes.begin(), m_bytes.begin() + at);
        m_filled -= at;
    }

    std::vector<TZLBFileRec> records() { return std::move(m_records); }

private:
    qint64 m_dataAreaSize;
    std::vector<char> m_bytes;   // at most one piece and a part of a record
    qint64 m_filled = 0;
    std::vector<TZLBFileRec> m_records;
};

void readCompressedRegistry(QIODevice &file, qint64 start, qint64 regionLength, qint64 wanted, RecordCutter &cutter,
                            const RegistryProgress &progress)
{
    if (wanted / MaxInflateRatio > regionLength)
        failList();
    Inflater inflater(file, start, regionLength);
    // Records are cut as the stream delivers, so a lying count never allocates ahead.
    for (qint64 done = 0; done < wanted;) {
        const qint64 piece = std::min(RegistryPiece, wanted - done);
        const qint64 got = inflater.read(cutter.room(piece), piece);
        if (got != piece || inflater.failed())
            failList();
        cutter.take(piece);
        done += piece;
        if (progress)
            progress(done, wanted);
    }
}

void readPlainRegistry(QIODevice &file, qint64 start, qint64 regionLength, qint64 wanted, RecordCutter &cutter)
{
    if (wanted > regionLength || !file.seek(start))
        failList();
    for (qint64 done = 0; done < wanted;) {
        const qint64 piece = std::min(PlainPiece, wanted - done);
        if (file.read(cutter.room(piece), piece) != piece)
            failList();
        cutter.take(piece);
        done += piece;
    }
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
    // Room for the records a region of that length can plausibly hold: a count that lies
    // reserves no more than the file could fill.
    const qint64 plausible = index.details.CompressedRegistry != 0 ? region : region / layout::FileRecSize;
    RecordCutter cutter(std::min(count, plausible), dataArea);
    if (index.details.CompressedRegistry != 0)
        readCompressedRegistry(file, dataArea, region, wanted, cutter, progress);
    else
        readPlainRegistry(file, dataArea, region, wanted, cutter);
    index.records = cutter.records();
    return index;
}

} // namespace archive
