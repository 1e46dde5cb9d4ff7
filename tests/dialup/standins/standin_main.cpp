// A stand-in main RAS library: RasHangUpA under its own name, RasDeleteEntry only in its
// "A" variant. Nothing else.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#define STANDIN_EXPORT extern "C" __attribute__((visibility("default")))

STANDIN_EXPORT std::uint32_t RasHangUpA(std::uint32_t)
{
    return 101;
}

STANDIN_EXPORT std::uint32_t RasDeleteEntryA(const char *, const char *)
{
    return 102;
}

// Leaves a mark when the library is unloaded, so a test can tell whether it was freed.
__attribute__((destructor)) static void markUnloaded()
{
    if (const char *mark = std::getenv("DIALUP_STANDIN_MAIN_UNLOADED"))
        if (FILE *f = std::fopen(mark, "w"))
            std::fclose(f);
}
