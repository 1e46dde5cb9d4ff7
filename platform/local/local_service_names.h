#pragma once
// Where the local supervisor keeps service definitions and run state, and how a started
// service learns where to report that it is ready. All below TELLVARA_ROOT (default "/").
//
//   etc/tellvara/services/NAME.service   the definition (see local_service_definition.h)
//   run/tellvara/NAME.pid                "PID STARTTIME": the process and its start time in
//                                        clock ticks after boot (/proc/PID/stat field 22),
//                                        so a pid reused by another program is not taken
//                                        for the service
//   run/tellvara/NAME.ready              written by a Type=notify service once it serves
//   run/tellvara/NAME.stopping           present from SIGTERM on; its time starts the grace
//   run/tellvara/NAME.log                the service's standard output and error
//   run/tellvara/NAME.lock               held while one caller starts or stops
#include <QLatin1StringView>

namespace platform::local {

inline constexpr QLatin1StringView DefinitionFolder{"etc/tellvara/services"};
inline constexpr QLatin1StringView RunFolder{"run/tellvara"};
inline constexpr QLatin1StringView DefinitionSuffix{".service"};
inline constexpr QLatin1StringView PidSuffix{".pid"};
inline constexpr QLatin1StringView ReadySuffix{".ready"};
inline constexpr QLatin1StringView StoppingSuffix{".stopping"};
inline constexpr QLatin1StringView LogSuffix{".log"};
inline constexpr QLatin1StringView LockSuffix{".lock"};

// Set in a started service's environment: the file to create, holding its pid, once ready.
inline constexpr char ReadyFileVariable[] = "TELLVARA_SERVICE_READY_FILE";

} // namespace platform::local
