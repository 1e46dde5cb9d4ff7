#pragma once
// Control of an installed background service, modelled on the Windows service control
// manager the administration console was written for.
//
// Rules: a caller connects to the manager of a machine (only this computer's manager is
// reachable; every caller passes the local machine name), opens one service with the
// rights it needs, queries, starts or stops it, and closes the service and the manager by
// destroying them. Opening is refused with a distinct result when the service is not
// installed or the caller lacks the rights. States carry the service control manager's
// numbers (1 stopped ... 7 paused); while a start or stop is pending the checkpoint rises
// and the wait hint gives the milliseconds until the next report. A backend that learns of
// a refusal only when it acts (systemd asks polkit on every call) reports it from start()
// or stop() as AccessDenied instead of from the open. Nothing here blocks for long: start
// and stop return once the request is under way.
//
// createServiceManager() chooses the backend: TELLVARA_SERVICE_MANAGER=systemd|local
// forces one (tests also use "scripted", see platform/testing/); otherwise systemd when it
// runs (/run/systemd/system exists and the system bus answers), else the local supervisor.
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

namespace platform {

// dwCurrentState values of the service control manager.
inline constexpr std::uint32_t ServiceStateUnknown = 0; // no status could be read
inline constexpr std::uint32_t ServiceStopped = 1;
inline constexpr std::uint32_t ServiceStartPending = 2;
inline constexpr std::uint32_t ServiceStopPending = 3;
inline constexpr std::uint32_t ServiceRunning = 4;
inline constexpr std::uint32_t ServiceContinuePending = 5;
inline constexpr std::uint32_t ServicePausePending = 6;
inline constexpr std::uint32_t ServicePaused = 7;

struct ServiceStatus
{
    std::uint32_t currentState = ServiceStateUnknown;
    std::uint32_t checkPoint = 0;
    std::uint32_t waitHint = 0; // milliseconds
};

bool operator==(const ServiceStatus &a, const ServiceStatus &b);

// True for the states in which the service is on its way to another one.
bool isPendingState(std::uint32_t state);

// Access rights asked for when opening a service; combine with |.
enum ServiceRight : unsigned {
    QueryStatusRight = 0x4,
    StartRight = 0x10,
    StopRight = 0x20,
};

enum class ServiceResult {
    Ok,
    NotInstalled,   // no service of that name
    AccessDenied,   // the caller may not do this
    Refused,        // the service cannot accept the request now (e.g. already running)
    Unavailable,    // the manager did not answer
};

// One opened service; closing is destroying it.
class Service
{
public:
    virtual ~Service() = default;

    // The current status, or none when it cannot be read.
    virtual std::optional<ServiceStatus> queryStatus() = 0;

    // Asks the service to start. Ok once the start is under way.
    [[nodiscard]] virtual ServiceResult start() = 0;

    struct StopOutcome
    {
        ServiceResult result = ServiceResult::Unavailable;
        // The status after the request; also given when the request is refused because
        // the service is not running or cannot take it now.
        std::optional<ServiceStatus> status;
    };
    // Sends the stop control. Ok once the stop is under way.
    [[nodiscard]] virtual StopOutcome stop() = 0;
};

struct OpenedService
{
    ServiceResult result = ServiceResult::Unavailable;
    std::unique_ptr<Service> service; // set exactly when result is Ok
};

// A connection to one machine's manager; closing is destroying it.
class ServiceManagerConnection
{
public:
    virtual ~ServiceManagerConnection() = default;
    // rights: ServiceRight values combined.
    virtual OpenedService openService(const QString &name, unsigned rights) = 0;
};

class ServiceManager
{
public:
    virtual ~ServiceManager() = default;
    // The manager of machine, or nullptr when it cannot be reached.
    virtual std::unique_ptr<ServiceManagerConnection> connect(const QString &machine) = 0;
};

// The backend for this computer (see the rules above). Throws platform::Error when
// TELLVARA_SERVICE_MANAGER names no backend.
std::unique_ptr<ServiceManager> createServiceManager();

} // namespace platform
