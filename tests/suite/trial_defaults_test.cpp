#include "suite/trial_defaults.h"

#include "../platform/organisation_rows.h"
#include "odbc_environment.h"
#include "platform/error.h"
#include "program_run.h"
#include "qstring_printer.h"
#include "suite/ini_reader.h"
#include "suite/paths.h"
#include "test_env.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <gtest/gtest.h>

namespace {

const QStringList SampleNumbers = {"556000-0001", "556000-0019", "802400-0005"};

// The ORGNR column as stored, read without the code under test's data access.
QStringList storedNumbers(const QString &databaseFile)
{
    QStringList numbers;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "check");
        db.setDatabaseName(databaseFile);
        EXPECT_TRUE(db.open());
        QSqlQuery query("SELECT ORGNR FROM TRKLINIK ORDER BY rowid", db);
        while (query.next())
            numbers << query.value(0).toString();
    }
    QSqlDatabase::removeDatabase("check");
    return numbers;
}

TEST(TrialDefaults, CreatesASampleDatabaseAndItsDataLink)
{
    const suite::TrialDefaults files = suite::EnsureTrialDefaults();
    const QString root = testenv::root() + "/system/";
    EXPECT_EQ(files.databaseFile, root + "var/lib/tellvara/sample/exempelpraktik.sqlite");
    EXPECT_EQ(files.dataLinkFile, suite::DataLinkFolder() + "Exempelpraktik.udl");
    EXPECT_TRUE(testenv::readFile(files.dataLinkFile).startsWith("\xFF\xFE"));
    EXPECT_EQ(suite::ConnectionStringOf(files.dataLinkFile), "Provider=SQLite;Data Source=" + files.databaseFile);
    EXPECT_EQ(storedNumbers(files.databaseFile), suite::TrialClinicOrganisationNumbers());
    EXPECT_FALSE(QFile::exists(files.databaseFile + ".part"));
}

TEST(TrialDefaults, TheSampleHasDuplicatesAndBlanksThatTheQueryDrops)
{
    const QStringList stored = suite::TrialClinicOrganisationNumbers();
    EXPECT_TRUE(stored.contains(""));
    EXPECT_TRUE(stored.contains(" "));
    EXPECT_GT(stored.count("556000-0001"), 1);
    EXPECT_EQ(suite::TrialOrganisationNumbers(), SampleNumbers);
    const suite::TrialDefaults files = suite::EnsureTrialDefaults();
    EXPECT_EQ(testdb::organisationNumbers(suite::ConnectionStringOf(files.dataLinkFile)), SampleNumbers);
}

TEST(TrialDefaults, TheDataLinkIsFoundByNameOnTheCommandLine)
{
    const suite::TrialDefaults files = suite::EnsureTrialDefaults();
    QDir::setCurrent(testenv::freshDir("work"));
    suite::InitPaths({"vardo-admin", QString::fromUtf16(suite::TrialDataLinkName)});
    EXPECT_EQ(suite::DefaultDataProviderFile(), files.dataLinkFile);
    EXPECT_EQ(suite::DefaultConnectionString(), "Provider=SQLite;Data Source=" + files.databaseFile);
}

TEST(TrialDefaults, ExistingFilesAreLeftAsTheyAre)
{
    const suite::TrialDefaults files = suite::EnsureTrialDefaults();
    testenv::writeFile(files.dataLinkFile, "edited");
    QFile::remove(files.databaseFile);
    suite::EnsureTrialDefaults();
    EXPECT_EQ(testenv::readFile(files.dataLinkFile), QByteArray("edited"));
    EXPECT_EQ(storedNumbers(files.databaseFile), suite::TrialClinicOrganisationNumbers());
    testenv::writeFile(files.databaseFile, "kept");
    suite::EnsureTrialDefaults();
    EXPECT_EQ(testenv::readFile(files.databaseFile), QByteArray("kept"));
}

TEST(TrialDefaults, ASemicolonInThePathIsQuoted)
{
    const QString root = testenv::freshDir("a;b");
    qputenv("TELLVARA_ROOT", root.toLocal8Bit());
    const suite::TrialDefaults files = suite::EnsureTrialDefaults();
    EXPECT_EQ(suite::ConnectionStringOf(files.dataLinkFile),
              "Provider=SQLite;Data Source=\"" + files.databaseFile + "\"");
}

TEST(TrialDefaults, AnOdbcDataLinkReachesTheSameDatabaseWhereTheDriverIsConfigured)
{
    testenv::OdbcEnvironment odbc;
    if (!odbc.hasDriver(QString::fromUtf16(suite::TrialOdbcDriver)))
        GTEST_SKIP() << "unixODBC's SQLite3 driver is not installed (package libsqliteodbc)";
    const suite::TrialDefaults files = suite::EnsureTrialDefaults();
    EXPECT_EQ(files.odbcDataLinkFile, suite::DataLinkFolder() + "Exempelpraktik (ODBC).udl");
    EXPECT_EQ(suite::ConnectionStringOf(files.odbcDataLinkFile),
              "Provider=MSDASQL;Driver=SQLite3;Database=" + files.databaseFile + ";NoCreat=1");
    EXPECT_EQ(testdb::organisationNumbers(suite::ConnectionStringOf(files.odbcDataLinkFile)), SampleNumbers);
}

TEST(TrialDefaults, TheOdbcDataLinkNeverMakesAnEmptyDatabase)
{
    testenv::OdbcEnvironment odbc;
    if (!odbc.hasDriver(QString::fromUtf16(suite::TrialOdbcDriver)))
        GTEST_SKIP() << "unixODBC's SQLite3 driver is not installed (package libsqliteodbc)";
    const suite::TrialDefaults files = suite::EnsureTrialDefaults();
    ASSERT_TRUE(QFile::remove(files.databaseFile));
    const QString message = testdb::failureOf(suite::ConnectionStringOf(files.odbcDataLinkFile));
    EXPECT_TRUE(message.contains("ODBC driver SQLite3")) << message.toStdString();
    EXPECT_FALSE(QFile::exists(files.databaseFile));
}

// The SQLite3 driver cuts its Database value at the first ";" whatever the quoting.
TEST(TrialDefaults, NoOdbcDataLinkForAPathTheDriverCannotRead)
{
    testenv::OdbcEnvironment odbc;
    qputenv("TELLVARA_ROOT", testenv::freshDir("a;b").toLocal8Bit());
    const suite::TrialDefaults files = suite::EnsureTrialDefaults();
    EXPECT_EQ(files.odbcDataLinkFile, "");
    EXPECT_FALSE(QFile::exists(suite::DataLinkFolder() + "Exempelpraktik (ODBC).udl"));
}

// unixODBC reads its driver list once a process: an empty list needs a process of its own.
TEST(TrialDefaults, NoOdbcDataLinkWithoutTheDriver)
{
    EXPECT_TRUE(testenv::passesInOwnProcess("TrialDefaults.DISABLED_NoOdbcDataLinkWithoutTheDriverInThisProcess", {}));
}

TEST(TrialDefaults, DISABLED_NoOdbcDataLinkWithoutTheDriverInThisProcess)
{
    testenv::OdbcEnvironment odbc;
    odbc.setDrivers({});
    const suite::TrialDefaults files = suite::EnsureTrialDefaults();
    EXPECT_EQ(files.odbcDataLinkFile, "");
    EXPECT_FALSE(QFile::exists(suite::DataLinkFolder() + "Exempelpraktik (ODBC).udl"));
}

TEST(TrialDefaults, AMissingRootIsAnError)
{
    qputenv("TELLVARA_ROOT", "/no/such/root");
    EXPECT_THROW(suite::EnsureTrialDefaults(), platform::Error);
}

TEST(TrialDefaults, AFolderThatCannotBeMadeIsAnError)
{
    testenv::writeFile(testenv::root() + "/system/var/lib/tellvara/sample", "in the way");
    EXPECT_THROW(suite::EnsureTrialDefaults(), platform::Error);
}

} // namespace
