#pragma once
// The system's log: syslog, which the journal collects where systemd runs. Lines carry the
// program's name as given to openSystemLog and its pid.
#include <QString>

namespace platform {

enum class LogPriority { Error, Warning, Info };

void openSystemLog(const QString &identifier);
void writeSystemLog(LogPriority priority, const QString &message);
void closeSystemLog();

} // namespace platform
