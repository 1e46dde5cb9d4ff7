#pragma once
// The OLE DB provider of a connection string mapped onto a Qt SQL driver and its
// settings, without opening anything, so each provider's mapping can be checked row by
// row. The credentials stay in their own fields and never enter the driver's database
// name, which may show up in a driver's message.
#include "platform/connection_string.h"

#include <QList>
#include <QString>

#include <functional>

namespace platform::qtsql {

// No connection waits longer than this for its server.
inline constexpr int ConnectTimeoutSeconds = 15;

// One driver of unixODBC's driver list (odbcinst.ini).
struct OdbcDriver
{
    QString name;    // the section name, as Driver= names it
    QString library; // the Driver= file of the section
};

struct SqlConnectionSettings
{
    QString driver;         // Qt SQL driver: QSQLITE, QODBC or QPSQL
    QString databaseName;   // SQLite file URI, ODBC connection string or PostgreSQL database
    QString localFile;      // SQLite: the file that must exist already
    QString host;
    int port = -1;
    QString userName;
    QString password;
    QString connectOptions;
    QString sessionSetup;   // a statement run right after opening, or ""
    QString server;         // what a message names as the place it could not reach
};

using OdbcDriverList = std::function<QList<OdbcDriver>()>;

// Throws Error for an empty or unknown provider, a connection string that names no
// database, and a SQL Server provider without Driver= when no FreeTDS driver is
// configured. installedDrivers is asked only for SQL Server providers.
SqlConnectionSettings mapConnectionString(const ConnectionString &connection,
                                          const OdbcDriverList &installedDrivers);

// A value for an ODBC connection string, in braces only where ODBC would otherwise read
// it differently (a ";", a leading "{", blanks at either end): some drivers take braces
// as part of the value.
QString odbcValue(const QString &value);

// The text with every secret of the settings replaced, for messages and logs.
QString withoutSecrets(QString text, const SqlConnectionSettings &settings);

} // namespace platform::qtsql
