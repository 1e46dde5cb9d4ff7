#pragma once
// The two phonebook entries of a trial run, for the simulated modem: "Exempel" connects
// after a few states, "Upptaget" fails with the busy line error.
namespace dialup {

void WriteTrialEntries();

} // namespace dialup
