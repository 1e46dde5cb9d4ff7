#pragma once
// A service manager for tests that plays a script instead of running a service: the
// answers of a real manager in the order a test needs them, failures included. Chosen
// from outside with TELLVARA_SERVICE_MANAGER=scripted and TELLVARA_SERVICE_SCRIPT=FILE,
// or built directly from the script text.
//
// Script: "key = value" lines, "#" starts a comment; every key is optional.
//   manager     = reachable | unreachable      connecting fails when unreachable
//   installed   = yes | no                     no: every open is refused as not installed
//   control     = allowed | denied             denied: opening with start or stop rights
//   status      = STATE CHECKPOINT WAITHINT    what queries report at first (default 1 0 0)
//   start       = accept | refuse              default: accept exactly when stopped
//   after-start = STATUS; STATUS; ...          what queries report after an accepted start,
//                                              one entry per query, the last one staying
//                                              (default 4 0 0); "fail" makes a query fail
//   stop        = accept | refuse              default: accept unless stopped
//   after-stop  = STATUS; STATUS; ...          the same after an accepted stop (default 1 0 0)
// A refused stop reports the current status, as the service control manager does.
#include "platform/service_manager.h"

#include <QStringList>

namespace platform::testing {

class ScriptedServiceManager : public ServiceManager
{
public:
    // Throws platform::Error naming the line it cannot read.
    explicit ScriptedServiceManager(const QString &script);
    static std::unique_ptr<ScriptedServiceManager> fromFile(const QString &path);

    std::unique_ptr<ServiceManagerConnection> connect(const QString &machine) override;

    // What was asked, in order: "connect MACHINE", "open NAME RIGHTS" (rights in hex, e.g.
    // 0x14), "query", "start", "stop", and "close" for each opened service closed.
    QStringList calls() const;

    struct State;

private:
    std::shared_ptr<State> m_state;
};

} // namespace platform::testing
