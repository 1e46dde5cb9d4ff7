#pragma once
// Prepares the blocks of a list of source files on worker threads while the caller's
// thread writes them into the archive in list order.
//
// Workers take the sources in list order and run BlockStore::prepare on each: reading,
// checksum and compression; or, when the caller compresses one source at a time itself,
// BlockStore::read, so one worker does the reading for it. The caller takes the prepared blocks back in the same order
// and writes them, so the archive is the same whatever the number of threads and the
// timing; the progress a worker's compressor reported is kept with the block and told
// again on the caller's thread, before the block is written.
//
// Memory stays bounded whatever the sources: a worker starts a source only while what
// the sources ahead of the caller hold stays within MemoryBudget, each counted at its
// bytes plus SlotCost. The window is bounded in bytes, not in sources, so while one large
// source is compressed the workers go on with the small ones queued behind it; SlotCost
// bounds the number of empty ones. The source the caller waits for always starts, so no
// source is too large to pass; a source above 20 MiB goes through its own temporary file
// and takes almost nothing of the budget.
//
// The caller is woken once for a run of prepared sources rather than once for each: a
// small source takes less time to prepare than a wake-up costs when the caller's thread
// shares the processors with the workers.
#include "archive/blockstore.h"

#include <QStringList>

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace archive {

class BlockPipeline
{
public:
    static constexpr qint64 MemoryBudget = qint64(32) << 20;
    // A worker that only reads need not be far ahead of the caller.
    static constexpr qint64 ReadAheadBudget = qint64(8) << 20;
    // What a source in the window counts besides its bytes: at most 4,096 sources ahead.
    static constexpr qint64 SlotCost = qint64(8) << 10;
    // Buffers of written blocks kept for the workers, each at most SpareBufferSize.
    static constexpr size_t SpareBuffers = 8;
    static constexpr size_t SpareBufferSize = size_t(1) << 20;
    // Prepared sources in a row that wake a waiting caller.
    static constexpr qsizetype WakeRun = 32;

    struct Prepared
    {
        std::unique_ptr<platform::SourceFile> source;   // kept open only when the block copies it again
        PreparedBlock block;
        qint64 total = 0;                // the source's length when opened: 100 % of its progress
        std::vector<qint64> consumed;    // where the compressor reported progress
        std::exception_ptr failure;      // why the source could not be prepared
    };

    enum class Work { Prepare, ReadOnly };

    // Starts `threads` workers over `sources`; a source whose `wanted` is false is not read.
    // `createSpillFile` is called on a worker, never by two at once. `memoryBudget` is
    // lowered only by tests.
    BlockPipeline(const QStringList &sources, std::vector<bool> wanted, TFileCompressionLevel level, int threads,
                  std::function<std::unique_ptr<QFile>()> createSpillFile, Work kind = Work::Prepare,
                  qint64 memoryBudget = MemoryBudget);
    // Stops the workers, waits for them and closes every scratch file they made.
    ~BlockPipeline();
    BlockPipeline(const BlockPipeline &) = delete;
    BlockPipeline &operator=(const BlockPipeline &) = delete;

    // Waits until source `index` is prepared. The caller takes the wanted sources in
    // list order and releases each (wanted or not) when done with it.
    Prepared &take(qsizetype index);
    void release(qsizetype index);

    // The number of threads that serves when the caller asks for `requested` (below 1:
    // one per online processor).
    static int threadsFor(int requested);

private:
    struct Slot
    {
        Prepared prepared;
        qint64 memory = 0;   // what it counts against the budget
        bool ready = false;
    };

    void stop();
    void work();
    void waitReady(qsizetype index, std::unique_lock<std::mutex> &lock);
    bool callerMayGo() const;
    bool ready(qsizetype index) const { return index < m_next && m_window[static_cast<size_t>(index - m_released)].ready; }
    bool hasRoomFor(qsizetype index, qint64 cost) const;
    void keepSpare(ByteBuffer &bytes);
    bool roomWorthWaking() const;
    template<typename RoomOrDone>
    void waitForRoom(std::unique_lock<std::mutex> &lock, RoomOrDone roomOrDone);
    void prepareOne(BlockStore &blocks, qsizetype index, Slot &slot, std::unique_lock<std::mutex> &lock);
    qint64 admissionCost(const platform::SourceFile &source) const;
    Slot &slotOf(qsizetype index) { return m_window[static_cast<size_t>(index - m_released)]; }

    QStringList m_sources;
    std::vector<bool> m_wanted;
    TFileCompressionLevel m_level;
    Work m_work;
    std::function<std::unique_ptr<QFile>()> m_createSpillFile;
    qint64 m_memoryBudget;
    std::mutex m_spillFileMutex;

    std::mutex m_mutex;
    std::condition_variable m_sourceReady;   // the caller waits on it
    std::condition_variable m_roomMade;      // the workers wait on it
    // The sources from the one the caller waits for (m_released) to the last one a worker
    // took: a deque keeps every slot in place while slots come and go at its ends.
    std::deque<Slot> m_window;
    qsizetype m_next = 0;        // the next source a worker takes
    qsizetype m_released = 0;    // sources the caller is done with
    qint64 m_memory = 0;         // held by the sources in the window
    qsizetype m_awaited = -1;    // the source the caller waits for, -1 while it does not
    int m_waitingForRoom = 0;    // workers waiting for the caller to release sources
    // Memory of blocks already written, handed back to the workers to fill again.
    std::vector<ByteBuffer> m_spareBuffers;
    bool m_stopping = false;
    std::atomic<bool> m_cancelled{false};
    std::vector<std::thread> m_workers;
};

} // namespace archive
