#include "service/service_log.h"

#include "platform/system_log.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>

#include <cstdio>

namespace service {

ServiceLog::ServiceLog(const QString &folder, bool toSystemLog, bool alwaysToFile)
    : m_folder(folder)
    , m_filePath(folder + LogFileName)
    , m_toSystemLog(toSystemLog)
    , m_alwaysToFile(alwaysToFile)
{
    if (m_toSystemLog)
        platform::openSystemLog(QCoreApplication::applicationName());
}

ServiceLog::~ServiceLog()
{
    if (m_toSystemLog)
        platform::closeSystemLog();
}

void ServiceLog::info(const QString &message)
{
    if (m_alwaysToFile)
        toFile(QStringLiteral("INFO"), message);
    if (m_toSystemLog)
        platform::writeSystemLog(platform::LogPriority::Info, message);
}

void ServiceLog::error(const QString &message)
{
    toFile(QStringLiteral("ERROR"), message);
    if (m_toSystemLog)
        platform::writeSystemLog(platform::LogPriority::Error, message);
}

void ServiceLog::toFile(const QString &level, const QString &message)
{
    QFile file(m_filePath);
    const QByteArray line = (QDateTime::currentDateTime().toString(Qt::ISODateWithMs) + QLatin1Char(' ') + level
                             + QLatin1Char(' ') + message + QLatin1Char('\n'))
                                .toUtf8();
    if (QDir().mkpath(m_folder) && file.open(QIODevice::WriteOnly | QIODevice::Append) && file.write(line) == line.size())
        return;
    if (m_fileFailureReported)
        return;
    m_fileFailureReported = true;
    const QString failure = QStringLiteral("Cannot write the log file %1: %2").arg(m_filePath, file.errorString());
    std::fprintf(stderr, "%s\n", qPrintable(failure));
    platform::writeSystemLog(platform::LogPriority::Error, failure);
}

} // namespace service
