#include "app/core/service_probe.h"

#include "net/probe.h"
#include "suite/dialogs.h"
#include "suite/special_folders.h"

namespace app {

void btnCheckVardoTjanstClick(int port, const std::function<void(const QString &)> &showVersion)
{
    QString version;
    if (!net::QueryServiceVersion(suite::GetMachineName(), port, version)) {
        suite::ShowInfo(ProbeNoContact);
        return;
    }
    showVersion(version);
    suite::ShowInfo(ProbeWorks);
}

void btnGetLoggdirClick(int port, QString &logDir)
{
    if (!net::QueryServiceLogDir(suite::GetMachineName(), port, logDir))
        suite::ShowInfo(ProbeNoContact);
}

} // namespace app
