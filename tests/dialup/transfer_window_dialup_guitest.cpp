// The transfer window's dial-up component: synchronous, English, and a failed dial
// reported as a network error naming the entry (shown only when network errors are).
#include "net/hooks.h"
#include "net/network_errors.h"
#include "net/widgets/tfrmhttp.h"

#include "platform/ras_simulated_phonebook.h"

#include <gtest/gtest.h>

using namespace platform::ras;

namespace {

class TransferWindowDialUp : public ::testing::Test
{
protected:
    void SetUp() override
    {
        qputenv("TELLVARA_RAS_BACKEND", "simulated");
        net::MessageHook = [this](const QString &text) { messages.append(text); };
    }
    void TearDown() override
    {
        net::MessageHook = nullptr;
        net::ReportNetworkErrors = false;
    }

    QStringList messages;
};

TEST_F(TransferWindowDialUp, CarriesASynchronousEnglishComponent)
{
    net::TfrmHTTP window;
    ASSERT_NE(window.DialUp1, nullptr);
    EXPECT_EQ(window.DialUp1->objectName(), QStringLiteral("DialUp1"));
    EXPECT_EQ(window.DialUp1->DialMode(), dialup::dmSync);
    EXPECT_EQ(window.DialUp1->Language(), dialup::English);
    EXPECT_TRUE(bool(window.DialUp1->OnNotConnected));
}

TEST_F(TransferWindowDialUp, FailedDialIsReportedWithTheEntryWhenErrorsAreShown)
{
    SimulatedEntry busy;
    busy.name = QStringLiteral("Upptaget");
    busy.states = {OpeningPort};
    busy.stepDelayMs = 0;
    busy.error = ErrorLineBusy;
    writeSimulatedEntry(busy);
    net::TfrmHTTP window;
    window.DialUp1->SetEntry(busy.name);

    EXPECT_EQ(window.DialUp1->Dial(), int(ErrorLineBusy));
    EXPECT_TRUE(messages.isEmpty()); // this program never shows network errors

    net::ReportNetworkErrors = true;
    EXPECT_EQ(window.DialUp1->Dial(), int(ErrorLineBusy));
    EXPECT_EQ(messages, QStringList{QStringLiteral("An error occurred while connecting to the Internet using the "
                                                   "Upptaget connection!\r\rThe phone line is busy.")});
}

} // namespace
