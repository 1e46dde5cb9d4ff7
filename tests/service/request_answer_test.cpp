// The service's answers to request heads, without a network.
#include "service/request_answer.h"

#include "net/url_encoding.h"
#include "platform/codepage.h"

#include <gtest/gtest.h>

using namespace service;

namespace {

const ServiceIdentity Identity{QStringLiteral("2.0.3"), QStringLiteral("/var/log/tellvara/")};

} // namespace

TEST(RequestAnswer, AnswersByCommand)
{
    const struct
    {
        const char *head;
        int status;
        const char *body;
    } cases[] = {
        {"GET /=Get_Version HTTP/1.1\r\nHost: x", 200, "OK:2.0.3"},
        {"GET /=Get_Version,prislistetyp=1,dbconnection=.,connectionstring=Provider=SQLite;Data%20Source=/d/%C3%A5.db HTTP/1.1",
         200, "OK:2.0.3"},
        {"GET /=Get_Loggdir,prislistetyp=1 HTTP/1.0", 200, "OK:/var/log/tellvara/"},
        {"GET /%3DGet_Version HTTP/1.1", 200, "OK:2.0.3"},
        {"GET http://host:8080/=Get_Loggdir HTTP/1.1", 200, "OK:/var/log/tellvara/"},
        {"GET /=Get_Version,a=b c=d HTTP/1.1", 200, "OK:2.0.3"}, // raw blank from a careless client
        {"GET /=Get_VersionX HTTP/1.1", 404, nullptr},
        {"GET /=get_version HTTP/1.1", 404, nullptr},
        {"GET / HTTP/1.1", 404, nullptr},
        {"GET /Get_Version HTTP/1.1", 404, nullptr},
        {"GET /=Get_Version%FF HTTP/1.1", 404, nullptr},
        {"POST /=Get_Version HTTP/1.1", 405, nullptr},
        {"HEAD /=Get_Version HTTP/1.1", 405, nullptr},
        {"GET /=Get_Version", 400, nullptr},
        {"GET  HTTP/1.1", 400, nullptr},
        {"", 400, nullptr},
        {"\x01\x02\x03", 400, nullptr},
    };
    for (const auto &c : cases) {
        const HttpAnswer answer = answerRequest(QByteArray(c.head), Identity);
        EXPECT_EQ(answer.status, c.status) << c.head;
        if (c.body) {
            EXPECT_EQ(answer.body, QByteArray(c.body)) << c.head;
        }
    }
}

TEST(RequestAnswer, UnderstandsWhatTheConsolesProbeSends)
{
    // The probe's URL with a connection string full of characters that must be encoded.
    const QString url = QStringLiteral("http://localhost:8080/=Get_Loggdir,prislistetyp=1,dbconnection=.,connectionstring="
                                       "Provider=SQLite;Data Source=/srv/../data/./prä ktik#1?.db;x=100%");
    const QByteArray target = net::encodeRequestUrl(url);
    const HttpAnswer answer = answerRequest("GET " + target + " HTTP/1.1\r\nHost: localhost:8080", Identity);
    EXPECT_EQ(answer.status, 200) << target.constData();
    EXPECT_EQ(answer.command, QStringLiteral("Get_Loggdir"));
}

TEST(RequestAnswer, AnswersInTheAnsiCodePageTheConsoleReads)
{
    const HttpAnswer answer = answerRequest("GET /=Get_Loggdir HTTP/1.1", {QStringLiteral("2"), QStringLiteral("/var/lögg/")});
    EXPECT_EQ(answer.body, platform::toAnsi(QStringLiteral("OK:/var/lögg/")));
    EXPECT_EQ(answer.body.size(), 13);
}

TEST(RequestAnswer, ReportsTheCommandForTheLogButNothingElse)
{
    const HttpAnswer answer = answerRequest("GET /=Get_Version,connectionstring=Password%3Dsecret HTTP/1.1", Identity);
    EXPECT_EQ(answer.command, QStringLiteral("Get_Version"));
}

TEST(RequestAnswer, AnswerBytesCloseTheConnectionAndGiveTheLength)
{
    const QByteArray bytes = answerRequest("GET /=Get_Loggdir HTTP/1.1", {QStringLiteral("2"), QStringLiteral("/logg/")}).toBytes();
    EXPECT_TRUE(bytes.startsWith("HTTP/1.1 200 OK\r\n"));
    EXPECT_TRUE(bytes.contains("\r\nConnection: close\r\n"));
    EXPECT_TRUE(bytes.contains("\r\nContent-Length: 9\r\n"));
    EXPECT_TRUE(bytes.endsWith("\r\n\r\nOK:/logg/"));
    EXPECT_TRUE(plainAnswer(503).toBytes().startsWith("HTTP/1.1 503 Service Unavailable\r\n"));
    EXPECT_TRUE(plainAnswer(405).toBytes().contains("\r\nAllow: GET\r\n"));
}
