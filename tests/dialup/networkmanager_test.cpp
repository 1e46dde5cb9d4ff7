// TDialUp through the RAS provider's NetworkManager back end, against python3-dbusmock's
// NetworkManager on a private bus that stands in for the system bus (networkmanager_mock.h).
#include "dialup/tdialup.h"

#include "networkmanager_mock.h"
#include "process_events.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

using namespace dialup;
using namespace platform::ras;
using namespace nmtest;

namespace {

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
    const QList<int> sequence{0, 1, 2, 3, 4, 5, 14, 18, 8192};
    qsizetype reachable = 2; // the device is being prepared: up to Port opened
    QList<int> states;
    dialUp.OnAsyncEvent = [&](TDialUp &, int state, int, const QString &) {
        states << state;
        EXPECT_LT(sequence.indexOf(state), reachable) << "state " << state << " before the device got there";
        // Each step of the device only once the previous one has been reported.
        if (state == int(PortOpened)) {
            reachable = 6;
            nm.setDeviceState(device, 60);
        }
        if (state == int(Authenticate)) {
            reachable = 7;
            nm.setDeviceState(device, 70);
        }
        if (state == int(Authenticated)) {
            reachable = 8;
            nm.setDeviceState(device, 100);
        }
    };
    ASSERT_EQ(dialUp.Dial(), 0);
    processEventsUntil([&] { return states.contains(int(Projected)); });
    // The device is activated, the connection not yet: no Connected however long it takes.
    processEventsUntil([&] { return states.contains(int(Connected)); }, 500);
    reachable = 9;
    nm.setState(QStringLiteral("/org/freedesktop/NetworkManager/ActiveConnection/0"),
                QStringLiteral("org.freedesktop.NetworkManager.Connection.Active"), 2);
    processEventsUntil([&] { return states.contains(int(Connected)); });
    EXPECT_EQ(states, sequence);
    dialUp.HangUp();
}

TEST(NetworkManagerBackend, VpnOnAConnectedParentIsConnectedOnlyOnceActivated)
{
    NetworkManagerMock nm;
    nm.runOnSettings(AddVpnConnection);
    nm.activateWith(ActivateOnConnectedParent);
    TDialUp dialUp;
    dialUp.SetEntry(QStringLiteral("Jobbet"));
    QString password;
    ASSERT_EQ(dialUp.GetEntryPassword(password), 0);
    EXPECT_EQ(password, QStringLiteral("hemligt")); // VPN secrets are texts (a{ss})
    QList<int> states;
    dialUp.OnAsyncEvent = [&](TDialUp &, int state, int error, const QString &) {
        EXPECT_EQ(error, 0);
        states << state;
    };
    ASSERT_EQ(dialUp.Dial(), 0);
    processEventsUntil([&] { return states.contains(int(Projected)); });
    // Still activating: no Connected however long it takes.
    processEventsUntil([&] { return states.contains(int(Connected)); }, 500);
    EXPECT_EQ(states, (QList<int>{0, 1, 2, 3, 4, 5, 14, 18}));
    nm.setState(QStringLiteral("/org/freedesktop/NetworkManager/ActiveConnection/0"),
                QStringLiteral("org.freedesktop.NetworkManager.Connection.Active"), 2);
    processEventsUntil([&] { return states.contains(int(Connected)); });
    EXPECT_EQ(states.last(), int(Connected));
    EXPECT_EQ(dialUp.GetIP(int(dialUp.LastConnection())), 0);
    EXPECT_EQ(dialUp.ClientIP(), QStringLiteral("10.8.0.5"));
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

TEST(NetworkManagerBackend, ActivationRefusedByNetworkManagerGivesItsRasError)
{
    const struct
    {
        const char *errorName;
        Dword error;
    } rows[] = {
        {"org.freedesktop.NetworkManager.UnknownDevice", ErrorPortNotAvailable},
        {"org.freedesktop.NetworkManager.ConnectionAlreadyActive", ErrorPortAlreadyOpen},
        {"org.freedesktop.NetworkManager.PermissionDenied", ErrorAccessDenied},
        {"org.freedesktop.NetworkManager.Failed", ErrorUnknown},
    };
    NetworkManagerMock nm;
    TDialUp dialUp;
    dialUp.SetEntry(QStringLiteral("Mobilt"));
    for (const auto &row : rows) {
        nm.activateWith(QStringLiteral("raise dbus.exceptions.DBusException('refused', name='%1')")
                            .arg(QLatin1String(row.errorName)));
        QList<int> errors;
        dialUp.OnError = [&](TDialUp &, int code, const QString &) { errors << code; };
        EXPECT_EQ(dialUp.Dial(), int(row.error)) << row.errorName; // asynchronous: refused at once
        EXPECT_EQ(errors, QList<int>{int(row.error)}) << row.errorName;
    }
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
