#pragma once
// The NetworkManager back end: entries are its saved connections of the point-to-point
// kinds (gsm, cdma, pppoe, Bluetooth DUN, vpn), found by their id; a dial activates one
// and follows the active connection and its device; user name and password are the
// connection's own settings and secrets. Every call asks the system bus; when
// NetworkManager is not on it the result is ErrorServiceUnavailable.
#include "platform/ras/ras_backend.h"

#include <QDBusConnection>
#include <QHash>
#include <QVariantMap>

#include <mutex>

namespace platform::ras {

using NmSettings = QMap<QString, QVariantMap>;

class NetworkManagerBackend : public Backend
{
public:
    NetworkManagerBackend();

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
    int pollIntervalMs() const override { return 50; }

private:
    struct Entry
    {
        QString path;
        NmSettings settings;
    };
    // What a dial has shown so far; kept so a failure reason outlives the device state.
    struct Tracker
    {
        qsizetype passed = 0;
        unsigned lastReason = 0;
        Dword error = Success;
        bool finished = false;
    };

    Dword available() const;
    Dword findEntry(const QString &name, Entry &entry) const;
    QList<Entry> entries(Dword &error) const;
    Dword secretsOf(const Entry &entry, SecretBuffer &password) const;
    Dword update(const QString &path, const NmSettings &settings) const;
    Dword createWithDialog(std::uintptr_t window);
    Dword editWithDialog(std::uintptr_t window, Entry &entry);
    void observe(const QString &key, Tracker &tracker, DialProgress &p) const;

    std::mutex m_mutex;
    QHash<QString, Tracker> m_trackers;
};

} // namespace platform::ras
