#include "platform/system_log.h"

#include <QByteArray>

#include <syslog.h>

namespace platform {
namespace {

// openlog keeps the pointer, so the identifier must outlive the log.
QByteArray &identifierStorage()
{
    static QByteArray identifier;
    return identifier;
}

int syslogPriority(LogPriority priority)
{
    switch (priority) {
    case LogPriority::Error:
        return LOG_ERR;
    case LogPriority::Warning:
        return LOG_WARNING;
    case LogPriority::Info:
        break;
    }
    return LOG_INFO;
}

} // namespace

void openSystemLog(const QString &identifier)
{
    identifierStorage() = identifier.toUtf8();
    openlog(identifierStorage().constData(), LOG_PID, LOG_DAEMON);
}

void writeSystemLog(LogPriority priority, const QString &message)
{
    syslog(syslogPriority(priority), "%s", message.toUtf8().constData());
}

void closeSystemLog()
{
    closelog();
}

} // namespace platform
