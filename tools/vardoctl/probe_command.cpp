// vardoctl probe: asks the running service for its version or log folder, as the two
// "Uppdatera" buttons do (this computer's name, the stored port unless one is given, and
// the connection string of the default data link the window finds at start-up; further
// arguments are read as the window's own command line: a ".udl" file, NOLOGIN=1).
#include "answer.h"
#include "command.h"

#include "app/core/service_probe.h"
#include "app/core/service_settings.h"
#include "net/http_client.h"
#include "net/probe.h"
#include "suite/paths.h"
#include "suite/special_folders.h"

#include <QCoreApplication>
#include <QScopeGuard>

#include <optional>

namespace vardoctl {
namespace {

const QString Usage =
    QStringLiteral("vardoctl probe version|logdir [--host HOST] [--port PORT] [FILE.udl] [NOLOGIN=1]");

struct ProbeArguments
{
    QString what;
    QString host;
    int port = 0;
    QStringList startupArguments;
};

std::optional<ProbeArguments> parseArguments(const QStringList &args)
{
    if (args.isEmpty() || (args.first() != QLatin1String("version") && args.first() != QLatin1String("logdir")))
        return std::nullopt;
    ProbeArguments parsed{args.first(), suite::GetMachineName(), app::loadServiceSettings().port};
    for (qsizetype i = 1; i < args.size(); i += 2) {
        if (!args[i].startsWith(QLatin1String("--"))) {
            parsed.startupArguments.append(args[i]);
            --i;
            continue;
        }
        if (i + 1 >= args.size())
            return std::nullopt;
        if (args[i] == QLatin1String("--host")) {
            parsed.host = args[i + 1];
        } else if (args[i] == QLatin1String("--port")) {
            const std::optional<int> port = app::decimalInteger(args[i + 1]);
            if (!port)
                return std::nullopt;
            parsed.port = *port;
        } else {
            return std::nullopt;
        }
    }
    return parsed;
}

bool query(const ProbeArguments &args, QString &value)
{
    // No transfer window here: the probe gets a client of its own.
    net::HttpClient client(net::HttpClient::Kind::Plain);
    net::SetProbeClient(&client);
    const auto release = qScopeGuard([] { net::SetProbeClient(nullptr); });
    return args.what == QLatin1String("version") ? net::QueryServiceVersion(args.host, args.port, value)
                                                 : net::QueryServiceLogDir(args.host, args.port, value);
}

int runProbe(const QStringList &args)
{
    const std::optional<ProbeArguments> parsed = parseArguments(args);
    if (!parsed)
        return usageError(Usage);
    // The probe sends DefaultConnectionString, which start-up finds.
    suite::InitPaths(QStringList{QCoreApplication::applicationFilePath()} + parsed->startupArguments);
    QString value;
    if (!query(*parsed, value)) {
        err() << app::ProbeNoContact << "\n";
        return ExitFailed;
    }
    printAnswer(QJsonObject{{parsed->what, value}},
                [&] { return value.endsWith(QLatin1Char('\n')) ? value : value + u'\n'; });
    return ExitOk;
}

const CommandRegistration registration{{QStringLiteral("probe"), Usage, runProbe}};

} // namespace
} // namespace vardoctl
