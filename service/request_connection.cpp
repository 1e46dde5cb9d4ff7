#include "service/request_connection.h"

#include <QTcpSocket>

namespace service {
namespace {

// Time left to deliver the answer to a client that was too slow.
constexpr int FinalWriteMs = 1000;

// End of the head: a blank line, also with bare line feeds as lenient clients send them.
qsizetype headEnd(const QByteArray &bytes)
{
    const qsizetype crlf = bytes.indexOf("\r\n\r\n");
    const qsizetype lf = bytes.indexOf("\n\n");
    if (crlf < 0)
        return lf;
    return lf < 0 ? crlf : qMin(crlf, lf);
}

} // namespace

RequestConnection::RequestConnection(QTcpSocket *socket, Answerer answerer)
    : m_socket(socket)
    , m_answerer(std::move(answerer))
{
    m_socket->setParent(this);
    connect(m_socket, &QTcpSocket::disconnected, this, &QObject::deleteLater);
    connect(m_socket, &QTcpSocket::errorOccurred, this, [this] {
        if (m_socket->state() == QAbstractSocket::UnconnectedState)
            deleteLater();
    });
    // The limit covers the whole exchange: a client that neither sends nor reads is dropped.
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (!m_sent) {
            send(plainAnswer(408));
            m_timer.start(FinalWriteMs);
            return;
        }
        m_socket->abort();
        deleteLater();
    });
}

void RequestConnection::start(const std::optional<HttpAnswer> &answerNow)
{
    m_timer.start(RequestTimeoutMs);
    if (answerNow) {
        send(*answerNow);
        return;
    }
    connect(m_socket, &QTcpSocket::readyRead, this, &RequestConnection::readHead);
    readHead();
}

void RequestConnection::readHead()
{
    if (m_sent)
        return;
    m_head += m_socket->read(MaxRequestHeadBytes + 1 - m_head.size());
    const qsizetype end = headEnd(m_head);
    if (end >= 0 && end <= MaxRequestHeadBytes)
        send(m_answerer(m_head.left(end)));
    else if (m_head.size() > MaxRequestHeadBytes)
        send(plainAnswer(431));
}

void RequestConnection::send(const HttpAnswer &answer)
{
    m_sent = true;
    m_socket->write(answer.toBytes());
    emit answered(answer, m_socket->peerAddress().toString());
    m_socket->disconnectFromHost();
}

} // namespace service
