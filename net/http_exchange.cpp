#include "net/http_exchange_p.h"

#include "platform/error.h"
#include "suite/user_input_guard.h"

#include <QNetworkReply>

namespace net {
namespace {

QString seconds(std::chrono::milliseconds limit)
{
    return QString::number(static_cast<double>(limit.count()) / 1000.0);
}

bool isSuccess(int status)
{
    return status >= 200 && status <= 299;
}

} // namespace

HttpExchange::HttpExchange(QNetworkReply *reply, const HttpLimits &limits, HttpClient &progress)
    : m_reply(reply)
    , m_limits(limits)
    , m_progress(progress)
{
    m_totalTimer.setSingleShot(true);
    m_phaseTimer.setSingleShot(true);
}

HttpExchange::~HttpExchange() = default;

QByteArray HttpExchange::run()
{
    watchReply();
    startTimers();
    if (!m_reply->isFinished()) {
        const suite::UserInputGuard noInput;
        m_loop.exec();
    }
    if (m_failure.isEmpty())
        onBodyData();   // what arrived together with the end
    m_totalTimer.stop();
    m_phaseTimer.stop();
    endWork();
    checkOutcome();
    return m_body;
}

void HttpExchange::watchReply()
{
    connect(m_reply, &QNetworkReply::finished, &m_loop, &QEventLoop::quit);
    connect(m_reply, &QNetworkReply::requestSent, this, &HttpExchange::onRequestSent);
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &HttpExchange::onHeaders);
    connect(m_reply, &QNetworkReply::readyRead, this, &HttpExchange::onBodyData);
    connect(m_reply, &QNetworkReply::downloadProgress, this, &HttpExchange::onProgress);
    connect(&m_totalTimer, &QTimer::timeout, this, [this] {
        fail(QStringLiteral("No complete answer from %1 within %2 seconds").arg(host(), seconds(m_limits.total)));
    });
    connect(&m_phaseTimer, &QTimer::timeout, this, &HttpExchange::onPhaseTimeout);
}

void HttpExchange::startTimers()
{
    m_totalTimer.start(m_limits.total);
    m_phaseTimer.start(m_limits.connect);
}

void HttpExchange::onRequestSent()
{
    // Connected: from now on the limit is on silence, restarted by every sign of data.
    m_requestSent = true;
    m_phaseTimer.start(m_limits.idle);
}

void HttpExchange::onPhaseTimeout()
{
    if (m_requestSent)
        fail(QStringLiteral("No data from %1 for %2 seconds").arg(host(), seconds(m_limits.idle)));
    else
        fail(QStringLiteral("No connection to %1 within %2 seconds").arg(host(), seconds(m_limits.connect)));
}

void HttpExchange::noteActivity()
{
    if (m_requestSent)
        m_phaseTimer.start(m_limits.idle);
}

void HttpExchange::failTooLarge()
{
    fail(QStringLiteral("The answer from %1 is larger than %2 bytes").arg(host()).arg(m_limits.maxBody));
}

QString HttpExchange::host() const
{
    return m_reply->url().host();
}

void HttpExchange::onHeaders()
{
    if (!m_failure.isEmpty())
        return;
    noteActivity();
    const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
    const qint64 expected = length.isValid() ? length.toLongLong() : 0;
    if (expected > m_limits.maxBody) {
        failTooLarge();
        return;
    }
    if (!m_workBegun) {
        m_workBegun = true;
        emit m_progress.workBegin(expected);
    }
}

void HttpExchange::onBodyData()
{
    if (!m_failure.isEmpty())
        return;
    noteActivity();
    const QByteArray data = m_reply->readAll();
    if (m_body.size() + data.size() > m_limits.maxBody) {
        failTooLarge();
        return;
    }
    m_body.append(data);
}

void HttpExchange::onProgress(qint64 received)
{
    if (!m_failure.isEmpty() || !m_workBegun)
        return;
    noteActivity();
    emit m_progress.work(received);
}

void HttpExchange::fail(const QString &reason)
{
    if (!m_failure.isEmpty())
        return;
    m_failure = reason;
    m_totalTimer.stop();
    m_phaseTimer.stop();
    if (!m_reply->isFinished())
        m_reply->abort();
    m_loop.quit();
}

void HttpExchange::endWork()
{
    if (m_workBegun)
        emit m_progress.workEnd();
}

void HttpExchange::checkOutcome() const
{
    if (!m_failure.isEmpty())
        throw platform::Error(m_failure);
    const QVariant status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && !isSuccess(status.toInt())) {
        throw platform::Error(QStringLiteral("%1 answered %2 %3")
                               .arg(host())
                               .arg(status.toInt())
                               .arg(m_reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString()));
    }
    if (m_reply->error() != QNetworkReply::NoError)
        throw platform::Error(m_reply->errorString());
    if (!status.isValid())
        throw platform::Error(QStringLiteral("No HTTP answer from %1").arg(host()));
}

} // namespace net
