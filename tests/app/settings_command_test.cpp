// "vardoctl settings": the built program, run against this test's private store.
#include "suite/registry.h"
#include "program_run.h"
#include "test_env.h"

#include <gtest/gtest.h>

#include <QDir>

using suite::RegistryRoot;

namespace {

const QString Base = QStringLiteral("SOFTWARE\\Tellvara\\Vardo-Service\\");

using CommandRun = testenv::ProgramRun;

CommandRun vardoctl(const QStringList &args)
{
    return testenv::runProgram(testenv::binDir() + "/vardoctl", QStringList{"settings"} + args);
}

QString stored(const QString &subKey, const QString &name)
{
    return suite::ReadRegistryString(RegistryRoot::LocalMachine, Base + subKey, name);
}

void store(const QString &subKey, const QString &name, const QString &text)
{
    ASSERT_TRUE(suite::WriteRegistryString(RegistryRoot::LocalMachine, Base + subKey, name, text));
}

const QString Defaults = QStringLiteral("TcpIPPort=8080\n"
                                        "GetMessageIntervall=5\n"
                                        "CheckPatientTime=05:45\n"
                                        "LogtoEventLogg=T\n"
                                        "AlwaysLogtoFile=T\n"
                                        "Pasis_Path=\n"
                                        "DefaultDataProvider=\n");

} // namespace

TEST(SettingsCommand, ShowOnAnEmptyStoreGivesTheDefaults)
{
    const CommandRun run = vardoctl({"show"});
    EXPECT_EQ(run.exitCode, 0) << qPrintable(run.err);
    EXPECT_EQ(run.out, Defaults);
}

TEST(SettingsCommand, ShowAppliesTheWindowsRules)
{
    store("Port", "TcpIPPort", "abc");
    store("Timers", "GetMessageIntervall", "0");
    store("Timers", "CheckPatientTime", "7:05:30");
    store("Logging", "LogtoEventLogg", "f");
    store("Logging", "AlwaysLogtoFile", "F");
    store("Paths", "Pasis_Path", QString::fromUtf8("/srv/import å"));
    store("DataProvider", "DefaultDataProvider", "/data/a.udl");
    const CommandRun run = vardoctl({"show"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, QString::fromUtf8("TcpIPPort=8080\n"
                                         "GetMessageIntervall=1\n"
                                         "CheckPatientTime=07:05\n"
                                         "LogtoEventLogg=T\n"
                                         "AlwaysLogtoFile=F\n"
                                         "Pasis_Path=/srv/import å\n"
                                         "DefaultDataProvider=/data/a.udl\n"));
}

TEST(SettingsCommand, SetWritesTheStoredForms)
{
    const CommandRun run = vardoctl({"set", "tcpipport=-1", "GetMessageIntervall=2000", "CheckPatientTime=6:30",
                              "LogtoEventLogg=f", "AlwaysLogtoFile=T", "Pasis_Path= /import = here ",
                              "DefaultDataProvider=/data/b.udl"});
    EXPECT_EQ(run.exitCode, 0) << qPrintable(run.err);
    EXPECT_TRUE(run.err.contains("1440")) << qPrintable(run.err);
    EXPECT_EQ(stored("Port", "TcpIPPort"), "-1");
    EXPECT_EQ(stored("Timers", "GetMessageIntervall"), "1440");
    EXPECT_EQ(stored("Timers", "CheckPatientTime"), "06:30:00");
    EXPECT_EQ(stored("Logging", "LogtoEventLogg"), "F");
    EXPECT_EQ(stored("Logging", "AlwaysLogtoFile"), "T");
    EXPECT_EQ(stored("Paths", "Pasis_Path"), " /import = here ");
    EXPECT_EQ(stored("DataProvider", "DefaultDataProvider"), "/data/b.udl");
}

TEST(SettingsCommand, SetWritesOnlyTheNamedValues)
{
    const CommandRun run = vardoctl({"set", "TcpIPPort=9000", "TcpIPPort=9001"});
    EXPECT_EQ(run.exitCode, 0) << qPrintable(run.err);
    EXPECT_EQ(stored("Port", "TcpIPPort"), "9001");
    for (const auto &[key, name] : {std::pair{"Timers", "GetMessageIntervall"}, std::pair{"Timers", "CheckPatientTime"},
                                    std::pair{"Logging", "LogtoEventLogg"}, std::pair{"Paths", "Pasis_Path"},
                                    std::pair{"DataProvider", "DefaultDataProvider"}})
        EXPECT_EQ(stored(key, name), "") << name;
    EXPECT_EQ(vardoctl({"show"}).out, QString(Defaults).replace("8080", "9001"));
}

TEST(SettingsCommand, BadArgumentsWriteNothing)
{
    const QList<QStringList> rows = {
        {"set", "TcpIPPort=9000", "TcpIPPort=80x"},
        {"set", "TcpIPPort=9000", "CheckPatientTime=25:00"},
        {"set", "TcpIPPort=9000", "LogtoEventLogg=yes"},
        {"set", "TcpIPPort=9000", "GetMessageIntervall="},
        {"set", "TcpIPPort=9000", "Port=1"},
        {"set", "TcpIPPort=9000", "=1"},
        {"set", "TcpIPPort"},
        {"set"},
        {"show", "TcpIPPort"},
        {},
    };
    for (const QStringList &args : rows) {
        const CommandRun run = vardoctl(args);
        EXPECT_EQ(run.exitCode, 2) << qPrintable(args.join(' '));
        EXPECT_FALSE(run.err.isEmpty()) << qPrintable(args.join(' '));
        EXPECT_EQ(stored("Port", "TcpIPPort"), "") << qPrintable(args.join(' '));
    }
}

TEST(SettingsCommand, ARefusedWriteFails)
{
    // The machine-wide store cannot be created where a plain file stands in its way.
    const QString registry = qEnvironmentVariable("TELLVARA_ROOT") + "/etc/tellvara/registry";
    QDir(registry).removeRecursively();
    testenv::writeFile(registry, "not a folder");
    const CommandRun run = vardoctl({"set", "TcpIPPort=9000"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.startsWith("Could not write TcpIPPort: ")) << qPrintable(run.err);
}
