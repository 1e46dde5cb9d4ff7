// Entry names outside ASCII through vardoctl dialup: the terminal speaks UTF-8, the library
// the ANSI code page; a name travels both ways intact on either back end, and one the code
// page cannot hold is refused rather than matching nothing.
#include "networkmanager_mock.h"
#include "platform/ras_simulated_phonebook.h"
#include "program_run.h"
#include "test_env.h"

#include <gtest/gtest.h>

namespace {

const QString Company = QString::fromUtf8("Företag");

testenv::ProgramRun vardoctl(const QStringList &args)
{
    return testenv::runProgram(testenv::binDir() + "/vardoctl", args);
}

// Dials the entry, sees it in the status, hangs it up by name and sees it gone.
void dialStatusAndHangUp(const QString &statusLine)
{
    const testenv::ProgramRun dial = vardoctl({"dialup", "dial", Company});
    EXPECT_EQ(dial.exitCode, 0) << qPrintable(dial.err);
    EXPECT_EQ(vardoctl({"dialup", "status"}).out, statusLine);
    const testenv::ProgramRun hangup = vardoctl({"dialup", "hangup", Company});
    EXPECT_EQ(hangup.exitCode, 0) << qPrintable(hangup.err);
    EXPECT_EQ(hangup.out, "Hung up\n");
    EXPECT_EQ(vardoctl({"dialup", "status"}).out, "No active dial-up connection\n");
}

TEST(VardoctlDialUpNames, SwedishNameOnTheSimulatedModem)
{
    qputenv("TELLVARA_RAS_BACKEND", "simulated");
    platform::ras::SimulatedEntry entry;
    entry.name = Company;
    entry.stepDelayMs = 10;
    platform::ras::writeSimulatedEntry(entry);
    EXPECT_EQ(vardoctl({"dialup", "entries"}).out, Company + "\n");
    dialStatusAndHangUp(Company + "\tConnected\tmodem\tSimulated modem\n");
}

TEST(VardoctlDialUpNames, SwedishNameOnNetworkManager)
{
    qunsetenv("TELLVARA_RAS_BACKEND");
    nmtest::NetworkManagerMock nm;
    nm.runOnSettings(QString::fromUtf8("self.SettingsAddConnection({'connection': {'id': 'Företag', 'type': 'gsm', "
                                       "'uuid': 'u-foretag'}, 'gsm': {'number': '*99#'}})"));
    nm.activateWith(nmtest::ActivateAndConnect);
    dialStatusAndHangUp(Company + "\tConnected\tmodem\tttyUSB0\n");
}

TEST(VardoctlDialUpNames, NameTheCodePageCannotHoldIsRefused)
{
    qputenv("TELLVARA_RAS_BACKEND", "simulated");
    for (const char *command : {"dial", "hangup"}) {
        const testenv::ProgramRun run = vardoctl({"dialup", command, QString::fromUtf8("Ωmega")});
        EXPECT_EQ(run.exitCode, 1) << command;
        EXPECT_EQ(run.err, QString::fromUtf8("\"Ωmega\" cannot be written in the code page CP1252.\n")) << command;
    }
}

} // namespace
