// Answers the service probe's request with arbitrary bytes as the raw HTTP response, over
// loopback, and takes the body the way the probe does: the client's bounded GET (status
// line, headers, chunks, caps), then the ANSI text and the "OK:" rule. A crash, a
// sanitizer report, or an answer that breaks the rule is a finding; a failed exchange is
// not.
#include "net/http_client.h"
#include "net/probe.h"
#include "platform/codepage.h"
#include "platform/error.h"

#include <QCoreApplication>
#include <QTcpServer>
#include <QTcpSocket>

#include <cstdint>
#include <cstdlib>

namespace {

// Serves the current input to every connection once it has read the request's head.
class RawServer : public QTcpServer
{
public:
    QByteArray response;

    RawServer()
    {
        connect(this, &QTcpServer::pendingConnectionAvailable, this, [this] {
            while (QTcpSocket *socket = nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    m_request += socket->readAll();
                    if (!m_request.contains("\r\n\r\n"))
                        return;
                    m_request.clear();
                    socket->write(response);
                    socket->disconnectFromHost();
                });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }

private:
    QByteArray m_request;
};

struct Harness
{
    RawServer server;
    net::HttpClient client{net::HttpClient::Kind::Plain};

    Harness()
    {
        if (!server.listen(QHostAddress::LocalHost))
            std::abort();
        net::HttpLimits limits;
        limits.connect = std::chrono::milliseconds(2000);
        limits.total = std::chrono::milliseconds(3000);
        limits.idle = std::chrono::milliseconds(500);
        limits.maxBody = 64 * 1024;
        client.setLimits(limits);
    }
};

Harness *harness = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    harness = new Harness;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    harness->server.response = QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QUrl url(QStringLiteral("http://127.0.0.1:%1/=Get_Version").arg(harness->server.serverPort()));
    QByteArray body;
    try {
        body = harness->client.get(url);
    } catch (const platform::Error &) {
        return 0;
    }
    const QString text = platform::fromAnsi(body);
    QString value = QStringLiteral("untouched");
    const bool answered = net::TakeServiceAnswer(text, value);
    if (answered != text.contains(QStringLiteral("OK:")) || (answered && value != text.mid(3))
        || (!answered && value != QStringLiteral("untouched")))
        std::abort();
    return 0;
}
