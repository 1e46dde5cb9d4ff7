#pragma once
// The simulated modem: entries from the phonebook file (platform/ras_simulated_phonebook.h),
// connections in a file beside it, so one program can dial and another see or hang up the
// connection, as with a real modem. A dial's progress follows from the time since it
// started, so it needs no thread of its own.
#include "platform/ras/ras_backend.h"
#include "platform/ras_simulated_phonebook.h"

#include <map>
#include <mutex>
#include <utility>
#include <vector>

namespace platform::ras {

class SimulatedBackend : public Backend
{
public:
    Dword listEntries(QStringList &names) override;
    Dword readDialParams(DialParams &params, bool &hasPassword) override;
    Dword writeDialParams(const DialParams &params, bool removePassword) override;
    Dword renameEntry(const QString &from, const QString &to) override;
    Dword deleteEntry(const QString &name) override;
    Dword editEntry(std::uintptr_t window, const QString &name) override;
    Dword startDial(const DialParams &params, QString &key) override;
    DialProgress progress(const QString &key) override;
    Dword hangUp(const QString &key) override;
    Dword listConnections(QList<ConnectionInfo> &connections) override;
    Dword addresses(const QString &key, QString &client, QString &server) override;
    int pollIntervalMs() const override { return 20; }

private:
    struct Connection
    {
        SimulatedEntry entry; // without its password: a dial needs none
        qint64 startedMs = 0; // since the epoch
    };
    // The connection while its record is in the connections file; its entry is read from
    // the phonebook once, when the connection is first looked at, not at every poll.
    const Connection *findConnection(const QString &key);
    // The connections that still exist; records of dials that failed (also of programs
    // that died before they could hang up) are removed on the way. Throws when the
    // connections file cannot be written.
    std::vector<std::pair<QString, const Connection *>> liveConnections();
    static DialProgress progressOf(const Connection &connection);

    std::mutex m_mutex;
    std::map<QString, Connection> m_known;
};

} // namespace platform::ras
