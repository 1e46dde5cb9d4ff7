#include "datalink/core/data_link_fields.h"

#include "qstring_printer.h"

#include <gtest/gtest.h>

namespace {

using datalink::DataLinkFields;
using datalink::PasswordUse;
using datalink::ProviderKind;
using platform::ConnectionString;

QString applied(const QString &before, const DataLinkFields &fields, PasswordUse use = PasswordUse::ForSaving)
{
    return datalink::withFields(ConnectionString::parse(before), fields, use).toString();
}

TEST(DataLinkFields, ReadsTheFieldsOfEachKind)
{
    const struct
    {
        const char *connection;
        ProviderKind kind;
        const char *dataSource, *database, *dsn, *driver, *user, *password;
        bool savePassword;
    } cases[] = {
        {"Provider=SQLite;Data Source=/srv/praktik.db", ProviderKind::SQLite, "/srv/praktik.db", "", "", "", "", "", false},
        {"Provider=MSDASQL.1;Data Source=Praktik;User ID=kalle;Persist Security Info=False", ProviderKind::Odbc,
         "", "", "Praktik", "", "kalle", "", false},
        {"Provider=MSDASQL;Driver=SQLite3;Server=db1;Initial Catalog=p", ProviderKind::Odbc, "db1", "p", "", "SQLite3",
         "", "", false},
        {"Provider=SQLOLEDB.1;Data Source=db\\PRAKTIK;Initial Catalog=Vardo;User ID=sa;Password=x;Persist Security Info=True",
         ProviderKind::SqlServer, "db\\PRAKTIK", "Vardo", "", "", "sa", "x", true},
        {"Provider=SQLNCLI11;Data Source=db,1433;Driver=FreeTDS", ProviderKind::SqlServer, "db,1433", "", "", "FreeTDS",
         "", "", false},
        {"Provider=PostgreSQL OLE DB Provider;Data Source=localhost:5432;Location=vardo;User ID=v;Password=pw",
         ProviderKind::PostgreSql, "localhost:5432", "vardo", "", "", "v", "pw", true},
        {"Provider=PostgreSQL;Data Source=h;Initial Catalog=v", ProviderKind::PostgreSql, "h", "v", "", "", "", "", false},
        {"Provider=MSDASQL;Driver=SQLite3;Database=/srv/praktik.db", ProviderKind::Odbc, "", "/srv/praktik.db", "", "SQLite3",
         "", "", false},
        {"", ProviderKind::SQLite, "", "", "", "", "", "", false},
    };
    for (const auto &c : cases) {
        const DataLinkFields f = datalink::fieldsOf(ConnectionString::parse(c.connection));
        EXPECT_EQ(f.kind, c.kind) << c.connection;
        EXPECT_EQ(f.dataSource, c.dataSource) << c.connection;
        EXPECT_EQ(f.database, c.database) << c.connection;
        EXPECT_EQ(f.dsn, c.dsn) << c.connection;
        EXPECT_EQ(f.driver, c.driver) << c.connection;
        EXPECT_EQ(f.user, c.user) << c.connection;
        EXPECT_EQ(f.password, c.password) << c.connection;
        EXPECT_EQ(f.savePassword, c.savePassword) << c.connection;
    }
}

TEST(DataLinkFields, WritesEachKindsKeywords)
{
    const struct
    {
        DataLinkFields fields;
        const char *expected;
    } cases[] = {
        {{ProviderKind::SQLite, "/srv/a;b.db", "", "", "", "", "", false}, "Provider=SQLite;Data Source=\"/srv/a;b.db\""},
        {{ProviderKind::Odbc, "", "", "Praktik", "", "kalle", "", false}, "Provider=MSDASQL;Data Source=Praktik;User ID=kalle"},
        {{ProviderKind::Odbc, "db1", "p", "", "SQLite3", "", "", false},
         "Provider=MSDASQL;Server=db1;Initial Catalog=p;Driver=SQLite3"},
        {{ProviderKind::SqlServer, "db,1433", "Vardo", "", "", "sa", "hemligt", true},
         "Provider=SQLOLEDB;Data Source=db,1433;Initial Catalog=Vardo;User ID=sa;Password=hemligt;Persist Security Info=True"},
        {{ProviderKind::PostgreSql, "localhost:5432", "vardo", "", "", "v", "", false},
         "Provider=PostgreSQL;Data Source=localhost:5432;Location=vardo;User ID=v"},
        // Fields the kind does not use stay out.
        {{ProviderKind::SQLite, "/x.db", "ignored", "ignored", "ignored", "ignored", "ignored", true},
         "Provider=SQLite;Data Source=/x.db"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(applied("", c.fields), c.expected) << c.expected;
}

TEST(DataLinkFields, APasswordIsSavedOnlyWhenItIsToBeKeptButAlwaysUsedForConnecting)
{
    DataLinkFields f{ProviderKind::SqlServer, "db", "Vardo", "", "", "sa", "hemligt", false};
    EXPECT_EQ(applied("", f), "Provider=SQLOLEDB;Data Source=db;Initial Catalog=Vardo;User ID=sa;Persist Security Info=False");
    EXPECT_EQ(applied("", f, PasswordUse::ForConnecting),
              "Provider=SQLOLEDB;Data Source=db;Initial Catalog=Vardo;User ID=sa;Password=hemligt;Persist Security Info=False");
    // Unticking drops a password the file held.
    EXPECT_EQ(applied("Provider=SQLOLEDB;Data Source=db;Password=old;Persist Security Info=True", f),
              "Provider=SQLOLEDB;Data Source=db;Persist Security Info=False;Initial Catalog=Vardo;User ID=sa");
}

TEST(DataLinkFields, KeywordsItDoesNotKnowStayInTheirPlace)
{
    const QString before = "Provider=SQLOLEDB.1;Packet Size=4096;Data Source=old;Application Name=Vardo;"
                           "Initial Catalog=Praktik;Use Encryption for Data=True";
    DataLinkFields f = datalink::fieldsOf(ConnectionString::parse(before));
    f.dataSource = "new,1433";
    EXPECT_EQ(applied(before, f), "Provider=SQLOLEDB.1;Packet Size=4096;Data Source=new,1433;Application Name=Vardo;"
                                  "Initial Catalog=Praktik;Use Encryption for Data=True");
    // Reading and writing the fields unchanged gives the string back.
    const DataLinkFields same = datalink::fieldsOf(ConnectionString::parse(before));
    EXPECT_EQ(applied(before, same), before);
}

TEST(DataLinkFields, AChangeOfKindLeavesNothingOfTheOldKindBehind)
{
    const QString odbc = "Provider=MSDASQL.1;Data Source=Praktik;Server=db1;Initial Catalog=p;Driver=x;User ID=u;Extra=1";
    EXPECT_EQ(applied(odbc, {ProviderKind::SQLite, "/srv/p.db", "", "", "", "", "", false}),
              "Provider=SQLite;Data Source=/srv/p.db;Extra=1");
    EXPECT_EQ(applied(odbc, {ProviderKind::PostgreSql, "h", "v", "", "", "u", "", false}),
              "Provider=PostgreSQL;Data Source=h;Initial Catalog=v;User ID=u;Extra=1");
}

TEST(DataLinkFields, KindNames)
{
    EXPECT_EQ(datalink::providerKindNames(), QStringList({"sqlite", "odbc", "sqlserver", "postgresql"}));
    for (const QString &name : datalink::providerKindNames())
        EXPECT_EQ(datalink::providerKindName(*datalink::providerKindNamed(name)), name);
    EXPECT_EQ(datalink::providerKindNamed("PostgreSQL"), ProviderKind::PostgreSql);
    EXPECT_FALSE(datalink::providerKindNamed("oracle"));
}

TEST(DataLinkFields, TheDatabaseKeepsTheKeywordTheFileUses)
{
    DataLinkFields f{ProviderKind::Odbc, "", "/srv/ny.db", "", "SQLite3", "", "", false};
    EXPECT_EQ(applied("Provider=MSDASQL;Driver=SQLite3;Database=/srv/gammal.db", f),
              "Provider=MSDASQL;Driver=SQLite3;Database=/srv/ny.db");
    EXPECT_EQ(applied("Provider=MSDASQL;Driver=SQLite3", f), "Provider=MSDASQL;Driver=SQLite3;Initial Catalog=/srv/ny.db");
    f.kind = ProviderKind::SqlServer;
    EXPECT_EQ(applied("Provider=MSDASQL;Driver=SQLite3;Database=/srv/gammal.db", f),
              "Provider=SQLOLEDB;Driver=SQLite3;Initial Catalog=/srv/ny.db");
}

} // namespace
