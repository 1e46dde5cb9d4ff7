#pragma once
// The service probe: asks the running Vardo service over plain HTTP for its version or its
// log folder. The service answers "OK:" and the value; anything else, or no answer within
// the client's limits, means no contact. Neither query raises an error: a failure of the
// exchange gives false quietly, a failure to set the probe up is also shown through
// MessageHook.
#include <QString>

namespace net {

class HttpClient;

inline const QString GetVersionCommand = QStringLiteral("/=Get_Version");
inline const QString GetLogDirCommand = QStringLiteral("/=Get_Loggdir");

// The client the probe sends through: the transfer window lends its VardoHTTP, and a
// program without the window installs one of its own. nullptr when there is none.
HttpClient *ProbeClient();
void SetProbeClient(HttpClient *client);

// The request URL as the service reads it (before the wire encoding of url_encoding.h):
// "http://" host ":" port command ",prislistetyp=" PrislisteTyp ",dbconnection=" SERVER "."
// DATABASE ",connectionstring=" DefaultConnectionString.
QString ServiceProbeUrl(const QString &host, int port, const QString &command);

// The "OK:" rule: a body holding "OK:" anywhere (letter case significant) gives true and
// the body without its first three characters, untrimmed; value is untouched otherwise.
bool TakeServiceAnswer(const QString &body, QString &value);

// On false the out value keeps what the caller put into it.
bool QueryServiceVersion(const QString &host, int port, QString &version);
bool QueryServiceLogDir(const QString &host, int port, QString &logDir);

} // namespace net
