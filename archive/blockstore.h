#pragma once
// Storing one source as one entry block: compressed when that makes it strictly
// shorter, the source bytes themselves otherwise.
//
// The source is read once while it is checksummed and compressed, so the checksum and
// the compressed bytes always describe the same bytes even if the file changes under
// us. When the block is stored plain the source is read a second time, and that read
// must give the same length and checksum, or the entry is refused rather than stored
// wrong. The compressed form waits in memory, or in a temporary file for a source above
// 20 MiB, until its length is known.
#include "archive/archivewriter.h"
#include "archive/zlbrecords.h"

#include <QIODevice>

#include <functional>
#include <memory>

namespace archive {

struct BlockOptions
{
    static constexpr qint64 SpillThreshold = 20971520;
    // The largest entry the format can hold: sizes are signed 32-bit numbers.
    static constexpr qint64 MaxEntrySize = 0x7fffffff;

    QString sourceName;                         // the source as the caller named it, for messages
    qint64 reserve = 0;                         // bytes that must still fit after the block
    std::function<QString()> createTempFile;    // a new empty file for the compressed form of a big source
    std::function<void(qint64 consumed, qint64 total)> progress;
};

// One store serves every block of a change at one level: the compressor and the buffers
// are made once and reused, which matters when a change adds thousands of small files.
class BlockStore
{
public:
    explicit BlockStore(TFileCompressionLevel level);
    ~BlockStore();
    BlockStore(const BlockStore &) = delete;
    BlockStore &operator=(const BlockStore &) = delete;

    // Appends the block to `out` and sets `osize`, `csize`, `start`, `CRC`, `Status` and
    // `CompressionLevel` of `rec`. Throws platform::Error: "Unable to open file (%s)" when
    // the source cannot be read, LimitError when the entry or the archive would reach
    // 2 GiB, or the changed-source message; nothing of the block stays in `out` then.
    void store(QIODevice &source, ArchiveWriter &out, const BlockOptions &options, TZLBFileRec &rec);

private:
    struct State;
    std::unique_ptr<State> m_state;
};

} // namespace archive
