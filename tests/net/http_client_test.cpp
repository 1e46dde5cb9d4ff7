#include "net/http_client.h"
#include "net/http1_authorization.h"
#include "platform/error.h"
#include "test_env.h"
#include "test_http_server.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSslCertificate>
#include <QSslKey>
#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <deque>

using namespace std::chrono_literals;
using net::HttpClient;
using nettest::RecordedRequest;
using nettest::Response;
using nettest::TestHttpServer;

namespace {

net::HttpLimits fastLimits()
{
    net::HttpLimits limits;
    limits.connect = 2s;
    limits.total = 3s;
    limits.idle = 1s;
    return limits;
}

QUrl urlOf(const TestHttpServer &server, const QString &path = QStringLiteral("/"),
           const QString &scheme = QStringLiteral("http"))
{
    return QUrl(QStringLiteral("%1://127.0.0.1:%2%3").arg(scheme).arg(server.port()).arg(path));
}

// The progress events of one client, in order.
struct ProgressLog
{
    explicit ProgressLog(HttpClient &client)
    {
        QObject::connect(&client, &HttpClient::workBegin, [this](qint64 total) { events.push_back("begin " + QByteArray::number(total)); });
        QObject::connect(&client, &HttpClient::work, [this](qint64 count) { lastCount = count; });
        QObject::connect(&client, &HttpClient::workEnd, [this] { events.push_back("end"); });
    }
    std::vector<QByteArray> events;
    qint64 lastCount = -1;
};

class HttpClientTest : public ::testing::Test
{
protected:
    HttpClientTest() { client.setLimits(fastLimits()); }

    // The failure message of a GET that must fail.
    QString failureOf(const QUrl &url)
    {
        try {
            client.get(url);
        } catch (const platform::Error &e) {
            return e.message();
        }
        ADD_FAILURE() << "the GET of " << url.toString().toStdString() << " succeeded";
        return {};
    }

    HttpClient client{HttpClient::Kind::Plain};
};

TEST_F(HttpClientTest, SendsTheFixedAcceptAndUserAgentHeaders)
{
    TestHttpServer server(Response::ok("hello"));
    EXPECT_EQ(client.get(urlOf(server, "/x")), QByteArray("hello"));
    ASSERT_EQ(server.requests().size(), 1);
    const RecordedRequest &request = server.requests().first();
    EXPECT_EQ(request.requestLine, QByteArray("GET /x HTTP/1.1"));
    EXPECT_EQ(request.header("Accept"), QByteArray("text/html, */*"));
    EXPECT_EQ(request.header("User-Agent"), QByteArray("Mozilla/3.0 (compatible; Indy Library)"));
}

TEST_F(HttpClientTest, KeepsCookiesBetweenRequests)
{
    TestHttpServer server;
    server.setHandler([](const RecordedRequest &) {
        return Response::status(200, "OK:", "Set-Cookie: session=abc; Path=/\r\n");
    });
    client.get(urlOf(server));
    client.get(urlOf(server));
    ASSERT_EQ(server.requests().size(), 2);
    EXPECT_TRUE(server.requests()[0].header("Cookie").isEmpty());
    EXPECT_EQ(server.requests()[1].header("Cookie"), QByteArray("session=abc"));
}

struct ProgressCase
{
    const char *name;
    Response response;
    QByteArray begin;
};

void PrintTo(const ProgressCase &c, std::ostream *os)
{
    *os << c.name;
}

class HttpClientProgressTest : public HttpClientTest, public ::testing::WithParamInterface<ProgressCase>
{
};

TEST_P(HttpClientProgressTest, ReportsBeginWithTheAnnouncedTotalThenCountsThenEnd)
{
    TestHttpServer server(GetParam().response);
    ProgressLog log(client);
    EXPECT_EQ(client.get(urlOf(server)), QByteArray("OK:2.10.0"));
    EXPECT_EQ(log.events, (std::vector<QByteArray>{GetParam().begin, "end"}));
    EXPECT_EQ(log.lastCount, 9);
}

INSTANTIATE_TEST_SUITE_P(Rows, HttpClientProgressTest,
                         ::testing::Values(ProgressCase{"ContentLength", Response::ok("OK:2.10.0"), "begin 9"},
                                           ProgressCase{"Chunked", Response::chunked("OK:2.10.0"), "begin 0"},
                                           ProgressCase{"CloseDelimited", Response::closeDelimited("OK:2.10.0"), "begin 0"}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(HttpClientTest, DoesNotFollowARedirect)
{
    TestHttpServer target(Response::ok("OK:followed"));
    TestHttpServer server(Response::redirect(urlOf(target).toEncoded()));
    const QString failure = failureOf(urlOf(server));
    EXPECT_TRUE(failure.contains("302")) << failure.toStdString();
    EXPECT_EQ(server.requests().size(), 1);
    EXPECT_TRUE(target.requests().isEmpty());
}

TEST_F(HttpClientTest, CountsOnlyA2xxStatusAsSuccess)
{
    for (const int code : {404, 500, 401, 204}) {
        TestHttpServer server(Response::status(code, code == 204 ? QByteArray() : QByteArray("OK:body")));
        if (code == 204) {
            EXPECT_EQ(client.get(urlOf(server)), QByteArray());
            continue;
        }
        const QString failure = failureOf(urlOf(server));
        EXPECT_TRUE(failure.contains(QString::number(code))) << failure.toStdString();
    }
}

TEST_F(HttpClientTest, EndsWorkAlsoWhenTheStatusFails)
{
    TestHttpServer server(Response::status(500, "OK:"));
    ProgressLog log(client);
    failureOf(urlOf(server));
    EXPECT_EQ(log.events, (std::vector<QByteArray>{"begin 3", "end"}));
}

TEST_F(HttpClientTest, FailsForAClosedPortAndForPortZero)
{
    EXPECT_FALSE(failureOf(QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(nettest::closedPort()))).isEmpty());
    EXPECT_FALSE(failureOf(QUrl(QStringLiteral("http://127.0.0.1:0/"))).isEmpty());
}

TEST_F(HttpClientTest, RefusesAddressesItCannotFetch)
{
    EXPECT_TRUE(failureOf(QUrl(QStringLiteral("https://127.0.0.1:1/"))).contains("https"));
    EXPECT_TRUE(failureOf(QUrl(QStringLiteral("file:///etc/passwd"))).contains("file"));
    EXPECT_TRUE(failureOf(QUrl(QStringLiteral("http://:80/"))).contains("Invalid address"));
}

TEST_F(HttpClientTest, EndsAnAnswerThatDripsPastTheTotalLimit)
{
    TestHttpServer server(Response::dripped(QByteArray(100, 'x'), 200));
    QElapsedTimer clock;
    clock.start();
    const QString failure = failureOf(urlOf(server));
    EXPECT_TRUE(failure.contains("within 3 seconds")) << failure.toStdString();
    EXPECT_LT(clock.elapsed(), 6000);
}

TEST_F(HttpClientTest, EndsAnExchangeWhenNoDataComesForTheIdleLimit)
{
    TestHttpServer server(Response::none());
    QElapsedTimer clock;
    clock.start();
    const QString failure = failureOf(urlOf(server));
    EXPECT_TRUE(failure.contains("No data from 127.0.0.1 for 1 seconds")) << failure.toStdString();
    EXPECT_LT(clock.elapsed(), 2900);
}

TEST_F(HttpClientTest, EndsAConnectionAttemptThatIsNotAnsweredWithinTheConnectLimit)
{
    // A listener whose accept queue is full: the system drops further connection requests.
    QTcpServer full;
    full.setListenBacklogSize(0);
    ASSERT_TRUE(full.listen(QHostAddress::LocalHost));
    full.pauseAccepting();
    std::deque<QTcpSocket> fillers;
    for (int i = 0; i < 8; ++i) {
        fillers.emplace_back().connectToHost(QHostAddress::LocalHost, full.serverPort());
        if (!fillers.back().waitForConnected(300))
            break;
    }
    net::HttpLimits limits = fastLimits();
    limits.connect = 500ms;
    client.setLimits(limits);
    const QString failure = failureOf(QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(full.serverPort())));
    EXPECT_TRUE(failure.contains("No connection to 127.0.0.1 within 0.5 seconds")) << failure.toStdString();
}

TEST_F(HttpClientTest, RefusesAnAnnouncedBodyOverTheCapWithoutReadingIt)
{
    TestHttpServer server(Response::huge(50 * 1024 * 1024, true));
    ProgressLog log(client);
    const QString failure = failureOf(urlOf(server));
    EXPECT_TRUE(failure.contains("larger than 1048576 bytes")) << failure.toStdString();
    EXPECT_TRUE(log.events.empty());
    EXPECT_LT(server.generatedBytesSent(), 8 * 1024 * 1024);
}

TEST_F(HttpClientTest, StopsReadingABodyWithoutLengthOnceItPassesTheCap)
{
    TestHttpServer server(Response::huge(50 * 1024 * 1024, false));
    const QString failure = failureOf(urlOf(server));
    EXPECT_TRUE(failure.contains("larger than 1048576 bytes")) << failure.toStdString();
    EXPECT_LT(server.generatedBytesSent(), 8 * 1024 * 1024);
}

TEST_F(HttpClientTest, AcceptsABodyOfExactlyTheCap)
{
    net::HttpLimits limits = fastLimits();
    limits.maxBody = 1000;
    client.setLimits(limits);
    TestHttpServer exact(Response::closeDelimited(QByteArray(1000, 'a')));
    EXPECT_EQ(client.get(urlOf(exact)).size(), 1000);
    TestHttpServer over(Response::closeDelimited(QByteArray(1001, 'a')));
    EXPECT_TRUE(failureOf(urlOf(over)).contains("larger than 1000 bytes"));
}

// The secure client HTTP1.

class SecureClientTest : public HttpClientTest
{
protected:
    SecureClientTest()
    {
        secure.setLimits(fastLimits());
        QObject::connect(&secure, &HttpClient::authorization, &net::HTTP1Authorization);
    }

    static QSslConfiguration serverTls()
    {
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        tls.setLocalCertificate(certificate());
        tls.setPrivateKey(QSslKey(testenv::readFile(testenv::sourceDir() + "/tests/data/net_tls/server.key"),
                                  QSsl::Rsa));
        return tls;
    }

    static QSslCertificate certificate()
    {
        return QSslCertificate(testenv::readFile(testenv::sourceDir() + "/tests/data/net_tls/server.crt"));
    }

    HttpClient secure{HttpClient::Kind::Secure};
};

TEST_F(SecureClientTest, AnswersABasicChallengeWithTheSuiteAccount)
{
    TestHttpServer server;
    server.setHandler([](const RecordedRequest &request) {
        if (request.header("Authorization") == "Basic " + QByteArray("Brandholm:vispalin").toBase64())
            return Response::ok("OK:in");
        return Response::status(401, "no", "WWW-Authenticate: Basic realm=\"vardo\"\r\n");
    });
    EXPECT_EQ(secure.get(urlOf(server)), QByteArray("OK:in"));
    EXPECT_EQ(server.requests().size(), 2);
}

TEST_F(SecureClientTest, GivesUpWhenTheServerRefusesTheAnswer)
{
    TestHttpServer server(Response::status(401, "no", "WWW-Authenticate: Basic realm=\"vardo\"\r\n"));
    EXPECT_THROW(secure.get(urlOf(server)), platform::Error);
    EXPECT_LE(server.requests().size(), 2);
}

TEST_F(SecureClientTest, RejectsAServerCertificateTheSystemDoesNotTrust)
{
    TestHttpServer server(Response::ok("OK:secret"), serverTls());
    EXPECT_THROW(secure.get(urlOf(server, "/", "https")), platform::Error);
    EXPECT_TRUE(server.requests().isEmpty());
}

TEST_F(SecureClientTest, FetchesOverTlsFromATrustedServer)
{
    QSslConfiguration trusting = QSslConfiguration::defaultConfiguration();
    trusting.addCaCertificate(certificate());
    QSslConfiguration::setDefaultConfiguration(trusting);
    TestHttpServer server(Response::ok("OK:secret"), serverTls());
    EXPECT_EQ(secure.get(urlOf(server, "/", "https")), QByteArray("OK:secret"));
}

// One exchange at the shipped limits, to show they hold: a server that never answers is
// left after the idle limit of 10 seconds.
TEST(HttpClientDefaultsTest, LeavesAServerThatNeverAnswersAfterTheIdleLimit)
{
    HttpClient client(HttpClient::Kind::Plain);
    TestHttpServer server(Response::none());
    QElapsedTimer clock;
    clock.start();
    EXPECT_THROW(client.get(urlOf(server)), platform::Error);
    EXPECT_GE(clock.elapsed(), 9500);
    EXPECT_LT(clock.elapsed(), 20000);
}

} // namespace
