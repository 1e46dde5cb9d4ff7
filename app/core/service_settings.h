#pragma once
// The Vardo service's working settings: where they are stored, their defaults and the
// text forms the service reads. The admin window and vardoctl share these rules.
// The stored time is "HH:mm:ss" whatever the administrator's locale, because the service
// parses that text.
#include <QList>
#include <QString>
#include <QTime>

#include <functional>
#include <optional>

namespace app {

inline constexpr int DefaultPort = 8080;
inline constexpr int DefaultMessageInterval = 5;
inline constexpr int MinMessageInterval = 1;
inline constexpr int MaxMessageInterval = 1440;
inline const QTime DefaultCheckPatientTime{5, 45};

// Registry value names of the settings.
namespace SettingName {
inline const QString TcpIPPort = QStringLiteral("TcpIPPort");
inline const QString GetMessageIntervall = QStringLiteral("GetMessageIntervall");
inline const QString CheckPatientTime = QStringLiteral("CheckPatientTime");
inline const QString LogtoEventLogg = QStringLiteral("LogtoEventLogg");
inline const QString AlwaysLogtoFile = QStringLiteral("AlwaysLogtoFile");
inline const QString PasisPath = QStringLiteral("Pasis_Path");
inline const QString DefaultDataProvider = QStringLiteral("DefaultDataProvider");
} // namespace SettingName

// The settings as the window's fields hold them.
struct ServiceSettings
{
    int port = DefaultPort;                          // no limits, negative included
    int messageInterval = DefaultMessageInterval;    // minutes, kept within 1..1440
    QTime checkPatientTime = DefaultCheckPatientTime;
    bool logToEventLog = true;
    bool alwaysLogToFile = true;
    QString pasisPath;

    bool operator==(const ServiceSettings &) const = default;
};

// One value in the machine-wide store: key path, value name and its text.
struct StoredSetting
{
    QString key;
    QString name;
    QString text;

    bool operator==(const StoredSetting &) const = default;
};

// Text rules.
std::optional<int> decimalInteger(const QString &text);   // optional sign, digits, 32-bit
int clampMessageInterval(qint64 minutes);
std::optional<QTime> timeOfDay(const QString &text);      // "h:mm" or "h:mm:ss", 24-hour
QString storedTimeText(const QTime &time);                 // "05:45:00"
QString shownTimeText(const QTime &time);                  // "05:45"
bool flagTicked(const QString &text);                      // on unless exactly "F"
QString flagText(bool ticked);                             // "T" or "F"

// The key of a setting's value name (any letter case), with the name as the service
// spells it; none for a name that is not one of the seven.
std::optional<StoredSetting> settingLocation(const QString &name);

// Reads every setting; absent or unusable values give the defaults.
ServiceSettings loadServiceSettings();

// The stored "DefaultDataProvider" (the window never shows it).
QString storedDefaultDataProvider();

// The seven values a save writes, in the order it writes them.
QList<StoredSetting> storedSettings(const ServiceSettings &settings, const QString &defaultDataProvider);

// Stores one value; false when the store refused it. Throws on the store's own errors.
using SettingWriter = std::function<bool(const QString &key, const QString &name, const QString &text)>;
bool writeMachineSetting(const QString &key, const QString &name, const QString &text);

// Writes the values one after the other. A refused write is skipped silently (a user
// without write access changes nothing and sees nothing); an error ends the save there.
void writeSettings(const QList<StoredSetting> &values, const SettingWriter &write = writeMachineSetting);

void saveServiceSettings(const ServiceSettings &settings, const QString &defaultDataProvider,
                         const SettingWriter &write = writeMachineSetting);

} // namespace app
