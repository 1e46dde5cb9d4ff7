// A stand-in second RAS library: its functions under the names as asked.
#include "unload_mark.h"

#include <cstdint>

#define STANDIN_EXPORT extern "C" __attribute__((visibility("default")))

STANDIN_EXPORT std::uint32_t RasHangUpA(std::uint32_t)
{
    return 201;
}

STANDIN_EXPORT std::uint32_t RasEnumEntriesA(const char *, const char *, void *, std::uint32_t *, std::uint32_t *)
{
    return 202;
}

STANDIN_EXPORT std::uint32_t RasDeleteEntry(const char *, const char *)
{
    return 203;
}

__attribute__((destructor)) static void markUnloaded()
{
    leaveUnloadMark("DIALUP_STANDIN_FALLBACK_UNLOADED");
}
