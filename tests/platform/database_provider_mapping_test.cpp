#include "platform/error.h"
#include "platform/qtsql/provider_mapping.h"
#include "qstring_printer.h"

#include <gtest/gtest.h>

namespace {

using platform::ConnectionString;
using platform::qtsql::mapConnectionString;
using platform::qtsql::OdbcDriver;
using platform::qtsql::SqlConnectionSettings;

const char OdbcTimeouts[] = "SQL_ATTR_LOGIN_TIMEOUT=15;SQL_ATTR_CONNECTION_TIMEOUT=15";

QList<OdbcDriver> drivers()
{
    return {{"SQLite3", "libsqlite3odbc.so"}, {"TDS (site)", "/usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so"}};
}

SqlConnectionSettings mapped(const QString &text)
{
    return mapConnectionString(ConnectionString::parse(text), drivers);
}

struct Case
{
    const char *connectionString;
    const char *driver;
    const char *databaseName;
    const char *host;
    int port;
    const char *user;
    const char *password;
    const char *options;
};

void expectMapping(const Case &c)
{
    const SqlConnectionSettings s = mapped(QString::fromUtf8(c.connectionString));
    SCOPED_TRACE(c.connectionString);
    EXPECT_EQ(s.driver, c.driver);
    EXPECT_EQ(s.databaseName, QString::fromUtf8(c.databaseName));
    EXPECT_EQ(s.host, c.host);
    EXPECT_EQ(s.port, c.port);
    EXPECT_EQ(s.userName, c.user);
    EXPECT_EQ(s.password, c.password);
    EXPECT_EQ(s.connectOptions, c.options);
}

TEST(ProviderMapping, SqliteOpensAnExistingFileForReadAndWrite)
{
    const char *options = "QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=15000";
    const Case cases[] = {
        {"Provider=SQLite;Data Source=/srv/praktik.db", "QSQLITE", "file:///srv/praktik.db?mode=rw", "", -1, "", "", options},
        {"provider=sqlite;data source=\"/srv/a;b #1?.db\"", "QSQLITE", "file:///srv/a;b%20%231%3F.db?mode=rw", "", -1, "",
         "", options},
        {"Provider=SQLite.1;Data Source=/srv/Växjö.db", "QSQLITE", "file:///srv/V%C3%A4xj%C3%B6.db?mode=rw", "", -1, "", "",
         options},
    };
    for (const Case &c : cases)
        expectMapping(c);
    EXPECT_EQ(mapped("Provider=SQLite;Data Source=/srv/praktik.db").localFile, "/srv/praktik.db");
    EXPECT_EQ(mapped("Provider=SQLite;Data Source=/srv/praktik.db").sessionSetup, "");
}

TEST(ProviderMapping, MsdasqlPassesTheOdbcKeywordsOn)
{
    const Case cases[] = {
        // Qt's driver adds "DSN=" itself where neither Driver nor Server is named.
        {"Provider=MSDASQL;DSN=praktik", "QODBC", "praktik", "", -1, "", "", OdbcTimeouts},
        {"Provider=MSDASQL.1;Persist Security Info=False;Data Source=praktik;User ID=vardo;Password=hemligt",
         "QODBC", "praktik", "", -1, "vardo", "hemligt", OdbcTimeouts},
        {"Provider=MSDASQL;Driver=SQLite3;Database=/srv/p.db", "QODBC", "Driver=SQLite3;Database=/srv/p.db", "", -1,
         "", "", OdbcTimeouts},
        {"Provider=MSDASQL;Extended Properties=\"Driver={SQLite3};Database={/srv/a;b.db};Timeout=2000\"", "QODBC",
         "Driver=SQLite3;Database={/srv/a;b.db};Timeout=2000", "", -1, "", "", OdbcTimeouts},
        {"Provider=MSDASQL;Data Source=praktik;Initial Catalog=klinik;Extended Properties=\"UID=x;PWD={a}};b};DSN=other\"",
         "QODBC", "praktik;DATABASE=klinik", "", -1, "x", "a};b", OdbcTimeouts},
    };
    for (const Case &c : cases)
        expectMapping(c);
    EXPECT_EQ(mapped("Provider=MSDASQL;DSN=a;Driver=SQLite3").databaseName, "DSN=a;Driver=SQLite3");
}

TEST(ProviderMapping, SqlServerGoesThroughOdbc)
{
    const Case cases[] = {
        {"Provider=SQLOLEDB;Data Source=dbhost;Initial Catalog=Praktik;User ID=sa;Password=pw", "QODBC",
         "Driver=TDS (site);Server=dbhost;Database=Praktik", "dbhost", -1, "sa", "pw", OdbcTimeouts},
        {"Provider=SQLNCLI11;Data Source=dbhost\\KLINIK;Initial Catalog=Praktik", "QODBC",
         "Driver=TDS (site);Server=dbhost\\KLINIK;Database=Praktik", "dbhost", -1, "", "", OdbcTimeouts},
        {"Provider=MSOLEDBSQL19;Data Source=dbhost,14330;User ID=sa;Password=pw", "QODBC",
         "Driver=TDS (site);Server=dbhost,14330", "dbhost", 14330, "sa", "pw", OdbcTimeouts},
        {"Provider=SQLOLEDB.1;Integrated Security=SSPI;User ID=ignored;Data Source=dbhost;Driver=Other Driver", "QODBC",
         "Driver=Other Driver;Server=dbhost;Trusted_Connection=yes", "dbhost", -1, "", "", OdbcTimeouts},
    };
    for (const Case &c : cases)
        expectMapping(c);
    EXPECT_EQ(mapped("Provider=SQLOLEDB;Data Source=h").sessionSetup, "SET TRANSACTION ISOLATION LEVEL READ COMMITTED");
}

TEST(ProviderMapping, SqlServerWithoutAConfiguredDriverIsAClearError)
{
    const auto none = [] { return QList<OdbcDriver>{{"SQLite3", "libsqlite3odbc.so"}}; };
    try {
        mapConnectionString(ConnectionString::parse("Provider=SQLOLEDB;Data Source=h"), none);
        FAIL() << "mapped";
    } catch (const platform::Error &e) {
        EXPECT_TRUE(e.message().contains("No ODBC driver for SQL Server")) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains("tdsodbc")) << e.message().toStdString();
    }
}

TEST(ProviderMapping, PostgresqlTakesHostPortAndDatabase)
{
    const char *options = "connect_timeout=15";
    const Case cases[] = {
        {"Provider=PostgreSQL;Data Source=dbhost;Location=praktik;User ID=vardo;Password=pw", "QPSQL", "praktik",
         "dbhost", -1, "vardo", "pw", options},
        {"Provider=PostgreSQL OLE DB Provider;Data Source=127.0.0.1:5433;Initial Catalog=praktik", "QPSQL", "praktik",
         "127.0.0.1", 5433, "", "", options},
        {"Provider=PostgreSQL.1;Data Source=h;Location=first;Initial Catalog=second", "QPSQL", "first", "h", -1, "",
         "", options},
        {"Provider=PostgreSQL;Data Source=[::1]:5433;Location=p", "QPSQL", "p", "::1", 5433, "", "", options},
        {"Provider=PostgreSQL;Location=p", "QPSQL", "p", "", -1, "", "", options},
    };
    for (const Case &c : cases)
        expectMapping(c);
    EXPECT_EQ(mapped("Provider=PostgreSQL;Data Source=h").sessionSetup,
              "SET SESSION CHARACTERISTICS AS TRANSACTION ISOLATION LEVEL READ COMMITTED");
}

TEST(ProviderMapping, UnusableStringsAreClearErrors)
{
    const struct
    {
        const char *connectionString;
        const char *messagePart;
    } cases[] = {
        {"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=x.mdb", "Microsoft.Jet.OLEDB.4.0 is not supported"},
        {"Data Source=x.db", "names no Provider"},
        {"Provider=;Data Source=x.db", "names no Provider"},
        {"Provider=SQLite", "names no database file"},
        {"Provider=MSDASQL;Database=x", "neither an ODBC data source"},
        {"Provider=MSDASQL;Extended Properties=\"DSN={x\"", "unclosed"},
        {"Provider=SQLOLEDB;Data Source=h,port", "no usable port"},
        {"Provider=PostgreSQL;Data Source=h:99999", "no usable port"},
        {"Provider=PostgreSQL;Data Source=a:b:c", "no host or host:port"},
    };
    for (const auto &c : cases) {
        try {
            mapped(c.connectionString);
            ADD_FAILURE() << "mapped " << c.connectionString;
        } catch (const platform::Error &e) {
            EXPECT_TRUE(e.message().contains(c.messagePart)) << e.message().toStdString();
        }
    }
}

TEST(ProviderMapping, OdbcValuesAreBracedOnlyWhereTheyMustBe)
{
    const std::pair<const char *, const char *> cases[] = {
        {"plain", "plain"},       {"with blank", "with blank"}, {"a=b", "a=b"},     {"", ""},
        {"a;b", "{a;b}"},         {"{x}", "{{x}}}"},           {" lead", "{ lead}"}, {"trail ", "{trail }"},
        {"a};b", "{a}};b}"},
    };
    for (const auto &[value, written] : cases)
        EXPECT_EQ(platform::qtsql::odbcValue(value), written) << value;
}

TEST(ProviderMapping, SecretsAreHiddenInMessages)
{
    SqlConnectionSettings s;
    s.password = "hemligt";
    EXPECT_EQ(platform::qtsql::withoutSecrets("login with hemligt failed", s), "login with ******** failed");
    EXPECT_EQ(platform::qtsql::withoutSecrets("[driver] DSN=x;PWD=abc;UID=y", s), "[driver] DSN=x;PWD=********;UID=y");
    EXPECT_EQ(platform::qtsql::withoutSecrets("password={a b};x", s), "password=********;x");
    EXPECT_EQ(platform::qtsql::withoutSecrets("[driver] DSN=x;PWD={se;cr}}et1};UID=y", s), "[driver] DSN=x;PWD=********;UID=y");
    EXPECT_EQ(platform::qtsql::withoutSecrets("connecting with 'PWD=\"a b\"' failed", s), "connecting with 'PWD=********' failed");
    s.password = "a";
    EXPECT_EQ(platform::qtsql::withoutSecrets("a bad answer", s), "a bad answer");
}

} // namespace
