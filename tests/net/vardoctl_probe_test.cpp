#include "run_program.h"
#include "suite/data_link_file.h"
#include "suite/paths.h"
#include "suite/registry.h"
#include "test_env.h"
#include "test_http_server.h"

#include <QDir>

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

// As the window does, the probe sends the connection string of the default data link that
// start-up finds: the per-installation setting, or a ".udl" argument.
TEST(VardoctlProbeTest, SendsTheDefaultDataLinksConnectionString)
{
    const QString folder = suite::DataLinkFolder();
    ASSERT_TRUE(QDir().mkpath(folder));
    suite::WriteDataLinkFile(folder + "Setting.udl", "Provider=SQLite;Data Source=/srv/setting.db");
    suite::WriteDataLinkFile(folder + "Argument.udl", "Provider=SQLite;Data Source=/srv/argument.db");
    // vardoctl runs in this process's folder, so its per-installation key is this one's.
    suite::InitPaths({QStringLiteral("vardoctl")});
    suite::WriteSuiteSetting("DataProvider", "DefaultDataProvider", "Setting.udl");
    TestHttpServer server(Response::ok("OK:2.10.0"));
    const QString port = QString::number(server.port());
    const struct
    {
        QStringList extra;
        QByteArray sent;
    } cases[] = {
        {{}, "setting.db"},
        {{"Argument.udl", "NOLOGIN=1"}, "argument.db"},
    };
    for (const auto &c : cases) {
        const nettest::ProgramResult result =
            vardoctl(QStringList{"version", "--host", "127.0.0.1", "--port", port} + c.extra);
        EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
        ASSERT_FALSE(server.requests().isEmpty());
        const QByteArray target = server.requests().last().target();
        EXPECT_TRUE(target.contains(",connectionstring=Provider=SQLite;Data%20Source=") && target.endsWith(c.sent))
            << target.toStdString();
    }
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
