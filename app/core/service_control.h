#pragma once
// The three service-control operations of the console, on the service manager the
// platform offers: read the state, start and wait until running, stop and wait until
// stopped. The window and vardoctl both call these.
//
// A wait sleeps the service's wait hint between status queries and ends when the target
// state is reached, a query fails, the checkpoint drops, the state is no longer a pending
// one (a service that fails while starting reports stopped), or after 60 s in all.
#include "app/core/service_control_clock.h"
#include "platform/service_manager.h"

#include <QString>
#include <QStringList>

#include <cstdint>

namespace app {

// The service every caller controls.
inline const QString VardoServiceName = QStringLiteral("tellvaravardo");

inline constexpr qint64 MaxServiceWaitMs = 60000;

// The seven state names, in state order (index = state - 1): the items of the window's
// "Service Status" group and what vardoctl prints.
QStringList serviceStateNames();
// The name of a state, "" for 0 or an unknown number.
QString serviceStateName(std::uint32_t state);
// The item index for a state; -1 (no item) for 0 or an unknown number.
int serviceStateIndex(std::uint32_t state);

class ServiceControl
{
public:
    // Neither is owned; both must outlive this object.
    ServiceControl(platform::ServiceManager &manager, WaitClock &clock);

    // ServiceGetStatus: the current state, 0 when it cannot be determined.
    std::uint32_t ServiceGetStatus(const QString &sMachine, const QString &sService);
    // ServiceStart: true when the service is running at the end.
    bool ServiceStart(const QString &sMachine, const QString &sService);
    // ServiceStop: true when the service is stopped at the end.
    bool ServiceStop(const QString &sMachine, const QString &sService);
    // True when the last start or stop was refused because the caller lacks the right.
    bool refusedForRights() const { return m_refusedForRights; }

private:
    platform::ServiceStatus waitFor(platform::Service &service, platform::ServiceStatus last, std::uint32_t target);

    platform::ServiceManager &m_manager;
    WaitClock &m_clock;
    bool m_refusedForRights = false;
};

} // namespace app
