#include "datalink/core/data_link_fields.h"

#include <array>

namespace datalink {
namespace {

const QString Provider = QStringLiteral("Provider");
const QString DataSource = QStringLiteral("Data Source");
const QString Server = QStringLiteral("Server");
const QString InitialCatalog = QStringLiteral("Initial Catalog");
const QString Database = QStringLiteral("Database");
const QString Location = QStringLiteral("Location");
const QString Driver = QStringLiteral("Driver");
const QString UserId = QStringLiteral("User ID");
const QString Password = QStringLiteral("Password");
const QString PersistSecurityInfo = QStringLiteral("Persist Security Info");

struct KindInfo
{
    ProviderKind kind;
    const char *name;
    const char *provider;
};

constexpr std::array<KindInfo, 4> Kinds{{
    {ProviderKind::SQLite, "sqlite", "SQLite"},
    {ProviderKind::Odbc, "odbc", "MSDASQL"},
    {ProviderKind::SqlServer, "sqlserver", "SQLOLEDB"},
    {ProviderKind::PostgreSql, "postgresql", "PostgreSQL"},
}};

const KindInfo &infoOf(ProviderKind kind)
{
    for (const KindInfo &info : Kinds) {
        if (info.kind == kind)
            return info;
    }
    return Kinds.front();
}

// The keyword the file already uses for the database, else the kind's own: an ODBC
// driver string written by hand says "Database=", a PostgreSQL link "Location=".
QString databaseKeyword(ProviderKind kind, const platform::ConnectionString &connection)
{
    switch (kind) {
    case ProviderKind::Odbc:
        return connection.contains(Database) && !connection.contains(InitialCatalog) ? Database : InitialCatalog;
    case ProviderKind::PostgreSql:
        return connection.contains(InitialCatalog) && !connection.contains(Location) ? InitialCatalog : Location;
    default:
        return InitialCatalog;
    }
}

// The field behind each keyword a kind uses; the order is the order new keywords are added in.
using FieldOf = QString DataLinkFields::*;
struct Keyword
{
    QString name;
    FieldOf field;
};

QList<Keyword> keywordsOf(ProviderKind kind, const platform::ConnectionString &connection)
{
    switch (kind) {
    case ProviderKind::SQLite:
        return {{DataSource, &DataLinkFields::dataSource}};
    case ProviderKind::Odbc:
        return {{DataSource, &DataLinkFields::dsn},     {Server, &DataLinkFields::dataSource},
                {databaseKeyword(kind, connection), &DataLinkFields::database}, {Driver, &DataLinkFields::driver},
                {UserId, &DataLinkFields::user},        {Password, &DataLinkFields::password}};
    case ProviderKind::SqlServer:
        return {{DataSource, &DataLinkFields::dataSource}, {InitialCatalog, &DataLinkFields::database},
                {Driver, &DataLinkFields::driver},         {UserId, &DataLinkFields::user},
                {Password, &DataLinkFields::password}};
    case ProviderKind::PostgreSql:
        return {{DataSource, &DataLinkFields::dataSource}, {databaseKeyword(kind, connection), &DataLinkFields::database},
                {UserId, &DataLinkFields::user},           {Password, &DataLinkFields::password}};
    }
    return {};
}

bool hasKeyword(const QList<Keyword> &keywords, const QString &name)
{
    for (const Keyword &k : keywords) {
        if (k.name.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

void setOrRemove(platform::ConnectionString &connection, const QString &name, const QString &value)
{
    if (value.isEmpty())
        connection.remove(name);
    else
        connection.setValue(name, value);
}

} // namespace

QStringList providerKindNames()
{
    QStringList names;
    for (const KindInfo &info : Kinds)
        names << QLatin1String(info.name);
    return names;
}

QString providerKindName(ProviderKind kind)
{
    return QLatin1String(infoOf(kind).name);
}

std::optional<ProviderKind> providerKindNamed(const QString &name)
{
    for (const KindInfo &info : Kinds) {
        if (name.compare(QLatin1String(info.name), Qt::CaseInsensitive) == 0)
            return info.kind;
    }
    return std::nullopt;
}

bool usesDatabase(ProviderKind kind)
{
    return kind != ProviderKind::SQLite;
}

bool usesDsn(ProviderKind kind)
{
    return kind == ProviderKind::Odbc;
}

bool usesDriver(ProviderKind kind)
{
    return kind == ProviderKind::Odbc || kind == ProviderKind::SqlServer;
}

bool usesCredentials(ProviderKind kind)
{
    return kind != ProviderKind::SQLite;
}

ProviderKind kindOf(const platform::ConnectionString &connection)
{
    // The provider's name without a version suffix ("MSDASQL.1").
    const QString provider = connection.value(Provider).trimmed().section(u'.', 0, 0);
    const auto is = [&](const char *name) { return provider.startsWith(QLatin1String(name), Qt::CaseInsensitive); };
    if (is("MSDASQL"))
        return ProviderKind::Odbc;
    if (is("SQLOLEDB") || is("SQLNCLI") || is("MSOLEDBSQL"))
        return ProviderKind::SqlServer;
    if (is("PostgreSQL"))
        return ProviderKind::PostgreSql;
    return ProviderKind::SQLite;
}

DataLinkFields fieldsOf(const platform::ConnectionString &connection)
{
    DataLinkFields fields;
    fields.kind = kindOf(connection);
    for (const Keyword &k : keywordsOf(fields.kind, connection))
        fields.*k.field = connection.value(k.name);
    // A file that holds a password without saying whether to keep it has kept it so far.
    fields.savePassword = connection.contains(PersistSecurityInfo)
        ? connection.value(PersistSecurityInfo).compare(QLatin1String("True"), Qt::CaseInsensitive) == 0
        : !fields.password.isEmpty();
    return fields;
}

platform::ConnectionString withFields(platform::ConnectionString connection, const DataLinkFields &fields,
                                      PasswordUse use)
{
    const ProviderKind kind = fields.kind;
    const QList<Keyword> old = keywordsOf(kindOf(connection), connection);
    if (connection.value(Provider).isEmpty() || kindOf(connection) != kind)
        connection.setValue(Provider, QLatin1String(infoOf(kind).provider));
    const QList<Keyword> keywords = keywordsOf(kind, connection);
    // A change of kind leaves nothing of the old kind behind.
    for (const Keyword &k : old) {
        if (!hasKeyword(keywords, k.name))
            connection.remove(k.name);
    }
    const bool keepPassword = use == PasswordUse::ForConnecting || fields.savePassword;
    for (const Keyword &k : keywords)
        setOrRemove(connection, k.name, k.name != Password || keepPassword ? fields.*k.field : QString());
    const bool persisted = connection.value(PersistSecurityInfo).compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
    if (connection.contains(PersistSecurityInfo) ? persisted != fields.savePassword
                                                 : usesCredentials(kind) && !fields.password.isEmpty())
        connection.setValue(PersistSecurityInfo, fields.savePassword ? QStringLiteral("True") : QStringLiteral("False"));
    return connection;
}

} // namespace datalink
