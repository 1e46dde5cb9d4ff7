#pragma once
// The local supervisor: runs services defined in $TELLVARA_ROOT/etc/tellvara/services/
// where no systemd runs (containers, CI, a trial root). It is no resident process: every
// caller reads the run state that the starter left in $TELLVARA_ROOT/run/tellvara/ (see
// local_service_names.h) and acts on it, so a service started by one program is seen and
// stopped by another.
//
// States: no definition file: not installed. No live process behind the pid file (gone,
// a zombie, or the pid now belongs to a process that started at another time): stopped.
// Stop requested and the process still there: stop pending, and once the definition's
// TimeoutStopSec has passed, a caller holding the stop right sends SIGKILL to the
// process group. A Type=notify service that has not yet reported ready: start pending.
// Otherwise running. While pending, the checkpoint counts the wait hints (250 ms) passed
// since the request, so it rises for every caller alike.
//
// A started service runs detached (see detached_launch.h) with the starter's environment,
// TELLVARA_ROOT made absolute and TELLVARA_SERVICE_READY_FILE naming its ready file.
//
// Rights: any user who can read the definition may query. Starting and stopping need a
// run folder that the caller may create and write; otherwise the open is refused.
#include "platform/service_manager.h"

namespace platform::local {

inline constexpr std::uint32_t PendingWaitHintMs = 250;

class LocalServiceManager : public ServiceManager
{
public:
    std::unique_ptr<ServiceManagerConnection> connect(const QString &machine) override;
};

} // namespace platform::local
