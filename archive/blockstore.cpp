#include "archive/blockstore.h"

#include "archive/checksum.h"
#include "archive/deflater.h"
#include "archive/limiterror.h"
#include "archive/zlbmessages.h"
#include "suite/error.h"

#include <memory>
#include <optional>

namespace archive {
namespace {

constexpr qint64 ReadPiece = 256 << 10;
constexpr qint64 StoredProgressPiece = 65536;

struct SourceSummary
{
    qint64 size = 0;
    quint32 crc = 0;
};

// Where the compressed form waits until its length is known.
class CompressedSpool
{
public:
    CompressedSpool(qint64 sourceSize, const BlockOptions &options)
    {
        if (sourceSize > BlockOptions::SpillThreshold && options.createTempFile) {
            m_file.emplace(options.createTempFile());
            if (!m_file->open(QIODevice::ReadWrite | QIODevice::Truncate | QIODevice::Unbuffered))
                throw suite::Error(msg::unableToOpen(m_file->fileName()));
        }
    }
    ~CompressedSpool()
    {
        if (m_file) {
            m_file->close();
            m_file->remove();
        }
    }

    void write(const char *data, qint64 size)
    {
        m_crc = crc32Update(m_crc, data, size);
        m_size += size;
        if (!m_file)
            m_bytes.append(data, size);
        else if (m_file->write(data, size) != size)
            throw suite::Error(msg::unableToWrite(m_file->fileName() + QLatin1String(": ") + m_file->errorString()));
    }

    qint64 size() const { return m_size; }

    void copyTo(ArchiveWriter &out)
    {
        if (m_file)
            out.copyRange(*m_file, 0, m_size, m_crc);
        else
            out.append(m_bytes);
    }

private:
    std::optional<QFile> m_file;
    QByteArray m_bytes;
    qint64 m_size = 0;
    quint32 m_crc = 0;
};

void rewind(QIODevice &source, const BlockOptions &options)
{
    if (source.isSequential() || !source.seek(0))
        throw suite::Error(msg::streamNotSeekable(options.sourceName));
}

// Reads the whole source from its start, handing each piece on; checks the 2 GiB limit
// as it goes, since a file may grow while it is read.
SourceSummary readSource(QIODevice &source, const BlockOptions &options,
                         const std::function<void(const char *, qint64)> &piece)
{
    rewind(source, options);
    const auto buffer = std::make_unique<char[]>(ReadPiece);
    SourceSummary summary;
    for (;;) {
        const qint64 got = source.read(buffer.get(), ReadPiece);
        if (got < 0)
            throw suite::Error(msg::unableToOpen(options.sourceName));
        if (got == 0)
            return summary;
        if (got > BlockOptions::MaxEntrySize - summary.size)
            throw LimitError(msg::entryTooLarge(options.sourceName));
        summary.crc = crc32Update(summary.crc, buffer.get(), got);
        summary.size += got;
        piece(buffer.get(), got);
    }
}

void reportProgress(const BlockOptions &options, qint64 consumed, qint64 total)
{
    if (options.progress)
        options.progress(consumed, total);
}

// Copies the source into the archive as it is, reporting every 64 KiB.
SourceSummary copyStored(QIODevice &source, ArchiveWriter &out, const BlockOptions &options, qint64 total)
{
    qint64 copied = 0;
    qint64 lastReport = 0;
    return readSource(source, options, [&](const char *data, qint64 size) {
        out.ensureRoom(size + options.reserve);
        out.append(data, size);
        copied += size;
        if (copied - lastReport >= StoredProgressPiece) {
            lastReport = copied;
            reportProgress(options, copied, total);
        }
    });
}

void storePlain(QIODevice &source, ArchiveWriter &out, const BlockOptions &options, qint64 total,
                const std::optional<SourceSummary> &expected, TZLBFileRec &rec)
{
    const SourceSummary stored = copyStored(source, out, options, total);
    if (expected && (stored.size != expected->size || stored.crc != expected->crc))
        throw suite::Error(msg::sourceChanged(options.sourceName));
    rec.osize = static_cast<qint32>(stored.size);
    rec.csize = rec.osize;
    rec.CRC = stored.crc;
    rec.Status = fsStored;
    rec.CompressionLevel = fcNone;
}

void storeCompressedOrPlain(QIODevice &source, ArchiveWriter &out, const BlockOptions &options, TZLBFileRec &rec)
{
    const qint64 total = source.isSequential() ? 0 : source.size();
    if (total > BlockOptions::MaxEntrySize)
        throw LimitError(msg::entryTooLarge(options.sourceName));
    rec.start = static_cast<qint32>(out.size());
    // Deflate at level 0 only adds framing to the source, so it is never shorter.
    if (options.level == fcNone) {
        storePlain(source, out, options, total, std::nullopt, rec);
        return;
    }
    CompressedSpool spool(total, options);
    std::unique_ptr<Deflater> deflater;
    deflater = std::make_unique<Deflater>(zlibLevel(options.level), [&](const char *data, qint64 size) {
        spool.write(data, size);
        if (size == Deflater::OutputBufferSize)
            reportProgress(options, deflater->consumed(), total);
    });
    const SourceSummary read = readSource(source, options, [&](const char *data, qint64 size) {
        deflater->feed(data, size);
    });
    deflater->finish();
    if (spool.size() >= read.size) {
        storePlain(source, out, options, total, read, rec);
        return;
    }
    out.ensureRoom(spool.size() + options.reserve);
    spool.copyTo(out);
    rec.osize = static_cast<qint32>(read.size);
    rec.csize = static_cast<qint32>(spool.size());
    rec.CRC = read.crc;
    rec.Status = fsCompressed;
    rec.CompressionLevel = options.level;
}

} // namespace

void storeBlock(QIODevice &source, ArchiveWriter &out, const BlockOptions &options, TZLBFileRec &rec)
{
    const ArchiveWriter::Mark mark = out.mark();
    try {
        storeCompressedOrPlain(source, out, options, rec);
    } catch (...) {
        out.rollBack(mark);
        throw;
    }
}

} // namespace archive
