#include "net/probe.h"

#include "net/busy_cursor.h"
#include "net/dbconnection.h"
#include "net/hook_calls.h"
#include "net/http_client.h"
#include "net/url_encoding.h"
#include "platform/codepage.h"
#include "platform/error.h"
#include "suite/paths.h"

#include <QLocale>
#include <QUrl>

namespace net {
namespace {

HttpClient *probeClient = nullptr;

const QString AnswerMarker = QStringLiteral("OK:");

HttpClient &requireProbeClient()
{
    if (!probeClient)
        throw platform::Error(QStringLiteral("The HTTP transfer window does not exist"));
    return *probeClient;
}

// Every failure of the exchange itself means "no contact" and is not reported.
bool fetchAnswer(HttpClient &client, const QString &host, int port, const QString &command, QString &value)
{
    try {
        const QString url = ServiceProbeUrl(host, port, command);
        const QByteArray body = client.get(QUrl::fromEncoded(encodeRequestUrl(url), QUrl::StrictMode));
        return TakeServiceAnswer(platform::fromAnsi(body), value);
    } catch (const std::exception &) {
        return false;
    }
}

bool queryService(const QString &host, int port, const QString &command, const QString &setUpFailure,
                  QString &value)
{
    try {
        const BusyCursor busy;
        return fetchAnswer(requireProbeClient(), host, port, command, value);
    } catch (const std::exception &e) {
        ShowHookMessage(Translate(setUpFailure) + QStringLiteral("\r\r") + platform::messageOf(e));
        return false;
    }
}

} // namespace

HttpClient *ProbeClient()
{
    return probeClient;
}

void SetProbeClient(HttpClient *client)
{
    probeClient = client;
}

QString ServiceProbeUrl(const QString &host, int port, const QString &command)
{
    const QLocale locale;
    return QStringLiteral("http://") + host + QLatin1Char(':') + QString::number(port) + command
           + QStringLiteral(",prislistetyp=") + PrislisteTyp + QStringLiteral(",dbconnection=")
           + locale.toUpper(DBConnection.ServerName) + QLatin1Char('.')
           + locale.toUpper(DBConnection.Databasename) + QStringLiteral(",connectionstring=")
           + suite::DefaultConnectionString();
}

bool TakeServiceAnswer(const QString &body, QString &value)
{
    if (!body.contains(AnswerMarker))
        return false;
    value = body.mid(AnswerMarker.size());
    return true;
}

bool QueryServiceVersion(const QString &host, int port, QString &version)
{
    return queryService(host, port, GetVersionCommand,
                        QStringLiteral("Det gick inte att kontrollera anslutningen till Vardo-tjänsten!"), version);
}

bool QueryServiceLogDir(const QString &host, int port, QString &logDir)
{
    return queryService(host, port, GetLogDirCommand,
                        QStringLiteral("Det gick inte att hämta temp-katalog från Vardo-tjänsten!"), logDir);
}

} // namespace net
