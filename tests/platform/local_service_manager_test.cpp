// The local supervisor with real processes: small shell services that start, report
// ready, stop, ignore SIGTERM or die, and run state left behind by others.
#include "platform/local/local_service_manager.h"

#include "platform/local/local_service_definition.h"
#include "platform/local/local_service_names.h"
#include "platform/local/process_identity.h"
#include "test_env.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>

#include <csignal>

#include <unistd.h>

using namespace platform;
using platform::local::LocalServiceManager;

namespace {

const QString Name = QStringLiteral("trial");

QString runFile(const char *suffix)
{
    return testenv::root() + QStringLiteral("/system/run/tellvara/trial") + QLatin1String(suffix);
}

void define(const QString &serviceSection)
{
    testenv::writeFile(local::definitionPath(Name), ("[Service]\n" + serviceSection).toUtf8());
}

std::unique_ptr<Service> open(unsigned rights = QueryStatusRight | StartRight | StopRight)
{
    auto connection = LocalServiceManager().connect(QStringLiteral("localhost"));
    EXPECT_TRUE(connection);
    OpenedService opened = connection->openService(Name, rights);
    EXPECT_EQ(opened.result, ServiceResult::Ok);
    return std::move(opened.service);
}

std::uint32_t stateOf(Service &service)
{
    const std::optional<ServiceStatus> status = service.queryStatus();
    return status ? status->currentState : ServiceStateUnknown;
}

// Queries every 50 ms until the state is reached or 10 s have passed; the states seen.
QList<ServiceStatus> pollUntil(Service &service, std::uint32_t state)
{
    QList<ServiceStatus> seen;
    const QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        const std::optional<ServiceStatus> status = service.queryStatus();
        if (status)
            seen.append(*status);
        if (status && status->currentState == state)
            break;
        QThread::msleep(50);
    }
    return seen;
}

qint64 servicePid()
{
    return QString::fromUtf8(testenv::readFile(runFile(".pid"))).section(QLatin1Char(' '), 0, 0).toLongLong();
}

// Stops whatever a test left running, so no process outlives its test.
struct Cleanup
{
    ~Cleanup()
    {
        if (QFile::exists(runFile(".pid")) && local::processStartTime(servicePid()))
            ::kill(-static_cast<pid_t>(servicePid()), SIGKILL);
    }
};

} // namespace

TEST(LocalServiceManager, ServiceWithoutDefinitionIsNotInstalled)
{
    auto connection = LocalServiceManager().connect(QStringLiteral("localhost"));
    ASSERT_TRUE(connection);
    EXPECT_EQ(connection->openService(Name, QueryStatusRight).result, ServiceResult::NotInstalled);
    for (const char *odd : {"", "../trial", ".hidden", "a/b"})
        EXPECT_EQ(connection->openService(QLatin1String(odd), QueryStatusRight).result, ServiceResult::NotInstalled) << odd;
}

TEST(LocalServiceManager, SimpleServiceRunsDetachedAndStopsOnSigterm)
{
    const Cleanup cleanup;
    define("ExecStart=/bin/sleep 30\n");
    auto service = open();
    EXPECT_EQ(stateOf(*service), ServiceStopped);
    ASSERT_EQ(service->start(), ServiceResult::Ok);
    EXPECT_EQ(stateOf(*service), ServiceRunning);

    // A daemon of its own: not our child, its own session and process group.
    const pid_t pid = static_cast<pid_t>(servicePid());
    EXPECT_EQ(getpgid(pid), pid);
    EXPECT_NE(getsid(pid), getsid(0));
    EXPECT_NE(waitpid(pid, nullptr, WNOHANG), 0); // not a child of this process: ECHILD gives -1

    const Service::StopOutcome stop = service->stop();
    EXPECT_EQ(stop.result, ServiceResult::Ok);
    ASSERT_TRUE(stop.status);
    EXPECT_TRUE(stop.status->currentState == ServiceStopPending || stop.status->currentState == ServiceStopped);
    EXPECT_EQ(pollUntil(*service, ServiceStopped).last().currentState, ServiceStopped);
    EXPECT_FALSE(local::processStartTime(pid));
}

TEST(LocalServiceManager, NotifyServiceIsStartPendingWithRisingCheckpointsUntilReady)
{
    const Cleanup cleanup;
    define("Type=notify\n"
           "ExecStart=/bin/sh -c 'sleep 0.6; echo $$ > \"$TELLVARA_SERVICE_READY_FILE\"; exec sleep 30'\n");
    auto service = open();
    ASSERT_EQ(service->start(), ServiceResult::Ok);
    const QList<ServiceStatus> seen = pollUntil(*service, ServiceRunning);
    ASSERT_GE(seen.size(), 3);
    EXPECT_EQ(seen.first().currentState, ServiceStartPending);
    EXPECT_EQ(seen.first().waitHint, local::PendingWaitHintMs);
    std::uint32_t lastCheckPoint = 0;
    for (const ServiceStatus &status : seen.mid(0, seen.size() - 1)) {
        EXPECT_EQ(status.currentState, ServiceStartPending);
        EXPECT_GE(status.checkPoint, lastCheckPoint);
        lastCheckPoint = status.checkPoint;
    }
    EXPECT_GT(lastCheckPoint, seen.first().checkPoint);
    EXPECT_EQ(seen.last().currentState, ServiceRunning);
    EXPECT_EQ(seen.last().checkPoint, 0u);
}

TEST(LocalServiceManager, ServiceIgnoringSigtermIsKilledAfterTheGrace)
{
    const Cleanup cleanup;
    define("TimeoutStopSec=600ms\nExecStart=/bin/sh -c \"trap '' TERM; exec sleep 30\"\n");
    auto service = open();
    ASSERT_EQ(service->start(), ServiceResult::Ok);
    QThread::msleep(100); // let the shell ignore SIGTERM
    ASSERT_EQ(service->stop().result, ServiceResult::Ok);
    QThread::msleep(200);
    EXPECT_EQ(stateOf(*service), ServiceStopPending);
    // A caller with only the query right reports the pending stop but never kills.
    auto observer = open(QueryStatusRight);
    QThread::msleep(600);
    EXPECT_EQ(stateOf(*observer), ServiceStopPending);
    const QList<ServiceStatus> seen = pollUntil(*service, ServiceStopped);
    EXPECT_EQ(seen.last().currentState, ServiceStopped);
}

TEST(LocalServiceManager, StartOfARunningServiceAndStopOfAStoppedOneAreRefused)
{
    const Cleanup cleanup;
    define("ExecStart=/bin/sleep 30\n");
    auto service = open();
    const Service::StopOutcome stop = service->stop();
    EXPECT_EQ(stop.result, ServiceResult::Refused);
    ASSERT_TRUE(stop.status);
    EXPECT_EQ(stop.status->currentState, ServiceStopped);
    ASSERT_EQ(service->start(), ServiceResult::Ok);
    EXPECT_EQ(service->start(), ServiceResult::Refused);
    EXPECT_EQ(service->stop().result, ServiceResult::Ok);
}

TEST(LocalServiceManager, ProgramThatCannotRunIsRefusedAndStaysStopped)
{
    define("ExecStart=/nonexistent/vardo-service\n");
    auto service = open();
    EXPECT_EQ(service->start(), ServiceResult::Refused);
    EXPECT_EQ(stateOf(*service), ServiceStopped);
}

TEST(LocalServiceManager, BadDefinitionShowsStoppedAndRefusesToStart)
{
    define("Type=forking\nExecStart=/bin/sleep 30\n");
    auto service = open();
    EXPECT_EQ(stateOf(*service), ServiceStopped);
    EXPECT_EQ(service->start(), ServiceResult::Refused);
}

TEST(LocalServiceManager, ServiceThatExitsOnItsOwnIsStopped)
{
    define("ExecStart=/bin/sh -c 'exit 3'\n");
    auto service = open();
    ASSERT_EQ(service->start(), ServiceResult::Ok);
    EXPECT_EQ(pollUntil(*service, ServiceStopped).last().currentState, ServiceStopped);
}

TEST(LocalServiceManager, StalePidFilesReadAsStopped)
{
    define("ExecStart=/bin/sleep 30\n");
    const QByteArray ourStart = QByteArray::number(*local::processStartTime(getpid()));
    const struct
    {
        QByteArray content;
        std::uint32_t state;
    } cases[] = {
        {QByteArray::number(getpid()) + ' ' + ourStart + '\n', ServiceRunning}, // the check itself works
        {QByteArray::number(getpid()) + " 1\n", ServiceStopped},               // pid reused by another program
        {"2147483000 5\n", ServiceStopped},                                     // process gone
        {"garbage\n", ServiceStopped},
        {"", ServiceStopped},
    };
    for (const auto &c : cases) {
        testenv::writeFile(runFile(".pid"), c.content);
        EXPECT_EQ(stateOf(*open(QueryStatusRight)), c.state) << c.content.constData();
    }
}

TEST(LocalServiceManager, UserWhoCannotWriteTheRunFolderMayQueryButNotControl)
{
    define("ExecStart=/bin/sleep 30\n");
    // The run folder's place is taken by a file, which no user can write into; the
    // permission case proper is run through vardoctl as another user (tests/service).
    testenv::writeFile(testenv::root() + QStringLiteral("/system/run/tellvara"), "not a folder");
    auto connection = LocalServiceManager().connect(QStringLiteral("localhost"));
    EXPECT_EQ(connection->openService(Name, QueryStatusRight | StartRight).result, ServiceResult::AccessDenied);
    EXPECT_EQ(connection->openService(Name, QueryStatusRight | StopRight).result, ServiceResult::AccessDenied);
    OpenedService query = connection->openService(Name, QueryStatusRight);
    ASSERT_EQ(query.result, ServiceResult::Ok);
    EXPECT_EQ(stateOf(*query.service), ServiceStopped);
}

TEST(LocalServiceManager, ServiceGetsTheSystemRootAsAnAbsolutePath)
{
    const Cleanup cleanup;
    define("ExecStart=/bin/sh -c 'echo \"$TELLVARA_ROOT\" > \"$TELLVARA_ROOT/seen\"; exec sleep 30'\n");
    ASSERT_TRUE(QDir::setCurrent(testenv::root()));
    qputenv("TELLVARA_ROOT", "system");
    auto service = open();
    ASSERT_EQ(service->start(), ServiceResult::Ok);
    const QString seen = testenv::root() + QStringLiteral("/system/seen");
    const QDeadlineTimer deadline(10000);
    while (!QFile::exists(seen) && !deadline.hasExpired())
        QThread::msleep(20);
    QThread::msleep(50);
    EXPECT_EQ(testenv::readFile(seen).trimmed(), (testenv::root() + QStringLiteral("/system/")).toUtf8());
    EXPECT_EQ(service->stop().result, ServiceResult::Ok);
}
