#pragma once
// Tells a live process from a dead one or from another program that got the same pid.
#include <QtGlobal>

#include <optional>

namespace platform::local {

// The start time of a live process in clock ticks after boot, or none when no such
// process runs (a zombie counts as gone: it serves nothing and waits only to be reaped).
std::optional<quint64> processStartTime(qint64 pid);

} // namespace platform::local
