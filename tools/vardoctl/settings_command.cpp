// vardoctl settings: the service's seven settings, read and written with the rules of the
// admin window ("Ångra" loads, "Spara" stores), one "Name=value" a line.
#include "answer.h"
#include "command.h"

#include "app/core/service_settings.h"
#include "platform/error.h"
#include "suite/registry.h"

#include <algorithm>
#include <utility>

namespace vardoctl {
namespace {

const QString Usage = QStringLiteral(
    "vardoctl settings show\n"
    "vardoctl settings set NAME=VALUE ...\n"
    "  NAME: TcpIPPort (integer), GetMessageIntervall (minutes, kept within 1..1440),\n"
    "        CheckPatientTime (H:MM or H:MM:SS), LogtoEventLogg and AlwaysLogtoFile (T or F),\n"
    "        Pasis_Path, DefaultDataProvider (text)");

// The values as the window shows them after a load, defaults applied.
int show()
{
    const app::ServiceSettings s = app::loadServiceSettings();
    printFields({
        {app::SettingName::TcpIPPort, s.port},
        {app::SettingName::GetMessageIntervall, s.messageInterval},
        {app::SettingName::CheckPatientTime, app::shownTimeText(s.checkPatientTime)},
        {app::SettingName::LogtoEventLogg, app::flagText(s.logToEventLog)},
        {app::SettingName::AlwaysLogtoFile, app::flagText(s.alwaysLogToFile)},
        {app::SettingName::PasisPath, s.pasisPath},
        {app::SettingName::DefaultDataProvider, app::storedDefaultDataProvider()},
    });
    return ExitOk;
}

QString integerText(const QString &value)
{
    if (const std::optional<int> number = app::decimalInteger(value))
        return QString::number(*number);
    throw platform::Error(QStringLiteral("not a whole number: ") + value);
}

// The interval field keeps its value within its bounds; so does this command, saying so.
QString intervalText(const QString &value)
{
    const std::optional<int> minutes = app::decimalInteger(value);
    if (!minutes)
        throw platform::Error(QStringLiteral("not a whole number: ") + value);
    const int kept = app::clampMessageInterval(*minutes);
    if (kept != *minutes)
        err() << app::SettingName::GetMessageIntervall << ": " << value << " kept within "
              << app::MinMessageInterval << ".." << app::MaxMessageInterval << ": " << kept << '\n';
    return QString::number(kept);
}

QString timeText(const QString &value)
{
    if (const std::optional<QTime> time = app::timeOfDay(value))
        return app::storedTimeText(*time);
    throw platform::Error(QStringLiteral("not a time of day (H:MM or H:MM:SS): ") + value);
}

// "T" and "F" only: any other text would silently count as ticked.
QString flagValueText(const QString &value)
{
    const QString upper = value.toUpper();
    if (upper == u"T" || upper == u"F")
        return upper;
    throw platform::Error(QStringLiteral("not T or F: ") + value);
}

// The stored form of one value, as "Spara" would write it from the field.
QString storedText(const QString &name, const QString &value)
{
    if (name == app::SettingName::TcpIPPort)
        return integerText(value);
    if (name == app::SettingName::GetMessageIntervall)
        return intervalText(value);
    if (name == app::SettingName::CheckPatientTime)
        return timeText(value);
    if (name == app::SettingName::LogtoEventLogg || name == app::SettingName::AlwaysLogtoFile)
        return flagValueText(value);
    return value;
}

int saveOrder(const QString &name)
{
    const QList<app::StoredSetting> order = app::storedSettings(app::ServiceSettings{}, QString());
    return int(std::find_if(order.begin(), order.end(), [&](const app::StoredSetting &s) { return s.name == name; })
               - order.begin());
}

// Every argument is checked before anything is written; a later one of the same name wins.
std::optional<QList<app::StoredSetting>> parseAssignments(const QStringList &args)
{
    QList<app::StoredSetting> values;
    for (const QString &arg : args) {
        const qsizetype eq = arg.indexOf(u'=');
        std::optional<app::StoredSetting> setting = eq > 0 ? app::settingLocation(arg.left(eq)) : std::nullopt;
        if (!setting) {
            err() << "not a setting: " << arg << '\n';
            return std::nullopt;
        }
        try {
            setting->text = storedText(setting->name, arg.mid(eq + 1));
        } catch (const platform::Error &e) {
            err() << setting->name << ": " << e.message() << '\n';
            return std::nullopt;
        }
        values.removeIf([&](const app::StoredSetting &s) { return s.name == setting->name; });
        values.append(*setting);
    }
    std::stable_sort(values.begin(), values.end(), [](const app::StoredSetting &a, const app::StoredSetting &b) {
        return saveOrder(a.name) < saveOrder(b.name);
    });
    return values;
}

// Writes in the order "Spara" does. Unlike the window, a refused write is reported: a
// script must not take it for success.
int set(const QStringList &args)
{
    const std::optional<QList<app::StoredSetting>> values = parseAssignments(args);
    if (!values || values->isEmpty())
        return usageError(Usage);
    for (const app::StoredSetting &value : *values) {
        if (!app::writeMachineSetting(value.key, value.name, value.text)) {
            const QString reason = suite::LastRegistryError();
            err() << "Could not write " << value.name << ": "
                  << (reason.isEmpty() ? suite::LastRegistryWriteFailure() : reason) << '\n';
            return ExitFailed;
        }
    }
    return jsonOutput() ? show() : ExitOk;
}

int runSettings(const QStringList &args)
{
    if (args.size() == 1 && args.at(0) == u"show")
        return show();
    if (!args.isEmpty() && args.at(0) == u"set")
        return set(args.mid(1));
    return usageError(Usage);
}

const CommandRegistration registration{{
    QStringLiteral("settings"),
    Usage,
    runSettings,
}};

} // namespace
} // namespace vardoctl
