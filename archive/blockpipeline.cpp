#include "archive/blockpipeline.h"

#include <algorithm>

namespace archive {
namespace {

// A file a worker opens but the caller's thread closes, perhaps after the worker has
// ended, must not keep the worker's Qt thread data alive.
void detachFromWorker(QObject &file)
{
    file.moveToThread(nullptr);
}

} // namespace

BlockPipeline::BlockPipeline(const QStringList &sources, std::vector<bool> wanted, TFileCompressionLevel level,
                             int threads, std::function<std::unique_ptr<QFile>()> createSpillFile, Work kind,
                             qint64 memoryBudget)
    : m_sources(sources)
    , m_wanted(std::move(wanted))
    , m_level(level)
    , m_work(kind)
    , m_createSpillFile(std::move(createSpillFile))
    , m_memoryBudget(memoryBudget)
{
    try {
        for (int i = 0; i < threads; ++i)
            m_workers.emplace_back([this] { work(); });
    } catch (...) {
        stop();
        throw;
    }
}

BlockPipeline::~BlockPipeline()
{
    stop();
}

void BlockPipeline::stop()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_cancelled = true;
    m_sourceReady.notify_all();
    m_roomMade.notify_all();
    for (std::thread &worker : m_workers) {
        if (worker.joinable())
            worker.join();
    }
}

int BlockPipeline::threadsFor(int requested)
{
    if (requested >= 1)
        return requested;
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

BlockPipeline::Prepared &BlockPipeline::take(qsizetype index)
{
    std::unique_lock lock(m_mutex);
    waitReady(index, lock);
    return slotOf(index).prepared;
}

void BlockPipeline::release(qsizetype index)
{
    Prepared done;
    bool workersWait = false;
    {
        std::unique_lock lock(m_mutex);
        // A source released without being taken may still be with a worker.
        waitReady(index, lock);
        Slot &slot = slotOf(index);
        m_memory -= slot.memory;
        done = std::move(slot.prepared);
        keepSpare(done.block.bytes);
        m_window.pop_front();
        m_released = index + 1;
        workersWait = m_waitingForRoom > 0 && roomWorthWaking();
    }
    if (workersWait)
        m_roomMade.notify_all();
    // `done` goes here, outside the lock: closing files and deleting a temporary one.
}

void BlockPipeline::waitReady(qsizetype index, std::unique_lock<std::mutex> &lock)
{
    if (ready(index))
        return;
    m_awaited = index;
    m_sourceReady.wait(lock, [&] { return callerMayGo(); });
    m_awaited = -1;
}

// The caller waits for m_awaited; it goes on once a run of sources from there is ready,
// or sooner when a worker needs the room only the caller can make.
bool BlockPipeline::callerMayGo() const
{
    if (!ready(m_awaited))
        return false;
    if (m_waitingForRoom > 0 || 2 * m_memory >= m_memoryBudget)
        return true;
    const qsizetype end = std::min(m_awaited + WakeRun, m_sources.size());
    for (qsizetype i = m_awaited + 1; i < end; ++i) {
        if (!ready(i))
            return false;
    }
    return true;
}

// Called with the lock held.
void BlockPipeline::keepSpare(ByteBuffer &bytes)
{
    if (bytes.capacity() > 0 && bytes.capacity() <= SpareBufferSize && m_spareBuffers.size() < SpareBuffers)
        m_spareBuffers.push_back(std::move(bytes));
}

// Workers waiting for room are woken once a quarter of the budget is free, not at every
// source the caller releases, or a worker far faster than the caller would wake for each;
// and always when the source the caller needs next is theirs.
bool BlockPipeline::roomWorthWaking() const
{
    return m_window.empty() || !m_window.front().ready || 4 * m_memory <= 3 * m_memoryBudget;
}

bool BlockPipeline::hasRoomFor(qsizetype index, qint64 cost) const
{
    return index == m_released || m_memory + cost <= m_memoryBudget;
}

// Entered and left with the lock held.
template<typename RoomOrDone>
void BlockPipeline::waitForRoom(std::unique_lock<std::mutex> &lock, RoomOrDone roomOrDone)
{
    if (roomOrDone())
        return;
    ++m_waitingForRoom;
    if (m_awaited >= 0 && callerMayGo())
        m_sourceReady.notify_one();
    m_roomMade.wait(lock, roomOrDone);
    --m_waitingForRoom;
}

void BlockPipeline::work()
{
    BlockStore blocks(m_level);
    std::unique_lock lock(m_mutex);
    const qsizetype count = m_sources.size();
    for (;;) {
        waitForRoom(lock, [&] { return m_stopping || m_next >= count || hasRoomFor(m_next, SlotCost); });
        if (m_stopping || m_next >= count)
            return;
        const qsizetype index = m_next++;
        Slot &slot = m_window.emplace_back();
        slot.memory = SlotCost;
        m_memory += SlotCost;
        if (m_wanted[static_cast<size_t>(index)])
            prepareOne(blocks, index, slot, lock);
        slot.ready = true;
        if (m_awaited >= 0 && callerMayGo())
            m_sourceReady.notify_one();
    }
}

qint64 BlockPipeline::admissionCost(const platform::SourceFile &source) const
{
    const qint64 size = source.size();
    // A big source keeps its compressed form in a temporary file.
    if (size > BlockOptions::SpillThreshold)
        return 0;
    // A small one holds its bytes and its compressed form until one is chosen; only its
    // bytes when the caller compresses it.
    return m_level == fcNone || m_work == Work::ReadOnly ? size : 2 * size;
}

// Entered and left with the lock held; runs the work itself without it.
void BlockPipeline::prepareOne(BlockStore &blocks, qsizetype index, Slot &slot, std::unique_lock<std::mutex> &lock)
{
    Prepared &prepared = slot.prepared;
    const QString name = m_sources.at(index);
    if (!m_spareBuffers.empty()) {
        blocks.reuse(std::move(m_spareBuffers.back()));
        m_spareBuffers.pop_back();
    }
    lock.unlock();
    try {
        std::unique_ptr<platform::SourceFile> source = openSource(name);
        const qint64 cost = admissionCost(*source);
        lock.lock();
        waitForRoom(lock, [&] { return m_stopping || hasRoomFor(index, cost); });
        if (m_stopping)
            return;
        m_memory += cost;
        slot.memory += cost;
        lock.unlock();

        BlockOptions options;
        options.sourceName = name;
        options.cancelled = &m_cancelled;
        options.createSpillFile = [this] {
            const std::lock_guard spillLock(m_spillFileMutex);
            std::unique_ptr<QFile> file = m_createSpillFile();
            detachFromWorker(*file);
            return file;
        };
        options.progress = [&prepared](qint64 consumed, qint64) { prepared.consumed.push_back(consumed); };
        prepared.total = source->size();
        prepared.block = m_work == Work::ReadOnly ? blocks.read(*source, options) : blocks.prepare(*source, options);
        if (prepared.block.copySource || prepared.block.pending == PreparedBlock::Pending::Everything) {
            detachFromWorker(*source);
            prepared.source = std::move(source);
        }
        const qint64 held = SlotCost + prepared.block.memory();
        lock.lock();
        m_memory += held - slot.memory;
        slot.memory = held;
    } catch (...) {
        prepared.failure = std::current_exception();
        if (!lock.owns_lock())
            lock.lock();
    }
}

} // namespace archive
