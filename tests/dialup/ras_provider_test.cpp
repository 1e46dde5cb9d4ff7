// The provider's exported functions called directly, as any program binding them would:
// record sizes checked before anything is written, lists that do not fit, error texts cut
// to the buffer, unknown handles and projections.
#include "dialup/ras_binding.h"

#include "platform/codepage.h"
#include "platform/ras_simulated_phonebook.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace platform::ras;
using dialup::CallRas;

namespace {

class RasProvider : public ::testing::Test
{
protected:
    void SetUp() override
    {
        qputenv("TELLVARA_RAS_BACKEND", "simulated");
        SimulatedEntry entry;
        entry.name = QStringLiteral("Exempel");
        entry.password = platform::toAnsiSecret(u"hemligt");
        writeSimulatedEntry(entry);
    }
};

TEST_F(RasProvider, RecordsOfTheWrongSizeAreRefusedUntouched)
{
    DialParamsA params{};
    params.size = sizeof params - 4;
    std::strcpy(params.entryName, "Exempel");
    int hasPassword = 7;
    EXPECT_EQ(CallRas<RasGetEntryDialParamsAFn>("RasGetEntryDialParamsA", nullptr, &params, &hasPassword),
              Dword(ErrorInvalidSize));
    EXPECT_EQ(hasPassword, 7);
    EXPECT_EQ(params.password[0], 0);

    ConnStatusA status{};
    status.size = 0;
    EXPECT_EQ(CallRas<RasGetConnectStatusAFn>("RasGetConnectStatusA", Handle(1), &status), Dword(ErrorInvalidSize));

    std::vector<EntryNameA> entries(2);
    entries[0].size = 100;
    Dword bytes = Dword(entries.size() * sizeof(EntryNameA));
    Dword count = 0;
    EXPECT_EQ(CallRas<RasEnumEntriesAFn>("RasEnumEntriesA", nullptr, nullptr, entries.data(), &bytes, &count),
              Dword(ErrorInvalidSize));
}

TEST_F(RasProvider, AListThatDoesNotFitSaysHowMuchIsNeeded)
{
    SimulatedEntry second;
    second.name = QStringLiteral("Andra");
    writeSimulatedEntry(second);
    EntryNameA one{};
    one.size = sizeof one;
    Dword bytes = sizeof one;
    Dword count = 99;
    EXPECT_EQ(CallRas<RasEnumEntriesAFn>("RasEnumEntriesA", nullptr, nullptr, &one, &bytes, &count),
              Dword(ErrorBufferTooSmall));
    EXPECT_EQ(bytes, 2 * sizeof(EntryNameA));
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(one.entryName[0], 0);
}

TEST_F(RasProvider, ErrorTextIsCutToTheBufferWithItsZero)
{
    char text[8];
    std::memset(text, 'x', sizeof text);
    EXPECT_EQ(CallRas<RasGetErrorStringAFn>("RasGetErrorStringA", unsigned(ErrorLineBusy), text, Dword(sizeof text)),
              Dword(Success));
    EXPECT_STREQ(text, "The pho");
    EXPECT_EQ(CallRas<RasGetErrorStringAFn>("RasGetErrorStringA", unsigned(ErrorLineBusy), text, Dword(0)),
              Dword(ErrorInvalidParameter));
    char unknown[100];
    CallRas<RasGetErrorStringAFn>("RasGetErrorStringA", 4242u, unknown, Dword(sizeof unknown));
    EXPECT_STREQ(unknown, "Unknown dial-up error 4242.");
}

TEST_F(RasProvider, UnknownHandlesAndProjections)
{
    EXPECT_EQ(CallRas<RasHangUpAFn>("RasHangUpA", Handle(0)), Dword(ErrorInvalidHandle));
    EXPECT_EQ(CallRas<RasHangUpAFn>("RasHangUpA", Handle(12345)), Dword(ErrorInvalidHandle));
    ConnStatusA status{};
    status.size = sizeof status;
    EXPECT_EQ(CallRas<RasGetConnectStatusAFn>("RasGetConnectStatusA", Handle(12345), &status),
              Dword(ErrorInvalidHandle));
    PppIpA ip{};
    ip.size = sizeof ip;
    Dword bytes = sizeof ip;
    EXPECT_EQ(CallRas<RasGetProjectionInfoAFn>("RasGetProjectionInfoA", Handle(12345), 0x803F, static_cast<void *>(&ip),
                                               &bytes),
              Dword(ErrorProtocolNotConfigured));
    bytes = 10;
    EXPECT_EQ(CallRas<RasGetProjectionInfoAFn>("RasGetProjectionInfoA", Handle(12345), PppIpProjection,
                                               static_cast<void *>(&ip), &bytes),
              Dword(ErrorBufferTooSmall));
    EXPECT_EQ(bytes, sizeof(PppIpA));
}

TEST_F(RasProvider, LongTextIsCutToTheFieldAndAlwaysEndsInZero)
{
    DialParamsA params{};
    params.size = sizeof params;
    std::strcpy(params.entryName, "Exempel");
    int hasPassword = 0;
    ASSERT_EQ(CallRas<RasGetEntryDialParamsAFn>("RasGetEntryDialParamsA", nullptr, &params, &hasPassword), 0u);
    EXPECT_EQ(hasPassword, 1);
    std::memset(params.userName, 'u', sizeof params.userName); // no zero at all
    ASSERT_EQ(CallRas<RasSetEntryDialParamsAFn>("RasSetEntryDialParamsA", nullptr, &params, 0), 0u);
    SimulatedEntry stored;
    ASSERT_TRUE(readSimulatedEntry(QStringLiteral("Exempel"), stored));
    EXPECT_EQ(stored.userName, QString(int(UserNameSize), QLatin1Char('u'))); // read up to the field's end
    ASSERT_EQ(CallRas<RasGetEntryDialParamsAFn>("RasGetEntryDialParamsA", nullptr, &params, &hasPassword), 0u);
    EXPECT_EQ(std::strlen(params.userName), UserNameSize - 1);
}

} // namespace
