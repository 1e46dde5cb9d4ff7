#include "service/request_server.h"

#include "service/request_connection.h"
#include "service/service_log.h"
#include "platform/error.h"

#include <QTcpServer>
#include <QTcpSocket>

namespace service {

RequestServer::RequestServer(ServiceIdentity identity, ServiceLog &log, QObject *parent)
    : QObject(parent)
    , m_identity(std::move(identity))
    , m_log(log)
{
}

RequestServer::~RequestServer() = default;

QList<QHostAddress> RequestServer::listen(const QList<QHostAddress> &addresses, quint16 port)
{
    QList<QHostAddress> bound;
    for (const QHostAddress &address : addresses) {
        auto server = std::make_unique<QTcpServer>();
        server->setMaxPendingConnections(MaxConnections);
        if (!server->listen(address, port)) {
            const QString failure = QStringLiteral("Cannot listen on %1 port %2: %3")
                                        .arg(address.toString()).arg(port).arg(server->errorString());
            if (bound.isEmpty())
                throw platform::Error(failure);
            m_log.error(failure);
            continue;
        }
        QTcpServer *raw = server.get();
        connect(raw, &QTcpServer::newConnection, this, [this, raw] { accept(*raw); });
        m_servers.push_back(std::move(server));
        bound.append(address);
    }
    return bound;
}

void RequestServer::close()
{
    m_servers.clear();
    for (RequestConnection *connection : findChildren<RequestConnection *>(Qt::FindDirectChildrenOnly))
        delete connection;
}

void RequestServer::accept(QTcpServer &server)
{
    while (QTcpSocket *socket = server.nextPendingConnection()) {
        std::optional<HttpAnswer> refusal;
        if (m_open >= MaxConnections)
            refusal = plainAnswer(503);
        ++m_open;
        auto *connection = new RequestConnection(socket, [this](const QByteArray &head) { return answerRequest(head, m_identity); });
        connection->setParent(this);
        connect(connection, &QObject::destroyed, this, [this] { --m_open; });
        connect(connection, &RequestConnection::answered, this, &RequestServer::logAnswer);
        connection->start(refusal);
    }
}

void RequestServer::logAnswer(const HttpAnswer &answer, const QString &peer)
{
    // Only the command is logged: the rest of a target may carry a connection string.
    const QString command = answer.command.isEmpty() ? QStringLiteral("-") : answer.command;
    const QString line = QStringLiteral("%1 %2 -> %3").arg(peer, command).arg(answer.status);
    if (answer.status >= 500)
        m_log.error(line);
    else
        m_log.info(line);
}

} // namespace service
