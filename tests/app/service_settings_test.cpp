// The service settings: text rules, load with defaults, and the save's seven writes.
#include "app/core/service_settings.h"

#include "platform/error.h"
#include "suite/registry.h"

#include <gtest/gtest.h>

#include <QLocale>

using namespace app;
using suite::RegistryRoot;

namespace {

const QString Base = QStringLiteral("SOFTWARE\\Tellvara\\Vardo-Service\\");

void store(const QString &subKey, const QString &name, const QString &text)
{
    ASSERT_TRUE(suite::WriteRegistryString(RegistryRoot::LocalMachine, Base + subKey, name, text));
}

QString stored(const QString &subKey, const QString &name)
{
    return suite::ReadRegistryString(RegistryRoot::LocalMachine, Base + subKey, name);
}

// Records every write and passes it on to the real store.
struct RecordingWriter
{
    QList<StoredSetting> writes;
    int throwAt = -1;      // index of the write that raises an error
    int refuseAt = -1;     // index of the write the store refuses

    SettingWriter writer()
    {
        return [this](const QString &key, const QString &name, const QString &text) {
            const int index = int(writes.size());
            writes.append({key, name, text});
            if (index == throwAt)
                throw platform::Error(QStringLiteral("Kan inte sätta säkerhet"));
            if (index == refuseAt)
                return false;
            return writeMachineSetting(key, name, text);
        };
    }
};

} // namespace

TEST(ServiceSettingRules, DecimalInteger)
{
    struct Row { const char *text; std::optional<int> value; };
    const Row rows[] = {
        {"8080", 8080}, {"-1", -1}, {"70000", 70000}, {"+7", 7}, {"007", 7},
        {"2147483647", 2147483647}, {"-2147483648", std::numeric_limits<int>::min()},
        {"2147483648", std::nullopt}, {"abc", std::nullopt}, {"", std::nullopt},
        {" 12", std::nullopt}, {"12 ", std::nullopt}, {"12.5", std::nullopt},
        {"0x10", std::nullopt}, {"-", std::nullopt}, {"1e3", std::nullopt},
    };
    for (const Row &row : rows)
        EXPECT_EQ(decimalInteger(QString::fromUtf8(row.text)), row.value) << row.text;
}

TEST(ServiceSettingRules, TimeOfDayAcceptsHoursMinutesAndOptionalSeconds)
{
    struct Row { const char *text; QTime time; };
    const Row rows[] = {
        {"05:45", QTime(5, 45)}, {"5:45", QTime(5, 45)}, {"05:45:00", QTime(5, 45)},
        {"23:59:59", QTime(23, 59, 59)}, {"0:00", QTime(0, 0)}, {"7:05:30", QTime(7, 5, 30)},
        {"25:00", QTime()}, {"12:60", QTime()}, {"12:00:60", QTime()}, {"", QTime()},
        {"abc", QTime()}, {"12", QTime()}, {"12.30", QTime()}, {"5:45 PM", QTime()},
        {"123:00", QTime()},
    };
    for (const Row &row : rows) {
        const std::optional<QTime> parsed = timeOfDay(QString::fromUtf8(row.text));
        EXPECT_EQ(parsed.value_or(QTime()), row.time) << row.text;
        EXPECT_EQ(parsed.has_value(), row.time.isValid()) << row.text;
    }
}

TEST(ServiceSettingRules, StoredTimeDoesNotDependOnTheLocale)
{
    for (const char *name : {"sv_SE", "en_US", "ar_EG", "fa_IR"}) {
        QLocale::setDefault(QLocale(QString::fromLatin1(name)));
        EXPECT_EQ(storedTimeText(QTime(5, 45)), "05:45:00") << name;
        EXPECT_EQ(storedTimeText(QTime(17, 5, 9)), "17:05:09") << name;
        EXPECT_EQ(shownTimeText(QTime(17, 5, 9)), "17:05") << name;
    }
    QLocale::setDefault(QLocale::c());
}

TEST(ServiceSettingRules, FlagIsOnUnlessExactlyF)
{
    EXPECT_FALSE(flagTicked("F"));
    for (const char *text : {"T", "f", "", "F ", " F", "false", "0"})
        EXPECT_TRUE(flagTicked(QString::fromUtf8(text))) << text;
    EXPECT_EQ(flagText(true), "T");
    EXPECT_EQ(flagText(false), "F");
}

TEST(ServiceSettingRules, MessageIntervalIsClampedToADay)
{
    EXPECT_EQ(clampMessageInterval(0), 1);
    EXPECT_EQ(clampMessageInterval(-5), 1);
    EXPECT_EQ(clampMessageInterval(1), 1);
    EXPECT_EQ(clampMessageInterval(1440), 1440);
    EXPECT_EQ(clampMessageInterval(2000), 1440);
}

TEST(ServiceSettingRules, LocationsOfTheSevenValues)
{
    struct Row { const char *asked; const char *name; const char *subKey; };
    const Row rows[] = {
        {"tcpipport", "TcpIPPort", "Port"},
        {"GETMESSAGEINTERVALL", "GetMessageIntervall", "Timers"},
        {"CheckPatientTime", "CheckPatientTime", "Timers"},
        {"LogtoEventLogg", "LogtoEventLogg", "Logging"},
        {"alwayslogtofile", "AlwaysLogtoFile", "Logging"},
        {"pasis_path", "Pasis_Path", "Paths"},
        {"DefaultDataProvider", "DefaultDataProvider", "DataProvider"},
    };
    for (const Row &row : rows) {
        const std::optional<StoredSetting> location = settingLocation(QString::fromUtf8(row.asked));
        ASSERT_TRUE(location) << row.asked;
        EXPECT_EQ(location->name, QString::fromUtf8(row.name));
        EXPECT_EQ(location->key, Base + QString::fromUtf8(row.subKey));
    }
    EXPECT_FALSE(settingLocation("Port"));
    EXPECT_FALSE(settingLocation(""));
}

TEST(ServiceSettingsLoad, EmptyStoreGivesTheDefaults)
{
    const ServiceSettings s = loadServiceSettings();
    EXPECT_EQ(s.port, 8080);
    EXPECT_EQ(s.messageInterval, 5);
    EXPECT_EQ(s.checkPatientTime, QTime(5, 45));
    EXPECT_TRUE(s.logToEventLog);
    EXPECT_TRUE(s.alwaysLogToFile);
    EXPECT_EQ(s.pasisPath, "");
}

TEST(ServiceSettingsLoad, StoredValuesAndTheirFallbacks)
{
    struct Row { const char *subKey; const char *name; const char *text; ServiceSettings expected; };
    auto with = [](auto change) { ServiceSettings s; change(s); return s; };
    const Row rows[] = {
        {"Port", "TcpIPPort", "abc", ServiceSettings{}},
        {"Port", "TcpIPPort", "70000", with([](ServiceSettings &s) { s.port = 70000; })},
        {"Port", "TcpIPPort", "-1", with([](ServiceSettings &s) { s.port = -1; })},
        {"Timers", "GetMessageIntervall", "0", with([](ServiceSettings &s) { s.messageInterval = 1; })},
        {"Timers", "GetMessageIntervall", "2000", with([](ServiceSettings &s) { s.messageInterval = 1440; })},
        {"Timers", "GetMessageIntervall", "ten", ServiceSettings{}},
        {"Timers", "GetMessageIntervall", "30", with([](ServiceSettings &s) { s.messageInterval = 30; })},
        {"Timers", "CheckPatientTime", "25:00", ServiceSettings{}},
        {"Timers", "CheckPatientTime", "", ServiceSettings{}},
        {"Timers", "CheckPatientTime", "7:05", with([](ServiceSettings &s) { s.checkPatientTime = QTime(7, 5); })},
        {"Timers", "CheckPatientTime", "07:05:30", with([](ServiceSettings &s) { s.checkPatientTime = QTime(7, 5, 30); })},
        {"Logging", "LogtoEventLogg", "f", ServiceSettings{}},
        {"Logging", "LogtoEventLogg", "F", with([](ServiceSettings &s) { s.logToEventLog = false; })},
        {"Logging", "AlwaysLogtoFile", "F", with([](ServiceSettings &s) { s.alwaysLogToFile = false; })},
        {"Paths", "Pasis_Path", " /srv/pasis in ", with([](ServiceSettings &s) { s.pasisPath = " /srv/pasis in "; })},
    };
    for (const Row &row : rows) {
        store(row.subKey, row.name, QString::fromUtf8(row.text));
        EXPECT_EQ(loadServiceSettings(), row.expected) << row.name << "=" << row.text;
        suite::DeleteRegistryKey(RegistryRoot::LocalMachine, Base + row.subKey);
    }
}

TEST(ServiceSettingsSave, EmptyStoreWritesTheSevenValuesInOrder)
{
    RecordingWriter recorder;
    saveServiceSettings(loadServiceSettings(), "/data links/ERROR", recorder.writer());
    const QList<StoredSetting> expected = {
        {Base + "Logging", "LogtoEventLogg", "T"},
        {Base + "Logging", "AlwaysLogtoFile", "T"},
        {Base + "Paths", "Pasis_Path", ""},
        {Base + "DataProvider", "DefaultDataProvider", "/data links/ERROR"},
        {Base + "Port", "TcpIPPort", "8080"},
        {Base + "Timers", "GetMessageIntervall", "5"},
        {Base + "Timers", "CheckPatientTime", "05:45:00"},
    };
    EXPECT_EQ(recorder.writes, expected);
    for (const StoredSetting &s : expected)
        EXPECT_EQ(suite::ReadRegistryString(RegistryRoot::LocalMachine, s.key, s.name), s.text) << qPrintable(s.name);
}

TEST(ServiceSettingsSave, ClampedAndFallbackValuesAreWrittenBack)
{
    store("Timers", "GetMessageIntervall", "0");
    store("Logging", "LogtoEventLogg", "f");
    store("Port", "TcpIPPort", "-1");
    store("Timers", "CheckPatientTime", "7:05:30");
    saveServiceSettings(loadServiceSettings(), "x.udl");
    EXPECT_EQ(stored("Timers", "GetMessageIntervall"), "1");
    EXPECT_EQ(stored("Logging", "LogtoEventLogg"), "T");
    EXPECT_EQ(stored("Port", "TcpIPPort"), "-1");
    EXPECT_EQ(stored("Timers", "CheckPatientTime"), "07:05:30");
}

TEST(ServiceSettingsSave, AnErrorEndsTheSaveAtThatValue)
{
    RecordingWriter recorder;
    recorder.throwAt = 3;   // DefaultDataProvider
    ServiceSettings s;
    s.logToEventLog = false;
    s.pasisPath = "/import";
    EXPECT_THROW(saveServiceSettings(s, "a.udl", recorder.writer()), platform::Error);
    EXPECT_EQ(recorder.writes.size(), 4);
    EXPECT_EQ(stored("Logging", "LogtoEventLogg"), "F");
    EXPECT_EQ(stored("Paths", "Pasis_Path"), "/import");
    EXPECT_EQ(stored("DataProvider", "DefaultDataProvider"), "");
    EXPECT_EQ(stored("Port", "TcpIPPort"), "");
}

TEST(ServiceSettingsSave, ARefusedWriteIsSkippedAndTheSaveGoesOn)
{
    RecordingWriter recorder;
    recorder.refuseAt = 0;
    ServiceSettings s;
    s.port = 9000;
    EXPECT_NO_THROW(saveServiceSettings(s, "a.udl", recorder.writer()));
    EXPECT_EQ(recorder.writes.size(), 7);
    EXPECT_EQ(stored("Logging", "LogtoEventLogg"), "");
    EXPECT_EQ(stored("Port", "TcpIPPort"), "9000");
}
