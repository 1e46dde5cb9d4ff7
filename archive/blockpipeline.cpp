#include "archive/blockpipeline.h"

#include <algorithm>

namespace archive {

BlockPipeline::BlockPipeline(const QStringList &sources, std::vector<bool> wanted, TFileCompressionLevel level,
                             int threads, std::function<std::unique_ptr<QFile>()> createSpillFile, qint64 memoryBudget)
    : m_sources(sources)
    , m_wanted(std::move(wanted))
    , m_level(level)
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
    m_changed.notify_all();
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
    m_changed.wait(lock, [&] { return index < m_next && slotOf(index).ready; });
    return slotOf(index).prepared;
}

void BlockPipeline::release(qsizetype index)
{
    Prepared done;
    {
        std::unique_lock lock(m_mutex);
        // A source released without being taken may still be with a worker.
        m_changed.wait(lock, [&] { return index < m_next && slotOf(index).ready; });
        Slot &slot = slotOf(index);
        m_memory -= slot.memory;
        done = std::move(slot.prepared);
        m_window.pop_front();
        m_released = index + 1;
    }
    m_changed.notify_all();
    // `done` goes here, outside the lock: closing files and deleting a temporary one.
}

void BlockPipeline::work()
{
    BlockStore blocks(m_level);
    std::unique_lock lock(m_mutex);
    const qsizetype count = m_sources.size();
    for (;;) {
        m_changed.wait(lock, [&] {
            return m_stopping || m_next >= count || m_next == m_released || m_memory + SlotCost <= m_memoryBudget;
        });
        if (m_stopping || m_next >= count)
            return;
        const qsizetype index = m_next++;
        Slot &slot = m_window.emplace_back();
        slot.memory = SlotCost;
        m_memory += SlotCost;
        if (m_wanted[static_cast<size_t>(index)])
            prepareOne(blocks, index, slot, lock);
        slot.ready = true;
        m_changed.notify_all();
    }
}

qint64 BlockPipeline::admissionCost(const platform::SourceFile &source) const
{
    const qint64 size = source.size();
    // A big source keeps its compressed form in a temporary file.
    if (size > BlockOptions::SpillThreshold)
        return 0;
    // A small one holds its bytes and its compressed form until one is chosen.
    return m_level == fcNone ? size : 2 * size;
}

// Entered and left with the lock held; runs the work itself without it.
void BlockPipeline::prepareOne(BlockStore &blocks, qsizetype index, Slot &slot, std::unique_lock<std::mutex> &lock)
{
    Prepared &prepared = slot.prepared;
    const QString name = m_sources.at(index);
    lock.unlock();
    try {
        std::unique_ptr<platform::SourceFile> source = openSource(name);
        const qint64 cost = admissionCost(*source);
        lock.lock();
        m_changed.wait(lock, [&] { return m_stopping || index == m_released || m_memory + cost <= m_memoryBudget; });
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
            return m_createSpillFile();
        };
        options.progress = [&prepared](qint64 consumed, qint64) { prepared.consumed.push_back(consumed); };
        prepared.total = source->size();
        prepared.block = blocks.prepare(*source, options);
        if (prepared.block.copySource)
            prepared.source = std::move(source);
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
