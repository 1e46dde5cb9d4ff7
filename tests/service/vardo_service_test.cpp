// vardo-service as a program: its answers over loopback, many clients at once, the limits
// on a request, its log, and a clean stop on SIGTERM.
#include "service_process.h"

#include <QTcpServer>

#include <csignal>
#include <memory>
#include <vector>

using namespace servicetest;

namespace {

const QByteArray VersionAnswer = QByteArray("OK:") + VARDO_PROJECT_VERSION;

struct ServiceOnFreePort
{
    ServiceOnFreePort()
        : port(freePort())
    {
        storePort(port);
    }
    quint16 port;
};

bool ipv6LoopbackWorks()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHostIPv6, 0);
}

} // namespace

TEST(VardoService, AnswersVersionLogFolderAndNotFound)
{
    const ServiceOnFreePort setup;
    RunningService service;
    ASSERT_TRUE(service.waitReady()) << service.process.readAllStandardError().constData();

    const HttpReply version = get(setup.port, "/=Get_Version,prislistetyp=1,dbconnection=.,connectionstring=Provider=SQLite;"
                                              "Data%20Source=/data/pr%C3%A4ktik.db");
    EXPECT_EQ(version.status, 200);
    EXPECT_EQ(version.body, VersionAnswer);
    const HttpReply logDir = get(setup.port, "/=Get_Loggdir,prislistetyp=1");
    EXPECT_EQ(logDir.status, 200);
    EXPECT_EQ(logDir.body, "OK:" + logFolder().toUtf8());
    EXPECT_EQ(get(setup.port, "/=Get_Something").status, 404);
    EXPECT_EQ(get(setup.port, "/index.html").status, 404);
    if (ipv6LoopbackWorks()) {
        EXPECT_EQ(get(setup.port, "/=Get_Version", QHostAddress::LocalHostIPv6).body, VersionAnswer);
    }
}

TEST(VardoService, ServesManyClientsAtOnce)
{
    const ServiceOnFreePort setup;
    RunningService service;
    ASSERT_TRUE(service.waitReady());
    // Every client connects and sends half its request before any finishes.
    std::vector<std::unique_ptr<QTcpSocket>> clients;
    for (int i = 0; i < 60; ++i) {
        clients.push_back(std::make_unique<QTcpSocket>());
        clients.back()->connectToHost(QHostAddress::LocalHost, setup.port);
        ASSERT_TRUE(clients.back()->waitForConnected(5000));
        clients.back()->write("GET /=Get_Version HTTP/1.1\r\n");
        clients.back()->waitForBytesWritten(1000);
    }
    int answered = 0;
    for (auto &client : clients) {
        client->write("Host: localhost\r\n\r\n");
        QByteArray reply;
        const QDeadlineTimer deadline(5000);
        while (client->state() == QAbstractSocket::ConnectedState && !deadline.hasExpired()) {
            client->waitForReadyRead(100);
            reply += client->readAll();
        }
        reply += client->readAll();
        answered += reply.startsWith("HTTP/1.1 200") && reply.endsWith(VersionAnswer);
    }
    EXPECT_EQ(answered, 60);
}

TEST(VardoService, RefusesOversizedRequestHeads)
{
    const ServiceOnFreePort setup;
    RunningService service;
    ASSERT_TRUE(service.waitReady());
    const QByteArray huge = "GET /=Get_Version," + QByteArray(10000, 'x') + " HTTP/1.1\r\n\r\n";
    EXPECT_EQ(exchange(setup.port, huge).status, 431);
    EXPECT_EQ(get(setup.port, "/=Get_Version").status, 200); // and keeps serving
}

TEST(VardoService, DropsAClientThatNeverFinishesItsRequest)
{
    const ServiceOnFreePort setup;
    RunningService service;
    ASSERT_TRUE(service.waitReady());
    const HttpReply slow = exchange(setup.port, "GET /=Get_Version HTTP/1.1\r\n", QHostAddress::LocalHost, 20000);
    EXPECT_EQ(slow.status, 408);
}

TEST(VardoService, StopsCleanlyOnSigterm)
{
    const ServiceOnFreePort setup;
    RunningService service;
    ASSERT_TRUE(service.waitReady());
    // A client in the middle of a request does not hold the stop up.
    QTcpSocket idle;
    idle.connectToHost(QHostAddress::LocalHost, setup.port);
    ASSERT_TRUE(idle.waitForConnected(5000));
    ::kill(static_cast<pid_t>(service.process.processId()), SIGTERM);
    ASSERT_TRUE(service.process.waitForFinished(5000));
    EXPECT_EQ(service.process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(service.process.exitCode(), 0);
    EXPECT_TRUE(logText().contains(QStringLiteral("Stopping on SIGTERM")));
    EXPECT_TRUE(logText().contains(QStringLiteral(" INFO Stopped\n")));
    QTcpServer again;
    EXPECT_TRUE(again.listen(QHostAddress::LocalHost, setup.port));
}

TEST(VardoService, LogsEveryLineToTheFileOnlyWhenAlwaysLogToFileIsOn)
{
    const ServiceOnFreePort setup;
    storeSetting(QStringLiteral("Logging"), QStringLiteral("AlwaysLogtoFile"), QStringLiteral("F"));
    storeSetting(QStringLiteral("Logging"), QStringLiteral("LogtoEventLogg"), QStringLiteral("F"));
    {
        RunningService service;
        ASSERT_TRUE(service.waitReady());
        EXPECT_EQ(get(setup.port, "/=Get_Version").status, 200);
    }
    EXPECT_FALSE(logText().contains(QStringLiteral(" INFO "))) << qPrintable(logText());

    storeSetting(QStringLiteral("Logging"), QStringLiteral("AlwaysLogtoFile"), QStringLiteral("f")); // only "F" is off
    RunningService service;
    ASSERT_TRUE(service.waitReady());
    EXPECT_EQ(get(setup.port, "/=Get_Version,connectionstring=Password%3Dsecret").status, 200);
    EXPECT_TRUE(waitUntil([] { return logText().contains(QStringLiteral("Get_Version -> 200")); }));
    EXPECT_FALSE(logText().contains(QStringLiteral("secret")));
}

TEST(VardoService, LogsTheOrganisationSlotsItReads)
{
    const ServiceOnFreePort setup;
    ASSERT_TRUE(suite::WriteRegistryString(suite::RegistryRoot::LocalMachine,
                                           suite::serviceSubKey(QStringLiteral("Organisation\\OrgNr2")),
                                           QStringLiteral("OrganisationsNr"), QStringLiteral("5565")));
    ASSERT_TRUE(suite::WriteRegistryString(suite::RegistryRoot::LocalMachine,
                                           suite::serviceSubKey(QStringLiteral("Organisation\\OrgNr2")),
                                           QStringLiteral("CheckPasis"), QStringLiteral("1")));
    RunningService service;
    ASSERT_TRUE(service.waitReady());
    EXPECT_TRUE(logText().contains(QStringLiteral("Organisation slot 2: 5565")));
    EXPECT_TRUE(logText().contains(QStringLiteral("external import on")));
}

TEST(VardoService, FailsToStartWithAClearMessageWhenItCannotListen)
{
    QTcpServer occupant;
    ASSERT_TRUE(occupant.listen(QHostAddress::LocalHost, 0));
    const struct
    {
        QString port;
        const char *message;
    } cases[] = {
        {QString::number(occupant.serverPort()), "Cannot listen on 127.0.0.1"},
        {QStringLiteral("70000"), "TcpIPPort 70000"},
        {QStringLiteral("0"), "TcpIPPort 0"},
    };
    for (const auto &c : cases) {
        storeSetting(QStringLiteral("Port"), QStringLiteral("TcpIPPort"), c.port);
        const CommandResult result = run(serviceProgram(), {});
        EXPECT_EQ(result.exitCode, 1) << qPrintable(c.port);
        EXPECT_TRUE(result.err.contains(QLatin1String(c.message))) << qPrintable(result.err);
        EXPECT_TRUE(logText().contains(QLatin1String(c.message)));
    }
}

TEST(VardoService, ConnectionsBeyondTheLimitAreTurnedAway)
{
    const ServiceOnFreePort setup;
    RunningService service;
    ASSERT_TRUE(service.waitReady());
    std::vector<std::unique_ptr<QTcpSocket>> idle;
    for (int i = 0; i < 256; ++i) {
        idle.push_back(std::make_unique<QTcpSocket>());
        idle.back()->connectToHost(QHostAddress::LocalHost, setup.port);
        ASSERT_TRUE(idle.back()->waitForConnected(5000));
    }
    EXPECT_EQ(get(setup.port, "/=Get_Version").status, 503);
    idle.clear();
    EXPECT_TRUE(waitUntil([&] { return get(setup.port, "/=Get_Version").status == 200; }));
}
