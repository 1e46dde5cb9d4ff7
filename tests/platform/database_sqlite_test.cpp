#include "organisation_rows.h"
#include "program_run.h"
#include "qstring_printer.h"
#include "sqlite_file.h"
#include "test_env.h"

#include <QCoreApplication>
#include <QFile>

#include <gtest/gtest.h>

namespace {

QString sqliteLink(const QString &path)
{
    return QStringLiteral("Provider=SQLite;Data Source=\"%1\"").arg(path);
}

TEST(SqliteDatabase, ReadsTheOrganisationNumbers)
{
    const QString path = testenv::createSqliteTrklinik(testenv::freshDir("db") + "/praktik;1.sqlite", testdb::sampleRows());
    EXPECT_EQ(testdb::organisationNumbers(sqliteLink(path)), testdb::sampleNumbers());
}

TEST(SqliteDatabase, AMissingFileIsRefusedAndNotCreated)
{
    const QString path = testenv::freshDir("db") + "/saknas.sqlite";
    const QString message = testdb::failureOf(sqliteLink(path));
    EXPECT_TRUE(message.contains("does not exist")) << message.toStdString();
    EXPECT_TRUE(message.contains(path)) << message.toStdString();
    EXPECT_FALSE(QFile::exists(path));
}

TEST(SqliteDatabase, AMissingTableGivesTheDriversMessageNamingIt)
{
    const QString path = testenv::freshDir("db") + "/annan.sqlite";
    testenv::runSqlite(path, "CREATE TABLE PATIENT (ID INTEGER);");
    const QString message = testdb::failureOf(sqliteLink(path));
    EXPECT_TRUE(message.contains("no such table: TRKLINIK")) << message.toStdString();
}

TEST(SqliteDatabase, AFileThatIsNoDatabaseFailsWithTheDriversMessage)
{
    const QString path = testenv::freshDir("db") + "/text.sqlite";
    testenv::writeFile(path, QByteArray(4096, 'x'));
    const QString message = testdb::failureOf(sqliteLink(path));
    EXPECT_TRUE(message.contains("not a database")) << message.toStdString();
}

class SqliteQuery : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString path = testenv::createSqliteTrklinik(testenv::freshDir("db") + "/q.sqlite",
                                                           {"556000-0001", "802400-0005", "556000-0019"});
        connection.open(sqliteLink(path));
    }

    platform::DatabaseConnection connection;
};

TEST_F(SqliteQuery, WalksTheRowsOfAStaticCursor)
{
    platform::DatabaseQuery query(connection);
    query.setText("SELECT ID, ORGNR FROM TRKLINIK ORDER BY ID");
    EXPECT_EQ(query.text(), "SELECT ID, ORGNR FROM TRKLINIK ORDER BY ID");
    EXPECT_FALSE(query.isOpen());
    query.open();
    EXPECT_TRUE(query.isOpen());
    QStringList seen;
    for (query.first(); !query.atEnd(); query.next())
        seen << QString::number(query.fieldInteger("id")) + ":" + query.fieldText("Orgnr");
    EXPECT_EQ(seen, QStringList({"1:556000-0001", "2:802400-0005", "3:556000-0019"}));
    query.next(); // past the end stays at the end
    EXPECT_TRUE(query.atEnd());
    query.first(); // back to the start without asking the database again
    EXPECT_EQ(query.fieldText("ORGNR"), "556000-0001");
    query.close();
    EXPECT_FALSE(query.isOpen());
}

TEST_F(SqliteQuery, LocatesTheRowOfAKey)
{
    platform::DatabaseQuery query(connection);
    query.setText("SELECT ID, ORGNR FROM TRKLINIK ORDER BY ID");
    query.open();
    EXPECT_TRUE(query.locate("ID", 3));
    EXPECT_EQ(query.fieldText("ORGNR"), "556000-0019");
    EXPECT_FALSE(query.locate("ID", 7));
    EXPECT_EQ(query.fieldText("ORGNR"), "556000-0019"); // no move when nothing matches
}

TEST_F(SqliteQuery, AnEmptyResultReadsAsOneEmptyRow)
{
    platform::DatabaseQuery query(connection);
    query.setText("SELECT ID, ORGNR FROM TRKLINIK WHERE ORGNR = 'none'");
    query.open();
    query.first();
    EXPECT_TRUE(query.atEnd());
    EXPECT_EQ(query.fieldText("ORGNR"), "");
    EXPECT_EQ(query.fieldInteger("ID"), 0);
}

TEST_F(SqliteQuery, BadColumnsAndValuesAreErrors)
{
    platform::DatabaseQuery query(connection);
    query.setText("SELECT ID, ORGNR FROM TRKLINIK ORDER BY ID");
    EXPECT_THROW(query.fieldText("ORGNR"), platform::Error); // not open
    query.open();
    EXPECT_THROW(query.fieldText("NAMN"), platform::Error);
    EXPECT_THROW(query.fieldInteger("ORGNR"), platform::Error); // "556000-0001" is no integer
}

TEST_F(SqliteQuery, TheQueryIsReadOnlyOnAConnectionThatCanWrite)
{
    platform::DatabaseQuery query(connection);
    query.setText("SELECT ORGNR FROM TRKLINIK");
    query.open();
    EXPECT_TRUE(connection.isOpen());
    query.setText("SELECT * FROM SAKNAS");
    EXPECT_THROW(query.open(), platform::Error);
    EXPECT_FALSE(query.isOpen()); // a failed open leaves the query closed
}

TEST(SqliteConnection, ReopeningClosesTheFirstConnection)
{
    const QString dir = testenv::freshDir("db");
    const QString a = testenv::createSqliteTrklinik(dir + "/a.sqlite", {"111111-1111"});
    const QString b = testenv::createSqliteTrklinik(dir + "/b.sqlite", {"222222-2222"});
    platform::DatabaseConnection connection;
    EXPECT_FALSE(connection.isOpen());
    connection.open(sqliteLink(a));
    connection.open(sqliteLink(b));
    platform::DatabaseQuery query(connection);
    query.setText(testdb::OrganisationQuery);
    query.open();
    EXPECT_EQ(query.fieldText("ORGNR"), "222222-2222");
    connection.close();
    EXPECT_FALSE(connection.isOpen());
    EXPECT_THROW(query.open(), platform::Error);
}

TEST(SqliteConnection, AFailedOpenLeavesNoConnection)
{
    platform::DatabaseConnection connection;
    EXPECT_THROW(connection.open("Provider=Nonesuch;Data Source=x"), platform::Error);
    EXPECT_THROW(connection.open("Provider=SQLite;Data Source=\"unterminated"), platform::Error);
    EXPECT_THROW(connection.open("Provider=SQLite;Data Source=" + testenv::root() + "/none.db"), platform::Error);
    EXPECT_FALSE(connection.isOpen());
}

// Qt looks for its SQL drivers in the library paths; an empty one stands for a machine
// without the driver packages. A driver once loaded stays: this runs in a process of its own.
TEST(SqliteConnection, AMissingQtDriverIsNamedWithItsPackage)
{
    EXPECT_TRUE(testenv::passesInOwnProcess("SqliteWithoutDrivers.DISABLED_MissingDriverIsNamed", {}));
}

TEST(SqliteWithoutDrivers, DISABLED_MissingDriverIsNamed)
{
    QCoreApplication::setLibraryPaths({testenv::freshDir("no-plugins")});
    const QString path = testenv::createSqliteTrklinik(testenv::freshDir("db") + "/p.sqlite", {"556000-0001"});
    EXPECT_EQ(testdb::failureOf(sqliteLink(path)), "The Qt SQL driver QSQLITE is not installed (package libqt6sql6-sqlite).");
    EXPECT_EQ(testdb::failureOf("Provider=PostgreSQL;Data Source=127.0.0.1;Location=p"),
              "The Qt SQL driver QPSQL is not installed (package libqt6sql6-psql).");
}

} // namespace
