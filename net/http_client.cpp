#include "net/http_client.h"

#include "net/http_exchange_p.h"
#include "platform/error.h"

#include <QNetworkCookieJar>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QScopeGuard>
#include <QSslConfiguration>

#include <memory>

namespace net {
namespace {

const QByteArray AcceptHeader = QByteArrayLiteral("text/html, */*");
const QByteArray UserAgent = QByteArrayLiteral("Mozilla/3.0 (compatible; Indy Library)");

// Qt holds at most this much of a body that has not been read yet, so a large body
// streams through the cap check instead of piling up.
constexpr qint64 ReadBufferSize = 64 * 1024;

class SystemProxyFactory : public QNetworkProxyFactory
{
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery &query) override
    {
        return systemProxyForQuery(query);
    }
};

QSslConfiguration secureConfiguration()
{
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    config.setProtocol(QSsl::TlsV1_2OrLater);
    config.setPeerVerifyMode(QSslSocket::VerifyPeer);
    return config;
}

} // namespace

HttpClient::HttpClient(Kind kind, QObject *parent)
    : QObject(parent)
    , m_kind(kind)
{
    m_manager.setCookieJar(new QNetworkCookieJar(&m_manager));
    m_manager.setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
    if (kind == Kind::Plain)
        m_manager.setProxy(QNetworkProxy::NoProxy);
    else
        m_manager.setProxyFactory(new SystemProxyFactory);
    connect(&m_manager, &QNetworkAccessManager::authenticationRequired, this,
            [this](QNetworkReply *, QAuthenticator *authenticator) { answerChallenge(authenticator, false); });
    connect(&m_manager, &QNetworkAccessManager::proxyAuthenticationRequired, this,
            [this](const QNetworkProxy &, QAuthenticator *authenticator) { answerChallenge(authenticator, true); });
}

HttpClient::~HttpClient() = default;

QByteArray HttpClient::get(const QUrl &url)
{
    checkUrl(url);
    if (m_busy)
        throw platform::Error(QStringLiteral("Another transfer of this client is still running"));
    m_busy = true;
    m_serverChallengeAnswered = false;
    m_proxyChallengeAnswered = false;
    const auto done = qScopeGuard([this] { m_busy = false; });
    const std::unique_ptr<QNetworkReply> reply(m_manager.get(requestFor(url)));
    reply->setReadBufferSize(ReadBufferSize);
    return HttpExchange(reply.get(), m_limits, *this).run();
}

void HttpClient::checkUrl(const QUrl &url) const
{
    const QString scheme = url.scheme();
    const bool allowed = scheme == QLatin1String("http")
                         || (m_kind == Kind::Secure && scheme == QLatin1String("https"));
    if (!url.isValid() || url.host().isEmpty())
        throw platform::Error(QStringLiteral("Invalid address: %1").arg(url.toString()));
    if (!allowed)
        throw platform::Error(QStringLiteral("This client cannot fetch %1 addresses").arg(scheme));
}

QNetworkRequest HttpClient::requestFor(const QUrl &url) const
{
    QNetworkRequest request(url);
    request.setRawHeader("Accept", AcceptHeader);
    request.setHeader(QNetworkRequest::UserAgentHeader, UserAgent);
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    if (m_kind == Kind::Secure)
        request.setSslConfiguration(secureConfiguration());
    return request;
}

void HttpClient::answerChallenge(QAuthenticator *authenticator, bool proxy)
{
    // One answer per exchange and party: credentials that were refused are not offered
    // again, so a server that keeps refusing ends the exchange instead of looping.
    bool &answered = proxy ? m_proxyChallengeAnswered : m_serverChallengeAnswered;
    if (answered)
        return;
    bool handled = false;
    if (proxy)
        emit proxyAuthorization(authenticator, handled);
    else
        emit authorization(authenticator, handled);
    answered = handled;
}

} // namespace net
