#include "dialup/trial_entries.h"

#include "platform/ras_simulated_phonebook.h"

namespace dialup {

using namespace platform::ras;

void WriteTrialEntries()
{
    SimulatedEntry example;
    example.name = QStringLiteral("Exempel");
    example.phoneNumber = QStringLiteral("0771-123456");
    example.userName = QStringLiteral("vardo");
    example.stepDelayMs = 300;
    writeSimulatedEntry(example);

    SimulatedEntry busy;
    busy.name = QStringLiteral("Upptaget");
    busy.phoneNumber = QStringLiteral("0771-654321");
    busy.states = {OpeningPort, PortOpened, ConnectDevice};
    busy.stepDelayMs = 300;
    busy.error = ErrorLineBusy;
    writeSimulatedEntry(busy);
}

} // namespace dialup
