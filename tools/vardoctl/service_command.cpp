// vardoctl service: the state of the Vardo service and its start and stop, decided as the
// window's buttons decide; and the installation of the local supervisor's definition of
// the stand-in service into the system root (a trial root, typically).
#include "answer.h"
#include "command.h"

#include "app/core/service_control.h"
#include "app/core/service_control_panel.h"
#include "platform/local/local_service_definition.h"
#include "platform/error.h"
#include "suite/special_folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace vardoctl {
namespace {

const QString Usage = QStringLiteral(
    "vardoctl service status|start|stop\n"
    "vardoctl service install-local [VARDO_SERVICE]\n"
    "  install-local: writes the local supervisor's definition of the service, running\n"
    "  VARDO_SERVICE (default: vardo-service beside vardoctl), below $TELLVARA_ROOT");

const QString TemplateName = QStringLiteral("tellvaravardo.local.service.in");

// Installed from the packages, the right to start and stop the service comes with a group.
const QString RightsHint = QStringLiteral(
    "Starting and stopping the service needs membership of the group \"tellvara\";\n"
    "an administrator grants it with: adduser USER tellvara (then log in again).");

// Prints the state as the status group shows it; false when there is none.
bool printState(app::ServiceControl &control)
{
    const QString name = app::serviceStateName(control.ServiceGetStatus(suite::GetMachineName(), app::VardoServiceName));
    if (name.isEmpty()) {
        err() << app::StatusUnavailableText << "\n";
        return false;
    }
    printAnswer(QJsonObject{{QStringLiteral("state"), name}}, [&] { return name + u'\n'; });
    return true;
}

// status, start or stop; the state is printed afterwards in every case.
int runControl(const QString &action)
{
    const std::unique_ptr<platform::ServiceManager> manager = platform::createServiceManager();
    app::SleepingWaitClock clock;
    app::ServiceControl control(*manager, clock);
    const QString machine = suite::GetMachineName();
    bool done = true;
    if (action == QLatin1String("start") && !(done = control.ServiceStart(machine, app::VardoServiceName)))
        err() << app::StartFailedText << "\n";
    if (action == QLatin1String("stop") && !(done = control.ServiceStop(machine, app::VardoServiceName)))
        err() << app::StopFailedText << "\n";
    if (!done && control.refusedForRights())
        err() << RightsHint << "\n";
    const bool known = printState(control);
    return done && known ? ExitOk : ExitFailed;
}

QString readTemplate()
{
    const QString path = QCoreApplication::applicationDirPath() + QStringLiteral("/../share/tellvara/") + TemplateName;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw platform::Error(QStringLiteral("Cannot read the definition template %1: %2").arg(QDir::cleanPath(path), file.errorString()));
    return QString::fromUtf8(file.readAll());
}

QString serviceProgram(const QStringList &args)
{
    const QString program = QFileInfo(args.isEmpty() ? QCoreApplication::applicationDirPath() + QStringLiteral("/vardo-service")
                                                     : args.first())
                                .absoluteFilePath();
    if (!QFileInfo(program).isFile() || !QFileInfo(program).isExecutable())
        throw platform::Error(QStringLiteral("No service program at %1").arg(program));
    return program;
}

int installLocal(const QStringList &args)
{
    if (args.size() > 1)
        return usageError(Usage);
    const QString text = platform::local::fillDefinitionTemplate(readTemplate(), {serviceProgram(args)});
    platform::local::parseServiceDefinition(text); // refuses to install what the supervisor could not run
    const QString path = platform::local::definitionPath(app::VardoServiceName);
    if (path.isEmpty())
        throw platform::Error(QStringLiteral("TELLVARA_ROOT names no folder."));
    QSaveFile file(path);
    const QByteArray bytes = text.toUtf8();
    if (!QDir().mkpath(QFileInfo(path).absolutePath()) || !file.open(QIODevice::WriteOnly)
        || file.write(bytes) != bytes.size() || !file.commit())
        throw platform::Error(QStringLiteral("Cannot write %1: %2").arg(path, file.errorString()));
    printAnswer(QJsonObject{{QStringLiteral("path"), path}}, [&] { return path + u'\n'; });
    return ExitOk;
}

int runService(const QStringList &args)
{
    const QString action = args.value(0);
    if (action == QLatin1String("install-local"))
        return installLocal(args.mid(1));
    if (args.size() != 1)
        return usageError(Usage);
    if (action == QLatin1String("status") || action == QLatin1String("start") || action == QLatin1String("stop"))
        return runControl(action);
    return usageError(Usage);
}

const CommandRegistration registration{{QStringLiteral("service"), Usage, runService}};

} // namespace
} // namespace vardoctl
