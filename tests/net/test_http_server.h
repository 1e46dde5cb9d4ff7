#pragma once
// An HTTP server on the loopback address of the test process that answers every request
// with a scripted response: on demand a plain or chunked answer, one without a length, a
// redirect or error status, a body dripped byte by byte, a huge body streamed as fast as
// the peer reads it, or no answer at all. It records every request it receives.
// It runs on the test's own thread: the client's local event loop serves it too.
#include <QByteArray>
#include <QList>
#include <QMap>
#include <QObject>
#include <QSslConfiguration>

#include <functional>
#include <memory>
#include <optional>

class QTcpServer;
class QTcpSocket;

namespace nettest {

struct RecordedRequest
{
    QByteArray requestLine;                  // "GET /target HTTP/1.1"
    QMap<QByteArray, QByteArray> headers;    // names in lower case

    QByteArray target() const;               // the middle word of the request line
    QByteArray header(const QByteArray &name) const;
};

struct Response
{
    QByteArray head;                 // status line and header lines with the blank line
    QByteArray body;
    qint64 generatedBodySize = 0;    // instead of body: that many bytes, streamed as read
    int dripIntervalMs = 0;          // > 0: the body goes one byte per interval
    bool silent = false;             // reads the request and never answers

    // Status with "Content-Length" and "Connection: close".
    static Response status(int code, const QByteArray &body, const QByteArray &extraHeaders = {});
    static Response ok(const QByteArray &body) { return status(200, body); }
    static Response chunked(const QByteArray &body);          // "Transfer-Encoding: chunked"
    static Response closeDelimited(const QByteArray &body);   // no length: ends with the connection
    static Response redirect(const QByteArray &location);     // 302 with a body holding "OK:"
    static Response dripped(const QByteArray &body, int intervalMs);
    static Response huge(qint64 size, bool announceLength);
    static Response none();
};

class TestHttpServer : public QObject
{
    Q_OBJECT
public:
    // With a TLS configuration the server speaks HTTPS.
    explicit TestHttpServer(Response response = Response::ok("OK:"),
                            const std::optional<QSslConfiguration> &tls = std::nullopt);
    ~TestHttpServer() override;

    void setResponse(Response response);
    void setHandler(std::function<Response(const RecordedRequest &)> handler);

    quint16 port() const;
    const QList<RecordedRequest> &requests() const { return m_requests; }
    // Body bytes of generated responses handed to the sockets so far; at most a few
    // hundred KiB run ahead of what the peer has read.
    qint64 generatedBytesSent() const { return m_generatedBytesSent; }

private:
    void acceptConnections();
    void readRequest(QTcpSocket *socket);
    void answer(QTcpSocket *socket, const Response &response);
    void drip(QTcpSocket *socket, const QByteArray &body, int intervalMs);
    void stream(QTcpSocket *socket, qint64 size);

    std::unique_ptr<QTcpServer> m_server;
    std::function<Response(const RecordedRequest &)> m_handler;
    QList<RecordedRequest> m_requests;
    qint64 m_generatedBytesSent = 0;
};

// A port on loopback where nothing listens (bound and released again).
quint16 closedPort();

} // namespace nettest
