#include "service/service_config.h"

#include "app/core/organisation_list.h"
#include "app/core/service_settings.h"
#include "platform/special_folders.h"
#include "platform/error.h"

namespace service {
namespace {

QString logFolder()
{
    const QString root = platform::systemRoot();
    if (root.isEmpty())
        throw platform::Error(QStringLiteral("TELLVARA_ROOT names no folder; the service has nowhere to log."));
    return root + QStringLiteral("var/log/tellvara/");
}

} // namespace

ServiceConfig loadServiceConfig()
{
    const app::ServiceSettings settings = app::loadServiceSettings();
    ServiceConfig config;
    config.port = settings.port;
    config.logToSystemLog = settings.logToEventLog;
    config.alwaysLogToFile = settings.alwaysLogToFile;
    config.pasisPath = settings.pasisPath;
    config.organisations = app::readListedOrganisations();
    config.logFolder = logFolder();
    return config;
}

quint16 listeningPort(int port)
{
    if (port < 1 || port > 65535)
        throw platform::Error(QStringLiteral("TcpIPPort %1 is no port to listen on (1 to 65535).").arg(port));
    return static_cast<quint16>(port);
}

} // namespace service
