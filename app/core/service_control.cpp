#include "app/core/service_control.h"

namespace app {
namespace {

using platform::ServiceResult;
using platform::ServiceStatus;

const QStringList StateNames{
    QStringLiteral("SERVICE_STOPPED"),          QStringLiteral("SERVICE_START_PENDING"),
    QStringLiteral("SERVICE_STOP_PENDING"),     QStringLiteral("SERVICE_RUNNING"),
    QStringLiteral("SERVICE_CONTINUE_PENDING"), QStringLiteral("SERVICE_PAUSE_PENDING"),
    QStringLiteral("SERVICE_PAUSED"),
};

} // namespace

QStringList serviceStateNames()
{
    return StateNames;
}

int serviceStateIndex(std::uint32_t state)
{
    return state >= platform::ServiceStopped && state <= platform::ServicePaused ? int(state) - 1 : -1;
}

QString serviceStateName(std::uint32_t state)
{
    const int index = serviceStateIndex(state);
    return index < 0 ? QString() : StateNames.at(index);
}

ServiceControl::ServiceControl(platform::ServiceManager &manager, WaitClock &clock)
    : m_manager(manager)
    , m_clock(clock)
{
}

std::uint32_t ServiceControl::ServiceGetStatus(const QString &sMachine, const QString &sService)
{
    const auto manager = m_manager.connect(sMachine);
    if (!manager)
        return platform::ServiceStateUnknown;
    const platform::OpenedService opened = manager->openService(sService, platform::QueryStatusRight);
    if (!opened.service)
        return platform::ServiceStateUnknown;
    const std::optional<ServiceStatus> status = opened.service->queryStatus();
    return status ? status->currentState : platform::ServiceStateUnknown;
}

bool ServiceControl::ServiceStart(const QString &sMachine, const QString &sService)
{
    ServiceStatus last;
    m_refusedForRights = false;
    const auto manager = m_manager.connect(sMachine);
    if (!manager)
        return false;
    const platform::OpenedService opened =
        manager->openService(sService, platform::StartRight | platform::QueryStatusRight);
    m_refusedForRights = opened.result == ServiceResult::AccessDenied;
    if (!opened.service)
        return false;
    const ServiceResult started = opened.service->start();
    m_refusedForRights = started == ServiceResult::AccessDenied;
    if (started == ServiceResult::Ok) {
        if (const std::optional<ServiceStatus> status = opened.service->queryStatus())
            last = waitFor(*opened.service, *status, platform::ServiceRunning);
    }
    return last.currentState == platform::ServiceRunning;
}

bool ServiceControl::ServiceStop(const QString &sMachine, const QString &sService)
{
    ServiceStatus last;
    m_refusedForRights = false;
    const auto manager = m_manager.connect(sMachine);
    if (!manager)
        return false;
    const platform::OpenedService opened =
        manager->openService(sService, platform::StopRight | platform::QueryStatusRight);
    m_refusedForRights = opened.result == ServiceResult::AccessDenied;
    if (!opened.service)
        return false;
    const platform::Service::StopOutcome outcome = opened.service->stop();
    m_refusedForRights = outcome.result == ServiceResult::AccessDenied;
    // The stop control reports the status also when it is refused because the service is
    // not running or cannot take it now; a refusal of the caller's rights reports none.
    if (outcome.status && (outcome.result == ServiceResult::Ok || outcome.result == ServiceResult::Refused))
        last = *outcome.status;
    if (outcome.result == ServiceResult::Ok) {
        if (const std::optional<ServiceStatus> status = opened.service->queryStatus())
            last = waitFor(*opened.service, *status, platform::ServiceStopped);
    }
    return last.currentState == platform::ServiceStopped;
}

ServiceStatus ServiceControl::waitFor(platform::Service &service, ServiceStatus last, std::uint32_t target)
{
    const qint64 deadline = m_clock.nowMs() + MaxServiceWaitMs;
    while (last.currentState != target && platform::isPendingState(last.currentState)) {
        const qint64 remaining = deadline - m_clock.nowMs();
        if (remaining <= 0)
            break;
        const std::uint32_t checkPoint = last.checkPoint;
        m_clock.sleepMs(qMin<qint64>(last.waitHint, remaining));
        const std::optional<ServiceStatus> status = service.queryStatus();
        if (!status)
            break;
        last = *status;
        if (last.checkPoint < checkPoint)
            break;
    }
    return last;
}

} // namespace app
