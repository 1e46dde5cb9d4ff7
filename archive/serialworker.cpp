#include "archive/serialworker.h"

namespace archive {

SerialWorker::SerialWorker()
    : m_thread([this] { run(); })
{
}

SerialWorker::~SerialWorker()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping.store(true);
    }
    m_workArrived.notify_one();
    m_thread.join();
}

void SerialWorker::push(Task task)
{
    bool wake = false;
    {
        std::lock_guard lock(m_mutex);
        m_waiting.push_back(std::move(task));
        wake = m_workerSleeps;
    }
    if (wake)
        m_workArrived.notify_one();
}

void SerialWorker::waitUntilOver(qint64 count)
{
    const qint64 target = m_taken + count;
    if (m_over.load() >= target)
        return;
    std::unique_lock lock(m_mutex);
    // Announced before the count is looked at again, so the worker either sees the
    // announcement or ended its task before that look.
    m_wakeAt.store(target);
    m_tasksOver.wait(lock, [&] { return m_over.load() >= target; });
    m_wakeAt.store(0);
}

void SerialWorker::takeOldest()
{
    waitUntilOver(1);
    ++m_taken;
}

bool SerialWorker::oldestIsOver() const
{
    return m_over.load() > m_taken;
}

void SerialWorker::taskOver()
{
    const qint64 over = m_over.fetch_add(1) + 1;
    const qint64 wakeAt = m_wakeAt.load();
    if (wakeAt != 0 && over >= wakeAt) {
        // Taking the lock makes sure the taker is inside its wait, not just before it.
        std::lock_guard lock(m_mutex);
        m_tasksOver.notify_one();
    }
}

void SerialWorker::run()
{
    bool failed = false;
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_workerSleeps = true;
        m_workArrived.wait(lock, [this] { return m_stopping || !m_waiting.empty(); });
        m_workerSleeps = false;
        if (m_stopping)
            return;
        std::deque<Task> batch;
        batch.swap(m_waiting);
        lock.unlock();
        for (Task &task : batch) {
            failed = failed || m_stopping.load() || !task();
            taskOver();
        }
        lock.lock();
    }
}

} // namespace archive
