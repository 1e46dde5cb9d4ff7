#pragma once
// The phonebook of the simulated modem, the RAS provider's back end for trials and for
// tests that must script timing and failures (TELLVARA_RAS_BACKEND=simulated).
//
// Rules: one INI file, ${XDG_CONFIG_HOME:-$HOME/.config}/tellvara/dialup-phonebook.ini,
// one group per entry, read and written without QSettings so that no cache keeps a
// password; the password is read only when asked for. A dial passes through the entry's States one StepDelayMs apart and
// then connects, or, when Error is not 0, fails with that RAS error after the last state.
#include "platform/ras_api.h"
#include "platform/secret_buffer.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace platform::ras {

// Opening port … projected; the dial then connects.
QList<Dword> defaultSimulatedStates();

struct SimulatedEntry
{
    QString name;
    QString phoneNumber;
    QString userName;
    SecretBuffer password;            // in the ANSI code page; empty: none stored
    QList<Dword> states = defaultSimulatedStates();
    int stepDelayMs = 200;
    Dword error = Success;
    QString clientIp = QStringLiteral("10.64.64.10");
    QString serverIp = QStringLiteral("10.64.64.1");
};

QString simulatedPhonebookFile();

QStringList simulatedEntryNames();
enum class PasswordReading { Skip, Read };
// False when there is no entry of that name. The password stays empty unless asked for.
bool readSimulatedEntry(const QString &name, SimulatedEntry &entry, PasswordReading password = PasswordReading::Skip);
// Adds the entry or replaces the one of that name.
void writeSimulatedEntry(const SimulatedEntry &entry);
void removeSimulatedEntry(const QString &name);

// The connections the simulated modem holds, in dialup-connections.ini beside the
// phonebook: each names its entry and when its dial started (ms since the epoch).
QStringList simulatedConnectionKeys();
bool readSimulatedConnection(const QString &key, QString &entryName, qint64 &startedMs);
void writeSimulatedConnection(const QString &key, const QString &entryName, qint64 startedMs);
void removeSimulatedConnection(const QString &key);

} // namespace platform::ras
