#include "net/hooks.h"
#include "test_env.h"
#include "net/probe.h"
#include "net/widgets/stillprogressbar.h"
#include "net/widgets/tfrmhttp.h"
#include "suite/paths.h"
#include "test_http_server.h"

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QImage>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using nettest::Response;
using nettest::TestHttpServer;

namespace {

// What the window showed at the moment a transfer began and at its last progress event.
struct WindowSnapshot
{
    bool visible = false;
    QString caption;
    QString status;
    int maximum = -1;
    int position = -1;
    bool busyCursor = false;
};

WindowSnapshot snapshot(const net::TfrmHTTP &window)
{
    const QCursor *cursor = QGuiApplication::overrideCursor();
    return {window.isVisible(), window.windowTitle(), window.StatusLabel->text(), window.ProgressBar1->maximum(),
            window.ProgressBar1->value(), cursor && cursor->shape() == Qt::WaitCursor};
}

class TfrmHTTPTest : public ::testing::Test
{
protected:
    TfrmHTTPTest()
    {
        net::frmHTTP = window.get();
        QObject::connect(window->VardoHTTP, &net::HttpClient::workBegin, [this] { atBegin = snapshot(*window); });
        QObject::connect(window->VardoHTTP, &net::HttpClient::work, [this] { atWork = snapshot(*window); });
    }

    std::unique_ptr<net::TfrmHTTP> window = std::make_unique<net::TfrmHTTP>();
    WindowSnapshot atBegin;
    WindowSnapshot atWork;
};

TEST_F(TfrmHTTPTest, IsASmallHiddenWindowWithAStatusLineAndAProgressBar)
{
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->size(), QSize(264, 73));
    EXPECT_EQ(window->StatusLabel->objectName(), QStringLiteral("StatusLabel"));
    EXPECT_EQ(window->StatusLabel->text(), QStringLiteral("Ansluter till databasen, vänta..."));
    EXPECT_EQ(window->StatusLabel->pos(), QPoint(8, 21));
    EXPECT_EQ(window->ProgressBar1->objectName(), QStringLiteral("ProgressBar1"));
    EXPECT_EQ(window->ProgressBar1->geometry(), QRect(8, 40, 249, 25));
    EXPECT_FALSE(window->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_NE(window->findChild<net::HttpClient *>(QStringLiteral("IdHTTPTellvara")), nullptr);
    EXPECT_EQ(window->HTTP1->kind(), net::HttpClient::Kind::Secure);
}

TEST_F(TfrmHTTPTest, ShowsTheProbeWithItsTotalAndHidesAfterwards)
{
    TestHttpServer server(Response::ok("OK:2.10.0"));
    QString version;
    ASSERT_TRUE(net::QueryServiceVersion(QStringLiteral("127.0.0.1"), server.port(), version));
    EXPECT_TRUE(atBegin.visible);
    EXPECT_EQ(atBegin.caption, QStringLiteral("Tellvara nerladdning"));
    EXPECT_EQ(atBegin.status, QStringLiteral("Kommunicerar med Tellvara AB, vänta..."));
    EXPECT_EQ(atBegin.maximum, 9);
    EXPECT_EQ(atWork.position, 9);
    EXPECT_TRUE(atBegin.busyCursor);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(TfrmHTTPTest, ShowsMaximumZeroAndAStillBarForAnAnswerWithoutLength)
{
    for (const Response &response : {Response::chunked("OK:2.10.0"), Response::closeDelimited("OK:2.10.0")}) {
        atBegin = {};
        atWork = {};
        TestHttpServer server(response);
        QString version;
        ASSERT_TRUE(net::QueryServiceVersion(QStringLiteral("127.0.0.1"), server.port(), version));
        EXPECT_EQ(version, QStringLiteral("2.10.0"));
        EXPECT_TRUE(atBegin.visible);
        EXPECT_EQ(atBegin.maximum, 0);
        EXPECT_EQ(atWork.maximum, 0);
        EXPECT_EQ(atWork.position, 0);
        EXPECT_FALSE(window->isVisible());
    }
}

TEST_F(TfrmHTTPTest, LendsItsPlainClientToTheProbeWhileItExists)
{
    EXPECT_EQ(net::ProbeClient(), window->VardoHTTP);
    window.reset();
    EXPECT_EQ(net::ProbeClient(), nullptr);
    EXPECT_EQ(net::frmHTTP, nullptr);
    QStringList messages;
    net::MessageHook = [&](const QString &text) { messages.append(text); };
    QString version;
    EXPECT_FALSE(net::QueryServiceVersion(QStringLiteral("127.0.0.1"), 1, version));
    EXPECT_EQ(messages.size(), 1);
    net::MessageHook = nullptr;
}

TEST_F(TfrmHTTPTest, FindsTheSystemsTlsLibrariesAtStartUp)
{
    suite::InitPaths({QStringLiteral("vardo-admin")});
    QStringList questions;
    net::ConfirmHook = [&](const QString &question) {
        questions.append(question);
        return 7;
    };
    window->InitializeAll();
    EXPECT_TRUE(questions.isEmpty());
    net::ConfirmHook = nullptr;
}

TEST_F(TfrmHTTPTest, LetsTheArchiveOverwriteAndFollowsItsPercentage)
{
    bool replace = false;
    window->ZLB1ReplaceFile(QStringLiteral("a.txt"), replace);
    EXPECT_TRUE(replace);
    window->ZLB1Progress(QStringLiteral("x"), 40);
    EXPECT_EQ(window->ProgressBar1->value(), 40);
}

TEST_F(TfrmHTTPTest, CarriesAnArchiveThatOverwritesAndReportsInTheWindow)
{
    const QString dir = testenv::freshDir(QStringLiteral("zlb1"));
    testenv::writeFile(dir + QStringLiteral("/a.txt"), "new text");
    window->ZLB1.CreateArchive(dir + QStringLiteral("/test.zlb"));
    window->ZLB1.AddFile(dir + QStringLiteral("/a.txt"));
    testenv::writeFile(dir + QStringLiteral("/out/a.txt"), "old");
    QList<int> positions;
    QObject::connect(window->ProgressBar1, &QProgressBar::valueChanged, [&](int value) { positions.append(value); });

    window->ZLB1.ExtractAll(dir + QStringLiteral("/out"));

    EXPECT_EQ(testenv::readFile(dir + QStringLiteral("/out/a.txt")), QByteArray("new text"));
    ASSERT_FALSE(positions.isEmpty());
    EXPECT_EQ(*std::max_element(positions.begin(), positions.end()), 100);
    EXPECT_EQ(positions.last(), 0) << "the archive clears its progress at the end";
    EXPECT_FALSE(window->isVisible());
}

} // namespace

namespace {

// Frames of a bar, shown, over half a second.
QList<QImage> framesOf(QProgressBar &bar)
{
    bar.resize(249, 25);
    bar.setTextVisible(false);
    bar.show();
    QList<QImage> frames;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 100)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        frames.append(bar.grab().toImage());
    }
    return frames;
}

TEST(StillProgressBar, AnUnknownLengthShowsAnEmptyBarThatNeverMoves)
{
    net::StillProgressBar unknown;
    unknown.setRange(0, 0);
    QProgressBar empty;
    empty.setRange(0, 1);
    empty.setValue(0);

    const QList<QImage> frames = framesOf(unknown);
    const QImage still = framesOf(empty).first();
    EXPECT_EQ(unknown.maximum(), 0);
    for (const QImage &frame : frames)
        EXPECT_TRUE(frame == still);
}

} // namespace
