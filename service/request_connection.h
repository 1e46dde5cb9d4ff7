#pragma once
// One client connection: reads one request head within the size and time limits, writes
// the answer and closes. Deletes itself once the connection is closed, or when the time
// limit has passed, whatever the client does.
#include "service/request_answer.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <optional>

class QTcpSocket;

namespace service {

inline constexpr qsizetype MaxRequestHeadBytes = 8192;
inline constexpr int RequestTimeoutMs = 10000;

class RequestConnection : public QObject
{
    Q_OBJECT
public:
    using Answerer = std::function<HttpAnswer(const QByteArray &head)>;

    // Takes the socket over.
    RequestConnection(QTcpSocket *socket, Answerer answerer);

    // Starts the exchange: reads the request, or with an answer given sends that at once.
    void start(const std::optional<HttpAnswer> &answerNow = std::nullopt);

signals:
    void answered(const service::HttpAnswer &answer, const QString &peer);

private:
    void readHead();
    void send(const HttpAnswer &answer);

    QTcpSocket *m_socket;
    Answerer m_answerer;
    QByteArray m_head;
    QTimer m_timer;
    bool m_sent = false;
};

} // namespace service
