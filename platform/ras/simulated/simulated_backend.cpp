#include "platform/ras/simulated/simulated_backend.h"

#include "platform/codepage.h"
#include "platform/ras/entry_dialog.h"

#include <QDateTime>
#include <QScopeGuard>
#include <QUuid>

#include <exception>

namespace platform::ras {
namespace {

// The phonebook file may be unwritable; that is a result code, not an exception.
template<typename Body>
Dword writing(Body body)
{
    try {
        body();
        return Success;
    } catch (const std::exception &) {
        return ErrorCannotWritePhonebook;
    }
}

} // namespace

Dword SimulatedBackend::listEntries(QStringList &names)
{
    names = simulatedEntryNames();
    return Success;
}

Dword SimulatedBackend::readDialParams(DialParams &params, bool &hasPassword)
{
    SimulatedEntry entry;
    if (!readSimulatedEntry(params.entryName, entry, PasswordReading::Read))
        return ErrorCannotFindPhonebookEntry;
    params.phoneNumber = entry.phoneNumber;
    params.userName = entry.userName;
    params.password = std::move(entry.password);
    hasPassword = !params.password.isEmpty();
    return Success;
}

Dword SimulatedBackend::writeDialParams(const DialParams &params, bool removePassword)
{
    SimulatedEntry entry;
    if (!readSimulatedEntry(params.entryName, entry))
        return ErrorCannotFindPhonebookEntry;
    if (!removePassword) {
        entry.userName = params.userName;
        entry.password = SecretBuffer(params.password.data(), params.password.size());
    }
    return writing([&] { writeSimulatedEntry(entry); });
}

Dword SimulatedBackend::renameEntry(const QString &from, const QString &to)
{
    SimulatedEntry entry;
    if (!readSimulatedEntry(from, entry, PasswordReading::Read))
        return ErrorCannotFindPhonebookEntry;
    SimulatedEntry existing;
    if (from != to && readSimulatedEntry(to, existing))
        return ErrorAlreadyExists;
    entry.name = to;
    return writing([&] {
        removeSimulatedEntry(from);
        writeSimulatedEntry(entry);
    });
}

Dword SimulatedBackend::deleteEntry(const QString &name)
{
    SimulatedEntry entry;
    if (!readSimulatedEntry(name, entry))
        return ErrorCannotFindPhonebookEntry;
    return writing([&] { removeSimulatedEntry(name); });
}

Dword SimulatedBackend::editEntry(std::uintptr_t window, const QString &name)
{
    SimulatedEntry entry;
    if (!name.isEmpty() && !readSimulatedEntry(name, entry, PasswordReading::Read))
        return ErrorCannotFindPhonebookEntry;
    // The dialog's edit field holds the password as text whatever is done here.
    EntryFields fields{entry.name, entry.phoneNumber, entry.userName,
                       fromAnsi(entry.password.data(), qsizetype(entry.password.size()))};
    const auto forget = qScopeGuard([&] { wipeString(fields.password); });
    if (const Dword result = runEntryDialog(window, fields); result != Success)
        return result;
    if (!isValidEntryName(fields.name))
        return ErrorInvalidName;
    SimulatedEntry other;
    if (fields.name != name && readSimulatedEntry(fields.name, other))
        return ErrorAlreadyExists;
    entry.name = fields.name;
    entry.phoneNumber = fields.phoneNumber;
    entry.userName = fields.userName;
    entry.password = toAnsiSecret(fields.password);
    return writing([&] {
        if (!name.isEmpty() && name != entry.name)
            removeSimulatedEntry(name);
        writeSimulatedEntry(entry);
    });
}

Dword SimulatedBackend::startDial(const DialParams &params, QString &key)
{
    SimulatedEntry entry;
    if (!readSimulatedEntry(params.entryName, entry))
        return ErrorCannotFindPhonebookEntry;
    std::lock_guard lock(m_mutex);
    bool alreadyConnected = false;
    const Dword result = writing([&] {
        for (const auto &[otherKey, connection] : liveConnections())
            alreadyConnected = alreadyConnected || connection->entry.name == entry.name;
        if (alreadyConnected)
            return;
        key = QStringLiteral("simulated-") + QUuid::createUuid().toString(QUuid::Id128);
        const qint64 startedMs = QDateTime::currentMSecsSinceEpoch();
        writeSimulatedConnection(key, entry.name, startedMs);
        m_known[key] = Connection{std::move(entry), startedMs};
    });
    return result == Success && alreadyConnected ? ErrorPortAlreadyOpen : result;
}

std::vector<std::pair<QString, const SimulatedBackend::Connection *>> SimulatedBackend::liveConnections()
{
    std::vector<std::pair<QString, const Connection *>> live;
    for (const QString &key : simulatedConnectionKeys()) {
        const Connection *connection = findConnection(key);
        if (connection && progressOf(*connection).error == Success) {
            live.emplace_back(key, connection);
        } else {
            removeSimulatedConnection(key);
            m_known.erase(key);
        }
    }
    return live;
}

const SimulatedBackend::Connection *SimulatedBackend::findConnection(const QString &key)
{
    QString entryName;
    qint64 startedMs = 0;
    if (!readSimulatedConnection(key, entryName, startedMs)) {
        m_known.erase(key);
        return nullptr;
    }
    const auto known = m_known.find(key);
    if (known != m_known.end() && known->second.entry.name == entryName && known->second.startedMs == startedMs)
        return &known->second;
    Connection connection{SimulatedEntry(), startedMs};
    if (!readSimulatedEntry(entryName, connection.entry)) {
        m_known.erase(key);
        return nullptr;
    }
    return &(m_known[key] = std::move(connection));
}

DialProgress SimulatedBackend::progressOf(const Connection &connection)
{
    const SimulatedEntry &entry = connection.entry;
    const qint64 elapsed = qMax<qint64>(0, QDateTime::currentMSecsSinceEpoch() - connection.startedMs);
    // State i is reached at i step delays; the outcome one step after the last state.
    const qint64 steps = entry.stepDelayMs > 0 ? elapsed / entry.stepDelayMs : entry.states.size();
    DialProgress p;
    p.states = entry.states.mid(0, qMin<qint64>(steps + 1, entry.states.size()));
    if (steps < entry.states.size())
        return p;
    p.finished = true;
    if (entry.error != Success)
        p.error = entry.error;
    else
        p.states << Connected;
    return p;
}

DialProgress SimulatedBackend::progress(const QString &key)
{
    std::lock_guard lock(m_mutex);
    const Connection *connection = findConnection(key);
    if (!connection) {
        DialProgress gone;
        gone.gone = true;
        return gone;
    }
    return progressOf(*connection);
}

Dword SimulatedBackend::hangUp(const QString &key)
{
    std::lock_guard lock(m_mutex);
    m_known.erase(key);
    return writing([&] { removeSimulatedConnection(key); });
}

Dword SimulatedBackend::listConnections(QList<ConnectionInfo> &connections)
{
    std::lock_guard lock(m_mutex);
    connections.clear();
    return writing([&] {
        for (const auto &[key, connection] : liveConnections())
            connections << ConnectionInfo{key, connection->entry.name, QStringLiteral("modem"),
                                          QStringLiteral("Simulated modem")};
    });
}

Dword SimulatedBackend::addresses(const QString &key, QString &client, QString &server)
{
    std::lock_guard lock(m_mutex);
    const Connection *connection = findConnection(key);
    if (!connection)
        return ErrorInvalidHandle;
    const DialProgress p = progressOf(*connection);
    if (p.states.isEmpty() || p.states.last() != Connected)
        return ErrorProjectionNotComplete;
    client = connection->entry.clientIp;
    server = connection->entry.serverIp;
    return Success;
}

} // namespace platform::ras
