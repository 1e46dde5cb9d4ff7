#pragma once
// The fields a person fills in for a data link, and how they map onto the connection
// string's keywords for each kind of provider. Keywords the fields do not cover stay in
// the connection string as they were, in their place, so a data link written elsewhere
// keeps what this editor does not understand.
//
// | kind       | Provider   | data source       | database        | dsn          | driver |
// |------------|------------|-------------------|-----------------|--------------|--------|
// | SQLite     | SQLite     | Data Source (file)|                 |              |        |
// | ODBC       | MSDASQL    | Server            | Initial Catalog*| Data Source  | Driver |
// | SQL Server | SQLOLEDB   | Data Source       | Initial Catalog |              | Driver |
// | PostgreSQL | PostgreSQL | Data Source       | Location*       |              |        |
//
// * or the other keyword for the database when the file uses it and not this one:
//   "Database" for ODBC, "Initial Catalog" for PostgreSQL; a save keeps it.
//
// The user goes to User ID, the password to Password; the password is written to the
// file only with Persist Security Info=True.
#include "platform/connection_string.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace datalink {

enum class ProviderKind { SQLite, Odbc, SqlServer, PostgreSql };

struct DataLinkFields
{
    ProviderKind kind = ProviderKind::SQLite;
    QString dataSource;
    QString database;
    QString dsn;
    QString driver;
    QString user;
    QString password;
    bool savePassword = false;
};

// The kinds by their command-line names: "sqlite", "odbc", "sqlserver", "postgresql".
QStringList providerKindNames();
QString providerKindName(ProviderKind kind);
std::optional<ProviderKind> providerKindNamed(const QString &name);

// Which fields a kind uses, for the window and for refusing stray options.
bool usesDatabase(ProviderKind kind);
bool usesDsn(ProviderKind kind);
bool usesDriver(ProviderKind kind);
bool usesCredentials(ProviderKind kind);

// The kind of a connection string's provider; SQLite for an empty one (a new data link)
// and for one this editor does not know (which the person then chooses anew).
ProviderKind kindOf(const platform::ConnectionString &connection);

// The fields a connection string holds.
DataLinkFields fieldsOf(const platform::ConnectionString &connection);

enum class PasswordUse { ForSaving, ForConnecting };

// The connection string with the fields put in: every keyword of the table set from its
// field or removed when the field is empty or not the kind's, all others kept. A provider
// name of the same kind stays as written ("SQLOLEDB.1"). For saving, the password is
// kept only when savePassword is set.
platform::ConnectionString withFields(platform::ConnectionString connection, const DataLinkFields &fields,
                                      PasswordUse use);

} // namespace datalink
