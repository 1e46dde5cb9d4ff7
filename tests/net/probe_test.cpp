#include "net/busy_cursor.h"
#include "net/dbconnection.h"
#include "net/hooks.h"
#include "net/http_client.h"
#include "net/probe.h"
#include "net/url_encoding.h"
#include "suite/paths.h"
#include "test_env.h"
#include "test_http_server.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using nettest::RecordedRequest;
using nettest::Response;
using nettest::TestHttpServer;

namespace {

// Makes the data link in use one that holds this connection string.
void useConnectionString(const QByteArray &providerLine)
{
    const QString file = testenv::freshDir("links") + "/probe.udl";
    testenv::writeFile(file, "[oledb]\r\n; Everything after this line is an OLE DB initstring\r\n" + providerLine + "\r\n");
    suite::InitPaths({QStringLiteral("vardo-admin"), file});
}

class ProbeTest : public ::testing::Test
{
protected:
    ProbeTest()
    {
        net::HttpLimits limits;
        limits.connect = 2s;
        limits.total = 3s;
        limits.idle = 1s;
        client.setLimits(limits);
        net::SetProbeClient(&client);
        net::CursorHook = [this](bool busy) { cursor.push_back(busy); };
        net::MessageHook = [this](const QString &text) { messages.append(text); };
    }

    ~ProbeTest() override
    {
        net::DBConnection = {};
        suite::ResetPaths();
        net::SetProbeClient(nullptr);
        net::CursorHook = nullptr;
        net::MessageHook = nullptr;
        net::TranslateHook = nullptr;
    }

    void expectCursorRestored() const { EXPECT_EQ(cursor, (std::vector<bool>{true, false})); }

    net::HttpClient client{net::HttpClient::Kind::Plain};
    std::vector<bool> cursor;
    QStringList messages;
};

TEST_F(ProbeTest, BuildsTheUrlFromTheEmptyConnectionRecordAndAnEmptyConnectionString)
{
    EXPECT_EQ(net::ServiceProbeUrl("ADMINPC", 5010, net::GetVersionCommand),
              QStringLiteral("http://ADMINPC:5010/=Get_Version,prislistetyp=1,dbconnection=.,connectionstring="));
    EXPECT_EQ(net::ServiceProbeUrl("ADMINPC", 5010, net::GetLogDirCommand),
              QStringLiteral("http://ADMINPC:5010/=Get_Loggdir,prislistetyp=1,dbconnection=.,connectionstring="));
}

TEST_F(ProbeTest, AppendsTheConnectionStringUnchanged)
{
    useConnectionString("Provider=SQLOLEDB.1;Data Source=DB01");
    EXPECT_EQ(net::ServiceProbeUrl("ADMINPC", 5010, net::GetVersionCommand),
              QStringLiteral("http://ADMINPC:5010/=Get_Version,prislistetyp=1,dbconnection=.,"
                             "connectionstring=Provider=SQLOLEDB.1;Data Source=DB01"));
}

TEST_F(ProbeTest, SendsServerAndDatabaseOfTheConnectionRecordInUpperCase)
{
    net::DBConnection.ServerName = QStringLiteral("db01\\sqlexpress");
    net::DBConnection.Databasename = QStringLiteral("vårdcentral");
    EXPECT_EQ(net::ServiceProbeUrl("h", -1, net::GetVersionCommand).toStdString(),
              "http://h:-1/=Get_Version,prislistetyp=1,dbconnection=DB01\\SQLEXPRESS.VÅRDCENTRAL,connectionstring=");
}

struct AnswerCase
{
    const char *name;
    QString body;
    bool result;
    QString value;
};

void PrintTo(const AnswerCase &c, std::ostream *os)
{
    *os << c.name;
}

class ServiceAnswerTest : public ::testing::TestWithParam<AnswerCase>
{
};

TEST_P(ServiceAnswerTest, TakesTheValueBehindTheFirstThreeCharacters)
{
    QString value = QStringLiteral("before");
    EXPECT_EQ(net::TakeServiceAnswer(GetParam().body, value), GetParam().result);
    EXPECT_EQ(value, GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ServiceAnswerTest,
    ::testing::Values(AnswerCase{"Version", "OK:2.10.0", true, "2.10.0"},
                      AnswerCase{"MarkerOnly", "OK:", true, ""},
                      AnswerCase{"MarkerInsideText", "Status OK: yes", true, "tus OK: yes"},
                      AnswerCase{"TrailingLineBreakKept", "OK:/var/log/vardo\r\n", true, "/var/log/vardo\r\n"},
                      AnswerCase{"LowerCaseMarker", "ok:2.10.0", false, "before"},
                      AnswerCase{"Empty", "", false, "before"},
                      AnswerCase{"MarkerWithoutColon", "OK 2.10.0", false, "before"}),
    [](const auto &info) { return std::string(info.param.name); });

struct ExchangeCase
{
    const char *name;
    Response response;
    bool result;
    QString value;
};

void PrintTo(const ExchangeCase &c, std::ostream *os)
{
    *os << c.name;
}

class ProbeExchangeTest : public ProbeTest, public ::testing::WithParamInterface<ExchangeCase>
{
};

TEST_P(ProbeExchangeTest, AnswersOnlyAn2xxOkResponse)
{
    TestHttpServer server(GetParam().response);
    QString version = QStringLiteral("previous");
    EXPECT_EQ(net::QueryServiceVersion("127.0.0.1", server.port(), version), GetParam().result);
    EXPECT_EQ(version, GetParam().result ? GetParam().value : QStringLiteral("previous"));
    expectCursorRestored();
    EXPECT_TRUE(messages.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ProbeExchangeTest,
    ::testing::Values(ExchangeCase{"Version", Response::ok("OK:2.10.0"), true, "2.10.0"},
                      ExchangeCase{"MarkerOnly", Response::ok("OK:"), true, ""},
                      ExchangeCase{"MarkerInsideText", Response::ok("Status OK: yes"), true, "tus OK: yes"},
                      ExchangeCase{"LowerCaseMarker", Response::ok("ok:2.10.0"), false, ""},
                      ExchangeCase{"EmptyBody", Response::ok(""), false, ""},
                      ExchangeCase{"NotFoundWithMarker", Response::status(404, "OK:2.10.0"), false, ""},
                      ExchangeCase{"ServerErrorWithMarker", Response::status(500, "OK:2.10.0"), false, ""},
                      ExchangeCase{"RedirectNotFollowed", Response::redirect("http://127.0.0.1:1/"), false, ""},
                      ExchangeCase{"Chunked", Response::chunked("OK:2.10.0"), true, "2.10.0"},
                      ExchangeCase{"CloseDelimited", Response::closeDelimited("OK:2.10.0"), true, "2.10.0"},
                      ExchangeCase{"AnsiBody", Response::ok("OK:C:\\Loggar\\V\xe5rd \x80"), true,
                                   QStringLiteral("C:\\Loggar\\Vård €")},
                      ExchangeCase{"DripsPastTheTimeLimit", Response::dripped("OK:2.10.0 and more", 400), false, ""},
                      ExchangeCase{"NeverAnswers", Response::none(), false, ""},
                      ExchangeCase{"HugeBody", Response::huge(50 * 1024 * 1024, false), false, ""}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(ProbeTest, PutsTheUrlOnTheWireWithOnlyTheUnsafeCharactersEncoded)
{
    useConnectionString("Provider=SQLOLEDB.1;Data Source=DB 01;Extended Properties=\"a#b?c%d\\e\";Name=\xc5sa");
    TestHttpServer server(Response::ok("OK:/var/log/vardo"));
    QString logDir;
    ASSERT_TRUE(net::QueryServiceLogDir("127.0.0.1", server.port(), logDir));
    EXPECT_EQ(logDir, QStringLiteral("/var/log/vardo"));
    ASSERT_EQ(server.requests().size(), 1);
    const std::string target = server.requests().first().target().toStdString();
    EXPECT_EQ(target, std::string("/=Get_Loggdir,prislistetyp=1,dbconnection=.,connectionstring=Provider=SQLOLEDB.1;"
                                 "Data%20Source=DB%2001;Extended%20Properties=%22a%23b%3Fc%25d%5Ce%22;Name=%C3%85sa"));
    const QString url = net::ServiceProbeUrl("127.0.0.1", server.port(), net::GetLogDirCommand);
    EXPECT_EQ("http://127.0.0.1:" + std::to_string(server.port()) + target, net::encodeRequestUrl(url).toStdString());
    EXPECT_EQ(net::decodeRequestTarget(QByteArray::fromStdString(target)), url.mid(url.indexOf("/=")));
}

TEST_F(ProbeTest, KeepsDotSegmentsInAConnectionStringFromBeingResolved)
{
    useConnectionString("Provider=SQLite;Data Source=/srv/./vardo/../db.sqlite");
    TestHttpServer server(Response::ok("OK:2"));
    QString version;
    ASSERT_TRUE(net::QueryServiceVersion("127.0.0.1", server.port(), version));
    EXPECT_EQ(server.requests().first().target().toStdString(),
              std::string("/=Get_Version,prislistetyp=1,dbconnection=.,connectionstring=Provider=SQLite;"
                         "Data%20Source=/srv%2F./vardo%2F../db.sqlite"));
}

TEST_F(ProbeTest, ReachesTheServiceByTheMachineName)
{
    TestHttpServer server(Response::ok("OK:2.10.0"));
    QString version;
    EXPECT_TRUE(net::QueryServiceVersion(QStringLiteral("localhost"), server.port(), version));
    EXPECT_EQ(version, QStringLiteral("2.10.0"));
}

TEST_F(ProbeTest, ShowsTheBusyCursorWhileTheRequestRuns)
{
    TestHttpServer server;
    std::vector<bool> cursorWhenAsked;
    server.setHandler([&](const RecordedRequest &) {
        cursorWhenAsked = cursor;
        return Response::ok("OK:1");
    });
    QString version;
    ASSERT_TRUE(net::QueryServiceVersion("127.0.0.1", server.port(), version));
    EXPECT_EQ(cursorWhenAsked, std::vector<bool>{true});
    expectCursorRestored();
}

TEST_F(ProbeTest, GivesFalseQuietlyForPortZeroAClosedPortAndAnInvalidPort)
{
    for (const int port : {0, int(nettest::closedPort()), -1, 70000}) {
        cursor.clear();
        QString version = QStringLiteral("previous");
        EXPECT_FALSE(net::QueryServiceVersion("127.0.0.1", port, version)) << port;
        EXPECT_EQ(version, QStringLiteral("previous"));
        expectCursorRestored();
    }
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(ProbeTest, ReportsThatItCannotSetItselfUpWithoutAClient)
{
    net::SetProbeClient(nullptr);
    net::TranslateHook = [](const QString &text) { return "[" + text + "]"; };
    QString version = QStringLiteral("previous");
    QString logDir = QStringLiteral("previous");
    EXPECT_FALSE(net::QueryServiceVersion("127.0.0.1", 1, version));
    EXPECT_FALSE(net::QueryServiceLogDir("127.0.0.1", 1, logDir));
    EXPECT_EQ(version, QStringLiteral("previous"));
    EXPECT_EQ(logDir, QStringLiteral("previous"));
    EXPECT_EQ(messages, (QStringList{
                            "[Det gick inte att kontrollera anslutningen till Vardo-tjänsten!]\r\r"
                            "The HTTP transfer window does not exist",
                            "[Det gick inte att hämta temp-katalog från Vardo-tjänsten!]\r\r"
                            "The HTTP transfer window does not exist"}));
    EXPECT_EQ(cursor, (std::vector<bool>{true, false, true, false}));
}

} // namespace
