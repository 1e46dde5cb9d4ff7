#include "odbc_environment.h"
#include "organisation_rows.h"
#include "program_run.h"
#include "qstring_printer.h"
#include "sqlite_file.h"
#include "test_env.h"

#include <QTcpServer>

#include <gtest/gtest.h>

// unixODBC's SQLite3 driver (a system library, not ours) leaks what it reads of a data
// source's settings when it connects through a DSN. Its frames show only in a full
// stack, so under the sanitizers this binary unwinds fully and passes over that driver.
extern "C" const char *__asan_default_options()
{
    return "fast_unwind_on_malloc=0";
}
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libsqlite3odbc.so\n";
}

namespace {

// unixODBC's SQLite3 driver over a real SQLite file, with the driver list of the system.
class OdbcDatabase : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!odbc.hasDriver("SQLite3"))
            GTEST_SKIP() << "unixODBC's SQLite3 driver is not installed (package libsqliteodbc)";
        database = testenv::createSqliteTrklinik(testenv::freshDir("db") + "/praktik.sqlite", testdb::sampleRows());
    }

    testenv::OdbcEnvironment odbc;
    QString database;
};

TEST_F(OdbcDatabase, ReadsThroughADataSourceName)
{
    odbc.addDataSource("Praktik", "SQLite3", {{"Database", database}});
    EXPECT_EQ(testdb::organisationNumbers("Provider=MSDASQL.1;Persist Security Info=False;Data Source=Praktik"),
              testdb::sampleNumbers());
    EXPECT_EQ(testdb::organisationNumbers("Provider=MSDASQL;DSN=Praktik"), testdb::sampleNumbers());
}

TEST_F(OdbcDatabase, ReadsThroughADriverAndExtendedProperties)
{
    EXPECT_EQ(testdb::organisationNumbers("Provider=MSDASQL;Driver=SQLite3;Database=" + database), testdb::sampleNumbers());
    EXPECT_EQ(testdb::organisationNumbers("Provider=MSDASQL;Extended Properties=\"Driver={SQLite3};Database={" + database
                                          + "};Timeout=1000\""),
              testdb::sampleNumbers());
}

TEST_F(OdbcDatabase, AnUnknownDataSourceIsNamed)
{
    const QString message = testdb::failureOf("Provider=MSDASQL;Data Source=Saknas;User ID=vardo;Password=hemligt-123");
    EXPECT_TRUE(message.contains("ODBC data source Saknas")) << message.toStdString();
    EXPECT_TRUE(message.contains("not found")) << message.toStdString();
    EXPECT_FALSE(message.contains("hemligt-123")) << message.toStdString();
}

TEST_F(OdbcDatabase, AMissingOdbcDriverIsNamed)
{
    const QString message = testdb::failureOf("Provider=MSDASQL;Driver=Inget Sådant;Database=" + database);
    EXPECT_TRUE(message.contains("ODBC driver Inget Sådant")) << message.toStdString();
    EXPECT_TRUE(message.contains("Can't open lib")) << message.toStdString();
}

TEST_F(OdbcDatabase, AMissingTableGivesTheDriversMessage)
{
    const QString other = testenv::freshDir("other") + "/annan.sqlite";
    testenv::runSqlite(other, "CREATE TABLE PATIENT (ID INTEGER);");
    const QString message = testdb::failureOf("Provider=MSDASQL;Driver=SQLite3;Database=" + other);
    EXPECT_TRUE(message.contains("TRKLINIK")) << message.toStdString();
}

// SQL Server through FreeTDS: the driver is found in odbcinst's list under whatever name
// the site gave it; with none configured the error says what to install.
class SqlServerOverOdbc : public ::testing::Test
{
protected:
    testenv::OdbcEnvironment odbc;
};

TEST_F(SqlServerOverOdbc, TheFreeTdsDriverIsFoundByItsLibraryAndAClosedPortIsNamed)
{
    odbc.setDrivers({{"TDS på platsen", "libtdsodbc.so"}});
    if (!odbc.hasDriver("TDS på platsen"))
        GTEST_SKIP() << "the FreeTDS ODBC driver is not installed (package tdsodbc)";
    QTcpServer probe; // a port that was free a moment ago and has nobody listening now
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    const int port = probe.serverPort();
    probe.close();
    const QString message =
        testdb::failureOf(QString("Provider=SQLOLEDB;Data Source=127.0.0.1,%1;Initial Catalog=Praktik;User ID=sa;Password=hemligt-123")
                              .arg(port));
    EXPECT_TRUE(message.contains(QString("SQL Server 127.0.0.1,%1").arg(port))) << message.toStdString();
    EXPECT_FALSE(message.contains("No ODBC driver")) << message.toStdString();
    EXPECT_FALSE(message.contains("hemligt-123")) << message.toStdString();
}

// unixODBC reads its driver list once a process: a shorter list needs a process of its own.
TEST(SqlServerWithoutDriver, NoConfiguredDriverIsAClearError)
{
    EXPECT_TRUE(testenv::passesInOwnProcess("SqlServerOverOdbc.DISABLED_NoConfiguredDriverIsAClearError", {}));
}

TEST_F(SqlServerOverOdbc, DISABLED_NoConfiguredDriverIsAClearError)
{
    odbc.setDrivers({{"SQLite3", "libsqlite3odbc.so"}});
    const QString message = testdb::failureOf("Provider=SQLNCLI11;Data Source=127.0.0.1;Integrated Security=SSPI");
    EXPECT_TRUE(message.contains("No ODBC driver for SQL Server is configured")) << message.toStdString();
}

} // namespace
