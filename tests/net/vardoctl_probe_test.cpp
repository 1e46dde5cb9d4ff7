#include "run_program.h"
#include "suite/registry.h"
#include "test_env.h"
#include "test_http_server.h"

#include <gtest/gtest.h>

using nettest::Response;
using nettest::TestHttpServer;

namespace {

nettest::ProgramResult vardoctl(const QStringList &arguments)
{
    return nettest::runProgram(testenv::binDir() + "/vardoctl", QStringList{"probe"} + arguments);
}

void storePort(quint16 port)
{
    ASSERT_TRUE(suite::WriteRegistryString(suite::RegistryRoot::LocalMachine,
                                           "SOFTWARE\\Tellvara\\Vardo-Service\\Port", "TcpIPPort",
                                           QString::number(port)));
}

const QString NoContact = QStringLiteral("Ingen kontakt med tjänsten på den inställda porten!");

TEST(VardoctlProbeTest, PrintsTheVersionFromTheGivenHostAndPort)
{
    TestHttpServer server(Response::ok("OK:2.10.0"));
    const nettest::ProgramResult result = vardoctl({"version", "--host", "127.0.0.1", "--port", QString::number(server.port())});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.out, QStringLiteral("2.10.0\n"));
    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_EQ(server.requests().first().target(), QByteArray("/=Get_Version,prislistetyp=1,dbconnection=.,connectionstring="));
}

TEST(VardoctlProbeTest, AsksThisComputerOnTheStoredPortByDefault)
{
    TestHttpServer server(Response::ok("OK:/var/log/vardo/\r\n"));
    storePort(server.port());
    const nettest::ProgramResult result = vardoctl({"logdir"});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.out, QStringLiteral("/var/log/vardo/\r\n"));
    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_TRUE(server.requests().first().target().startsWith("/=Get_Loggdir,"));
    EXPECT_EQ(server.requests().first().header("Host"), "localhost:" + QByteArray::number(server.port()));
}

TEST(VardoctlProbeTest, FailsWithTheNoContactMessage)
{
    TestHttpServer server(Response::ok("ok:2.10.0"));
    for (const quint16 port : {server.port(), nettest::closedPort()}) {
        const nettest::ProgramResult result = vardoctl({"version", "--host", "127.0.0.1", "--port", QString::number(port)});
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_TRUE(result.out.isEmpty());
        EXPECT_EQ(result.err.trimmed(), NoContact);
    }
}

TEST(VardoctlProbeTest, FailsForPortZero)
{
    const nettest::ProgramResult result = vardoctl({"version", "--host", "127.0.0.1", "--port", "0"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err.trimmed(), NoContact);
}

TEST(VardoctlProbeTest, RejectsMalformedArguments)
{
    for (const QStringList &arguments : {QStringList{}, QStringList{"build"}, QStringList{"version", "--port"},
                                         QStringList{"version", "--port", "80x"}, QStringList{"logdir", "--user", "a"}}) {
        const nettest::ProgramResult result = vardoctl(arguments);
        EXPECT_EQ(result.exitCode, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(result.err.contains("vardoctl probe version|logdir")) << result.err.toStdString();
    }
}

} // namespace
