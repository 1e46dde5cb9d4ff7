// TDialUp over the project's RAS provider with the simulated modem, whose phonebook each
// test writes into its private root: entries, dial parameters, dialling in both modes,
// connections and addresses.
#include "dialup/tdialup.h"

#include "platform/ras_simulated_phonebook.h"

#include "process_events.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>

#include <memory>

using namespace dialup;
using namespace platform::ras;

namespace {

struct AsyncEvent
{
    int state;
    int error;
    QString text;
};

SimulatedEntry entry(const QString &name, QList<Dword> states = {OpeningPort, PortOpened, Authenticate},
                     Dword error = Success, int stepDelayMs = 5)
{
    SimulatedEntry e;
    e.name = name;
    e.states = std::move(states);
    e.error = error;
    e.stepDelayMs = stepDelayMs;
    e.userName = QStringLiteral("kalle");
    return e;
}

class DialUpTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        qputenv("TELLVARA_RAS_BACKEND", "simulated");
        writeSimulatedEntry(entry(QStringLiteral("Exempel")));
        writeSimulatedEntry(entry(QStringLiteral("Upptaget"), {OpeningPort, PortOpened}, ErrorLineBusy));
    }

    QStringList activeEntries()
    {
        QStringList names;
        dialUp.OnActiveConnection = [&](TDialUp &, int, const TRasConnStatusA &, const QString &, const char *name,
                                        const char *, const char *) { names << QString::fromLatin1(name); };
        EXPECT_EQ(dialUp.GetConnections(), 0);
        dialUp.OnActiveConnection = nullptr;
        return names;
    }

    TDialUp dialUp;
};

TEST_F(DialUpTest, StartsAsynchronousAndEnglishWithNothingCounted)
{
    EXPECT_EQ(dialUp.DialMode(), dmAsync);
    EXPECT_EQ(dialUp.Language(), English);
    EXPECT_EQ(dialUp.LastConnection(), 0u);
    EXPECT_EQ(dialUp.BytesXmit(), 0u);
    EXPECT_EQ(dialUp.BytesRecv(), 0u);
    EXPECT_EQ(dialUp.ConnectionSpeed(), 0u);
    EXPECT_TRUE(dialUp.Entries().isEmpty());
    EXPECT_TRUE(dialUp.DUNA().isEmpty());
}

TEST_F(DialUpTest, GetEntriesListsAndReportsEachEntry)
{
    writeSimulatedEntry(entry(QStringLiteral("Förbindelse")));
    QStringList reported;
    dialUp.OnEntryGet = [&](TDialUp &, const char *name) { reported << QString::fromLatin1(name); };
    ASSERT_EQ(dialUp.GetEntries(), 0);
    const QStringList expected{QStringLiteral("Exempel"), QStringLiteral("Förbindelse"), QStringLiteral("Upptaget")};
    EXPECT_EQ(dialUp.Entries(), expected);
    // The event gets the 8-bit name, in the ANSI code page.
    EXPECT_EQ(reported, expected);
}

TEST_F(DialUpTest, MoreThanAHundredEntriesGiveTheBufferTooSmallCode)
{
    for (int i = 0; i < 101; ++i)
        writeSimulatedEntry(entry(QStringLiteral("Nummer %1").arg(i)));
    int reported = 0;
    dialUp.OnEntryGet = [&](TDialUp &, const char *) { ++reported; };
    EXPECT_EQ(dialUp.GetEntries(), int(ErrorBufferTooSmall));
    EXPECT_TRUE(dialUp.Entries().isEmpty());
    EXPECT_EQ(reported, 0);
}

TEST_F(DialUpTest, GetIpOfNoConnectionCallsNothing)
{
    EXPECT_EQ(dialUp.GetIP(0), 0);
    EXPECT_TRUE(dialUp.ServerIP().isEmpty());
    EXPECT_TRUE(dialUp.ClientIP().isEmpty());
}

TEST_F(DialUpTest, PasswordOfAnEntryWithoutOneIsEmpty)
{
    dialUp.SetEntry(QStringLiteral("Exempel"));
    QString password = QStringLiteral("kept?");
    EXPECT_EQ(dialUp.GetEntryPassword(password), 0);
    EXPECT_TRUE(password.isEmpty());
}

TEST_F(DialUpTest, UserNameAndPasswordAreWrittenAndRemoved)
{
    dialUp.SetEntry(QStringLiteral("Exempel"));
    ASSERT_EQ(dialUp.SetEntryUserName(QStringLiteral("åsa")), 0);
    ASSERT_EQ(dialUp.SetEntryPassword(QStringLiteral("hemligt")), 0);
    QString user;
    QString password;
    EXPECT_EQ(dialUp.GetEntryUserName(user), 0);
    EXPECT_EQ(dialUp.GetEntryPassword(password), 0);
    EXPECT_EQ(user, QStringLiteral("åsa"));
    EXPECT_EQ(password, QStringLiteral("hemligt"));

    ASSERT_EQ(dialUp.RemovePassword(), 0);
    EXPECT_EQ(dialUp.GetEntryPassword(password), 0);
    EXPECT_TRUE(password.isEmpty());
}

TEST_F(DialUpTest, EntryOperationsOnAMissingEntryLeaveTheValue)
{
    dialUp.SetEntry(QStringLiteral("Saknas"));
    QString user = QStringLiteral("unchanged");
    QString password = QStringLiteral("unchanged");
    EXPECT_EQ(dialUp.GetEntryUserName(user), int(ErrorCannotFindPhonebookEntry));
    EXPECT_EQ(dialUp.GetEntryPassword(password), int(ErrorCannotFindPhonebookEntry));
    EXPECT_EQ(user, QStringLiteral("unchanged"));
    EXPECT_EQ(password, QStringLiteral("unchanged"));
    EXPECT_EQ(dialUp.SetEntryPassword(QStringLiteral("x")), int(ErrorCannotFindPhonebookEntry));
    EXPECT_EQ(dialUp.DeleteEntry(), int(ErrorCannotFindPhonebookEntry));
}

TEST_F(DialUpTest, RenameLeavesEntrySoTheNextDialAsksForTheOldName)
{
    dialUp.SetEntry(QStringLiteral("Exempel"));
    ASSERT_EQ(dialUp.RenameEntryTo(QStringLiteral("Ny")), 0);
    EXPECT_EQ(dialUp.Entry(), QStringLiteral("Exempel"));
    ASSERT_EQ(dialUp.GetEntries(), 0);
    EXPECT_EQ(dialUp.Entries(), (QStringList{QStringLiteral("Ny"), QStringLiteral("Upptaget")}));

    QList<std::pair<int, QString>> errors;
    dialUp.OnError = [&](TDialUp &, int code, const QString &text) { errors.append({code, text}); };
    EXPECT_EQ(dialUp.Dial(), int(ErrorCannotFindPhonebookEntry));
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(errors[0].first, int(ErrorCannotFindPhonebookEntry));
    EXPECT_EQ(errors[0].second, QStringLiteral("GetEntryDialParams failed"));
}

TEST_F(DialUpTest, RenameRefusesAnExistingOrInvalidName)
{
    dialUp.SetEntry(QStringLiteral("Exempel"));
    EXPECT_EQ(dialUp.RenameEntryTo(QStringLiteral("Upptaget")), int(ErrorAlreadyExists));
    EXPECT_EQ(dialUp.RenameEntryTo(QStringLiteral("a/b")), int(ErrorInvalidName));
    EXPECT_EQ(dialUp.RenameEntryTo(QString()), int(ErrorInvalidName));
}

TEST_F(DialUpTest, DeleteEntryRemovesIt)
{
    dialUp.SetEntry(QStringLiteral("Upptaget"));
    ASSERT_EQ(dialUp.DeleteEntry(), 0);
    ASSERT_EQ(dialUp.GetEntries(), 0);
    EXPECT_EQ(dialUp.Entries(), QStringList{QStringLiteral("Exempel")});
}

TEST_F(DialUpTest, SynchronousDialConnects)
{
    dialUp.SetDialMode(dmSync);
    dialUp.SetEntry(QStringLiteral("Exempel"));
    QStringList calls;
    dialUp.OnDialing = [&](TDialUp &) { calls << "dialing"; };
    dialUp.OnConnect = [&](TDialUp &) { calls << "connected"; };
    dialUp.OnNotConnected = [&](TDialUp &, int, const QString &) { calls << "not connected"; };
    ASSERT_EQ(dialUp.Dial(), 0);
    EXPECT_EQ(calls, (QStringList{"dialing", "connected"}));
    EXPECT_NE(dialUp.LastConnection(), 0u);
    EXPECT_EQ(activeEntries(), QStringList{QStringLiteral("Exempel")});

    ASSERT_EQ(dialUp.GetIP(int(dialUp.LastConnection())), 0);
    EXPECT_EQ(dialUp.ClientIP(), QStringLiteral("10.64.64.10"));
    EXPECT_EQ(dialUp.ServerIP(), QStringLiteral("10.64.64.1"));

    const Handle connection = dialUp.LastConnection();
    EXPECT_EQ(dialUp.HangUp(), 0);
    EXPECT_EQ(dialUp.LastConnection(), connection); // HangUp keeps the handle
    EXPECT_TRUE(activeEntries().isEmpty());
}

TEST_F(DialUpTest, SynchronousDialFailureHangsUpAndReportsThePlatformText)
{
    dialUp.SetDialMode(dmSync);
    dialUp.SetEntry(QStringLiteral("Upptaget"));
    QList<std::pair<int, QString>> failures;
    bool connected = false;
    dialUp.OnNotConnected = [&](TDialUp &, int code, const QString &text) { failures.append({code, text}); };
    dialUp.OnConnect = [&](TDialUp &) { connected = true; };
    EXPECT_EQ(dialUp.Dial(), int(ErrorLineBusy));
    EXPECT_FALSE(connected);
    ASSERT_EQ(failures.size(), 1);
    EXPECT_EQ(failures[0].first, int(ErrorLineBusy));
    EXPECT_EQ(failures[0].second, QStringLiteral("The phone line is busy."));
    // The partial connection was hung up: its handle is gone.
    EXPECT_EQ(dialUp.HangUp(), int(ErrorInvalidHandle));
    EXPECT_EQ(dialUp.GetIP(int(dialUp.LastConnection())), int(ErrorInvalidHandle));
}

TEST_F(DialUpTest, AsynchronousDialDeliversEveryStateInOrder)
{
    // No delay: the notifier sends its notifications in quick succession.
    writeSimulatedEntry(entry(QStringLiteral("Snabb"), {OpeningPort, PortOpened, ConnectDevice, DeviceConnected,
                                                       AllDevicesConnected, Authenticate, Authenticated},
                              Success, 0));
    dialUp.SetEntry(QStringLiteral("Snabb"));
    QList<AsyncEvent> events;
    dialUp.OnAsyncEvent = [&](TDialUp &, int state, int error, const QString &text) {
        events.append({state, error, text});
    };
    ASSERT_EQ(dialUp.Dial(), 0);
    ASSERT_TRUE(processEventsUntil([&] { return !events.isEmpty() && events.last().state == int(Connected); }));
    QList<int> states;
    for (const AsyncEvent &e : events) {
        states << e.state;
        EXPECT_EQ(e.error, 0);
        EXPECT_EQ(e.text, dialUp.StatusString(e.state, 0));
    }
    EXPECT_EQ(states, (QList<int>{0, 1, 2, 3, 4, 5, 14, 8192}));
    dialUp.HangUp();
}

TEST_F(DialUpTest, AsynchronousFailureArrivesAsTheLastNotificationInLanguage)
{
    dialUp.SetEntry(QStringLiteral("Upptaget"));
    dialUp.SetLanguage(Portuguese);
    QList<AsyncEvent> events;
    dialUp.OnAsyncEvent = [&](TDialUp &, int state, int error, const QString &text) {
        events.append({state, error, text});
    };
    ASSERT_EQ(dialUp.Dial(), 0);
    ASSERT_TRUE(processEventsUntil([&] { return !events.isEmpty() && events.last().error != 0; }));
    ASSERT_EQ(events.size(), 3);
    EXPECT_EQ(events[0].text, QStringLiteral("Abrindo a porta"));
    EXPECT_EQ(events[1].text, QStringLiteral("Porta aberta"));
    EXPECT_EQ(events[2].state, int(PortOpened));
    EXPECT_EQ(events[2].error, int(ErrorLineBusy));
    EXPECT_EQ(events[2].text, QStringLiteral("The phone line is busy."));
    dialUp.HangUp();
}

TEST_F(DialUpTest, HangingUpDuringAnAsynchronousDialEndsItsNotifications)
{
    writeSimulatedEntry(entry(QStringLiteral("Lång"), {OpeningPort, PortOpened, ConnectDevice, DeviceConnected,
                                                     AllDevicesConnected, Authenticate, Authenticated},
                              Success, 100));
    dialUp.SetEntry(QStringLiteral("Lång"));
    QList<int> states;
    dialUp.OnAsyncEvent = [&](TDialUp &, int state, int, const QString &) { states << state; };
    ASSERT_EQ(dialUp.Dial(), 0);
    ASSERT_TRUE(processEventsUntil([&] { return !states.isEmpty(); }));
    ASSERT_EQ(dialUp.HangUp(), 0);
    const qsizetype atHangUp = states.size();
    processEventsUntil([] { return false; }, 1000);
    // At most the one notification already handed over arrives after the hang-up.
    EXPECT_LE(states.size(), atHangUp + 1);
    EXPECT_FALSE(states.contains(int(Connected)));
    EXPECT_TRUE(activeEntries().isEmpty());
}

TEST_F(DialUpTest, AsynchronousDialOfAMissingEntryReportsTheError)
{
    dialUp.SetEntry(QStringLiteral("Saknas"));
    int errors = 0;
    dialUp.OnError = [&](TDialUp &, int, const QString &) { ++errors; };
    EXPECT_EQ(dialUp.Dial(), int(ErrorCannotFindPhonebookEntry));
    EXPECT_EQ(errors, 1);
}

TEST_F(DialUpTest, GetConnectionsGivesStatusTextAndDevice)
{
    dialUp.SetDialMode(dmSync);
    dialUp.SetEntry(QStringLiteral("Exempel"));
    ASSERT_EQ(dialUp.Dial(), 0);
    dialUp.SetLanguage(Czech);
    int calls = 0;
    dialUp.OnActiveConnection = [&](TDialUp &, int handle, const TRasConnStatusA &status, const QString &text,
                                    const char *name, const char *deviceType, const char *deviceName) {
        ++calls;
        EXPECT_EQ(Handle(handle), dialUp.LastConnection());
        EXPECT_EQ(status.size, sizeof(TRasConnStatusA));
        EXPECT_EQ(status.state, Dword(Connected));
        EXPECT_EQ(text, QStringLiteral("Spojeno"));
        EXPECT_STREQ(name, "Exempel");
        EXPECT_STREQ(deviceType, "modem");
        EXPECT_STREQ(deviceName, "Simulated modem");
    };
    ASSERT_EQ(dialUp.GetConnections(), 0);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(dialUp.HangUpConn(int(dialUp.LastConnection())), 0);
}

TEST_F(DialUpTest, ADestroyedComponentReceivesNothingAndReleasesTheNotifier)
{
    writeSimulatedEntry(entry(QStringLiteral("Snabb"), {OpeningPort, PortOpened, ConnectDevice}, Success, 0));
    auto doomed = std::make_unique<TDialUp>();
    doomed->SetEntry(QStringLiteral("Snabb"));
    int delivered = 0;
    doomed->OnAsyncEvent = [&](TDialUp &, int, int, const QString &) { ++delivered; };
    ASSERT_EQ(doomed->Dial(), 0);
    const Handle connection = doomed->LastConnection();
    // Gone before any notification was delivered; the notifier must not wait for it.
    doomed.reset();
    QThread::msleep(200);
    QCoreApplication::processEvents();
    EXPECT_EQ(delivered, 0);

    // A new component dials and receives its own notifications.
    dialUp.SetEntry(QStringLiteral("Exempel"));
    QList<int> states;
    dialUp.OnAsyncEvent = [&](TDialUp &, int state, int, const QString &) { states << state; };
    ASSERT_EQ(dialUp.Dial(), 0);
    EXPECT_TRUE(processEventsUntil([&] { return !states.isEmpty() && states.last() == int(Connected); }));
    EXPECT_EQ(states.first(), int(OpeningPort));
    dialUp.HangUp();
    dialUp.HangUpConn(int(connection));
}

} // namespace
