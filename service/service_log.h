#pragma once
// The service's log, as its two switches say: "AlwaysLogtoFile" on writes every line to
// vardo-service.log in the log folder, off writes only errors there; "LogtoEventLogg" on
// also sends every line to the system log (the journal where systemd runs), off sends
// nothing there. A log file that cannot be written is reported once on standard error and
// to the system log, and the service goes on.
#include <QString>

namespace service {

inline const QString LogFileName = QStringLiteral("vardo-service.log");

class ServiceLog
{
public:
    ServiceLog(const QString &folder, bool toSystemLog, bool alwaysToFile);
    ~ServiceLog();
    ServiceLog(const ServiceLog &) = delete;
    ServiceLog &operator=(const ServiceLog &) = delete;

    void info(const QString &message);
    void error(const QString &message);

    QString filePath() const { return m_filePath; }

private:
    void toFile(const QString &level, const QString &message);

    QString m_folder;
    QString m_filePath;
    bool m_toSystemLog;
    bool m_alwaysToFile;
    bool m_fileFailureReported = false;
};

} // namespace service
