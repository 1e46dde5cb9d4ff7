#pragma once
// Storing one source as one entry block: compressed when that makes it strictly
// shorter, the source bytes themselves otherwise.
//
// A block is made in two steps. `prepare` reads the source once, checksums and
// compresses it, and keeps what the block will be: the compressed form in memory, or in
// a temporary file for a source above 20 MiB; or, when compression does not make it
// shorter, the source bytes it read (a source up to 20 MiB is read into memory whole, so
// it is never read twice). `write` appends the prepared block to the archive. Only a big
// source stored plain is read a second time, and that read must give the same length and
// checksum, or the entry is refused rather than stored wrong. `prepare` touches nothing
// but the source, so it may run on a worker thread while `write` runs on the caller's.
#include "archive/archivewriter.h"
#include "archive/zlbrecords.h"
#include "platform/sourcefile.h"

#include <QFile>
#include <QIODevice>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

namespace archive {

struct BlockOptions
{
    static constexpr qint64 SpillThreshold = 20971520;
    // The largest entry the format can hold: sizes are signed 32-bit numbers.
    static constexpr qint64 MaxEntrySize = 0x7fffffff;

    QString sourceName;                         // the source as the caller named it, for messages
    qint64 reserve = 0;                         // bytes that must still fit after the block
    // A new empty scratch file for the compressed form of a big source.
    std::function<std::unique_ptr<QFile>()> createSpillFile;
    // Called each time the compressor hands over a full 65,536-byte output buffer.
    std::function<void(qint64 consumed, qint64 total)> progress;
    // Set by another thread to make `prepare` give up between two pieces of the source.
    const std::atomic<bool> *cancelled = nullptr;
    // A processor is free: a source of 1 MiB or more is read on a helper thread while it
    // is compressed.
    bool readAhead = false;
};

// Opens a source file for reading, in one open and one fstat. Only a regular file is
// read: a FIFO or device could block or never end. Throws platform::Error "Unable to open
// file (%s)".
std::unique_ptr<platform::SourceFile> openSource(const QString &name);

// Thrown by `prepare` when BlockOptions::cancelled was set.
struct PreparationCancelled
{
};

class SpillFile;

// Bytes that are written before they are read: growing the buffer leaves them
// uninitialised instead of clearing memory that the read fills at once.
template<class T>
struct UninitialisedAllocator : std::allocator<T>
{
    template<class U>
    struct rebind
    {
        using other = UninitialisedAllocator<U>;
    };
    UninitialisedAllocator() = default;
    template<class U>
    UninitialisedAllocator(const UninitialisedAllocator<U> &) noexcept
    {
    }
    template<class U>
    void construct(U *place) noexcept
    {
        ::new (static_cast<void *>(place)) U;
    }
    template<class U, class... Args>
    void construct(U *place, Args &&...args)
    {
        ::new (static_cast<void *>(place)) U(std::forward<Args>(args)...);
    }
};
using ByteBuffer = std::vector<char, UninitialisedAllocator<char>>;

// What `prepare` made of one source; `write` turns it into the block.
struct PreparedBlock
{
    PreparedBlock();
    ~PreparedBlock();
    PreparedBlock(PreparedBlock &&) noexcept;
    PreparedBlock &operator=(PreparedBlock &&) noexcept;

    qint64 size = 0;                    // source bytes read
    quint32 crc = 0;                    // their CRC-32
    bool compressed = false;            // the block is the compressed form
    qint64 compressedSize = 0;          // its length
    ByteBuffer bytes;                   // the block, unless it waits in `spill` or must be copied again
    std::unique_ptr<SpillFile> spill;   // the compressed form of a big source
    bool copySource = false;            // stored plain without the bytes kept: `write` reads the source again
    bool checkCopy = false;             // ... and that copy must match `size` and `crc`
    // What `read` left for `write` to do: compress `bytes`, the source read whole, or
    // prepare the whole block from the source.
    enum class Pending { Nothing, Compression, Everything };
    Pending pending = Pending::Nothing;
    qint64 expected = 0;                // the source's length when opened, for progress

    // The memory the block holds while it waits for its turn.
    qint64 memory() const { return static_cast<qint64>(bytes.capacity()); }
};

// One store serves every block of a change at one level on one thread: the compressor
// and the buffers are made once and reused, which matters when a change adds thousands
// of small files.
class BlockStore
{
public:
    explicit BlockStore(TFileCompressionLevel level);
    ~BlockStore();
    BlockStore(const BlockStore &) = delete;
    BlockStore &operator=(const BlockStore &) = delete;

    // Both steps at once. Appends the block to `out` and sets `osize`, `csize`, `start`,
    // `CRC`, `Status` and `CompressionLevel` of `rec`. Throws platform::Error: "Unable to
    // open file (%s)" when the source cannot be read, LimitError when the entry or the
    // archive would reach 2 GiB, or the changed-source message; nothing of the block stays
    // in `out` then.
    void store(QIODevice &source, ArchiveWriter &out, const BlockOptions &options, TZLBFileRec &rec);

    // Reads, checksums and compresses the whole source from its first byte.
    PreparedBlock prepare(QIODevice &source, const BlockOptions &options);
    // Only the reading and the checksum of `prepare`, for a thread that reads ahead of
    // the one that compresses: `write` compresses what was read, in the pieces a plain
    // read gives, so the block is the same. A source above 20 MiB is left unread for
    // `write` to prepare from the source.
    PreparedBlock read(QIODevice &source, const BlockOptions &options);
    // Appends a prepared block, finishing what `read` left; `source` is read again only
    // when block.copySource is set or the block was left unread (and may be null otherwise).
    void write(PreparedBlock &block, QIODevice *source, ArchiveWriter &out, const BlockOptions &options,
               TZLBFileRec &rec);
    // Takes back the memory of a block already written, to fill again for a later source
    // instead of having new pages faulted in.
    void reuse(ByteBuffer &&bytes);
    // The largest buffer worth keeping for a later source.
    static constexpr size_t KeptBuffer = 4 << 20;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

} // namespace archive
