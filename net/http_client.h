#pragma once
// The suite's HTTP clients: a blocking GET of a URL into a buffer, run on the calling
// (user-interface) thread. While it runs, a local event loop keeps windows painting but
// holds back user input, so nothing can start a second exchange.
//
// Every exchange is bounded: a connection that is not made within the connect limit, an
// exchange longer than the total limit, a pause with no data longer than the idle limit
// and a body larger than the cap all end it as a failure. Redirects are not followed and
// only a 2xx status counts as success. Failures are platform::Error with a readable message.
#include <QAuthenticator>
#include <QByteArray>
#include <QNetworkAccessManager>
#include <QObject>
#include <QUrl>

#include <chrono>

namespace net {

struct HttpLimits
{
    std::chrono::milliseconds connect{10'000};
    std::chrono::milliseconds total{30'000};
    std::chrono::milliseconds idle{10'000};
    qint64 maxBody = 1024 * 1024;
};

class HttpClient : public QObject
{
    Q_OBJECT
public:
    enum class Kind {
        Plain,    // http only, no proxy
        Secure,   // http and https (TLS 1.2 or newer, peer verified against the system's
                  // trust store), the system's proxy settings
    };

    explicit HttpClient(Kind kind, QObject *parent = nullptr);
    ~HttpClient() override;

    Kind kind() const { return m_kind; }
    const HttpLimits &limits() const { return m_limits; }
    void setLimits(const HttpLimits &limits) { m_limits = limits; }

    // The response body of a 2xx answer; throws platform::Error on every failure.
    QByteArray get(const QUrl &url);

signals:
    // Progress of a response body: the expected total (0 when the server announces none),
    // then the count so far; workEnd follows every workBegin, on success and failure.
    void workBegin(qint64 expectedTotal);
    void work(qint64 countSoFar);
    void workEnd();

    // A server's or proxy's challenge; a handler fills the authenticator and sets handled.
    // Unhandled challenges fail the exchange.
    void authorization(QAuthenticator *authenticator, bool &handled);
    void proxyAuthorization(QAuthenticator *authenticator, bool &handled);

private:
    void checkUrl(const QUrl &url) const;
    QNetworkRequest requestFor(const QUrl &url) const;
    void answerChallenge(QAuthenticator *authenticator, bool proxy);

    Kind m_kind;
    HttpLimits m_limits;
    QNetworkAccessManager m_manager;
    bool m_busy = false;
    bool m_serverChallengeAnswered = false;
    bool m_proxyChallengeAnswered = false;
};

} // namespace net
