#pragma once
// The session bus, reached only where one is known to run. libdbus would otherwise try
// to autolaunch a bus (dbus-launch under X11) when DBUS_SESSION_BUS_ADDRESS is unset,
// which can start a stray daemon or wait on a dead display.
#include <QDBusConnection>
#include <QString>

#include <optional>

namespace platform::dbus {

// DBUS_SESSION_BUS_ADDRESS when set; else the per-user socket $XDG_RUNTIME_DIR/bus
// when it exists; else none.
std::optional<QString> sessionBusAddress();

// DBUS_SYSTEM_BUS_ADDRESS when set, else the system bus's well-known socket.
QString systemBusAddress();

// A private connection to the bus at address, kept for reuse under connectionName and that
// address, and opened anew when the bus went away: a program whose environment names
// another bus reaches that one. Not connected when no bus answers there.
QDBusConnection connectToBus(const QString &address, const QString &connectionName);

} // namespace platform::dbus
