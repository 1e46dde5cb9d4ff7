#pragma once
// The two "Uppdatera" buttons of the service column: ask the running service, on the
// port the field shows (saved or not) of this computer, for its version or its log
// folder, and tell the administrator when there is no contact.
#include <QString>

#include <functional>

namespace app {

inline const QString ProbeWorks = QStringLiteral("Anslutningen fungerar!");
inline const QString ProbeNoContact = QStringLiteral("Ingen kontakt med tjänsten på den inställda porten!");

// On success showVersion puts the service's version into edVardoTjanstVersion, before the
// box saying that the connection works appears; without contact the field keeps its text.
void btnCheckVardoTjanstClick(int port, const std::function<void(const QString &)> &showVersion);

// logDir: the text of MemoLoggdir, replaced by the service's log folder on success.
void btnGetLoggdirClick(int port, QString &logDir);

} // namespace app
