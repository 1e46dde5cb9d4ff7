#pragma once
// A stand-in leaves a mark file, named by an environment variable, when it is unloaded,
// so a test can tell whether the binding freed it.
#include <cstdio>
#include <cstdlib>

inline void leaveUnloadMark(const char *variable)
{
    if (const char *mark = std::getenv(variable))
        if (FILE *f = std::fopen(mark, "w"))
            std::fclose(f);
}
