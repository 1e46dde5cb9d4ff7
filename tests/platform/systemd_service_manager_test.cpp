// The systemd backend against a mock of systemd's manager (python3-dbusmock's systemd
// template) on a private bus that stands in for the system bus. Where the template lacks
// a call or a behaviour, the test adds it with the mock's AddMethod.
#include "platform/systemd/systemd_service_manager.h"

#include "platform/local/local_service_manager.h"
#include "platform/systemd/systemd_names.h"
#include "private_bus.h"
#include "platform/error.h"
#include "test_env.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QProcessEnvironment>
#include <QThread>

using namespace platform;
using platform::systemd::PendingWaitHintMs;
using platform::systemd::serviceResultOf;
using platform::systemd::SystemdServiceManager;
using platform::systemd::systemdIsRunning;
namespace names = platform::systemd;

namespace {

const QString UnitName = QStringLiteral("tellvaravardo.service");
const QString UnitPath = QStringLiteral("/org/freedesktop/systemd1/unit/tellvaravardo_service");
const QString MockInterface = QStringLiteral("org.freedesktop.DBus.Mock");

// Code run inside the mock: the unit object, to change its properties.
const QString UnitObject = QStringLiteral("unit = objects['%1']\n").arg(UnitPath);

class SystemdMock
{
public:
    SystemdMock()
        : m_bus(testenv::root() + QStringLiteral("/system_bus"))
    {
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", m_bus.address().toUtf8());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), m_bus.address());
        m_mock.setProcessEnvironment(env);
        m_mock.start(QStringLiteral("/usr/bin/python3"), {"-m", "dbusmock", "--template", "systemd"});
        m_control = QDBusConnection::connectToBus(m_bus.address(), QStringLiteral("mock-control"));
        waitForManager();
    }
    ~SystemdMock()
    {
        testbus::stopProcess(m_mock);
        QDBusConnection::disconnectFromBus(QStringLiteral("mock-control"));
    }

    void call(const QString &path, const QString &method, const QVariantList &args)
    {
        QDBusMessage message = QDBusMessage::createMethodCall(QString(names::Service), path, MockInterface, method);
        message.setArguments(args);
        const QDBusMessage reply = m_control.call(message, QDBus::Block, 10000);
        ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << qPrintable(reply.errorMessage());
    }

    void addUnit() { call(QString(names::ManagerPath), QStringLiteral("AddMockUnit"), {UnitName}); }

    void setActiveState(const QString &state)
    {
        call(UnitPath, QStringLiteral("UpdateProperties"),
             {QString(names::UnitInterface), QVariantMap{{QStringLiteral("ActiveState"), state}}});
    }

    // Replaces or adds a manager method; code is Python with args, self and objects.
    void addMethod(const QString &name, const QString &inSignature, const QString &outSignature, const QString &code)
    {
        call(QString(names::ManagerPath), QStringLiteral("AddMethod"),
             {QString(names::ManagerInterface), name, inSignature, outSignature, code});
    }

    void refuse(const QString &method, const QString &errorName)
    {
        addMethod(method, QStringLiteral("ss"), QStringLiteral("o"),
                  QStringLiteral("raise dbus.exceptions.DBusException('refused', name='%1')").arg(errorName));
    }

private:
    void waitForManager()
    {
        const QDeadlineTimer deadline(15000);
        while (!deadline.hasExpired()) {
            if (m_control.interface()->isServiceRegistered(QString(names::Service)))
                return;
            if (m_mock.state() == QProcess::NotRunning)
                break;
            QThread::msleep(50);
        }
        FAIL() << "the systemd mock did not start: " << m_mock.readAllStandardError().toStdString();
    }

    testbus::PrivateBus m_bus;
    QProcess m_mock;
    QDBusConnection m_control{QString()};
};

std::unique_ptr<Service> open(unsigned rights = QueryStatusRight | StartRight | StopRight)
{
    auto connection = SystemdServiceManager().connect(QStringLiteral("localhost"));
    EXPECT_TRUE(connection);
    if (!connection)
        return nullptr;
    OpenedService opened = connection->openService(QStringLiteral("tellvaravardo"), rights);
    EXPECT_EQ(opened.result, ServiceResult::Ok);
    return std::move(opened.service);
}

std::uint32_t stateOf(Service &service)
{
    const std::optional<ServiceStatus> status = service.queryStatus();
    return status ? status->currentState : ServiceStateUnknown;
}

} // namespace

TEST(SystemdServiceManager, ActiveStatesMapToServiceStates)
{
    SystemdMock mock;
    mock.addUnit();
    auto service = open(QueryStatusRight);
    ASSERT_TRUE(service);
    const struct
    {
        const char *activeState;
        std::uint32_t state;
    } cases[] = {{"inactive", ServiceStopped},     {"failed", ServiceStopped},  {"activating", ServiceStartPending},
                 {"deactivating", ServiceStopPending}, {"active", ServiceRunning}, {"reloading", ServiceRunning},
                 {"maintenance", ServiceStateUnknown}};
    for (const auto &c : cases) {
        mock.setActiveState(QLatin1String(c.activeState));
        EXPECT_EQ(stateOf(*service), c.state) << c.activeState;
    }
}

TEST(SystemdServiceManager, UnitThatIsNotFoundIsNotInstalled)
{
    SystemdMock mock;
    // As systemd does: GetUnit knows only loaded units, LoadUnit gives a "not-found" one.
    mock.addMethod(QStringLiteral("GetUnit"), QStringLiteral("s"), QStringLiteral("o"),
                   QStringLiteral("raise dbus.exceptions.DBusException('no unit', name='%1')").arg(names::NoSuchUnitError));
    mock.addMethod(QStringLiteral("LoadUnit"), QStringLiteral("s"), QStringLiteral("o"),
                   QStringLiteral("p = '/org/freedesktop/systemd1/unit/missing'\n"
                                  "if p not in objects:\n"
                                  "    self.AddObject(p, 'org.freedesktop.systemd1.Unit', "
                                  "{'LoadState': 'not-found', 'ActiveState': 'inactive'}, [])\n"
                                  "ret = p\n"));
    auto connection = SystemdServiceManager().connect(QStringLiteral("localhost"));
    ASSERT_TRUE(connection);
    EXPECT_EQ(connection->openService(QStringLiteral("tellvaravardo"), QueryStatusRight).result, ServiceResult::NotInstalled);
}

TEST(SystemdServiceManager, UnitLoadedOnDemandIsFound)
{
    SystemdMock mock;
    mock.addUnit();
    mock.addMethod(QStringLiteral("GetUnit"), QStringLiteral("s"), QStringLiteral("o"),
                   QStringLiteral("raise dbus.exceptions.DBusException('no unit', name='%1')").arg(names::NoSuchUnitError));
    mock.addMethod(QStringLiteral("LoadUnit"), QStringLiteral("s"), QStringLiteral("o"),
                   QStringLiteral("ret = '%1'").arg(UnitPath));
    mock.setActiveState(QStringLiteral("active"));
    auto service = open(QueryStatusRight);
    ASSERT_TRUE(service);
    EXPECT_EQ(stateOf(*service), ServiceRunning);
}

TEST(SystemdServiceManager, StartIsPendingWithRisingCheckpointsUntilActive)
{
    SystemdMock mock;
    mock.addUnit();
    mock.addMethod(QStringLiteral("StartUnit"), QStringLiteral("ss"), QStringLiteral("o"),
                   UnitObject
                       + QStringLiteral("from gi.repository import GLib\n"
                                        "unit.UpdateProperties('org.freedesktop.systemd1.Unit', {'ActiveState': 'activating'})\n"
                                        "def ready(unit=unit):\n"
                                        "    unit.UpdateProperties('org.freedesktop.systemd1.Unit', {'ActiveState': 'active'})\n"
                                        "    return False\n"
                                        "GLib.timeout_add(800, ready)\n"
                                        "ret = '/org/freedesktop/systemd1/job/1'\n"));
    auto service = open();
    ASSERT_TRUE(service);
    ASSERT_EQ(service->start(), ServiceResult::Ok);
    QList<ServiceStatus> seen;
    const QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired() && (seen.isEmpty() || seen.last().currentState != ServiceRunning)) {
        if (const std::optional<ServiceStatus> status = service->queryStatus())
            seen.append(*status);
        QThread::msleep(100);
    }
    ASSERT_GE(seen.size(), 3);
    for (qsizetype i = 0; i + 1 < seen.size(); ++i) {
        EXPECT_EQ(seen[i].currentState, ServiceStartPending);
        EXPECT_EQ(seen[i].checkPoint, std::uint32_t(i + 1));
        EXPECT_EQ(seen[i].waitHint, PendingWaitHintMs);
    }
    EXPECT_EQ(seen.last().currentState, ServiceRunning);
    EXPECT_EQ(seen.last().checkPoint, 0u);
}

TEST(SystemdServiceManager, QueuedStartJobOnAStoppedUnitIsStartPending)
{
    SystemdMock mock;
    mock.addUnit();
    mock.addMethod(QStringLiteral("StartUnit"), QStringLiteral("ss"), QStringLiteral("o"),
                   UnitObject
                       + QStringLiteral("job = '/org/freedesktop/systemd1/job/7'\n"
                                        "self.AddObject(job, 'org.freedesktop.systemd1.Job', {'JobType': 'start'}, [])\n"
                                        "unit.AddProperty('org.freedesktop.systemd1.Unit', 'Job', "
                                        "dbus.Struct((dbus.UInt32(7), dbus.ObjectPath(job)), signature='uo'))\n"
                                        "ret = job\n"));
    auto service = open();
    ASSERT_TRUE(service);
    EXPECT_EQ(stateOf(*service), ServiceStopped);
    ASSERT_EQ(service->start(), ServiceResult::Ok);
    EXPECT_EQ(stateOf(*service), ServiceStartPending);
}

TEST(SystemdServiceManager, StopOfARunningUnitEndsStopped)
{
    SystemdMock mock;
    mock.addUnit();
    mock.setActiveState(QStringLiteral("active"));
    auto service = open();
    ASSERT_TRUE(service);
    EXPECT_EQ(service->start(), ServiceResult::Refused); // already running
    const Service::StopOutcome stop = service->stop();
    EXPECT_EQ(stop.result, ServiceResult::Ok);
    ASSERT_TRUE(stop.status);
    EXPECT_EQ(stop.status->currentState, ServiceStopped);
    // Stopping again is refused and reports the stopped state.
    const Service::StopOutcome again = service->stop();
    EXPECT_EQ(again.result, ServiceResult::Refused);
    ASSERT_TRUE(again.status);
    EXPECT_EQ(again.status->currentState, ServiceStopped);
}

TEST(SystemdServiceManager, RefusedAuthorisationDeniesStartAndStopButNotTheQuery)
{
    SystemdMock mock;
    mock.addUnit();
    mock.refuse(QStringLiteral("StartUnit"), QString(names::AccessDeniedError));
    mock.refuse(QStringLiteral("StopUnit"), QString(names::InteractiveAuthorizationRequiredError));
    auto service = open();
    ASSERT_TRUE(service);
    EXPECT_EQ(service->start(), ServiceResult::AccessDenied);
    EXPECT_EQ(stateOf(*service), ServiceStopped);
    mock.setActiveState(QStringLiteral("active"));
    EXPECT_EQ(service->stop().result, ServiceResult::AccessDenied);
    EXPECT_EQ(stateOf(*service), ServiceRunning);
}

TEST(SystemdServiceManager, NoBusMeansNoManager)
{
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", ("unix:path=" + testenv::root() + "/no-bus-here").toUtf8());
    EXPECT_FALSE(SystemdServiceManager().connect(QStringLiteral("localhost")));
    EXPECT_FALSE(systemdIsRunning());
}

TEST(SystemdServiceManager, BusErrorsMapToServiceResults)
{
    const struct
    {
        const char *name;
        ServiceResult result;
    } cases[] = {
        {"org.freedesktop.systemd1.NoSuchUnit", ServiceResult::NotInstalled},
        {"org.freedesktop.DBus.Error.AccessDenied", ServiceResult::AccessDenied},
        {"org.freedesktop.DBus.Error.InteractiveAuthorizationRequired", ServiceResult::AccessDenied},
        {"org.freedesktop.systemd1.UnitMasked", ServiceResult::Refused},
        {"org.freedesktop.systemd1.JobFailed", ServiceResult::Refused},
        {"org.freedesktop.DBus.Error.ServiceUnknown", ServiceResult::Unavailable},
        {"org.freedesktop.DBus.Error.NoReply", ServiceResult::Unavailable},
    };
    for (const auto &c : cases)
        EXPECT_EQ(serviceResultOf(QDBusError(QDBusMessage::createError(QLatin1String(c.name), QStringLiteral("m")))), c.result) << c.name;
}

TEST(ServiceManagerChoice, ForcedBackendOrTheLocalSupervisorWithoutSystemd)
{
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", ("unix:path=" + testenv::root() + "/no-bus-here").toUtf8());
    qputenv("TELLVARA_SERVICE_MANAGER", "systemd");
    EXPECT_TRUE(dynamic_cast<SystemdServiceManager *>(createServiceManager().get()));
    qputenv("TELLVARA_SERVICE_MANAGER", "local");
    EXPECT_TRUE(dynamic_cast<local::LocalServiceManager *>(createServiceManager().get()));
    qunsetenv("TELLVARA_SERVICE_MANAGER");
    EXPECT_TRUE(dynamic_cast<local::LocalServiceManager *>(createServiceManager().get()));
    qputenv("TELLVARA_SERVICE_MANAGER", "upstart");
    EXPECT_THROW(createServiceManager(), platform::Error);
}
