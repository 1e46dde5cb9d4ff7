#include "archive/blockstore.h"

#include "archive/checksum.h"
#include "archive/deflater.h"
#include "archive/limiterror.h"
#include "archive/readahead.h"
#include "archive/zlbmessages.h"
#include "platform/error.h"

#include <algorithm>
#include <optional>

namespace archive {
namespace {

// A big source goes through in pieces small enough to stay in the cache while they are
// checksummed and compressed; a small one is read into memory in pieces of this size.
constexpr qint64 ReadPiece = 64 << 10;
constexpr qint64 WholeReadPiece = 256 << 10;
// Below this, reading is too short a part of the work to be worth a thread.
constexpr qint64 ReadAheadMinimum = 1 << 20;

struct SourceSummary
{
    qint64 size = 0;
    quint32 crc = 0;
};

void rewind(QIODevice &source, const BlockOptions &options)
{
    if (source.isSequential() || !source.seek(0))
        throw platform::Error(msg::streamNotSeekable(options.sourceName));
}

void checkCancelled(const BlockOptions &options)
{
    if (options.cancelled && options.cancelled->load(std::memory_order_relaxed))
        throw PreparationCancelled{};
}

// One more piece of `got` bytes read: checks the 2 GiB limit, since a file may grow while
// it is read, and the read itself.
void countPiece(SourceSummary &summary, const char *data, qint64 got, const BlockOptions &options)
{
    if (got < 0)
        throw platform::Error(msg::unableToOpen(options.sourceName));
    if (got > BlockOptions::MaxEntrySize - summary.size)
        throw LimitError(msg::entryTooLarge(options.sourceName));
    summary.crc = crc32Update(summary.crc, data, got);
    summary.size += got;
}

} // namespace

// A temporary file that holds the compressed form of a big source while it is made.
class SpillFile
{
public:
    // The file vanishes with this object, or with the process however it ends.
    explicit SpillFile(std::unique_ptr<QFile> file)
        : m_file(std::move(file))
    {
    }
    SpillFile(const SpillFile &) = delete;
    SpillFile &operator=(const SpillFile &) = delete;

    void write(const char *data, qint64 size)
    {
        // The archive continues its checksum from this one instead of reading the copy.
        m_crc = crc32Update(m_crc, data, size);
        if (m_file->write(data, size) != size)
            throw platform::Error(msg::unableToWrite(m_file->fileName() + QLatin1String(": ") + m_file->errorString()));
    }

    void copyTo(ArchiveWriter &out, qint64 size) { out.copyRange(*m_file, 0, size, m_crc); }

private:
    std::unique_ptr<QFile> m_file;
    quint32 m_crc = 0;
};

std::unique_ptr<platform::SourceFile> openSource(const QString &name)
{
    auto file = std::make_unique<platform::SourceFile>();
    if (!file->openFile(name))
        throw platform::Error(msg::unableToOpen(name));
    return file;
}

PreparedBlock::PreparedBlock() = default;
PreparedBlock::~PreparedBlock() = default;
PreparedBlock::PreparedBlock(PreparedBlock &&) noexcept = default;
PreparedBlock &PreparedBlock::operator=(PreparedBlock &&) noexcept = default;

struct BlockStore::State
{
    TFileCompressionLevel level;
    std::unique_ptr<char[]> readBuffer = std::make_unique_for_overwrite<char[]>(ReadPiece);
    std::unique_ptr<Deflater> deflater;
    // The block being prepared: where the compressor's output goes.
    PreparedBlock *block = nullptr;
    // Buffers kept from one source to the next, so memory the system has already handed
    // over is filled again instead of new pages faulted in for every source: the source
    // read whole, and the compressed bytes of the block written last.
    ByteBuffer raw;
    ByteBuffer spare;
    const BlockOptions *options = nullptr;
    qint64 total = 0;
    bool compressing = false;   // read pieces go to the compressor as they arrive

    void spoolOutput(const char *data, qint64 size)
    {
        block->compressedSize += size;
        if (block->spill)
            block->spill->write(data, size);
        else
            block->bytes.insert(block->bytes.end(), data, data + size);
        if (size == Deflater::OutputBufferSize && options->progress)
            options->progress(deflater->consumed(), total);
    }

    void startCompressor()
    {
        if (level == fcNone)
            return;
        if (!deflater)
            deflater = std::make_unique<Deflater>(zlibLevel(level), [this](const char *d, qint64 n) { spoolOutput(d, n); });
        else
            deflater->reset();
    }

    void compressPiece(const char *data, qint64 size)
    {
        if (compressing)
            deflater->feed(data, size);
    }

    bool readingAhead() const { return options->readAhead && level != fcNone && total >= ReadAheadMinimum; }

    // The source in pieces of `pieceSize` from a helper thread, each handed to `take`
    // on this one: the same pieces a plain read gives.
    template<class Take>
    SourceSummary readOnHelper(QIODevice &source, qint64 pieceSize, Take &&take)
    {
        SourceSummary summary;
        ReadAhead ahead(source, pieceSize, [&](const char *data, qint64 got) { countPiece(summary, data, got, *options); });
        for (ReadAhead::Piece piece = ahead.next(); piece.size > 0; piece = ahead.next()) {
            checkCancelled(*options);
            take(piece.data, piece.size);
        }
        return summary;
    }

    // A small source: read whole into `raw`, each piece checksummed and compressed as it
    // arrives, so the bytes are at hand if they become the block.
    SourceSummary readWhole(QIODevice &source, ByteBuffer &raw)
    {
        if (readingAhead()) {
            raw.reserve(static_cast<size_t>(total));
            return readOnHelper(source, WholeReadPiece, [&](const char *data, qint64 size) {
                raw.insert(raw.end(), data, data + size);
                compressPiece(raw.data() + raw.size() - size, size);
            });
        }
        SourceSummary summary;
        // One byte more than the length, so the end is seen without growing the buffer.
        raw.resize(static_cast<size_t>(total) + 1);
        for (;;) {
            checkCancelled(*options);
            if (static_cast<size_t>(summary.size) == raw.size())
                raw.resize(raw.size() + WholeReadPiece); // the source grew while it was read
            char *at = raw.data() + summary.size;
            const qint64 got = source.read(at, std::min<qint64>(WholeReadPiece, static_cast<qint64>(raw.size()) - summary.size));
            if (got == 0)
                break;
            countPiece(summary, at, got, *options);
            compressPiece(at, got);
        }
        raw.resize(static_cast<size_t>(summary.size));
        return summary;
    }

    // A big source: streamed through in pieces; the compressed form goes to `spill`.
    SourceSummary readStreamed(QIODevice &source)
    {
        if (readingAhead())
            return readOnHelper(source, ReadPiece, [&](const char *data, qint64 size) { compressPiece(data, size); });
        SourceSummary summary;
        for (;;) {
            checkCancelled(*options);
            const qint64 got = source.read(readBuffer.get(), ReadPiece);
            if (got == 0)
                return summary;
            countPiece(summary, readBuffer.get(), got, *options);
            compressPiece(readBuffer.get(), got);
        }
    }

    void prepare(QIODevice &source, PreparedBlock &out)
    {
        if (total > BlockOptions::MaxEntrySize)
            throw LimitError(msg::entryTooLarge(options->sourceName));
        rewind(source, *options);
        const bool big = total > BlockOptions::SpillThreshold;
        // Deflate at level 0 only adds framing to the source, so it is never shorter: a
        // big source is then copied once, straight into the archive.
        if (big && level == fcNone) {
            out.copySource = true;
            return;
        }
        block = &out;
        compressing = level != fcNone;
        if (big && options->createSpillFile) {
            out.spill = std::make_unique<SpillFile>(options->createSpillFile());
        } else if (level != fcNone) {
            out.bytes = std::move(spare);
            out.bytes.clear();
            out.bytes.reserve(static_cast<size_t>(total / 2 + 64));
        }
        startCompressor();
        raw.clear();
        const SourceSummary read = big ? readStreamed(source) : readWhole(source, raw);
        if (level != fcNone)
            deflater->finish();
        out.size = read.size;
        out.crc = read.crc;
        out.compressed = level != fcNone && out.compressedSize < read.size;
        if (out.compressed)
            return;
        out.spill.reset();
        if (big) {
            out.bytes.clear();
            out.copySource = true;
            out.checkCopy = true;
        } else {
            std::swap(out.bytes, raw);
        }
        keepAtMost(raw);
    }

    void read(QIODevice &source, PreparedBlock &out)
    {
        if (level == fcNone) {
            prepare(source, out);
            return;
        }
        if (total > BlockOptions::MaxEntrySize)
            throw LimitError(msg::entryTooLarge(options->sourceName));
        out.expected = total;
        if (total > BlockOptions::SpillThreshold) {
            out.pending = PreparedBlock::Pending::Everything;
            return;
        }
        rewind(source, *options);
        compressing = false;
        ByteBuffer bytes = std::move(spare);
        bytes.clear();
        const SourceSummary read = readWhole(source, bytes);
        out.size = read.size;
        out.crc = read.crc;
        out.bytes = std::move(bytes);
        out.pending = PreparedBlock::Pending::Compression;
    }

    // Compresses the source `read` left in out.bytes, in the pieces readWhole reads.
    void compressRead(PreparedBlock &out)
    {
        ByteBuffer source = std::move(out.bytes);
        total = out.expected;
        block = &out;
        out.bytes = std::move(spare);
        out.bytes.clear();
        out.bytes.reserve(static_cast<size_t>(out.size / 2 + 64));
        compressing = true;
        startCompressor();
        for (qint64 at = 0; at < out.size; at += WholeReadPiece)
            compressPiece(source.data() + at, std::min(WholeReadPiece, out.size - at));
        deflater->finish();
        out.pending = PreparedBlock::Pending::Nothing;
        out.compressed = out.compressedSize < out.size;
        if (!out.compressed)
            std::swap(out.bytes, source);
        spare = std::move(source);
        keepAtMost(spare);
    }

    // Runs a step that drives the compressor; one left mid-stream by a failure is started
    // afresh for the next source.
    template<class Step>
    void compressorStep(Step &&step)
    {
        try {
            step();
        } catch (...) {
            deflater.reset();
            throw;
        }
    }

    // A new block made by `step` from the source's first byte.
    PreparedBlock fromSource(QIODevice &source, const BlockOptions &stepOptions,
                             void (State::*step)(QIODevice &, PreparedBlock &))
    {
        options = &stepOptions;
        total = source.isSequential() ? 0 : source.size();
        PreparedBlock out;
        compressorStep([&] { (this->*step)(source, out); });
        return out;
    }

    // A buffer is kept only up to a size, so a worker that met one large source does not
    // hold its memory for the rest of the change.
    static void keepAtMost(ByteBuffer &buffer)
    {
        if (buffer.capacity() > BlockStore::KeptBuffer)
            ByteBuffer().swap(buffer);
    }

    // Copies the source into the archive as it is. Only the compressor reports progress:
    // the copy that follows it would start again from 0.
    SourceSummary copyStored(QIODevice &source, ArchiveWriter &out)
    {
        rewind(source, *options);
        SourceSummary summary;
        for (;;) {
            const qint64 got = source.read(readBuffer.get(), ReadPiece);
            if (got == 0)
                return summary;
            countPiece(summary, readBuffer.get(), got, *options);
            out.ensureRoom(got + options->reserve);
            out.append(readBuffer.get(), got);
        }
    }

    void write(PreparedBlock &prepared, QIODevice *source, ArchiveWriter &out, TZLBFileRec &rec)
    {
        rec.start = static_cast<qint32>(out.size());
        if (prepared.copySource) {
            if (!source)
                throw platform::Error(msg::unableToOpen(options->sourceName));
            const SourceSummary copied = copyStored(*source, out);
            if (prepared.checkCopy && (copied.size != prepared.size || copied.crc != prepared.crc))
                throw platform::Error(msg::sourceChanged(options->sourceName));
            prepared.size = copied.size;
            prepared.crc = copied.crc;
        } else {
            const qint64 length = prepared.compressed ? prepared.compressedSize : prepared.size;
            out.ensureRoom(length + options->reserve);
            if (prepared.spill)
                prepared.spill->copyTo(out, length);
            else
                out.append(prepared.bytes.data(), length);
            prepared.spill.reset();
        }
        rec.osize = static_cast<qint32>(prepared.size);
        rec.CRC = prepared.crc;
        rec.csize = static_cast<qint32>(out.size() - rec.start);
        rec.Status = prepared.compressed ? fsCompressed : fsStored;
        rec.CompressionLevel = prepared.compressed ? level : fcNone;
    }
};

BlockStore::BlockStore(TFileCompressionLevel level)
    : m_state(std::make_unique<State>())
{
    m_state->level = level;
}

BlockStore::~BlockStore() = default;

PreparedBlock BlockStore::prepare(QIODevice &source, const BlockOptions &options)
{
    return m_state->fromSource(source, options, &State::prepare);
}

PreparedBlock BlockStore::read(QIODevice &source, const BlockOptions &options)
{
    return m_state->fromSource(source, options, &State::read);
}

void BlockStore::write(PreparedBlock &block, QIODevice *source, ArchiveWriter &out, const BlockOptions &options,
                       TZLBFileRec &rec)
{
    State &st = *m_state;
    if (block.pending == PreparedBlock::Pending::Everything) {
        if (!source)
            throw platform::Error(msg::unableToOpen(options.sourceName));
        block = prepare(*source, options);
    }
    st.options = &options;
    if (block.pending == PreparedBlock::Pending::Compression)
        st.compressorStep([&] { st.compressRead(block); });
    const ArchiveWriter::Mark mark = out.mark();
    try {
        st.write(block, source, out, rec);
    } catch (...) {
        out.rollBack(mark);
        throw;
    }
}

void BlockStore::store(QIODevice &source, ArchiveWriter &out, const BlockOptions &options, TZLBFileRec &rec)
{
    PreparedBlock block = prepare(source, options);
    write(block, &source, out, options, rec);
    reuse(std::move(block.bytes));
}

void BlockStore::reuse(ByteBuffer &&bytes)
{
    State &st = *m_state;
    if (bytes.capacity() <= st.spare.capacity())
        return;
    st.spare = std::move(bytes);
    State::keepAtMost(st.spare);
}

} // namespace archive
