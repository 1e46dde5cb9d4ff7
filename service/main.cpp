// vardo-service: the stand-in for the Vardo service that the console administers. It reads
// its settings from the machine-wide store, answers the console's HTTP probe on its port,
// tells its service manager when it is ready, and stops cleanly on SIGTERM.
#include "service/listen_addresses.h"
#include "service/request_server.h"
#include "service/service_config.h"
#include "service/service_log.h"
#include "platform/machine_name.h"
#include "platform/service_readiness.h"
#include "platform/termination_signals.h"
#include "platform/codepage.h"
#include "platform/error.h"
#include "platform/program_options.h"

#include <QCoreApplication>

#include <cstdio>
#include <optional>

namespace {

const QString Version = platform::programVersion();

const QString Usage = QStringLiteral(
    "usage: vardo-service\n"
    "Serves the Vardo administration console: reads its settings from the machine-wide\n"
    "store ($TELLVARA_ROOT/etc/tellvara/registry), answers the console's HTTP probe on the\n"
    "stored port and logs to $TELLVARA_ROOT/var/log/tellvara/. Started by systemd as\n"
    "tellvaravardo.service, or by the local supervisor (vardoctl service start); stops\n"
    "cleanly on SIGTERM.\n"
    "  --help     this text\n"
    "  --version  the version\n");

void logSettings(service::ServiceLog &log, const service::ServiceConfig &config)
{
    log.info(QStringLiteral("vardo-service %1 starting; port %2, log folder %3, patient import folder \"%4\"")
                 .arg(Version).arg(config.port).arg(config.logFolder, config.pasisPath));
    for (const suite::OrganisationSlot &slot : config.organisations)
        log.info(QStringLiteral("Organisation slot %1: %2, certificate %3, data link %4, external import %5")
                     .arg(slot.slot)
                     .arg(slot.organisationsNr, slot.certificate, slot.dataProvider,
                          suite::checkPasisTicked(slot.checkPasis) ? QStringLiteral("on") : QStringLiteral("off")));
}

QString addressList(const QList<QHostAddress> &addresses)
{
    QStringList texts;
    for (const QHostAddress &address : addresses)
        texts.append(address.toString());
    return texts.join(QStringLiteral(", "));
}

int serve(QCoreApplication &app)
{
    const service::ServiceConfig config = service::loadServiceConfig();
    service::ServiceLog log(config.logFolder, config.logToSystemLog, config.alwaysLogToFile);
    try {
        logSettings(log, config);
        service::RequestServer server({Version, config.logFolder}, log);
        const platform::TerminationSignals termination([&](int signalNumber) {
            log.info(QStringLiteral("Stopping on %1").arg(platform::signalName(signalNumber)));
            if (!platform::reportServiceStopping())
                log.error(QStringLiteral("Cannot tell the service manager that the service stops."));
            server.close();
            app.quit();
        });
        const quint16 port = service::listeningPort(config.port);
        const QList<QHostAddress> bound = server.listen(service::listenAddresses(platform::machineName()), port);
        log.info(QStringLiteral("Listening on port %1 at %2").arg(port).arg(addressList(bound)));
        if (!platform::reportServiceReady())
            log.error(QStringLiteral("Cannot tell the service manager that the service is ready."));
        const int code = app.exec();
        log.info(QStringLiteral("Stopped"));
        return code;
    } catch (const std::exception &e) {
        log.error(platform::messageOf(e));
        throw;
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (const std::optional<int> answered = platform::answerHelpOrVersion(argc, argv, QStringLiteral("vardo-service"), Usage))
        return *answered;
    if (argc > 1)
        return platform::usageError(Usage, QStringLiteral("vardo-service: unknown argument %1").arg(QString::fromLocal8Bit(argv[1])));
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vardo-service"));
    QCoreApplication::setApplicationVersion(Version);
    try {
        platform::checkAnsiCodePage();
        return serve(app);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "vardo-service: %s\n", qPrintable(platform::messageOf(e)));
        return 1;
    }
}
