#include "organisation_rows.h"
#include "postgres_server.h"
#include "qstring_printer.h"

#include <QSqlDatabase>
#include <QTcpServer>

#include <gtest/gtest.h>

namespace {

QString skipReason()
{
    const QString reason = testenv::PostgresServer::unavailableReason();
    if (!reason.isEmpty())
        return reason;
    if (!QSqlDatabase::isDriverAvailable("QPSQL"))
        return "Qt's PostgreSQL driver is not installed (package libqt6sql6-psql)";
    return {};
}

class PostgresDatabase : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (const QString reason = skipReason(); !reason.isEmpty())
            GTEST_SKIP() << reason.toStdString();
        server.start();
    }

    testenv::PostgresServer server;
};

TEST_F(PostgresDatabase, ReadsTheOrganisationNumbers)
{
    const QString connection = server.createDatabaseWithTrklinik(testdb::sampleRows());
    EXPECT_EQ(testdb::organisationNumbers(connection), testdb::sampleNumbers());
}

TEST_F(PostgresDatabase, TheDatabaseMayBeNamedByInitialCatalog)
{
    server.createDatabaseWithTrklinik({"556000-0001"}, "klinik");
    const QString connection = QString("Provider=PostgreSQL.1;Data Source=127.0.0.1:%1;Initial Catalog=klinik;"
                                       "User ID=%2;Password=\"%3\"")
                                   .arg(server.port())
                                   .arg(server.user(), server.password());
    EXPECT_EQ(testdb::organisationNumbers(connection), QStringList{"556000-0001"});
}

TEST_F(PostgresDatabase, ARefusedLoginIsNamedWithoutThePassword)
{
    server.createDatabaseWithTrklinik({"556000-0001"});
    const QString wrong = "fel-losen-4711";
    QString connection = server.connectionString("praktik");
    connection.replace(server.password(), wrong);
    const QString message = testdb::failureOf(connection);
    EXPECT_TRUE(message.contains("password authentication failed for user \"vardo\"")) << message.toStdString();
    EXPECT_TRUE(message.contains(QString("PostgreSQL server 127.0.0.1:%1").arg(server.port()))) << message.toStdString();
    EXPECT_FALSE(message.contains(wrong)) << message.toStdString();
    EXPECT_FALSE(message.contains(server.password())) << message.toStdString();
}

TEST_F(PostgresDatabase, AMissingTableGivesTheServersMessageNamingIt)
{
    server.runSql("postgres", "CREATE DATABASE tom");
    const QString message = testdb::failureOf(server.connectionString("tom"));
    EXPECT_TRUE(message.contains("relation \"trklinik\" does not exist")) << message.toStdString();
}

TEST_F(PostgresDatabase, TheSessionReadsCommittedData)
{
    platform::DatabaseConnection connection;
    connection.open(server.createDatabaseWithTrklinik({}));
    platform::DatabaseQuery query(connection);
    query.setText("SHOW default_transaction_isolation");
    query.open();
    EXPECT_EQ(query.fieldText("default_transaction_isolation"), "read committed");
}

TEST(PostgresServerDown, AClosedPortIsNamedAsTheUnreachableServer)
{
    if (!QSqlDatabase::isDriverAvailable("QPSQL"))
        GTEST_SKIP() << "Qt's PostgreSQL driver is not installed (package libqt6sql6-psql)";
    QTcpServer probe; // a port that was free a moment ago and has nobody listening now
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    const int port = probe.serverPort();
    probe.close();
    const QString message = testdb::failureOf(
        QString("Provider=PostgreSQL;Data Source=127.0.0.1:%1;Location=praktik;User ID=vardo;Password=hemligt-123").arg(port));
    EXPECT_TRUE(message.contains(QString("Cannot connect to the PostgreSQL server 127.0.0.1:%1").arg(port)))
        << message.toStdString();
    EXPECT_TRUE(message.contains("Connection refused")) << message.toStdString();
    EXPECT_FALSE(message.contains("hemligt-123")) << message.toStdString();
}

} // namespace
