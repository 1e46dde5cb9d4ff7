// A stand-in main RAS library: RasHangUpA under its own name, RasDeleteEntry only in its
// "A" variant. Nothing else.
#include "unload_mark.h"

#include <cstdint>

#define STANDIN_EXPORT extern "C" __attribute__((visibility("default")))

STANDIN_EXPORT std::uint32_t RasHangUpA(std::uint32_t)
{
    return 101;
}

STANDIN_EXPORT std::uint32_t RasDeleteEntryA(const char *, const char *)
{
    return 102;
}

__attribute__((destructor)) static void markUnloaded()
{
    leaveUnloadMark("DIALUP_STANDIN_MAIN_UNLOADED");
}
