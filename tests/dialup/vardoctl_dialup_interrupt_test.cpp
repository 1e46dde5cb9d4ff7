// vardoctl dialup dial interrupted while the states arrive, as Ctrl-C or a service manager
// does: it hangs up what it started, on the simulated modem and on NetworkManager
// (python3-dbusmock on a private bus), and a dial that died without hanging up leaves no
// record behind.
#include "networkmanager_mock.h"
#include "platform/ras_simulated_phonebook.h"
#include "program_run.h"
#include "test_env.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>

#include <csignal>

namespace {

QString vardoctlPath()
{
    return testenv::binDir() + "/vardoctl";
}

testenv::ProgramRun vardoctl(const QStringList &args)
{
    return testenv::runProgram(vardoctlPath(), args);
}

// A dial running in the background, stopped by a signal once it has printed `until`.
class RunningDial
{
public:
    explicit RunningDial(const QString &entry)
    {
        m_process.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
        m_process.start(vardoctlPath(), {"dialup", "dial", entry});
    }
    ~RunningDial()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    void awaitLine(const QString &line)
    {
        const QDeadlineTimer deadline(15000);
        while (!m_out.contains(line + "\n") && !deadline.hasExpired() && m_process.state() != QProcess::NotRunning) {
            m_process.waitForReadyRead(100);
            m_out += QString::fromUtf8(m_process.readAllStandardOutput());
        }
        ASSERT_TRUE(m_out.contains(line + "\n")) << qPrintable(m_out) << qPrintable(m_process.readAllStandardError());
    }

    // Sends the signal and returns the exit code (-1 when it ended otherwise).
    int stopWith(int signalNumber)
    {
        ::kill(pid_t(m_process.processId()), signalNumber);
        if (!m_process.waitForFinished(15000) || m_process.exitStatus() != QProcess::NormalExit)
            return -1;
        return m_process.exitCode();
    }

private:
    QProcess m_process;
    QString m_out;
};

struct Interruption
{
    int signalNumber;
    int exitCode;
};

class InterruptedSimulatedDial : public ::testing::TestWithParam<Interruption>
{
protected:
    void SetUp() override
    {
        qputenv("TELLVARA_RAS_BACKEND", "simulated");
        ASSERT_EQ(vardoctl({"trial"}).exitCode, 0);
    }
};

TEST_P(InterruptedSimulatedDial, HangsUpWhatItStarted)
{
    RunningDial dial(QStringLiteral("Exempel"));
    dial.awaitLine(QStringLiteral("Port opened"));
    EXPECT_EQ(dial.stopWith(GetParam().signalNumber), GetParam().exitCode);
    EXPECT_EQ(vardoctl({"dialup", "status"}).out, "No active dial-up connection\n");
    EXPECT_TRUE(platform::ras::simulatedConnectionKeys().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Signals, InterruptedSimulatedDial,
                         ::testing::Values(Interruption{SIGINT, 130}, Interruption{SIGTERM, 143}));

TEST_F(InterruptedSimulatedDial, RecordOfADialThatDiedIsCleanedAway)
{
    {
        RunningDial dial(QStringLiteral("Upptaget"));
        dial.awaitLine(QStringLiteral("Port opened"));
        // Killed outright: nothing hangs up, and the line then turns out busy.
        EXPECT_EQ(dial.stopWith(SIGKILL), -1);
    }
    QThread::msleep(1000);
    EXPECT_EQ(vardoctl({"dialup", "status"}).out, "No active dial-up connection\n");
    EXPECT_TRUE(platform::ras::simulatedConnectionKeys().isEmpty());
}

TEST(InterruptedNetworkManagerDial, HangsUpWhatItStarted)
{
    qunsetenv("TELLVARA_RAS_BACKEND");
    nmtest::NetworkManagerMock nm;
    nm.activateWith(nmtest::ActivateAndWait);
    RunningDial dial(QStringLiteral("Mobilt"));
    dial.awaitLine(QStringLiteral("Port opened"));
    EXPECT_EQ(dial.stopWith(SIGINT), 130);
    EXPECT_EQ(vardoctl({"dialup", "status"}).out, "No active dial-up connection\n");
}

} // namespace
