#pragma once
// One GET exchange of an HttpClient: waits in a local event loop for the reply, collects
// the body up to the cap and enforces the time limits.
#include "net/http_client.h"

#include <QEventLoop>
#include <QTimer>

class QNetworkReply;

namespace net {

class HttpExchange : public QObject
{
    Q_OBJECT
public:
    HttpExchange(QNetworkReply *reply, const HttpLimits &limits, HttpClient &progress);
    ~HttpExchange() override;

    // Runs the exchange to its end; the body of a 2xx answer, else throws platform::Error.
    QByteArray run();

private:
    void watchReply();
    void startTimers();
    void onHeaders();
    void onRequestSent();
    void onPhaseTimeout();
    void noteActivity();
    void failTooLarge();
    QString host() const;
    void onBodyData();
    void onProgress(qint64 received);
    void fail(const QString &reason);
    void checkOutcome() const;
    void endWork();

    QNetworkReply *m_reply;
    HttpLimits m_limits;
    HttpClient &m_progress;
    QEventLoop m_loop;
    QTimer m_totalTimer;
    QTimer m_phaseTimer;   // the connect limit until the request is sent, then the idle limit
    QByteArray m_body;
    QString m_failure;
    bool m_requestSent = false;
    bool m_workBegun = false;
};

} // namespace net
