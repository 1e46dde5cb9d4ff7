#include "platform/ras/ras_connections.h"

#include <QHash>

#include <chrono>
#include <mutex>
#include <thread>

namespace platform::ras {
namespace {

// A dial that never reaches an outcome is given up after this long.
constexpr auto DialLimit = std::chrono::minutes(3);

struct HandleTable
{
    std::mutex mutex;
    QHash<Handle, QString> keys;
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

void notify(DialNotifier notifier, Dword state, Dword error)
{
    if (notifier)
        notifier(DialEventMessage, state, error);
}

// Follows the connection, reporting each state once and in order; the outcome is the last
// report. Stops quietly once the handle has been hung up.
Dword follow(Handle handle, const QString &key, DialNotifier notifier)
{
    Backend &b = backend();
    qsizetype reported = 0;
    Dword lastState = OpeningPort;
    const auto deadline = std::chrono::steady_clock::now() + DialLimit;
    for (;;) {
        if (!isLive(handle))
            return ErrorUserDisconnection;
        const DialProgress p = b.progress(key);
        for (; reported < p.states.size(); ++reported) {
            lastState = p.states[reported];
            notify(notifier, lastState, Success);
        }
        if (p.finished || p.gone) {
            const Dword error = p.error != Success ? p.error : (p.gone ? ErrorRemoteDisconnection : Success);
            if (error != Success)
                notify(notifier, lastState, error);
            return error;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            notify(notifier, lastState, ErrorRequestTimeout);
            return ErrorRequestTimeout;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(b.pollIntervalMs()));
    }
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
    std::lock_guard lock(t.mutex);
    t.keys.remove(handle);
}

Dword dial(const DialParams &params, DialNotifier notifier, Handle &connection)
{
    QString key;
    if (const Dword error = backend().startDial(params, key); error != Success)
        return error;
    connection = handleFor(key);
    if (!notifier)
        return follow(connection, key, nullptr);
    std::thread([handle = connection, key, notifier] { follow(handle, key, notifier); }).detach();
    return Success;
}

} // namespace platform::ras
