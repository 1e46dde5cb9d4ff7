#pragma once
// One thread that runs tasks strictly in the order they were given, and runs none after
// a task that failed: what it does to the file system is what the caller's thread would
// have done itself, in the same order, only earlier. The caller takes the tasks in turn
// once they are over, so it can raise their events in order.
#include <QtGlobal>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace archive {

class SerialWorker
{
public:
    // Returns false when it failed: the tasks after it are skipped.
    using Task = std::function<bool()>;

    SerialWorker();
    // Skips what has not started yet, lets the running task end and waits for it.
    ~SerialWorker();
    SerialWorker(const SerialWorker &) = delete;
    SerialWorker &operator=(const SerialWorker &) = delete;

    void push(Task task);
    // Waits until the oldest `count` tasks not yet taken are over (ran or were skipped);
    // no more than were pushed.
    void waitUntilOver(qint64 count);
    // Waits until the oldest task not yet taken is over, and takes it.
    void takeOldest();
    // Whether the oldest task not yet taken is over; never waits.
    bool oldestIsOver() const;

private:
    void run();
    void taskOver();

    // Each side is woken only while it sleeps, and the tasks' ends are counted without
    // the lock: with thousands of small tasks, a wake-up or a contended lock per task
    // would cost more than many of the tasks.
    mutable std::mutex m_mutex;
    std::condition_variable m_workArrived;
    std::condition_variable m_tasksOver;
    std::deque<Task> m_waiting;
    bool m_workerSleeps = false;
    std::atomic<bool> m_stopping{false};
    std::atomic<qint64> m_over{0};     // tasks that ran or were skipped
    std::atomic<qint64> m_wakeAt{0};   // the count of ended tasks a sleeping taker waits for; 0 when none sleeps
    qint64 m_taken = 0;                // the taker's own
    std::thread m_thread;
};

} // namespace archive
