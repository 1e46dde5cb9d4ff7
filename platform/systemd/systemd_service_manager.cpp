#include "platform/systemd/systemd_service_manager.h"

#include "platform/dbus/session_bus.h"
#include "platform/systemd/systemd_names.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QFileInfo>

namespace platform::systemd {
namespace {

const QString ConnectionName = QStringLiteral("vardo-systemd");

QDBusConnection systemBus()
{
    return platform::dbus::connectToBus(platform::dbus::systemBusAddress(), ConnectionName);
}

// One method call to systemd; an error reply carries the bus error.
QDBusMessage callSystemd(const QDBusConnection &bus, const QString &path, QLatin1StringView interface,
                         QLatin1StringView method, const QVariantList &args)
{
    QDBusMessage message = QDBusMessage::createMethodCall(Service, path, interface, method);
    message.setArguments(args);
    message.setInteractiveAuthorizationAllowed(false);
    return bus.call(message, QDBus::Block, CallTimeoutMs);
}

bool failed(const QDBusMessage &reply)
{
    return reply.type() != QDBusMessage::ReplyMessage;
}

QString objectPathOf(const QDBusMessage &reply)
{
    return reply.arguments().value(0).value<QDBusObjectPath>().path();
}

struct UnitProperties
{
    QString loadState;
    QString activeState;
    QString jobPath; // empty when no job is queued
};

QString jobPathOf(const QVariant &job)
{
    if (!job.canConvert<QDBusArgument>())
        return {};
    const QDBusArgument argument = job.value<QDBusArgument>();
    uint id = 0;
    QDBusObjectPath path;
    argument.beginStructure();
    argument >> id >> path;
    argument.endStructure();
    return id == 0 ? QString() : path.path();
}

std::optional<UnitProperties> readUnit(const QDBusConnection &bus, const QString &unitPath)
{
    const QDBusMessage reply = callSystemd(bus, unitPath, PropertiesInterface, GetAllMethod, {QString(UnitInterface)});
    if (failed(reply))
        return std::nullopt;
    const QVariantMap properties = qdbus_cast<QVariantMap>(reply.arguments().value(0));
    return UnitProperties{properties.value(LoadStateProperty).toString(),
                          properties.value(ActiveStateProperty).toString(),
                          jobPathOf(properties.value(JobProperty))};
}

std::uint32_t stateOfActiveState(const QString &activeState)
{
    if (activeState == QLatin1String("inactive") || activeState == QLatin1String("failed"))
        return ServiceStopped;
    if (activeState == QLatin1String("activating"))
        return ServiceStartPending;
    if (activeState == QLatin1String("deactivating"))
        return ServiceStopPending;
    if (activeState == QLatin1String("active") || activeState == QLatin1String("reloading"))
        return ServiceRunning;
    return ServiceStateUnknown;
}

class SystemdService : public Service
{
public:
    SystemdService(QDBusConnection bus, QString unit, QString unitPath)
        : m_bus(std::move(bus))
        , m_unit(std::move(unit))
        , m_unitPath(std::move(unitPath))
    {
    }

    std::optional<ServiceStatus> queryStatus() override
    {
        const std::optional<UnitProperties> unit = readUnit(m_bus, m_unitPath);
        if (!unit || unit->loadState == LoadStateNotFound)
            return std::nullopt;
        const std::uint32_t state = withQueuedJob(stateOfActiveState(unit->activeState), unit->jobPath);
        if (state == ServiceStateUnknown)
            return std::nullopt;
        if (!isPendingState(state)) {
            m_checkPoint = 0;
            return ServiceStatus{state, 0, 0};
        }
        return ServiceStatus{state, ++m_checkPoint, PendingWaitHintMs};
    }

    ServiceResult start() override
    {
        const std::optional<ServiceStatus> now = queryStatus();
        if (!now)
            return ServiceResult::Unavailable;
        if (now->currentState != ServiceStopped)
            return ServiceResult::Refused; // as the service control manager refuses a running service
        return runJob(StartUnitMethod);
    }

    StopOutcome stop() override
    {
        const std::optional<ServiceStatus> now = queryStatus();
        if (!now)
            return {ServiceResult::Unavailable, std::nullopt};
        if (now->currentState == ServiceStopped)
            return {ServiceResult::Refused, now};
        const ServiceResult result = runJob(StopUnitMethod);
        return {result, queryStatus()};
    }

private:
    ServiceResult runJob(QLatin1StringView method)
    {
        const QDBusMessage reply = callSystemd(m_bus, ManagerPath, ManagerInterface, method,
                                               {m_unit, QString(ReplaceMode)});
        return failed(reply) ? serviceResultOf(QDBusError(reply)) : ServiceResult::Ok;
    }

    QString jobType(const QString &jobPath) const
    {
        const QDBusMessage reply = callSystemd(m_bus, jobPath, PropertiesInterface, GetMethod,
                                               {QString(JobInterface), QString(JobTypeProperty)});
        return failed(reply) ? QString() : reply.arguments().value(0).value<QDBusVariant>().variant().toString();
    }

    // A job that systemd has queued but not yet begun leaves ActiveState unchanged.
    std::uint32_t withQueuedJob(std::uint32_t state, const QString &jobPath) const
    {
        if (jobPath.isEmpty() || (state != ServiceStopped && state != ServiceRunning))
            return state;
        const QString type = jobType(jobPath);
        if (state == ServiceStopped && type == QLatin1String("start"))
            return ServiceStartPending;
        if (state == ServiceRunning && type == QLatin1String("stop"))
            return ServiceStopPending;
        return state;
    }

    QDBusConnection m_bus;
    QString m_unit;
    QString m_unitPath;
    std::uint32_t m_checkPoint = 0;
};

class SystemdConnection : public ServiceManagerConnection
{
public:
    explicit SystemdConnection(QDBusConnection bus)
        : m_bus(std::move(bus))
    {
    }

    OpenedService openService(const QString &name, unsigned) override
    {
        const QString unit = name + QStringLiteral(".service");
        QDBusMessage reply = callSystemd(m_bus, ManagerPath, ManagerInterface, GetUnitMethod, {unit});
        // GetUnit knows only loaded units; LoadUnit loads one from its file if there is one.
        if (failed(reply) && QDBusError(reply).name() == NoSuchUnitError)
            reply = callSystemd(m_bus, ManagerPath, ManagerInterface, LoadUnitMethod, {unit});
        if (failed(reply))
            return {serviceResultOf(QDBusError(reply)), nullptr};
        const QString unitPath = objectPathOf(reply);
        const std::optional<UnitProperties> properties = readUnit(m_bus, unitPath);
        if (!properties)
            return {ServiceResult::Unavailable, nullptr};
        if (properties->loadState == LoadStateNotFound)
            return {ServiceResult::NotInstalled, nullptr};
        return {ServiceResult::Ok, std::make_unique<SystemdService>(m_bus, unit, unitPath)};
    }

private:
    QDBusConnection m_bus;
};

} // namespace

std::unique_ptr<ServiceManagerConnection> SystemdServiceManager::connect(const QString &)
{
    QDBusConnection bus = systemBus();
    if (!bus.isConnected())
        return nullptr;
    return std::make_unique<SystemdConnection>(bus);
}

bool systemdIsRunning()
{
    return QFileInfo::exists(BootedMarker) && systemBus().isConnected();
}

} // namespace platform::systemd
