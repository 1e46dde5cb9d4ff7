// The one place that chooses the service manager backend.
#include "platform/service_manager.h"

#include "platform/local/local_service_manager.h"
#include "platform/systemd/systemd_service_manager.h"
#include "platform/testing/scripted_service_manager.h"
#include "platform/error.h"

namespace platform {

bool operator==(const ServiceStatus &a, const ServiceStatus &b)
{
    return a.currentState == b.currentState && a.checkPoint == b.checkPoint && a.waitHint == b.waitHint;
}

bool isPendingState(std::uint32_t state)
{
    return state == ServiceStartPending || state == ServiceStopPending || state == ServiceContinuePending
           || state == ServicePausePending;
}

std::unique_ptr<ServiceManager> createServiceManager()
{
    const QString forced = qEnvironmentVariable("TELLVARA_SERVICE_MANAGER");
    if (forced == QLatin1String("systemd"))
        return std::make_unique<systemd::SystemdServiceManager>();
    if (forced == QLatin1String("local"))
        return std::make_unique<local::LocalServiceManager>();
    if (forced == QLatin1String("scripted"))
        return testing::ScriptedServiceManager::fromFile(qEnvironmentVariable("TELLVARA_SERVICE_SCRIPT"));
    if (!forced.isEmpty())
        throw platform::Error(QStringLiteral("TELLVARA_SERVICE_MANAGER is \"%1\"; use systemd or local.").arg(forced));
    if (systemd::systemdIsRunning())
        return std::make_unique<systemd::SystemdServiceManager>();
    return std::make_unique<local::LocalServiceManager>();
}

} // namespace platform
