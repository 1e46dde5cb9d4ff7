#pragma once
// Service control through systemd's manager on the system bus. The service "NAME" is the
// unit "NAME.service".
//
// States come from the unit's ActiveState: inactive and failed are stopped, activating is
// start pending, deactivating stop pending, active and reloading running. A queued start
// job on a stopped unit also counts as start pending (and a stop job on a running one as
// stop pending), so a caller that asks right after a start does not see it stopped. While
// pending, the checkpoint rises with every query of the same opened service and the wait
// hint is 250 ms. A unit whose LoadState is "not-found" is not installed.
//
// Rights: systemd asks polkit on each start and stop, never on an open, so opening with
// start or stop rights always succeeds and a refusal comes from start() or stop() as
// AccessDenied. Calls never allow interactive authorisation: the program works with the
// rights its user already has. DBUS_SYSTEM_BUS_ADDRESS names another bus (libdbus's rule).
#include "platform/service_manager.h"

#include <QDBusError>

namespace platform::systemd {

inline constexpr std::uint32_t PendingWaitHintMs = 250;
inline constexpr int CallTimeoutMs = 10000;

class SystemdServiceManager : public ServiceManager
{
public:
    std::unique_ptr<ServiceManagerConnection> connect(const QString &machine) override;
};

// True when systemd is the running init system and the system bus answers.
bool systemdIsRunning();

// The one translation of bus errors into service results.
ServiceResult serviceResultOf(const QDBusError &error);

} // namespace platform::systemd
