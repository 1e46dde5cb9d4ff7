#pragma once
// python3-dbusmock's NetworkManager on a private bus that stands in for the system bus,
// with what the template lacks: connections of the point-to-point kinds, secrets in
// NetworkManager's own shape, a modem device, and activations that connect (with an IPv4
// configuration), fail the way a refused login does, or wait for the test to move them on.
#include "tests/platform/private_bus.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QProcessEnvironment>
#include <QThread>

namespace nmtest {

const QString NmService = QStringLiteral("org.freedesktop.NetworkManager");
const QString MockInterface = QStringLiteral("org.freedesktop.DBus.Mock");
const QString ManagerPath = QStringLiteral("/org/freedesktop/NetworkManager");
const QString SettingsPath = QStringLiteral("/org/freedesktop/NetworkManager/Settings");

// Python run inside the mock on the settings object: the connections, each with
// GetSecrets answering as NetworkManager does ({setting: {"password": ...}}).
const QString AddConnections = QString::fromUtf8(R"py(
secrets = "ret = dbus.Dictionary({args[0]: dbus.Dictionary({'password': self.settings[args[0]].get('password', '')}, signature='sv')}, signature='sa{sv}') if args[0] in self.settings else dbus.Dictionary({}, signature='sa{sv}')"
for s in [{'connection': {'id': 'Kabel', 'type': '802-3-ethernet', 'uuid': 'u-kabel'}},
          {'connection': {'id': 'Mobilt', 'type': 'gsm', 'uuid': 'u-mobilt'}, 'gsm': {'number': '*99#', 'username': 'kalle', 'password': 'hemligt'}},
          {'connection': {'id': 'Bredband', 'type': 'pppoe', 'uuid': 'u-bredband'}, 'pppoe': {'username': 'anna'}},
          {'connection': {'id': 'Telefon', 'type': 'bluetooth', 'uuid': 'u-telefon'}, 'bluetooth': {'type': 'dun'}, 'gsm': {'number': '*99#'}},
          {'connection': {'id': 'Surfplatta', 'type': 'bluetooth', 'uuid': 'u-surf'}, 'bluetooth': {'type': 'panu'}}]:
    p = self.SettingsAddConnection(s)
    objects[p].AddMethod('org.freedesktop.NetworkManager.Settings.Connection', 'GetSecrets', 's', 'a{sa{sv}}', secrets)
)py");

// Python run inside the mock on the manager: activation on the modem, which connects
// with an IPv4 configuration.
const QString ActivateAndConnect = QString::fromUtf8(R"py(
dev = dbus.ObjectPath('/org/freedesktop/NetworkManager/Devices/modem0')
ret = self.activate_connection(self, args[0], dev, args[2])
ip4 = '/org/freedesktop/NetworkManager/IP4Config/' + ret.split('/')[-1]
self.AddObject(ip4, 'org.freedesktop.NetworkManager.IP4Config', {'AddressData': dbus.Array([dbus.Dictionary({'address': '10.0.0.5', 'prefix': dbus.UInt32(32)}, signature='sv')], signature='a{sv}'), 'Gateway': '10.0.0.1'}, [])
objects[ret].AddProperty('org.freedesktop.NetworkManager.Connection.Active', 'Ip4Config', dbus.ObjectPath(ip4))
)py");

// Activation that fails as a refused PPP login does: the device fails with "no secrets".
const QString ActivateAndRefuse = QString::fromUtf8(R"py(
dev = dbus.ObjectPath('/org/freedesktop/NetworkManager/Devices/modem0')
ret = self.activate_connection(self, args[0], dev, args[2])
objects[dev].Set('org.freedesktop.NetworkManager.Device', 'State', dbus.UInt32(120))
objects[dev].Set('org.freedesktop.NetworkManager.Device', 'StateReason', dbus.Struct((dbus.UInt32(120), dbus.UInt32(7)), signature='uu'))
objects[ret].Set('org.freedesktop.NetworkManager.Connection.Active', 'State', dbus.UInt32(4))
)py");

// Activation that stays activating on a modem being prepared; the test moves it on. The
// device's State and StateReason move together, as NetworkManager's do.
const QString ActivateAndWait = QString::fromUtf8(R"py(
dev = dbus.ObjectPath('/org/freedesktop/NetworkManager/Devices/modem0')
ret = self.activate_connection(self, args[0], dev, args[2])
objects[dev].Set('org.freedesktop.NetworkManager.Device', 'State', dbus.UInt32(40))
objects[dev].Set('org.freedesktop.NetworkManager.Device', 'StateReason', dbus.Struct((dbus.UInt32(40), dbus.UInt32(0)), signature='uu'))
objects[ret].Set('org.freedesktop.NetworkManager.Connection.Active', 'State', dbus.UInt32(1))
)py");

// A VPN connection, which runs on a parent device that is already connected.
const QString AddVpnConnection = QString::fromUtf8(R"py(
self.SettingsAddConnection({'connection': {'id': 'Jobbet', 'type': 'vpn', 'uuid': 'u-jobbet'}, 'vpn': {'service-type': 'org.freedesktop.NetworkManager.l2tp', 'user-name': 'kalle', 'secrets': dbus.Dictionary({'password': 'hemligt'}, signature='ss')}})
)py");

// Activation of the VPN on its connected parent: the device says activated throughout,
// the active connection stays activating (with its IPv4 configuration) until the test
// moves it on.
const QString ActivateOnConnectedParent = QString::fromUtf8(R"py(
dev = dbus.ObjectPath('/org/freedesktop/NetworkManager/Devices/modem0')
ret = self.activate_connection(self, args[0], dev, args[2])
objects[dev].Set('org.freedesktop.NetworkManager.Device', 'State', dbus.UInt32(100))
objects[dev].Set('org.freedesktop.NetworkManager.Device', 'StateReason', dbus.Struct((dbus.UInt32(100), dbus.UInt32(0)), signature='uu'))
objects[ret].Set('org.freedesktop.NetworkManager.Connection.Active', 'State', dbus.UInt32(1))
ip4 = '/org/freedesktop/NetworkManager/IP4Config/' + ret.split('/')[-1]
self.AddObject(ip4, 'org.freedesktop.NetworkManager.IP4Config', {'AddressData': dbus.Array([dbus.Dictionary({'address': '10.8.0.5', 'prefix': dbus.UInt32(32)}, signature='sv')], signature='a{sv}'), 'Gateway': '10.8.0.1'}, [])
objects[ret].AddProperty('org.freedesktop.NetworkManager.Connection.Active', 'Ip4Config', dbus.ObjectPath(ip4))
)py");

class NetworkManagerMock
{
public:
    explicit NetworkManagerMock(bool start = true)
        : m_bus(testenv::root() + QStringLiteral("/system_bus"))
    {
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", m_bus.address().toUtf8());
        m_control = QDBusConnection::connectToBus(m_bus.address(), QStringLiteral("nm-mock-control"));
        if (!start)
            return;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), m_bus.address());
        m_mock.setProcessEnvironment(env);
        m_mock.start(QStringLiteral("/usr/bin/python3"), {"-m", "dbusmock", "--template", "networkmanager"});
        waitForService();
        call(QStringLiteral("/org/freedesktop"), QStringLiteral("AddEthernetDevice"),
             {QStringLiteral("modem0"), QStringLiteral("ttyUSB0"), 30});
        addMethod(SettingsPath, QStringLiteral("org.freedesktop.NetworkManager.Settings"), QStringLiteral("TestSetup"),
                  QString(), QString(), AddConnections);
        call(SettingsPath, QStringLiteral("TestSetup"), {}, QStringLiteral("org.freedesktop.NetworkManager.Settings"));
    }
    ~NetworkManagerMock()
    {
        testbus::stopProcess(m_mock);
        QDBusConnection::disconnectFromBus(QStringLiteral("nm-mock-control"));
    }

    void activateWith(const QString &code)
    {
        addMethod(ManagerPath, QStringLiteral("org.freedesktop.NetworkManager"), QStringLiteral("ActivateConnection"),
                  QStringLiteral("ooo"), QStringLiteral("o"), code);
    }

    void setState(const QString &path, const QString &interface, unsigned state)
    {
        call(QStringLiteral("/org/freedesktop"), QStringLiteral("SetProperty"),
             {path, interface, QStringLiteral("State"), QVariant::fromValue(QDBusVariant(state))});
    }

    // A device's State and StateReason move together, as NetworkManager's do.
    void setDeviceState(const QString &device, unsigned state)
    {
        setState(device, QStringLiteral("org.freedesktop.NetworkManager.Device"), state);
        runOnSettings(QStringLiteral("objects['%1'].Set('org.freedesktop.NetworkManager.Device', 'StateReason', "
                                     "dbus.Struct((dbus.UInt32(%2), dbus.UInt32(0)), signature='uu'))")
                          .arg(device)
                          .arg(state));
    }

    // Runs Python inside the mock (with self the settings object).
    void runOnSettings(const QString &code)
    {
        addMethod(SettingsPath, QStringLiteral("org.freedesktop.NetworkManager.Settings"), QStringLiteral("TestRun"),
                  QString(), QString(), code);
        call(SettingsPath, QStringLiteral("TestRun"), {}, QStringLiteral("org.freedesktop.NetworkManager.Settings"));
    }

private:
    void call(const QString &path, const QString &method, const QVariantList &args,
              const QString &interface = MockInterface)
    {
        QDBusMessage message = QDBusMessage::createMethodCall(NmService, path, interface, method);
        message.setArguments(args);
        const QDBusMessage reply = m_control.call(message, QDBus::Block, 10000);
        ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << qPrintable(reply.errorMessage());
    }

    void addMethod(const QString &path, const QString &interface, const QString &name, const QString &in,
                   const QString &out, const QString &code)
    {
        call(path, QStringLiteral("AddMethod"), {interface, name, in, out, code});
    }

    void waitForService()
    {
        const QDeadlineTimer deadline(15000);
        while (!deadline.hasExpired()) {
            if (m_control.interface()->isServiceRegistered(NmService))
                return;
            if (m_mock.state() == QProcess::NotRunning)
                break;
            QThread::msleep(50);
        }
        FAIL() << "the NetworkManager mock did not start: " << m_mock.readAllStandardError().toStdString();
    }

    testbus::PrivateBus m_bus;
    QProcess m_mock;
    QDBusConnection m_control{QString()};
};

} // namespace nmtest
