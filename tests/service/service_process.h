#pragma once
// Running the built vardo-service and talking HTTP to it over loopback, for the tests of
// this folder. Every wait is bounded.
#include "suite/service_keys.h"
#include "platform/local/local_service_names.h"
#include "suite/registry.h"
#include "program_run.h"
#include "test_env.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

namespace servicetest {

inline QString serviceProgram()
{
    return testenv::binDir() + QStringLiteral("/vardo-service");
}

inline QString vardoctlProgram()
{
    return testenv::binDir() + QStringLiteral("/vardoctl");
}

// A port no one listens on right now.
inline quint16 freePort()
{
    QTcpServer probe;
    EXPECT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    return probe.serverPort();
}

inline void storeSetting(const QString &subKey, const QString &name, const QString &text)
{
    ASSERT_TRUE(suite::WriteRegistryString(suite::RegistryRoot::LocalMachine, suite::serviceSubKey(subKey), name, text));
}

inline void storePort(quint16 port)
{
    storeSetting(QStringLiteral("Port"), QStringLiteral("TcpIPPort"), QString::number(port));
}

inline QString logFolder()
{
    return testenv::root() + QStringLiteral("/system/var/log/tellvara/");
}

inline QString logText()
{
    QFile file(logFolder() + QStringLiteral("vardo-service.log"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

struct HttpReply
{
    int status = 0; // 0: no answer
    QByteArray body;
};

// Sends raw request bytes and reads until the service closes the connection.
inline HttpReply exchange(quint16 port, const QByteArray &request, const QHostAddress &host = QHostAddress::LocalHost,
                          int timeoutMs = 5000)
{
    QTcpSocket socket;
    socket.connectToHost(host, port);
    if (!socket.waitForConnected(timeoutMs))
        return {};
    socket.write(request);
    QByteArray received;
    const QDeadlineTimer deadline(timeoutMs);
    while (socket.state() == QAbstractSocket::ConnectedState && !deadline.hasExpired()) {
        socket.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
        received += socket.readAll();
    }
    received += socket.readAll();
    const qsizetype headEnd = received.indexOf("\r\n\r\n");
    if (!received.startsWith("HTTP/1.1 ") || headEnd < 0)
        return {};
    return {received.mid(9, 3).toInt(), received.mid(headEnd + 4)};
}

inline HttpReply get(quint16 port, const QByteArray &target, const QHostAddress &host = QHostAddress::LocalHost)
{
    return exchange(port, "GET " + target + " HTTP/1.1\r\nHost: localhost\r\nAccept: */*\r\n\r\n", host);
}

// Polls a condition every 20 ms for at most timeoutMs.
template<typename Condition>
bool waitUntil(Condition condition, int timeoutMs = 10000)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(20);
    }
    return true;
}

// vardo-service run directly, ready once it has written its ready file.
class RunningService
{
public:
    RunningService()
        : m_readyFile(testenv::root() + QStringLiteral("/direct.ready"))
    {
        QFile::remove(m_readyFile);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(platform::local::ReadyFileVariable), m_readyFile);
        process.setProcessEnvironment(env);
        process.start(serviceProgram(), {});
    }
    ~RunningService()
    {
        if (process.state() == QProcess::NotRunning)
            return;
        process.kill();
        process.waitForFinished(5000);
    }

    bool waitReady()
    {
        return waitUntil([this] { return QFile::exists(m_readyFile) || process.state() == QProcess::NotRunning; })
               && QFile::exists(m_readyFile);
    }

    QProcess process;

private:
    QString m_readyFile;
};

using CommandResult = testenv::ProgramRun;

// Runs a program with the arguments (and text on its standard input) for at most 60 s.
inline CommandResult run(const QString &program, const QStringList &args, const QByteArray &input = {},
                         const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment())
{
    testenv::RunOptions options;
    options.environment = env;
    options.input = input;
    options.limitMs = 60000;
    return testenv::runProgram(program, args, options);
}

inline CommandResult vardoctl(const QStringList &args, const QByteArray &input = {},
                              const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment())
{
    return run(vardoctlProgram(), args, input, env);
}

} // namespace servicetest
