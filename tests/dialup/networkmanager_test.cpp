// TDialUp through the RAS provider's NetworkManager back end, against python3-dbusmock's
// NetworkManager on a private bus that stands in for the system bus. The test adds what
// the template lacks: connections of the point-to-point kinds, secrets in NetworkManager's
// own shape, a modem device, and activations that connect (with an IPv4 configuration)
// or fail the way a refused login does.
#include "dialup/tdialup.h"

#include "tests/platform/private_bus.h"

#include "process_events.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QProcessEnvironment>
#include <QThread>

using namespace dialup;
using namespace platform::ras;

namespace {

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

// Activation that stays activating on a modem being prepared; the test moves it on.
const QString ActivateAndWait = QString::fromUtf8(R"py(
dev = dbus.ObjectPath('/org/freedesktop/NetworkManager/Devices/modem0')
ret = self.activate_connection(self, args[0], dev, args[2])
objects[dev].Set('org.freedesktop.NetworkManager.Device', 'State', dbus.UInt32(40))
objects[ret].Set('org.freedesktop.NetworkManager.Connection.Active', 'State', dbus.UInt32(1))
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

struct Connection
{
    int handle;
    Dword state;
    QString text;
    QString entry;
    QString deviceType;
    QString deviceName;
};

QList<Connection> connectionsOf(TDialUp &dialUp)
{
    QList<Connection> found;
    dialUp.OnActiveConnection = [&](TDialUp &, int handle, const TRasConnStatusA &status, const QString &text,
                                    const char *entry, const char *deviceType, const char *deviceName) {
        found.append({handle, status.state, text, QString::fromLatin1(entry), QString::fromLatin1(deviceType),
                      QString::fromLatin1(deviceName)});
    };
    EXPECT_EQ(dialUp.GetConnections(), 0);
    dialUp.OnActiveConnection = nullptr;
    return found;
}

TEST(NetworkManagerBackend, EntriesAreThePointToPointConnections)
{
    NetworkManagerMock nm;
    TDialUp dialUp;
    ASSERT_EQ(dialUp.GetEntries(), 0);
    EXPECT_EQ(dialUp.Entries(), (QStringList{"Mobilt", "Bredband", "Telefon"}));
}

TEST(NetworkManagerBackend, UserNameAndPasswordAreTheConnectionsOwn)
{
    NetworkManagerMock nm;
    TDialUp dialUp;
    dialUp.SetEntry(QStringLiteral("Mobilt"));
    QString user;
    QString password;
    ASSERT_EQ(dialUp.GetEntryUserName(user), 0);
    ASSERT_EQ(dialUp.GetEntryPassword(password), 0);
    EXPECT_EQ(user, QStringLiteral("kalle"));
    EXPECT_EQ(password, QStringLiteral("hemligt"));

    ASSERT_EQ(dialUp.SetEntryPassword(QStringLiteral("nytt")), 0);
    ASSERT_EQ(dialUp.SetEntryUserName(QStringLiteral("olle")), 0);
    ASSERT_EQ(dialUp.GetEntryPassword(password), 0);
    ASSERT_EQ(dialUp.GetEntryUserName(user), 0);
    EXPECT_EQ(password, QStringLiteral("nytt"));
    EXPECT_EQ(user, QStringLiteral("olle"));

    dialUp.SetEntry(QStringLiteral("Bredband"));
    ASSERT_EQ(dialUp.GetEntryPassword(password), 0);
    EXPECT_TRUE(password.isEmpty());
}

TEST(NetworkManagerBackend, DialConnectsThenShowsStatusAddressesAndHangsUp)
{
    NetworkManagerMock nm;
    nm.activateWith(ActivateAndConnect);
    TDialUp dialUp;
    dialUp.SetDialMode(dmSync);
    dialUp.SetEntry(QStringLiteral("Mobilt"));
    bool connected = false;
    dialUp.OnConnect = [&](TDialUp &) { connected = true; };
    ASSERT_EQ(dialUp.Dial(), 0);
    EXPECT_TRUE(connected);

    const QList<Connection> active = connectionsOf(dialUp);
    ASSERT_EQ(active.size(), 1);
    EXPECT_EQ(active[0].entry, QStringLiteral("Mobilt"));
    EXPECT_EQ(active[0].state, Dword(Connected));
    EXPECT_EQ(active[0].text, QStringLiteral("Connected"));
    EXPECT_EQ(active[0].deviceType, QStringLiteral("modem"));
    EXPECT_EQ(active[0].deviceName, QStringLiteral("ttyUSB0"));
    EXPECT_EQ(Handle(active[0].handle), dialUp.LastConnection());

    ASSERT_EQ(dialUp.GetIP(int(dialUp.LastConnection())), 0);
    EXPECT_EQ(dialUp.ClientIP(), QStringLiteral("10.0.0.5"));
    EXPECT_EQ(dialUp.ServerIP(), QStringLiteral("10.0.0.1"));

    ASSERT_EQ(dialUp.HangUp(), 0);
    EXPECT_TRUE(connectionsOf(dialUp).isEmpty());
}

TEST(NetworkManagerBackend, AsynchronousDialReportsTheStatesUpToConnected)
{
    NetworkManagerMock nm;
    nm.activateWith(ActivateAndConnect);
    TDialUp dialUp;
    dialUp.SetEntry(QStringLiteral("Telefon"));
    QList<int> states;
    dialUp.OnAsyncEvent = [&](TDialUp &, int state, int error, const QString &) {
        EXPECT_EQ(error, 0);
        states << state;
    };
    ASSERT_EQ(dialUp.Dial(), 0);
    processEventsUntil([&] { return !states.isEmpty() && states.last() == int(Connected); });
    EXPECT_EQ(states, (QList<int>{0, 1, 2, 3, 4, 5, 14, 18, 8192}));
    dialUp.HangUp();
}

TEST(NetworkManagerBackend, StatesFollowTheDeviceAsItMoves)
{
    NetworkManagerMock nm;
    nm.activateWith(ActivateAndWait);
    TDialUp dialUp;
    dialUp.SetEntry(QStringLiteral("Mobilt"));
    const QString device = QStringLiteral("/org/freedesktop/NetworkManager/Devices/modem0");
    QList<int> states;
    dialUp.OnAsyncEvent = [&](TDialUp &, int state, int, const QString &) {
        states << state;
        // Each step of the device only once the previous one has been reported.
        if (state == int(PortOpened))
            nm.setState(device, QStringLiteral("org.freedesktop.NetworkManager.Device"), 60);
        if (state == int(Authenticate))
            nm.setState(device, QStringLiteral("org.freedesktop.NetworkManager.Device"), 70);
        if (state == int(Authenticated)) {
            nm.setState(device, QStringLiteral("org.freedesktop.NetworkManager.Device"), 100);
            nm.setState(QStringLiteral("/org/freedesktop/NetworkManager/ActiveConnection/0"),
                        QStringLiteral("org.freedesktop.NetworkManager.Connection.Active"), 2);
        }
    };
    ASSERT_EQ(dialUp.Dial(), 0);
    processEventsUntil([&] { return !states.isEmpty() && states.last() == int(Connected); });
    EXPECT_EQ(states, (QList<int>{0, 1, 2, 3, 4, 5, 14, 18, 8192}));
    dialUp.HangUp();
}

TEST(NetworkManagerBackend, RefusedLoginIsAnAuthenticationFailure)
{
    NetworkManagerMock nm;
    nm.activateWith(ActivateAndRefuse);
    TDialUp dialUp;
    dialUp.SetDialMode(dmSync);
    dialUp.SetEntry(QStringLiteral("Mobilt"));
    QList<std::pair<int, QString>> failures;
    dialUp.OnNotConnected = [&](TDialUp &, int code, const QString &text) { failures.append({code, text}); };
    EXPECT_EQ(dialUp.Dial(), int(ErrorAuthenticationFailure));
    ASSERT_EQ(failures.size(), 1);
    EXPECT_EQ(failures[0].second, QStringLiteral("The user name or password was not accepted by the remote computer."));
    // The failed activation was hung up.
    EXPECT_TRUE(connectionsOf(dialUp).isEmpty());
}

TEST(NetworkManagerBackend, UnknownEntryIsNotFound)
{
    NetworkManagerMock nm;
    TDialUp dialUp;
    dialUp.SetDialMode(dmSync);
    dialUp.SetEntry(QStringLiteral("Kabel")); // not a point-to-point connection
    EXPECT_EQ(dialUp.Dial(), int(ErrorCannotFindPhonebookEntry));
}

TEST(NetworkManagerBackend, WithoutNetworkManagerEveryCallSaysSo)
{
    NetworkManagerMock nobody(false);
    TDialUp dialUp;
    EXPECT_EQ(dialUp.GetEntries(), int(ErrorServiceUnavailable));
    EXPECT_EQ(dialUp.GetConnections(), int(ErrorServiceUnavailable));
    dialUp.SetEntry(QStringLiteral("Mobilt"));
    QString password;
    EXPECT_EQ(dialUp.GetEntryPassword(password), int(ErrorServiceUnavailable));
    EXPECT_TRUE(dialUp.StatusString(0, int(ErrorServiceUnavailable)).contains(QStringLiteral("NetworkManager is not running")));
}

} // namespace
