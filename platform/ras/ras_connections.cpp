#include "platform/ras/ras_connections.h"

#include <QHash>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace platform::ras {
namespace {

// A dial that never reaches an outcome is given up after this long.
constexpr auto DialLimit = std::chrono::minutes(3);

// The thread that follows one asynchronous dial. Hanging up stops it and waits (briefly)
// until it is out of the back end, so no dial thread is left inside it when the program
// goes on to end; a thread that is handing a notification to the caller is not waited
// for, since the caller may be the one who has to take it.
class Follower
{
public:
    // Waits one poll interval; false once stopped.
    bool pause(std::chrono::milliseconds interval)
    {
        std::unique_lock lock(m_mutex);
        return !m_cv.wait_for(lock, interval, [this] { return m_stopped; });
    }
    bool stopped()
    {
        std::lock_guard lock(m_mutex);
        return m_stopped;
    }
    void stop()
    {
        set(m_stopped, true);
    }
    void finish()
    {
        set(m_finished, true);
    }
    void notifying(bool on)
    {
        set(m_notifying, on);
    }
    void awaitEnd(std::chrono::milliseconds limit)
    {
        std::unique_lock lock(m_mutex);
        m_cv.wait_for(lock, limit, [this] { return m_finished || m_notifying; });
    }

private:
    void set(bool &flag, bool value)
    {
        {
            std::lock_guard lock(m_mutex);
            flag = value;
        }
        m_cv.notify_all();
    }

    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_stopped = false;
    bool m_finished = false;
    bool m_notifying = false;
};

constexpr auto HangUpWait = std::chrono::seconds(2);

struct HandleTable
{
    std::mutex mutex;
    QHash<Handle, QString> keys;
    QHash<Handle, std::shared_ptr<Follower>> followers;
    Handle next = 1;
};

// Never destroyed: a dial thread may still look at it while the process ends.
HandleTable &table()
{
    static auto *instance = new HandleTable;
    return *instance;
}

bool isLive(Handle handle)
{
    return keyOf(handle).has_value();
}

void notify(DialNotifier notifier, Follower *follower, Dword state, Dword error)
{
    if (!notifier)
        return;
    follower->notifying(true);
    notifier(DialEventMessage, state, error);
    follower->notifying(false);
}

// Between two looks at the connection: false once the dial was hung up.
bool pause(Follower *follower, int intervalMs)
{
    if (follower)
        return follower->pause(std::chrono::milliseconds(intervalMs));
    std::this_thread::sleep_for(std::chrono::milliseconds(intervalMs));
    return true;
}

// Follows the connection, reporting each state once and in order; the outcome is the last
// report. Stops quietly once the handle has been hung up.
Dword follow(Handle handle, const QString &key, DialNotifier notifier, Follower *follower)
{
    Backend &b = backend();
    qsizetype reported = 0;
    Dword lastState = OpeningPort;
    const auto deadline = std::chrono::steady_clock::now() + DialLimit;
    for (;;) {
        if (!isLive(handle) || (follower && follower->stopped()))
            return ErrorUserDisconnection;
        const DialProgress p = b.progress(key);
        for (; reported < p.states.size(); ++reported) {
            lastState = p.states[reported];
            notify(notifier, follower, lastState, Success);
        }
        if (p.finished || p.gone) {
            const Dword error = p.error != Success ? p.error : (p.gone ? ErrorRemoteDisconnection : Success);
            if (error != Success)
                notify(notifier, follower, lastState, error);
            return error;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            notify(notifier, follower, lastState, ErrorRequestTimeout);
            return ErrorRequestTimeout;
        }
        if (!pause(follower, b.pollIntervalMs()))
            return ErrorUserDisconnection;
    }
}

// A follower that has ended leaves the table, unless a later dial already took the handle.
void forgetFollower(Handle handle, Follower *follower)
{
    HandleTable &t = table();
    std::lock_guard lock(t.mutex);
    const auto it = t.followers.constFind(handle);
    if (it != t.followers.cend() && it->get() == follower)
        t.followers.remove(handle);
}

} // namespace

Handle handleFor(const QString &key)
{
    HandleTable &t = table();
    std::lock_guard lock(t.mutex);
    for (auto it = t.keys.cbegin(); it != t.keys.cend(); ++it) {
        if (it.value() == key)
            return it.key();
    }
    const Handle handle = t.next++;
    t.keys.insert(handle, key);
    return handle;
}

std::optional<QString> keyOf(Handle handle)
{
    HandleTable &t = table();
    std::lock_guard lock(t.mutex);
    const auto it = t.keys.constFind(handle);
    if (it == t.keys.cend())
        return std::nullopt;
    return it.value();
}

void releaseHandle(Handle handle)
{
    HandleTable &t = table();
    std::shared_ptr<Follower> follower;
    {
        std::lock_guard lock(t.mutex);
        t.keys.remove(handle);
        follower = t.followers.take(handle);
    }
    if (follower) {
        follower->stop();
        follower->awaitEnd(HangUpWait);
    }
}

Dword dial(const DialParams &params, DialNotifier notifier, Handle &connection)
{
    QString key;
    if (const Dword error = backend().startDial(params, key); error != Success)
        return error;
    connection = handleFor(key);
    if (!notifier)
        return follow(connection, key, nullptr, nullptr);
    auto follower = std::make_shared<Follower>();
    {
        HandleTable &t = table();
        std::lock_guard lock(t.mutex);
        t.followers.insert(connection, follower);
    }
    std::thread([handle = connection, key, notifier, follower] {
        follow(handle, key, notifier, follower.get());
        forgetFollower(handle, follower.get());
        follower->finish();
    }).detach();
    return Success;
}

} // namespace platform::ras
