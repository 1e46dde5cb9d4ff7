// vardoctl dialup as a user runs it after vardoctl trial, with the simulated modem; and
// without NetworkManager.
#include "platform/ras_simulated_phonebook.h"
#include "program_run.h"
#include "test_env.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>


namespace {

using Outcome = testenv::ProgramRun;

Outcome vardoctl(const QStringList &args)
{
    return testenv::runProgram(testenv::binDir() + "/vardoctl", args);
}

class VardoctlDialUp : public ::testing::Test
{
protected:
    void SetUp() override
    {
        qputenv("TELLVARA_RAS_BACKEND", "simulated");
        ASSERT_EQ(vardoctl({"trial"}).exitCode, 0);
    }
};

TEST_F(VardoctlDialUp, TrialEntriesDialStatusAndHangUp)
{
    const Outcome entries = vardoctl({"dialup", "entries"});
    EXPECT_EQ(entries.exitCode, 0) << qPrintable(entries.err);
    EXPECT_EQ(entries.out, "Exempel\nUpptaget\n");

    const Outcome dial = vardoctl({"dialup", "dial", "Exempel"});
    EXPECT_EQ(dial.exitCode, 0) << qPrintable(dial.err);
    EXPECT_EQ(dial.out, "Opening port\nPort opened\nConnecting device\nDevice connected\nAll devices connected\n"
                        "Start authenticating\nAuthenticated\nProjected\nConnected\n"
                        "IP 10.64.64.10 server 10.64.64.1\n");

    const Outcome status = vardoctl({"dialup", "status"});
    EXPECT_EQ(status.exitCode, 0);
    EXPECT_EQ(status.out, "Exempel\tConnected\tmodem\tSimulated modem\n");

    const Outcome hangup = vardoctl({"dialup", "hangup", "Exempel"});
    EXPECT_EQ(hangup.exitCode, 0);
    EXPECT_EQ(hangup.out, "Hung up\n");
    EXPECT_EQ(vardoctl({"dialup", "status"}).out, "No active dial-up connection\n");
}

TEST_F(VardoctlDialUp, JsonAnswersOfDialAndHangUpAreTheNewState)
{
    const Outcome dial = vardoctl({"--json", "dialup", "dial", "Exempel"});
    ASSERT_EQ(dial.exitCode, 0) << qPrintable(dial.err);
    const QJsonObject dialed = QJsonDocument::fromJson(dial.out.toUtf8()).object();
    EXPECT_EQ(dialed.value("entry").toString(), "Exempel");
    EXPECT_EQ(dialed.value("states").toArray().size(), 9);
    EXPECT_EQ(dialed.value("states").toArray().last().toString(), "Connected");
    EXPECT_EQ(dialed.value("clientIP").toString(), "10.64.64.10");
    EXPECT_EQ(dialed.value("serverIP").toString(), "10.64.64.1");

    const Outcome hangup = vardoctl({"--json", "dialup", "hangup", "Exempel"});
    ASSERT_EQ(hangup.exitCode, 0) << qPrintable(hangup.err);
    const QJsonDocument left = QJsonDocument::fromJson(hangup.out.toUtf8());
    EXPECT_TRUE(left.isArray()) << qPrintable(hangup.out);
    EXPECT_TRUE(left.array().isEmpty());

    const Outcome busy = vardoctl({"--json", "dialup", "dial", "Upptaget"});
    EXPECT_EQ(busy.exitCode, 1);
    EXPECT_TRUE(busy.out.isEmpty()) << qPrintable(busy.out);
    EXPECT_EQ(QJsonDocument::fromJson(busy.err.toUtf8()).object().value("error").toString(),
              "The phone line is busy.");
}

TEST_F(VardoctlDialUp, BusyLineFailsWithThePlatformText)
{
    const Outcome dial = vardoctl({"dialup", "dial", "Upptaget"});
    EXPECT_EQ(dial.exitCode, 1);
    EXPECT_EQ(dial.out, "Opening port\nPort opened\nConnecting device\n");
    EXPECT_EQ(dial.err, "The phone line is busy.\n");
    EXPECT_EQ(vardoctl({"dialup", "status"}).out, "No active dial-up connection\n");
}

TEST_F(VardoctlDialUp, SecondDialOfAConnectedEntryIsRefused)
{
    ASSERT_EQ(vardoctl({"dialup", "dial", "Exempel"}).exitCode, 0);
    const Outcome again = vardoctl({"dialup", "dial", "Exempel"});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_EQ(again.err, "The connection is already active.\n");
    EXPECT_EQ(vardoctl({"dialup", "status"}).out, "Exempel\tConnected\tmodem\tSimulated modem\n");
}

TEST_F(VardoctlDialUp, UnknownEntryFailsWithThePlatformText)
{
    const Outcome dial = vardoctl({"dialup", "dial", "Saknas"});
    EXPECT_EQ(dial.exitCode, 1);
    EXPECT_EQ(dial.err, "The phone book entry for this connection cannot be found.\n");
}

TEST_F(VardoctlDialUp, StatisticsOfThePppInterfaces)
{
    const QString dev = testenv::root() + "/net-dev";
    testenv::writeFile(dev, "Inter-|\n face |\n  ppp0: 5000 10 0 0 0 0 0 0 1000 12 0 0 0 0 0 0\n");
    qputenv("TELLVARA_PROC_NET_DEV", dev.toUtf8());
    const Outcome stats = vardoctl({"dialup", "stats"});
    EXPECT_EQ(stats.exitCode, 0) << qPrintable(stats.err);
    EXPECT_EQ(stats.out, "Bytes sent 1000\nBytes received 5000\n");

    testenv::writeFile(dev, "Inter-|\n face |\n  eth0: 1 1 0 0 0 0 0 0 1 1 0 0 0 0 0 0\n");
    EXPECT_EQ(vardoctl({"dialup", "stats"}).exitCode, 1);
}

TEST_F(VardoctlDialUp, UsageErrors)
{
    for (const QStringList &args : {QStringList{"dialup"}, QStringList{"dialup", "dial"},
                                    QStringList{"dialup", "entries", "x"}, QStringList{"dialup", "redial"}}) {
        const Outcome run = vardoctl(args);
        EXPECT_EQ(run.exitCode, 2) << qPrintable(args.join(' '));
        EXPECT_TRUE(run.err.contains("vardoctl dialup entries|dial ENTRY|hangup [ENTRY]|status|stats"));
    }
}

TEST(VardoctlDialUpWithoutNetworkManager, SaysNetworkManagerIsNotRunning)
{
    qunsetenv("TELLVARA_RAS_BACKEND");
    // A system bus nobody listens on, so no real NetworkManager is ever asked.
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", QByteArray("unix:path=") + (testenv::root() + "/no-bus").toUtf8());
    const Outcome entries = vardoctl({"dialup", "entries"});
    EXPECT_EQ(entries.exitCode, 1);
    EXPECT_EQ(entries.err, "NetworkManager is not running, so dial-up connections are unavailable.\n");
}

} // namespace
