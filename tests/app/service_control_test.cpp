// Service control: the checkpoint rules of the start and stop waits, the wait panel, the
// status group and Label3, driven through a scripted service manager and a clock that
// only counts.
#include "app/core/service_control.h"
#include "app/core/service_control_panel.h"

#include "platform/testing/recording_presenter.h"
#include "platform/testing/scripted_service_manager.h"
#include "platform/error.h"
#include "test_env.h"

#include <gtest/gtest.h>

using namespace app;
using platform::testing::ScriptedServiceManager;

namespace {

class CountingClock : public WaitClock
{
public:
    qint64 nowMs() override { return m_now; }
    void sleepMs(qint64 ms) override
    {
        sleeps.append(ms);
        m_now += ms;
    }
    QList<qint64> sleeps;

private:
    qint64 m_now = 1000;
};

// Records what the panel does to the window, and how many manager calls preceded each
// event processing (the panel must be painted before the service is asked).
class RecordingView : public ServiceControlView
{
public:
    explicit RecordingView(const ScriptedServiceManager &manager)
        : m_manager(manager)
    {
    }
    void showWaitPanel() override
    {
        events.append(QStringLiteral("show"));
        waitPanelVisible = true;
    }
    void hideWaitPanel() override
    {
        events.append(QStringLiteral("hide"));
        waitPanelVisible = false;
    }
    void setStatusIndex(int index) override
    {
        events.append(QStringLiteral("index %1").arg(index));
        statusIndex = index;
    }
    void setDirectoryLine(const QString &text) override
    {
        events.append(QStringLiteral("label ") + text);
        label = text;
    }
    void startTimer1() override
    {
        events.append(QStringLiteral("timer on"));
        timerEnabled = true;
    }
    void stopTimer1() override
    {
        events.append(QStringLiteral("timer off"));
        timerEnabled = false;
    }
    void processPendingEvents() override
    {
        events.append(QStringLiteral("paint after %1 calls").arg(m_manager.calls().size()));
    }

    QStringList events;
    bool waitPanelVisible = false;
    bool timerEnabled = false;
    int statusIndex = -2; // never set
    QString label = QStringLiteral("/work/dir/");

private:
    const ScriptedServiceManager &m_manager;
};

QString scriptFile(const char *name)
{
    return testenv::sourceDir() + QStringLiteral("/tests/data/service_control/") + QLatin1String(name) + QStringLiteral(".script");
}

// One window's worth of service control on a script.
struct Console
{
    explicit Console(std::unique_ptr<ScriptedServiceManager> scripted)
        : manager(std::move(scripted))
        , control(*manager, clock)
        , view(*manager)
        , panel(view, control)
    {
    }
    explicit Console(const char *scriptName)
        : Console(ScriptedServiceManager::fromFile(scriptFile(scriptName)))
    {
    }
    static Console fromText(const QString &script) { return Console(std::make_unique<ScriptedServiceManager>(script)); }

    QStringList messages() const
    {
        QStringList texts;
        for (const platform::MessageBox &box : boxes.boxes())
            texts.append(box.text);
        return texts;
    }

    std::unique_ptr<ScriptedServiceManager> manager;
    CountingClock clock;
    ServiceControl control;
    RecordingView view;
    ServiceControlPanel panel;
    platform::testing::RecordingPresenter boxes;
};

const QString Machine = QStringLiteral("localhost");

} // namespace

TEST(ServiceStates, NamesAndItemIndexes)
{
    EXPECT_EQ(serviceStateNames(),
              (QStringList{"SERVICE_STOPPED", "SERVICE_START_PENDING", "SERVICE_STOP_PENDING", "SERVICE_RUNNING",
                           "SERVICE_CONTINUE_PENDING", "SERVICE_PAUSE_PENDING", "SERVICE_PAUSED"}));
    EXPECT_EQ(serviceStateIndex(0), -1);
    EXPECT_EQ(serviceStateIndex(1), 0);
    EXPECT_EQ(serviceStateIndex(7), 6);
    EXPECT_EQ(serviceStateIndex(8), -1);
    EXPECT_EQ(serviceStateName(4), QStringLiteral("SERVICE_RUNNING"));
    EXPECT_TRUE(serviceStateName(0).isEmpty());
}

TEST(ServiceControl, RisingCheckpointsThenRunningGiveNoMessage)
{
    Console console("rising_then_running");
    console.panel.btnRestartServiceClick();

    EXPECT_TRUE(console.messages().isEmpty());
    EXPECT_EQ(console.view.statusIndex, 3);
    EXPECT_FALSE(console.view.waitPanelVisible);
    EXPECT_EQ(console.clock.sleeps, (QList<qint64>{300, 300, 300}));
    EXPECT_EQ(console.view.events.first(), QStringLiteral("show"));
    EXPECT_EQ(console.view.events.at(1), QStringLiteral("paint after 0 calls"));
    EXPECT_EQ(console.view.events.last(), QStringLiteral("hide"));
}

TEST(ServiceControl, CheckpointThatDropsWhilePendingEndsTheWaitWithTheErrorAndThePendingState)
{
    Console console("checkpoint_drops");
    console.panel.btnRestartServiceClick();

    EXPECT_EQ(console.messages(), QStringList{StartFailedText});
    EXPECT_EQ(console.boxes.boxes().first().kind, platform::BoxKind::Information);
    EXPECT_EQ(console.view.statusIndex, 1); // SERVICE_START_PENDING
    EXPECT_EQ(console.clock.sleeps.size(), 2);
    EXPECT_FALSE(console.view.waitPanelVisible);
}

TEST(ServiceControl, StartingARunningServiceIsRefused)
{
    Console console("running");
    console.panel.btnRestartServiceClick();
    EXPECT_EQ(console.messages(), QStringList{StartFailedText});
    EXPECT_EQ(console.view.statusIndex, 3);
    EXPECT_TRUE(console.clock.sleeps.isEmpty());
}

TEST(ServiceControl, StoppingAStoppedServiceGivesNoMessage)
{
    Console console("stopped");
    console.panel.btnStopServiceClick();
    EXPECT_TRUE(console.messages().isEmpty());
    EXPECT_EQ(console.view.statusIndex, 0);
}

TEST(ServiceControl, StopWaitsThroughStopPending)
{
    Console console("running");
    console.panel.btnStopServiceClick();
    EXPECT_TRUE(console.messages().isEmpty());
    EXPECT_EQ(console.view.statusIndex, 0);
    EXPECT_EQ(console.clock.sleeps, (QList<qint64>{200, 200}));
}

TEST(ServiceControl, NotInstalledRefreshSelectsNothingThenTheTimerTakesThePanelAway)
{
    Console console("not_installed");
    console.panel.RefreshServiceStatus();

    EXPECT_EQ(console.view.statusIndex, -1);
    EXPECT_TRUE(console.view.waitPanelVisible);
    EXPECT_TRUE(console.view.timerEnabled);
    EXPECT_EQ(console.view.label, StatusUnavailableText);
    EXPECT_EQ(console.view.events,
              (QStringList{"show", "paint after 0 calls", "index -1", "label " + StatusUnavailableText, "timer on"}));
    EXPECT_EQ(Timer1IntervalMs, 2000);

    console.panel.Timer1Timer();
    EXPECT_FALSE(console.view.timerEnabled);
    EXPECT_FALSE(console.view.waitPanelVisible);
    EXPECT_EQ(console.view.label, RefreshingText);
    EXPECT_EQ(RefreshingText, QStringLiteral("Refreshing, please wait...."));
    EXPECT_EQ(StatusUnavailableText, QStringLiteral("Could not retrieve current status on selected Service"));
}

TEST(ServiceControl, NotInstalledStartAndStopEachShowTheirMessage)
{
    Console console("not_installed");
    console.panel.btnRestartServiceClick();
    console.panel.btnStopServiceClick();
    EXPECT_EQ(console.messages(), (QStringList{StartFailedText, StopFailedText}));
    EXPECT_EQ(console.view.statusIndex, -1);
    EXPECT_FALSE(console.view.timerEnabled);
}

TEST(ServiceControl, SuccessfulRefreshHidesThePanelAndLeavesLabel3Alone)
{
    Console console("running");
    console.panel.RefreshServiceStatus();
    EXPECT_EQ(console.view.statusIndex, 3);
    EXPECT_FALSE(console.view.waitPanelVisible);
    EXPECT_FALSE(console.view.timerEnabled);
    EXPECT_EQ(console.view.label, QStringLiteral("/work/dir/"));
}

TEST(ServiceControl, UserWithoutControlRightsGetsTheMessageAndStillSeesTheState)
{
    Console console("control_denied");
    console.panel.btnStopServiceClick();
    EXPECT_EQ(console.messages(), QStringList{StopFailedText});
    EXPECT_EQ(console.view.statusIndex, 3);
}

TEST(ServiceControl, OperationsOpenWithTheirRightsAndCloseEverything)
{
    Console console("rising_then_running");
    console.control.ServiceGetStatus(Machine, VardoServiceName);
    console.control.ServiceStart(Machine, VardoServiceName);
    console.control.ServiceStop(Machine, VardoServiceName);
    const QStringList calls = console.manager->calls();
    EXPECT_EQ(calls.filter(QStringLiteral("open ")),
              (QStringList{"open tellvaravardo 0x4", "open tellvaravardo 0x14", "open tellvaravardo 0x24"}));
    EXPECT_EQ(calls.count(QStringLiteral("close")), 3);
    EXPECT_EQ(calls.first(), QStringLiteral("connect localhost"));
}

TEST(ServiceControl, ServiceThatFailsWhileStartingEndsTheWait)
{
    auto console = Console::fromText(QStringLiteral("after-start = 2 0 300; 1 0 0"));
    EXPECT_FALSE(console.control.ServiceStart(Machine, VardoServiceName));
    EXPECT_EQ(console.clock.sleeps, QList<qint64>{300});
}

TEST(ServiceControl, PendingForeverEndsAfterSixtySecondsInAll)
{
    auto console = Console::fromText(QStringLiteral("after-start = 2 1 700"));
    EXPECT_FALSE(console.control.ServiceStart(Machine, VardoServiceName));
    qint64 slept = 0;
    for (qint64 ms : console.clock.sleeps)
        slept += ms;
    EXPECT_EQ(slept, MaxServiceWaitMs);
    EXPECT_EQ(console.clock.sleeps.last(), MaxServiceWaitMs % 700);
}

TEST(ServiceControl, WaitSleepsTheWaitHintAsReported)
{
    auto console = Console::fromText(QStringLiteral("after-start = 2 1 5000; 2 2 40; 4 0 0"));
    EXPECT_TRUE(console.control.ServiceStart(Machine, VardoServiceName));
    EXPECT_EQ(console.clock.sleeps, (QList<qint64>{5000, 40}));
}

TEST(ServiceControl, FailingQueryEndsTheWait)
{
    auto console = Console::fromText(QStringLiteral("after-start = 2 1 300; fail"));
    console.panel.btnRestartServiceClick();
    EXPECT_EQ(console.messages(), QStringList{StartFailedText});
    EXPECT_EQ(console.view.statusIndex, -1);
    EXPECT_EQ(console.clock.sleeps, QList<qint64>{300});
}

TEST(ServiceControl, UnreachableManagerGivesNoState)
{
    auto console = Console::fromText(QStringLiteral("manager = unreachable"));
    EXPECT_EQ(console.control.ServiceGetStatus(Machine, VardoServiceName), 0u);
    EXPECT_FALSE(console.control.ServiceStart(Machine, VardoServiceName));
    EXPECT_FALSE(console.control.ServiceStop(Machine, VardoServiceName));
}

TEST(ServiceControl, RefusedStopOfARunningServiceIsAnError)
{
    auto console = Console::fromText(QStringLiteral("status = 4 0 0\nstop = refuse"));
    EXPECT_FALSE(console.control.ServiceStop(Machine, VardoServiceName));
}

TEST(ScriptedServiceManager, UnreadableLinesAreNamed)
{
    for (const char *line : {"status = 1 0", "status = a b c", "start = maybe", "colour = red", "no equals sign", "after-stop ="}) {
        try {
            ScriptedServiceManager manager{QString::fromUtf8(line)};
            ADD_FAILURE() << line;
        } catch (const platform::Error &e) {
            EXPECT_TRUE(e.message().contains(QString::fromUtf8(line).trimmed())) << qPrintable(e.message());
        }
    }
}
