// The whole way, as an administrator goes it: the local supervisor's definition of
// vardo-service installed with vardoctl, the window unlocked, the service started and
// stopped with the window's buttons, and the probe answered by the started service.
#include "window_guitest.h"

#include "app/ui/radiogroup.h"
#include "tests/service/service_process.h"

#include <QLineEdit>

using namespace windowtest;

namespace {

class LocalSupervisorTest : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        qputenv("TELLVARA_SERVICE_MANAGER", "local");
    }

    // A service a failed test left running is stopped (the supervisor waits at most its
    // grace period).
    void TearDown() override { servicetest::vardoctl({"service", "stop"}); }

    int statusIndex() { return control<app::ui::RadioGroup>("RadioGroup1")->itemIndex(); }
};

} // namespace

TEST_F(LocalSupervisorTest, StartAndStopButtonsRunTheInstalledService)
{
    const quint16 port = servicetest::freePort();
    servicetest::storePort(port);
    const servicetest::CommandResult install = servicetest::vardoctl({"service", "install-local"});
    ASSERT_EQ(install.exitCode, 0) << qPrintable(install.err);

    window().show();
    unlock();
    EXPECT_EQ(statusIndex(), 0); // SERVICE_STOPPED

    click("btnRestartService");
    EXPECT_EQ(statusIndex(), 3); // SERVICE_RUNNING
    click("btnCheckVardoTjanst");
    EXPECT_EQ(boxTexts(), QStringList{QString::fromUtf8("Anslutningen fungerar!")});
    EXPECT_FALSE(control<QLineEdit>("edVardoTjanstVersion")->text().isEmpty());

    click("btnStopService");
    EXPECT_EQ(statusIndex(), 0);
    EXPECT_EQ(presenter.boxes().size(), 1);
    EXPECT_EQ(servicetest::get(port, "/=Get_Version").status, 0);
}
