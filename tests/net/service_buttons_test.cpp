#include "app/core/service_probe.h"
#include "net/http_client.h"
#include "net/probe.h"
#include "platform/testing/recording_presenter.h"
#include "test_http_server.h"

#include <gtest/gtest.h>

using nettest::Response;
using nettest::TestHttpServer;

namespace {

// The "Uppdatera" buttons as the window calls them: this computer's name (localhost in
// the tests) and the port as the field shows it.
class ServiceButtonsTest : public ::testing::Test
{
protected:
    ServiceButtonsTest() { net::SetProbeClient(&client); }
    ~ServiceButtonsTest() override { net::SetProbeClient(nullptr); }

    QStringList boxTexts() const
    {
        QStringList texts;
        for (const platform::MessageBox &box : presenter.boxes())
            texts.append(box.text);
        return texts;
    }

    net::HttpClient client{net::HttpClient::Kind::Plain};
    platform::testing::RecordingPresenter presenter;
};

TEST_F(ServiceButtonsTest, VersionButtonShowsTheVersionAndThatTheConnectionWorks)
{
    TestHttpServer server(Response::ok("OK:2.10.0"));
    QString version = QStringLiteral("old");
    qsizetype boxesWhenShown = -1;
    app::btnCheckVardoTjanstClick(server.port(), [&](const QString &shown) {
        version = shown;
        boxesWhenShown = presenter.boxes().size();
    });
    EXPECT_EQ(version, QStringLiteral("2.10.0"));
    EXPECT_EQ(boxesWhenShown, 0) << "the version must be in the field before the box appears";
    EXPECT_EQ(boxTexts(), QStringList{"Anslutningen fungerar!"});
    EXPECT_EQ(presenter.boxes().first().kind, platform::BoxKind::Information);
    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_TRUE(server.requests().first().target().startsWith("/=Get_Version,prislistetyp=1,dbconnection=.,"));
}

TEST_F(ServiceButtonsTest, VersionButtonKeepsTheOldTextWithoutContact)
{
    QString version = QStringLiteral("old");
    app::btnCheckVardoTjanstClick(nettest::closedPort(), [&](const QString &shown) { version = shown; });
    EXPECT_EQ(version, QStringLiteral("old"));
    EXPECT_EQ(boxTexts(), QStringList{"Ingen kontakt med tjänsten på den inställda porten!"});
}

TEST_F(ServiceButtonsTest, LogFolderButtonFillsTheMemoWithoutAMessage)
{
    TestHttpServer server(Response::ok("OK:/var/log/vardo\r\n"));
    QString logDir = QStringLiteral("old");
    app::btnGetLoggdirClick(server.port(), logDir);
    EXPECT_EQ(logDir, QStringLiteral("/var/log/vardo\r\n"));
    EXPECT_TRUE(presenter.boxes().isEmpty());
    EXPECT_TRUE(server.requests().first().target().startsWith("/=Get_Loggdir,"));
}

TEST_F(ServiceButtonsTest, LogFolderButtonTellsWhenThereIsNoContact)
{
    TestHttpServer server(Response::status(404, "OK:/var/log/vardo"));
    QString logDir = QStringLiteral("old");
    app::btnGetLoggdirClick(server.port(), logDir);
    EXPECT_EQ(logDir, QStringLiteral("old"));
    EXPECT_EQ(boxTexts(), QStringList{"Ingen kontakt med tjänsten på den inställda porten!"});
}

} // namespace
