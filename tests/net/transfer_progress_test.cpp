#include "net/hooks.h"
#include "net/network_errors.h"
#include "net/transfer_progress.h"

#include <gtest/gtest.h>

namespace {

class TransferProgressTest : public ::testing::Test
{
protected:
    TransferProgressTest()
    {
        QObject::connect(&progress, &net::TransferProgress::changed, [this] { ++changes; });
    }
    ~TransferProgressTest() override { net::TranslateHook = nullptr; }

    const net::TransferWindowState &state() const { return progress.state(); }

    net::TransferProgress progress;
    int changes = 0;
};

TEST_F(TransferProgressTest, StartsHiddenWithTheConnectingText)
{
    EXPECT_FALSE(state().visible);
    EXPECT_EQ(state().status, QStringLiteral("Ansluter till databasen, vänta..."));
}

TEST_F(TransferProgressTest, ShowsADownloadWithItsTotalAndHidesItAtTheEnd)
{
    progress.VardoHTTPWorkBegin(300);
    EXPECT_TRUE(state().visible);
    EXPECT_EQ(state().caption, QStringLiteral("Tellvara nerladdning"));
    EXPECT_EQ(state().status, QStringLiteral("Kommunicerar med Tellvara AB, vänta..."));
    EXPECT_EQ(state().maximum, 300);
    EXPECT_EQ(state().position, 0);
    progress.VardoHTTPWork(120);
    EXPECT_EQ(state().position, 120);
    progress.VardoHTTPWorkEnd();
    EXPECT_FALSE(state().visible);
    EXPECT_EQ(changes, 3);
}

TEST_F(TransferProgressTest, LeavesThePositionAloneWithoutAKnownTotal)
{
    progress.VardoHTTPWorkBegin(300);
    progress.VardoHTTPWork(100);
    progress.VardoHTTPWorkBegin(0);
    EXPECT_EQ(state().maximum, 0);
    EXPECT_EQ(state().position, 0);
    progress.VardoHTTPWork(50);
    EXPECT_EQ(state().position, 0);
    EXPECT_TRUE(state().visible);
}

TEST_F(TransferProgressTest, TranslatesTheDownloadTexts)
{
    net::TranslateHook = [](const QString &text) { return "T:" + text; };
    progress.VardoHTTPWorkBegin(1);
    EXPECT_EQ(state().caption, QStringLiteral("T:Tellvara nerladdning"));
    EXPECT_EQ(state().status, QStringLiteral("T:Kommunicerar med Tellvara AB, vänta..."));
}

TEST_F(TransferProgressTest, CountsBytesOfASecureTransferInItsStatusLine)
{
    net::TranslateHook = [](const QString &text) { return "<" + text + ">"; };
    progress.HTTP1WorkBegin(2500000);
    EXPECT_EQ(state().caption, QStringLiteral("<Internet connection>"));
    EXPECT_EQ(state().status, QStringLiteral("<Transfering: >2500000< bytes, please wait...>"));
    progress.HTTP1Work(1234567);
    EXPECT_EQ(state().status, QStringLiteral("1234567< bytes of >2500000< bytes.>"));
    EXPECT_EQ(state().position, 1234567);
    progress.HTTP1WorkEnd();
    EXPECT_EQ(state().status, QStringLiteral("<Work done!>"));
    EXPECT_FALSE(state().visible);
}

TEST_F(TransferProgressTest, CountsBytesOfASecureTransferWithoutTotal)
{
    progress.HTTP1WorkBegin(0);
    EXPECT_EQ(state().status, QStringLiteral("Ansluter till databasen, vänta..."));
    progress.HTTP1Work(4096);
    EXPECT_EQ(state().status, QStringLiteral("4096 bytes."));
    EXPECT_EQ(state().position, 0);
}

TEST_F(TransferProgressTest, FollowsTheArchivePercentageAndHidesAbove98)
{
    progress.VardoHTTPWorkBegin(100);
    progress.ZLB1Progress(QStringLiteral("packing"), 98);
    EXPECT_EQ(state().position, 98);
    EXPECT_TRUE(state().visible);
    progress.ZLB1Progress(QStringLiteral("packing"), 99);
    EXPECT_FALSE(state().visible);
}

class NetworkErrorsTest : public ::testing::Test
{
protected:
    NetworkErrorsTest()
    {
        net::MessageHook = [this](const QString &text) { messages.append(text); };
    }
    ~NetworkErrorsTest() override
    {
        net::MessageHook = nullptr;
        net::ReportNetworkErrors = false;
    }
    QStringList messages;
};

TEST_F(NetworkErrorsTest, DropsReportsWhileTheySwitchedOff)
{
    net::ReportNetworkError(QStringLiteral("lost"));
    net::ReportDialUpNotConnected(QStringLiteral("Modem"), QStringLiteral("busy"));
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(NetworkErrorsTest, ShowsReportsWhenSwitchedOn)
{
    net::ReportNetworkErrors = true;
    net::ReportNetworkError(QStringLiteral("lost"));
    net::ReportDialUpNotConnected(QStringLiteral("Modem"), QStringLiteral("The line is busy."));
    EXPECT_EQ(messages, (QStringList{"lost", "An error occurred while connecting to the Internet using the Modem "
                                             "connection!\r\rThe line is busy."}));
}

} // namespace
