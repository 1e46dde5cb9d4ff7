// vardo-service under the local supervisor, as the README's trial run uses it: started
// detached, seen start pending and then running, answering on its port, then stop pending
// and stopped; through the platform layer, through the console's wait and through vardoctl.
#include "service_process.h"

#include "app/core/service_control.h"
#include "platform/local/local_service_definition.h"
#include "platform/local/local_service_manager.h"

#include <QDir>
#include <QFileInfo>

#include <unistd.h>

using namespace servicetest;
using namespace platform;

namespace {

const QString Machine = QStringLiteral("localhost");

// A definition that lets the service take a moment before it starts, so the pending
// state is there to be seen.
void defineDelayedService()
{
    const QString command = local::quoteCommandLine(
        {QStringLiteral("/bin/sh"), QStringLiteral("-c"), QStringLiteral("sleep 0.5; exec '%1'").arg(serviceProgram())});
    testenv::writeFile(local::definitionPath(app::VardoServiceName),
                       ("[Service]\nType=notify\nExecStart=" + command + "\n").toUtf8());
}

std::unique_ptr<Service> openVardo()
{
    auto connection = local::LocalServiceManager().connect(Machine);
    EXPECT_TRUE(connection);
    OpenedService opened = connection->openService(app::VardoServiceName, QueryStatusRight | StartRight | StopRight);
    EXPECT_EQ(opened.result, ServiceResult::Ok);
    return std::move(opened.service);
}

// The states seen, each once, while polling every 50 ms for at most 10 s.
QList<std::uint32_t> statesUntil(Service &service, std::uint32_t target)
{
    QList<std::uint32_t> states;
    waitUntil([&] {
        const std::uint32_t state = service.queryStatus().value_or(ServiceStatus{}).currentState;
        if (states.isEmpty() || states.last() != state)
            states.append(state);
        QThread::msleep(30);
        return state == target;
    });
    return states;
}

} // namespace

TEST(LocalSupervisorRun, VardoServiceGoesFromStartPendingToRunningAndFromStopPendingToStopped)
{
    const quint16 port = freePort();
    storePort(port);
    defineDelayedService();
    auto service = openVardo();
    ASSERT_TRUE(service);
    ASSERT_EQ(service->start(), ServiceResult::Ok);
    EXPECT_EQ(statesUntil(*service, ServiceRunning), (QList<std::uint32_t>{ServiceStartPending, ServiceRunning}));
    EXPECT_EQ(get(port, "/=Get_Version").body, QByteArray("OK:") + VARDO_PROJECT_VERSION);

    const Service::StopOutcome stop = service->stop();
    ASSERT_EQ(stop.result, ServiceResult::Ok);
    ASSERT_TRUE(stop.status);
    EXPECT_EQ(stop.status->currentState, ServiceStopPending);
    EXPECT_EQ(statesUntil(*service, ServiceStopped).last(), ServiceStopped);
    EXPECT_EQ(get(port, "/=Get_Version").status, 0);
    EXPECT_TRUE(logText().contains(QStringLiteral("Stopping on SIGTERM")));
}

TEST(LocalSupervisorRun, ConsoleStartAndStopWaitForTheirStates)
{
    const quint16 port = freePort();
    storePort(port);
    defineDelayedService();
    local::LocalServiceManager manager;
    app::SleepingWaitClock clock;
    app::ServiceControl control(manager, clock);
    EXPECT_EQ(control.ServiceGetStatus(Machine, app::VardoServiceName), ServiceStopped);
    EXPECT_TRUE(control.ServiceStart(Machine, app::VardoServiceName));
    EXPECT_EQ(get(port, "/=Get_Loggdir").body, "OK:" + logFolder().toUtf8());
    EXPECT_FALSE(control.ServiceStart(Machine, app::VardoServiceName)); // already running
    EXPECT_TRUE(control.ServiceStop(Machine, app::VardoServiceName));
    EXPECT_EQ(control.ServiceGetStatus(Machine, app::VardoServiceName), ServiceStopped);
    EXPECT_TRUE(control.ServiceStop(Machine, app::VardoServiceName)); // already stopped: no error
}

TEST(LocalSupervisorRun, VardoctlInstallsTheDefinitionAndStartsAndStopsTheService)
{
    const quint16 port = freePort();
    storePort(port);
    EXPECT_EQ(vardoctl({"service", "status"}).exitCode, 1); // not installed yet

    const CommandResult install = vardoctl({"service", "install-local"});
    ASSERT_EQ(install.exitCode, 0) << qPrintable(install.err);
    const QString definitionFile = local::definitionPath(app::VardoServiceName);
    EXPECT_EQ(install.out.trimmed(), definitionFile);
    const local::ServiceDefinition definition =
        local::parseServiceDefinition(QString::fromUtf8(testenv::readFile(definitionFile)));
    EXPECT_EQ(QFileInfo(definition.execStart.value(0)).canonicalFilePath(), QFileInfo(serviceProgram()).canonicalFilePath());

    const CommandResult status = vardoctl({"service", "status"});
    EXPECT_EQ(status.exitCode, 0);
    EXPECT_EQ(status.out, QStringLiteral("SERVICE_STOPPED\n"));
    const CommandResult start = vardoctl({"service", "start"});
    EXPECT_EQ(start.exitCode, 0) << qPrintable(start.err);
    EXPECT_EQ(start.out, QStringLiteral("SERVICE_RUNNING\n"));
    EXPECT_EQ(get(port, "/=Get_Version").status, 200);
    const CommandResult stop = vardoctl({"service", "stop"});
    EXPECT_EQ(stop.exitCode, 0) << qPrintable(stop.err);
    EXPECT_EQ(stop.out, QStringLiteral("SERVICE_STOPPED\n"));
}

TEST(LocalSupervisorRun, InstallLocalRefusesAProgramThatIsNotThere)
{
    const CommandResult install = vardoctl({"service", "install-local", testenv::root() + "/nothing-here"});
    EXPECT_EQ(install.exitCode, 1);
    EXPECT_TRUE(install.err.contains(QStringLiteral("No service program"))) << qPrintable(install.err);
    EXPECT_FALSE(QFileInfo::exists(local::definitionPath(app::VardoServiceName)));
}

TEST(LocalSupervisorRun, UserWhoMayNotWriteTheRunFolderCanQueryButNotStart)
{
    ASSERT_EQ(vardoctl({"service", "install-local"}).exitCode, 0);
    const QString runFolder = testenv::root() + QStringLiteral("/system/run/tellvara");
    QDir().mkpath(runFolder);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    CommandResult status;
    CommandResult start;
    if (geteuid() == 0) {
        // Root may write anywhere, so the commands run as an unprivileged user, who may
        // read the test's private root (created for its owner only) but not write in it.
        QFile::setPermissions(testenv::root(), QFile::permissions(testenv::root()) | QFile::ExeOther | QFile::ReadOther);
        const QStringList asNobody{"--reuid=65534", "--regid=65534", "--clear-groups", vardoctlProgram(), "service"};
        // A checkout in a folder only root may enter (/root, say) leaves nobody no program to run.
        if (run(QStringLiteral("setpriv"), asNobody, {}, env).exitCode != 2)
            GTEST_SKIP() << "nobody cannot run " << qPrintable(vardoctlProgram()) << " here";
        status = run(QStringLiteral("setpriv"), asNobody + QStringList{"status"}, {}, env);
        start = run(QStringLiteral("setpriv"), asNobody + QStringList{"start"}, {}, env);
    } else {
        QFile::setPermissions(runFolder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
        status = vardoctl({"service", "status"});
        start = vardoctl({"service", "start"});
    }
    EXPECT_EQ(status.exitCode, 0) << qPrintable(status.err);
    EXPECT_EQ(status.out, QStringLiteral("SERVICE_STOPPED\n"));
    EXPECT_EQ(start.exitCode, 1);
    EXPECT_TRUE(start.err.contains(QStringLiteral("An error occurred while trying to start the service!"))) << qPrintable(start.err);
    EXPECT_EQ(start.out, QStringLiteral("SERVICE_STOPPED\n"));
    EXPECT_FALSE(QFileInfo::exists(runFolder + QStringLiteral("/tellvaravardo.pid")));
}
