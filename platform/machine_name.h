#pragma once
// The local computer's name, as the service's machine and as the host the probe asks.
//
// Rules: the host name as gethostname gives it, whole: a name cut to some length (the
// programs were first written for 15-character names) may no longer resolve, and then
// the probe could never reach the service. No trimming, no change of letter case.
// TELLVARA_MACHINE_NAME, when set and not empty, stands in for the host name (tests set
// "localhost"). When the system cannot report a name the result is "localhost", which
// still addresses this computer.
#include <QString>

namespace platform {

QString machineName();

} // namespace platform
