#include "platform/dbus/session_bus.h"

#include <QFileInfo>

namespace platform::dbus {
namespace {

// D-Bus address values escape every byte outside [-0-9A-Za-z_/.\*] as %XX.
QString escapeAddressValue(const QString &value)
{
    QString escaped;
    for (const char byte : value.toUtf8()) {
        const bool plain = (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z')
                           || byte == '-' || byte == '_' || byte == '/' || byte == '.' || byte == '\\' || byte == '*';
        if (plain)
            escaped += QLatin1Char(byte);
        else
            escaped += QStringLiteral("%%1").arg(static_cast<unsigned char>(byte), 2, 16, QLatin1Char('0'));
    }
    return escaped;
}

} // namespace

std::optional<QString> sessionBusAddress()
{
    const QString address = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
    if (!address.isEmpty())
        return address;
    const QString runtimeDir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (runtimeDir.isEmpty())
        return std::nullopt;
    const QString socket = runtimeDir + QStringLiteral("/bus");
    if (!QFileInfo::exists(socket))
        return std::nullopt;
    return QStringLiteral("unix:path=") + escapeAddressValue(socket);
}

QString systemBusAddress()
{
    const QString address = qEnvironmentVariable("DBUS_SYSTEM_BUS_ADDRESS");
    return address.isEmpty() ? QStringLiteral("unix:path=/run/dbus/system_bus_socket") : address;
}

QDBusConnection connectToBus(const QString &address, const QString &connectionName)
{
    const QString name = connectionName + QLatin1Char(' ') + address;
    const QDBusConnection existing(name);
    if (existing.isConnected())
        return existing;
    QDBusConnection::disconnectFromBus(name);
    return QDBusConnection::connectToBus(address, name);
}

} // namespace platform::dbus
