#pragma once
// The local computer's name, as the service's machine and as the host the probe asks.
//
// Rules: the host name (gethostname) cut to 15 characters, the length of the names the
// programs were written for; no trimming, no change of letter case. TELLVARA_MACHINE_NAME,
// when set and not empty, stands in for the host name (tests set "localhost") and is cut
// the same way. When the system cannot report a name the result is "localhost", which
// still addresses this computer.
#include <QString>

namespace platform {

inline constexpr qsizetype MachineNameMaxLength = 15;

QString machineName();

} // namespace platform
