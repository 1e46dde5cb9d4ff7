// The "Actions" column driven through the window's controls: the service state after the
// settings load, start and stop on a scripted service manager, the wait panel and Label3
// when no state can be read, the two "Uppdatera" buttons against a real vardo-service on
// loopback, and a window whose FormCreate ended early.
#include "window_guitest.h"

#include "app/ui/radiogroup.h"
#include "suite/paths.h"
#include "tests/service/service_process.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTimer>

using namespace windowtest;

namespace {

const QString ProbeNoContact = QString::fromUtf8("Ingen kontakt med tjänsten på den inställda porten!");

class ServiceActionsTest : public WindowTest
{
protected:
    int statusIndex() { return control<app::ui::RadioGroup>("RadioGroup1")->itemIndex(); }
    bool waitPanelShown() { return control<QWidget>("Panel2")->isVisibleTo(&window()); }
    QString label3() { return control<QLabel>("Label3")->text(); }
};

} // namespace

TEST_F(ServiceActionsTest, SettingsLoadShowsTheStateAndStartBringsItToRunning)
{
    useServiceScript("rising_then_running");
    window().show();
    unlock();
    EXPECT_EQ(statusIndex(), 0); // SERVICE_STOPPED
    EXPECT_FALSE(waitPanelShown());
    EXPECT_EQ(label3(), suite::CurrentPath());

    // While the start waits the window keeps handling its timers and painting, with the
    // wait panel up.
    bool panelShownDuringWait = false;
    QTimer::singleShot(100, &window(), [&] { panelShownDuringWait = waitPanelShown(); });
    click("btnRestartService");
    EXPECT_TRUE(panelShownDuringWait);
    EXPECT_EQ(statusIndex(), 3); // SERVICE_RUNNING
    EXPECT_FALSE(waitPanelShown());
    EXPECT_TRUE(presenter.boxes().isEmpty());
}

TEST_F(ServiceActionsTest, StopOfARunningServiceEndsStoppedAndStartOfItFails)
{
    useServiceScript("running");
    unlock();
    EXPECT_EQ(statusIndex(), 3);
    click("btnRestartService");
    EXPECT_EQ(boxTexts(), QStringList{"An error occurred while trying to start the service!"});
    EXPECT_EQ(statusIndex(), 3);
    click("btnStopService");
    EXPECT_EQ(statusIndex(), 0);
    EXPECT_EQ(presenter.boxes().size(), 1);
    // Already stopped: no message.
    click("btnStopService");
    EXPECT_EQ(statusIndex(), 0);
    EXPECT_EQ(presenter.boxes().size(), 1);
}

TEST_F(ServiceActionsTest, NotInstalledSelectsNothingAndBorrowsLabel3ForTwoSeconds)
{
    useServiceScript("not_installed");
    window().show();
    unlock();
    EXPECT_EQ(statusIndex(), -1);
    EXPECT_TRUE(waitPanelShown());
    EXPECT_EQ(control<QLabel>("Label4")->text(), "Refreshing, please wait....");
    EXPECT_EQ(label3(), "Could not retrieve current status on selected Service");
    EXPECT_TRUE(window().actions().Timer1->isActive());

    ASSERT_TRUE(waitFor([&] { return !window().actions().Timer1->isActive(); }, 5000));
    EXPECT_FALSE(waitPanelShown());
    EXPECT_EQ(label3(), "Refreshing, please wait....");

    click("btnRestartService");
    click("btnStopService");
    EXPECT_EQ(boxTexts(), (QStringList{"An error occurred while trying to start the service!",
                                       "An error occurred while trying to stop the service!"}));
    EXPECT_EQ(statusIndex(), -1);
    EXPECT_FALSE(waitPanelShown());
    // The next unlock writes the directory line again.
    unlock();
    EXPECT_EQ(label3(), "Could not retrieve current status on selected Service");
    ASSERT_TRUE(waitFor([&] { return !window().actions().Timer1->isActive(); }, 5000));
}

TEST_F(ServiceActionsTest, UppdateraAsksTheRunningServiceOnThePortTheFieldShows)
{
    const quint16 port = servicetest::freePort();
    servicetest::storePort(port);
    servicetest::RunningService service;
    ASSERT_TRUE(service.waitReady());
    const servicetest::HttpReply version = servicetest::get(port, "/=Get_Version");
    ASSERT_TRUE(version.body.startsWith("OK:"));
    // The store now names a port nobody listens on; the field is changed without saving.
    servicetest::storePort(servicetest::freePort());
    unlock();
    control<QSpinBox>("SpinEdit2")->setValue(port);

    click("btnCheckVardoTjanst");
    EXPECT_EQ(control<QLineEdit>("edVardoTjanstVersion")->text(), QString::fromUtf8(version.body.mid(3)));
    EXPECT_EQ(boxTexts(), QStringList{QString::fromUtf8("Anslutningen fungerar!")});
    click("btnGetLoggdir");
    EXPECT_EQ(control<QPlainTextEdit>("MemoLoggdir")->toPlainText(), servicetest::logFolder());
    EXPECT_EQ(presenter.boxes().size(), 1);
}

TEST_F(ServiceActionsTest, UppdateraWithNothingListeningKeepsTheTextsAndSaysSo)
{
    servicetest::storePort(servicetest::freePort());
    unlock();
    control<QLineEdit>("edVardoTjanstVersion")->setText("2.0");
    control<QPlainTextEdit>("MemoLoggdir")->setPlainText("/var/log/old");
    click("btnCheckVardoTjanst");
    click("btnGetLoggdir");
    EXPECT_EQ(boxTexts(), (QStringList{ProbeNoContact, ProbeNoContact}));
    EXPECT_EQ(control<QLineEdit>("edVardoTjanstVersion")->text(), "2.0");
    EXPECT_EQ(control<QPlainTextEdit>("MemoLoggdir")->toPlainText(), "/var/log/old");
}

// FormCreate stopped at its first failure, so there are no hooks and no transfer window;
// the buttons then report and the window goes on.
TEST_F(ServiceActionsTest, AfterAFailedFormCreateTheButtonsOnlyReport)
{
    const QString gone = testenv::freshDir("removed-current-dir");
    ASSERT_TRUE(QDir::setCurrent(gone));
    ASSERT_TRUE(QDir().rmdir(gone));
    window();
    ASSERT_EQ(presenter.boxes().size(), 1);
    unlock();
    EXPECT_EQ(statusIndex(), 0);
    presenter.clear();
    click("btnCheckVardoTjanst");
    EXPECT_EQ(boxTexts(), QStringList{ProbeNoContact});
    click("btnRestartService");
    EXPECT_EQ(statusIndex(), 3);
}

// A service manager that cannot be made is reported by each handler that needs it.
TEST_F(ServiceActionsTest, AMissingServiceManagerIsReportedAndTheWindowGoesOn)
{
    qputenv("TELLVARA_SERVICE_MANAGER", "launchd");
    unlock();
    ASSERT_EQ(boxesOf(platform::BoxKind::Error).size(), 1);
    EXPECT_TRUE(boxesOf(platform::BoxKind::Error)[0].text.contains("TELLVARA_SERVICE_MANAGER"));
    EXPECT_EQ(statusIndex(), -1);
    click("btnRestartService");
    EXPECT_EQ(boxesOf(platform::BoxKind::Error).size(), 2);
    // The rest of the window works.
    control<QSpinBox>("SpinEdit2")->setValue(1234);
    click("btnSpara");
    EXPECT_EQ(stored("Port", "TcpIPPort"), "1234");
}
