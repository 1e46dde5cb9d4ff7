#include "test_http_server.h"

#include <QSslServer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace nettest {
namespace {

constexpr qint64 StreamChunk = 64 * 1024;
constexpr qint64 StreamBacklog = 256 * 1024;   // kept queued in the socket at most
const char *const AnsweredProperty = "answered";

QByteArray reasonFor(int code)
{
    switch (code) {
    case 200: return "OK";
    case 302: return "Found";
    case 401: return "Unauthorized";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
    }
}

QByteArray headBlock(int code, const QByteArray &headers)
{
    return "HTTP/1.1 " + QByteArray::number(code) + ' ' + reasonFor(code) + "\r\n" + headers
           + "Connection: close\r\n\r\n";
}

RecordedRequest parseRequest(const QByteArray &block)
{
    const QList<QByteArray> lines = block.split('\n');
    RecordedRequest request;
    request.requestLine = lines.value(0).trimmed();
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon > 0)
            request.headers.insert(lines[i].left(colon).trimmed().toLower(), lines[i].mid(colon + 1).trimmed());
    }
    return request;
}

} // namespace

QByteArray RecordedRequest::target() const
{
    return requestLine.split(' ').value(1);
}

QByteArray RecordedRequest::header(const QByteArray &name) const
{
    return headers.value(name.toLower());
}

Response Response::status(int code, const QByteArray &body, const QByteArray &extraHeaders)
{
    return {headBlock(code, extraHeaders + "Content-Length: " + QByteArray::number(body.size()) + "\r\n"), body};
}

Response Response::chunked(const QByteArray &body)
{
    const qsizetype half = body.size() / 2;
    QByteArray encoded;
    for (const QByteArray &piece : {body.left(half), body.mid(half)}) {
        if (!piece.isEmpty())
            encoded += QByteArray::number(piece.size(), 16) + "\r\n" + piece + "\r\n";
    }
    encoded += "0\r\n\r\n";
    return {headBlock(200, "Transfer-Encoding: chunked\r\n"), encoded};
}

Response Response::closeDelimited(const QByteArray &body)
{
    return {headBlock(200, {}), body};
}

Response Response::redirect(const QByteArray &location)
{
    return status(302, "OK:moved", "Location: " + location + "\r\n");
}

Response Response::dripped(const QByteArray &body, int intervalMs)
{
    Response response = status(200, body);
    response.dripIntervalMs = intervalMs;
    return response;
}

Response Response::huge(qint64 size, bool announceLength)
{
    Response response{headBlock(200, announceLength ? "Content-Length: " + QByteArray::number(size) + "\r\n"
                                                    : QByteArray()),
                      {}};
    response.generatedBodySize = size;
    return response;
}

Response Response::none()
{
    Response response;
    response.silent = true;
    return response;
}

TestHttpServer::TestHttpServer(Response response, const std::optional<QSslConfiguration> &tls)
{
    if (tls) {
        auto server = std::make_unique<QSslServer>();
        server->setSslConfiguration(*tls);
        m_server = std::move(server);
    } else {
        m_server = std::make_unique<QTcpServer>();
    }
    setResponse(std::move(response));
    connect(m_server.get(), &QTcpServer::pendingConnectionAvailable, this, &TestHttpServer::acceptConnections);
    m_server->listen(QHostAddress::LocalHost);
}

TestHttpServer::~TestHttpServer() = default;

void TestHttpServer::setResponse(Response response)
{
    m_handler = [response](const RecordedRequest &) { return response; };
}

void TestHttpServer::setHandler(std::function<Response(const RecordedRequest &)> handler)
{
    m_handler = std::move(handler);
}

quint16 TestHttpServer::port() const
{
    return m_server->serverPort();
}

void TestHttpServer::acceptConnections()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection())
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequest(socket); });
}

void TestHttpServer::readRequest(QTcpSocket *socket)
{
    if (socket->property(AnsweredProperty).toBool())
        return;
    const QByteArray pending = socket->peek(socket->bytesAvailable());
    const qsizetype end = pending.indexOf("\r\n\r\n");
    if (end < 0)
        return;
    socket->read(end + 4);
    socket->setProperty(AnsweredProperty, true);
    m_requests.append(parseRequest(pending.left(end)));
    answer(socket, m_handler(m_requests.last()));
}

void TestHttpServer::answer(QTcpSocket *socket, const Response &response)
{
    if (response.silent)
        return;
    socket->write(response.head);
    if (response.generatedBodySize > 0) {
        stream(socket, response.generatedBodySize);
    } else if (response.dripIntervalMs > 0) {
        drip(socket, response.body, response.dripIntervalMs);
    } else {
        socket->write(response.body);
        socket->disconnectFromHost();
    }
}

void TestHttpServer::drip(QTcpSocket *socket, const QByteArray &body, int intervalMs)
{
    auto *timer = new QTimer(socket);
    auto next = std::make_shared<qsizetype>(0);
    connect(timer, &QTimer::timeout, socket, [socket, timer, body, next] {
        if (*next >= body.size() || socket->state() != QAbstractSocket::ConnectedState) {
            timer->stop();
            socket->disconnectFromHost();
            return;
        }
        socket->write(body.mid((*next)++, 1));
    });
    timer->start(intervalMs);
}

void TestHttpServer::stream(QTcpSocket *socket, qint64 size)
{
    auto remaining = std::make_shared<qint64>(size);
    auto topUp = [this, socket, remaining] {
        while (*remaining > 0 && socket->state() == QAbstractSocket::ConnectedState
               && socket->bytesToWrite() < StreamBacklog) {
            const qint64 chunk = qMin(StreamChunk, *remaining);
            socket->write(QByteArray(chunk, 'x'));
            *remaining -= chunk;
            m_generatedBytesSent += chunk;
        }
        if (*remaining == 0)
            socket->disconnectFromHost();
    };
    connect(socket, &QTcpSocket::bytesWritten, socket, topUp);
    topUp();
}

quint16 closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

} // namespace nettest
