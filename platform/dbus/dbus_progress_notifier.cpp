#include "platform/dbus/dbus_progress_notifier.h"

#include "platform/dbus/progress_names.h"
#include "platform/dbus/session_bus.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QLoggingCategory>

namespace platform::dbus {
namespace {

Q_LOGGING_CATEGORY(progressLog, "vardo.platform.progress")

QDBusMessage inactivateCall()
{
    QDBusMessage call = QDBusMessage::createMethodCall(ProgressService, ProgressPath, ProgressInterface,
                                                       InactivateProgressAppMethod);
    call.setAutoStartService(false);
    call << quint64(QCoreApplication::applicationPid()) << quint64(0);
    return call;
}

// A progress application that is not running is the ordinary case; one that runs but
// fails or does not answer in time is worth a line on standard error.
void reportFailure(const QDBusMessage &reply)
{
    if (reply.type() != QDBusMessage::ErrorMessage)
        return;
    const QString error = reply.errorName();
    if (error == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown")
        || error == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner"))
        return;
    qCWarning(progressLog).noquote() << "The progress application did not take the notification:"
                                     << reply.errorName() << reply.errorMessage();
}

} // namespace

void DBusProgressNotifier::inactivateProgressApp()
{
    const std::optional<QString> address = sessionBusAddress();
    if (!address)
        return;
    QDBusConnection bus = connectToBus(*address, QStringLiteral("vardo-progress"));
    if (!bus.isConnected())
        return;
    reportFailure(bus.call(inactivateCall(), QDBus::Block, ProgressCallTimeoutMs));
}

} // namespace platform::dbus
