#pragma once
// How NetworkManager's states and failure reasons read as RAS states and errors. The
// table of reasons is in the README.
#include "platform/ras_api.h"

#include <QList>

namespace platform::ras::nm {

// The RAS states a dial passes through, in order; a NetworkManager state stands for all
// of them up to its own.
const QList<Dword> &dialSequence();

// How many states of dialSequence a device in this state has passed (0: none yet).
qsizetype statesPassedByDevice(unsigned deviceState);

// The RAS error for a device's failure reason (NMDeviceStateReason).
Dword errorForDeviceReason(unsigned reason);

} // namespace platform::ras::nm
