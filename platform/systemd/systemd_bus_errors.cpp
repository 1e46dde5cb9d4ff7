#include "platform/systemd/systemd_names.h"
#include "platform/systemd/systemd_service_manager.h"

namespace platform::systemd {

ServiceResult serviceResultOf(const QDBusError &error)
{
    if (!error.isValid())
        return ServiceResult::Ok;
    const QString name = error.name();
    if (name == NoSuchUnitError)
        return ServiceResult::NotInstalled;
    if (name == AccessDeniedError || name == InteractiveAuthorizationRequiredError)
        return ServiceResult::AccessDenied;
    // systemd's own errors say the request was understood and turned down (masked unit,
    // failed job, unit that refuses manual start, ...).
    if (name.startsWith(QString(Service) + QLatin1Char('.')))
        return ServiceResult::Refused;
    return ServiceResult::Unavailable;
}

} // namespace platform::systemd
