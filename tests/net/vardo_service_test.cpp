// The probe against the stand-in service itself, started from the build.
#include "net/http_client.h"
#include "net/probe.h"
#include "run_program.h"
#include "suite/paths.h"
#include "suite/registry.h"
#include "test_env.h"
#include "test_http_server.h"

#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

class VardoServiceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString program = testenv::binDir() + "/vardo-service";
        if (!QFileInfo(program).isExecutable())
            GTEST_SKIP() << "vardo-service is not built yet";
        port = nettest::closedPort();
        ASSERT_TRUE(suite::WriteRegistryString(suite::RegistryRoot::LocalMachine,
                                               "SOFTWARE\\Tellvara\\Vardo-Service\\Port", "TcpIPPort",
                                               QString::number(port)));
        net::SetProbeClient(&client);
        service.start(program, {});
        ASSERT_TRUE(nettest::waitUntil([this] { return probeVersion(); }, 10s))
            << service.readAllStandardError().toStdString();
    }

    void TearDown() override
    {
        net::SetProbeClient(nullptr);
        if (service.state() != QProcess::NotRunning) {
            service.terminate();
            service.waitForFinished(10000);
        }
    }

    bool probeVersion()
    {
        version.clear();
        return net::QueryServiceVersion(QStringLiteral("localhost"), port, version);
    }

    net::HttpClient client{net::HttpClient::Kind::Plain};
    QProcess service;
    quint16 port = 0;
    QString version;
};

TEST_F(VardoServiceTest, AnswersTheVersionAndTheLogFolder)
{
    EXPECT_FALSE(version.isEmpty());
    EXPECT_TRUE(version.front().isDigit()) << version.toStdString();
    QString logDir;
    ASSERT_TRUE(net::QueryServiceLogDir(QStringLiteral("localhost"), port, logDir));
    EXPECT_TRUE(logDir.startsWith(qEnvironmentVariable("TELLVARA_ROOT"))) << logDir.toStdString();
}

TEST_F(VardoServiceTest, ReadsAConnectionStringWithCharactersThatAreEncoded)
{
    const QString link = testenv::freshDir("links") + "/svc.udl";
    testenv::writeFile(link, "[oledb]\r\nProvider=SQLite;Data Source=/srv/./v\xe5rd/../db #1?.sqlite;Pwd=50%\r\n");
    suite::InitPaths({QStringLiteral("vardo-admin"), link});
    EXPECT_TRUE(probeVersion());
}

TEST_F(VardoServiceTest, IsOutOfReachOnceStopped)
{
    service.terminate();
    ASSERT_TRUE(service.waitForFinished(10000));
    EXPECT_FALSE(probeVersion());
}

TEST_F(VardoServiceTest, AnswersVardoctl)
{
    const nettest::ProgramResult result = nettest::runProgram(testenv::binDir() + "/vardoctl", {"probe", "version"});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.out, version + (version.endsWith('\n') ? "" : "\n"));
}

} // namespace
