// The progress-window notification on a private session bus.
#include "platform/progress_notifier.h"

#include "private_bus.h"
#include "test_env.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <gtest/gtest.h>

namespace {

using testbus::FakeProgressApp;
using testbus::PrivateBus;

// Well inside the call's time limit: nothing waited for an answer that cannot come.
constexpr qint64 QuickMs = platform::ProgressCallTimeoutMs * 3 / 4;

QString ownCall()
{
    return QString::number(QCoreApplication::applicationPid()) + " 0";
}

qint64 notifyTimed()
{
    QElapsedTimer timer;
    timer.start();
    platform::progressNotifier().inactivateProgressApp();
    return timer.elapsed();
}

void useBus(const PrivateBus &bus)
{
    qputenv("DBUS_SESSION_BUS_ADDRESS", bus.address().toUtf8());
}

TEST(ProgressNotifier, EachNotificationReachesTheProgressAppOnceWithTheCallersId)
{
    PrivateBus bus(testenv::root() + "/session.sock");
    useBus(bus);
    FakeProgressApp app(bus.address());
    for (int i = 1; i <= 3; ++i) {
        platform::progressNotifier().inactivateProgressApp();
        ASSERT_EQ(app.calls().size(), i) << "the call returns only after the progress app handled it";
    }
    EXPECT_EQ(app.calls(), QStringList(3, ownCall()));
}

TEST(ProgressNotifier, WithoutABusNothingHappensQuickly)
{
    ASSERT_FALSE(qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS"));
    ASSERT_FALSE(QFile::exists(qEnvironmentVariable("XDG_RUNTIME_DIR") + "/bus"));
    qputenv("DISPLAY", ":97"); // would invite libdbus to autolaunch a bus
    EXPECT_LT(notifyTimed(), QuickMs);
}

TEST(ProgressNotifier, ABusAddressWhereNoBusListensIsNoBus)
{
    qputenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + testenv::root() + "/nobody-listens").toUtf8());
    EXPECT_LT(notifyTimed(), QuickMs);
}

TEST(ProgressNotifier, WithoutAProgressAppNothingHappensQuickly)
{
    PrivateBus bus(testenv::root() + "/session.sock");
    useBus(bus);
    EXPECT_LT(notifyTimed(), QuickMs);
}

TEST(ProgressNotifier, AnActivatableProgressAppIsNotStarted)
{
    const QString services = testenv::freshDir("services");
    const QString marker = testenv::root() + "/started";
    testenv::writeFile(services + "/" + platform::dbus::ProgressService + ".service",
                       "[D-BUS Service]\nName=" + QByteArray(platform::dbus::ProgressService.data())
                           + "\nExec=/usr/bin/touch " + marker.toUtf8() + "\n");
    PrivateBus bus(testenv::root() + "/session.sock", services);
    useBus(bus);
    EXPECT_LT(notifyTimed(), QuickMs);
    EXPECT_FALSE(QFile::exists(marker));
}

TEST(ProgressNotifier, TheUsersBusSocketServesWhenNoAddressIsSet)
{
    PrivateBus bus(qEnvironmentVariable("XDG_RUNTIME_DIR") + "/bus");
    FakeProgressApp app(bus.address());
    ASSERT_FALSE(qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS"));
    platform::progressNotifier().inactivateProgressApp();
    EXPECT_EQ(app.calls(), QStringList{ownCall()});
}

TEST(ProgressNotifier, AProgressAppThatDoesNotAnswerHoldsTheCallerOnlyForTheTimeLimit)
{
    PrivateBus bus(testenv::root() + "/session.sock");
    useBus(bus);
    FakeProgressApp app(bus.address(), testbus::ProgressAppMode::Hang);
    const qint64 elapsed = notifyTimed();
    EXPECT_GE(elapsed, platform::ProgressCallTimeoutMs - 100);
    EXPECT_LT(elapsed, 10000) << "the progress app hangs for 30 s";
    EXPECT_EQ(app.calls().size(), 1);
}

TEST(ProgressNotifier, AProgressAppThatRefusesDoesNotDisturbTheCaller)
{
    PrivateBus bus(testenv::root() + "/session.sock");
    useBus(bus);
    FakeProgressApp app(bus.address(), testbus::ProgressAppMode::Fail);
    platform::progressNotifier().inactivateProgressApp();
    platform::progressNotifier().inactivateProgressApp();
    EXPECT_EQ(app.calls().size(), 2);
}

TEST(ProgressNotifier, ABusThatComesBackIsReachedAgain)
{
    const QString socket = testenv::root() + "/session.sock";
    auto first = std::make_unique<PrivateBus>(socket);
    useBus(*first);
    platform::progressNotifier().inactivateProgressApp();
    const QString address = first->address();
    first.reset();
    EXPECT_LT(notifyTimed(), QuickMs);

    QFile::remove(socket);
    PrivateBus second(socket);
    useBus(second);
    FakeProgressApp app(second.address());
    platform::progressNotifier().inactivateProgressApp();
    EXPECT_EQ(app.calls(), QStringList{ownCall()});
}

} // namespace
