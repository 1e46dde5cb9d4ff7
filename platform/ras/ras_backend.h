#pragma once
// What each back end of the RAS provider does; the exported functions (ras_exports.cpp)
// check records and sizes, convert text and keep the connection handles, so a back end
// speaks plain Qt types and RAS result codes only.
#include "platform/ras_api.h"
#include "platform/secret_buffer.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>

namespace platform::ras {

struct DialParams
{
    QString entryName;
    QString phoneNumber;
    QString callbackNumber;
    QString userName;
    SecretBuffer password; // in the ANSI code page, as in the records
    QString domain;
};

// A connection as a back end knows it; key is the back end's own name for it.
struct ConnectionInfo
{
    QString key;
    QString entryName;
    QString deviceType;
    QString deviceName;
};

// How far a dial has come: every state passed, in order. finished is set once the dial
// has connected (the last state is Connected) or failed (error is not 0); gone once the
// connection no longer exists at all.
struct DialProgress
{
    QList<Dword> states;
    Dword error = Success;
    bool finished = false;
    bool gone = false;
};

class Backend
{
public:
    virtual ~Backend() = default;

    virtual Dword listEntries(QStringList &names) = 0;
    // params.entryName names the entry; the rest is filled.
    virtual Dword readDialParams(DialParams &params, bool &hasPassword) = 0;
    virtual Dword writeDialParams(const DialParams &params, bool removePassword) = 0;
    virtual Dword renameEntry(const QString &from, const QString &to) = 0;
    virtual Dword deleteEntry(const QString &name) = 0;
    // Opens the entry dialog; an empty name makes a new entry.
    virtual Dword editEntry(std::uintptr_t window, const QString &name) = 0;

    // Starts dialling and names the new connection; progress then tells how it goes.
    virtual Dword startDial(const DialParams &params, QString &key) = 0;
    virtual DialProgress progress(const QString &key) = 0;
    virtual Dword hangUp(const QString &key) = 0;
    virtual Dword listConnections(QList<ConnectionInfo> &connections) = 0;
    virtual Dword addresses(const QString &key, QString &client, QString &server) = 0;

    // How often a dial in progress is looked at.
    virtual int pollIntervalMs() const = 0;
};

// The back end of this process: the simulated modem when TELLVARA_RAS_BACKEND is
// "simulated", NetworkManager otherwise. Chosen once, on first use.
Backend &backend();

// Valid entry names: not empty, at most 256 bytes in the ANSI code page, none of the
// characters the phonebook file cannot hold.
bool isValidEntryName(const QString &name);

} // namespace platform::ras
