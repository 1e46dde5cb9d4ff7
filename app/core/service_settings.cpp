#include "app/core/service_settings.h"

#include "suite/service_keys.h"
#include "suite/registry.h"

#include <QRegularExpression>

#include <algorithm>
#include <limits>

namespace app {
namespace {

const QString PortKey = suite::serviceSubKey(QStringLiteral("Port"));
const QString TimersKey = suite::serviceSubKey(QStringLiteral("Timers"));
const QString LoggingKey = suite::serviceSubKey(QStringLiteral("Logging"));
const QString PathsKey = suite::serviceSubKey(QStringLiteral("Paths"));
const QString DataProviderKey = suite::serviceSubKey(QStringLiteral("DataProvider"));

QString readMachineSetting(const QString &key, const QString &name)
{
    return suite::ReadRegistryString(suite::RegistryRoot::LocalMachine, key, name);
}

} // namespace

std::optional<int> decimalInteger(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("^[+-]?[0-9]+$"));
    if (!pattern.match(text).hasMatch())
        return std::nullopt;
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok);
    if (!ok || value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(value);
}

int clampMessageInterval(qint64 minutes)
{
    return int(std::clamp<qint64>(minutes, MinMessageInterval, MaxMessageInterval));
}

std::optional<QTime> timeOfDay(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("^([0-9]{1,2}):([0-9]{1,2})(?::([0-9]{1,2}))?$"));
    const QRegularExpressionMatch match = pattern.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const int seconds = match.captured(3).isEmpty() ? 0 : match.captured(3).toInt();
    const QTime time(match.captured(1).toInt(), match.captured(2).toInt(), seconds);
    if (!time.isValid())
        return std::nullopt;
    return time;
}

QString storedTimeText(const QTime &time)
{
    return time.toString(QStringLiteral("HH:mm:ss"));
}

QString shownTimeText(const QTime &time)
{
    return time.toString(QStringLiteral("HH:mm"));
}

bool flagTicked(const QString &text)
{
    return text != QLatin1String("F");
}

QString flagText(bool ticked)
{
    return ticked ? QStringLiteral("T") : QStringLiteral("F");
}

std::optional<StoredSetting> settingLocation(const QString &name)
{
    for (StoredSetting setting : storedSettings(ServiceSettings{}, QString())) {
        if (setting.name.compare(name, Qt::CaseInsensitive) == 0) {
            setting.text.clear();
            return setting;
        }
    }
    return std::nullopt;
}

ServiceSettings loadServiceSettings()
{
    ServiceSettings s;
    s.port = decimalInteger(readMachineSetting(PortKey, SettingName::TcpIPPort)).value_or(DefaultPort);
    s.messageInterval = clampMessageInterval(
        decimalInteger(readMachineSetting(TimersKey, SettingName::GetMessageIntervall)).value_or(DefaultMessageInterval));
    s.logToEventLog = flagTicked(readMachineSetting(LoggingKey, SettingName::LogtoEventLogg));
    s.alwaysLogToFile = flagTicked(readMachineSetting(LoggingKey, SettingName::AlwaysLogtoFile));
    s.checkPatientTime = timeOfDay(readMachineSetting(TimersKey, SettingName::CheckPatientTime))
                             .value_or(DefaultCheckPatientTime);
    s.pasisPath = readMachineSetting(PathsKey, SettingName::PasisPath);
    return s;
}

QString storedDefaultDataProvider()
{
    return readMachineSetting(DataProviderKey, SettingName::DefaultDataProvider);
}

QList<StoredSetting> storedSettings(const ServiceSettings &s, const QString &defaultDataProvider)
{
    return {
        {LoggingKey, SettingName::LogtoEventLogg, flagText(s.logToEventLog)},
        {LoggingKey, SettingName::AlwaysLogtoFile, flagText(s.alwaysLogToFile)},
        {PathsKey, SettingName::PasisPath, s.pasisPath},
        {DataProviderKey, SettingName::DefaultDataProvider, defaultDataProvider},
        {PortKey, SettingName::TcpIPPort, QString::number(s.port)},
        {TimersKey, SettingName::GetMessageIntervall, QString::number(clampMessageInterval(s.messageInterval))},
        {TimersKey, SettingName::CheckPatientTime, storedTimeText(s.checkPatientTime)},
    };
}

bool writeMachineSetting(const QString &key, const QString &name, const QString &text)
{
    return suite::WriteRegistryString(suite::RegistryRoot::LocalMachine, key, name, text);
}

void writeSettings(const QList<StoredSetting> &values, const SettingWriter &write)
{
    for (const StoredSetting &value : values)
        write(value.key, value.name, value.text);
}

void saveServiceSettings(const ServiceSettings &settings, const QString &defaultDataProvider,
                         const SettingWriter &write)
{
    writeSettings(storedSettings(settings, defaultDataProvider), write);
}

} // namespace app
