#include "archive/blockstore.h"

#include "archive/checksum.h"
#include "archive/deflater.h"
#include "archive/limiterror.h"
#include "archive/zlbmessages.h"
#include "platform/error.h"

#include <optional>
#include <vector>

namespace archive {
namespace {

// Small enough to stay in the cache while it is checksummed and compressed.
constexpr qint64 ReadPiece = 64 << 10;
constexpr qint64 StoredProgressPiece = 65536;

struct SourceSummary
{
    qint64 size = 0;
    quint32 crc = 0;
};

// A temporary file that holds the compressed form of a big source while it is made.
class SpillFile
{
public:
    explicit SpillFile(const QString &name)
        : m_file(name)
    {
        if (!m_file.open(QIODevice::ReadWrite | QIODevice::Truncate | QIODevice::Unbuffered))
            throw platform::Error(msg::unableToOpen(name));
    }
    ~SpillFile()
    {
        m_file.close();
        m_file.remove();
    }

    void write(const char *data, qint64 size)
    {
        // The archive continues its checksum from this one instead of reading the copy.
        m_crc = crc32Update(m_crc, data, size);
        if (m_file.write(data, size) != size)
            throw platform::Error(msg::unableToWrite(m_file.fileName() + QLatin1String(": ") + m_file.errorString()));
    }

    void copyTo(ArchiveWriter &out, qint64 size) { out.copyRange(m_file, 0, size, m_crc); }

private:
    QFile m_file;
    quint32 m_crc = 0;
};

void rewind(QIODevice &source, const BlockOptions &options)
{
    if (source.isSequential() || !source.seek(0))
        throw platform::Error(msg::streamNotSeekable(options.sourceName));
}

void reportProgress(const BlockOptions &options, qint64 consumed, qint64 total)
{
    if (options.progress)
        options.progress(consumed, total);
}

} // namespace

struct BlockStore::State
{
    TFileCompressionLevel level;
    std::unique_ptr<char[]> readBuffer = std::make_unique_for_overwrite<char[]>(ReadPiece);
    std::vector<char> spool;              // the compressed form of a small source
    std::optional<SpillFile> spill;       // ... or of a big one
    qint64 compressedSize = 0;
    const BlockOptions *options = nullptr;
    qint64 total = 0;
    std::unique_ptr<Deflater> deflater;

    // Reads the whole source from its start, handing each piece on; checks the 2 GiB
    // limit as it goes, since a file may grow while it is read.
    template<class Piece>
    SourceSummary readSource(QIODevice &source, Piece &&piece)
    {
        rewind(source, *options);
        SourceSummary summary;
        for (;;) {
            const qint64 got = source.read(readBuffer.get(), ReadPiece);
            if (got < 0)
                throw platform::Error(msg::unableToOpen(options->sourceName));
            if (got == 0)
                return summary;
            if (got > BlockOptions::MaxEntrySize - summary.size)
                throw LimitError(msg::entryTooLarge(options->sourceName));
            summary.crc = crc32Update(summary.crc, readBuffer.get(), got);
            summary.size += got;
            piece(readBuffer.get(), got);
        }
    }

    // Copies the source into the archive as it is, reporting every 64 KiB.
    SourceSummary copyStored(QIODevice &source, ArchiveWriter &out)
    {
        qint64 copied = 0;
        qint64 lastReport = 0;
        return readSource(source, [&](const char *data, qint64 size) {
            out.ensureRoom(size + options->reserve);
            out.append(data, size);
            copied += size;
            if (copied - lastReport >= StoredProgressPiece) {
                lastReport = copied;
                reportProgress(*options, copied, total);
            }
        });
    }

    void storePlain(QIODevice &source, ArchiveWriter &out, const std::optional<SourceSummary> &expected,
                    TZLBFileRec &rec)
    {
        const SourceSummary stored = copyStored(source, out);
        if (expected && (stored.size != expected->size || stored.crc != expected->crc))
            throw platform::Error(msg::sourceChanged(options->sourceName));
        rec.osize = static_cast<qint32>(stored.size);
        rec.csize = rec.osize;
        rec.CRC = stored.crc;
        rec.Status = fsStored;
        rec.CompressionLevel = fcNone;
    }

    void spoolOutput(const char *data, qint64 size)
    {
        compressedSize += size;
        if (spill)
            spill->write(data, size);
        else
            spool.insert(spool.end(), data, data + size);
        if (size == Deflater::OutputBufferSize)
            reportProgress(*options, deflater->consumed(), total);
    }

    SourceSummary compress(QIODevice &source)
    {
        spool.clear();
        compressedSize = 0;
        spill.reset();
        if (total > BlockOptions::SpillThreshold && options->createTempFile)
            spill.emplace(options->createTempFile());
        if (!deflater)
            deflater = std::make_unique<Deflater>(zlibLevel(level), [this](const char *d, qint64 n) { spoolOutput(d, n); });
        else
            deflater->reset();
        const SourceSummary read = readSource(source, [this](const char *data, qint64 size) { deflater->feed(data, size); });
        deflater->finish();
        return read;
    }

    void storeCompressedOrPlain(QIODevice &source, ArchiveWriter &out, TZLBFileRec &rec)
    {
        if (total > BlockOptions::MaxEntrySize)
            throw LimitError(msg::entryTooLarge(options->sourceName));
        rec.start = static_cast<qint32>(out.size());
        // Deflate at level 0 only adds framing to the source, so it is never shorter.
        if (level == fcNone) {
            storePlain(source, out, std::nullopt, rec);
            return;
        }
        const SourceSummary read = compress(source);
        if (compressedSize >= read.size) {
            spill.reset();
            storePlain(source, out, read, rec);
            return;
        }
        out.ensureRoom(compressedSize + options->reserve);
        if (spill) {
            spill->copyTo(out, compressedSize);
            spill.reset();
        } else {
            out.append(spool.data(), compressedSize);
        }
        rec.osize = static_cast<qint32>(read.size);
        rec.csize = static_cast<qint32>(compressedSize);
        rec.CRC = read.crc;
        rec.Status = fsCompressed;
        rec.CompressionLevel = level;
    }
};

BlockStore::BlockStore(TFileCompressionLevel level)
    : m_state(std::make_unique<State>())
{
    m_state->level = level;
}

BlockStore::~BlockStore() = default;

void BlockStore::store(QIODevice &source, ArchiveWriter &out, const BlockOptions &options, TZLBFileRec &rec)
{
    State &st = *m_state;
    st.options = &options;
    st.total = source.isSequential() ? 0 : source.size();
    const ArchiveWriter::Mark mark = out.mark();
    try {
        st.storeCompressedOrPlain(source, out, rec);
    } catch (...) {
        st.spill.reset();
        // A compressor left mid-stream is started afresh for the next source.
        st.deflater.reset();
        out.rollBack(mark);
        throw;
    }
}

} // namespace archive
