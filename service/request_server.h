#pragma once
// Listens for the service's HTTP requests on one port at several addresses and serves any
// number of connections at once, up to a limit; a connection beyond it gets 503.
#include "service/request_answer.h"

#include <QHostAddress>
#include <QList>
#include <QObject>

#include <memory>
#include <vector>

class QTcpServer;

namespace service {

class ServiceLog;

inline constexpr int MaxConnections = 256;

class RequestServer : public QObject
{
    Q_OBJECT
public:
    RequestServer(ServiceIdentity identity, ServiceLog &log, QObject *parent = nullptr);
    ~RequestServer() override;

    // Listens on port at each address and returns those it could bind; an address that
    // fails is logged and skipped. Throws platform::Error when the first address (loopback)
    // cannot be bound, since the console asks there.
    QList<QHostAddress> listen(const QList<QHostAddress> &addresses, quint16 port);

    // Stops listening and drops open connections.
    void close();

    int openConnections() const { return m_open; }

private:
    void accept(QTcpServer &server);
    void logAnswer(const HttpAnswer &answer, const QString &peer);

    ServiceIdentity m_identity;
    ServiceLog &m_log;
    std::vector<std::unique_ptr<QTcpServer>> m_servers;
    int m_open = 0;
};

} // namespace service
