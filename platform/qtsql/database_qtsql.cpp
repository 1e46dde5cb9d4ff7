// DatabaseConnection and DatabaseQuery on Qt SQL; the provider decides the driver
// (provider_mapping.h).
#include "platform/database.h"

#include "platform/connection_string.h"
#include "platform/error.h"
#include "platform/filesystem.h"
#include "platform/qtsql/odbc_driver_list.h"
#include "platform/qtsql/provider_mapping.h"

#include <QAtomicInt>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace platform {

struct DatabaseConnection::Secrets
{
    qtsql::SqlConnectionSettings settings;
};

namespace {

QString uniqueConnectionName()
{
    static QAtomicInt counter;
    return QStringLiteral("vardo-database-%1").arg(counter.fetchAndAddRelaxed(1) + 1);
}

QString packageOf(const QString &driver)
{
    if (driver == u"QSQLITE")
        return QStringLiteral("libqt6sql6-sqlite");
    if (driver == u"QODBC")
        return QStringLiteral("libqt6sql6-odbc");
    return QStringLiteral("libqt6sql6-psql");
}

void requireQtDriver(const QString &driver)
{
    if (!QSqlDatabase::isDriverAvailable(driver)) {
        throw Error(QStringLiteral("The Qt SQL driver %1 is not installed (package %2).")
                        .arg(driver, packageOf(driver)));
    }
}

// Opening never makes an empty database in place of a missing one.
void requireLocalFile(const qtsql::SqlConnectionSettings &settings)
{
    if (!settings.localFile.isEmpty() && !fileExists(settings.localFile))
        throw Error(QStringLiteral("The database file %1 does not exist.").arg(settings.localFile));
}

void configure(QSqlDatabase &db, const qtsql::SqlConnectionSettings &settings)
{
    db.setDatabaseName(settings.databaseName);
    if (!settings.host.isEmpty())
        db.setHostName(settings.host);
    db.setPort(settings.port);
    // Qt's ODBC driver appends ";UID=...;PWD=..." as given, so a ";" in either needs braces.
    const bool odbc = settings.driver == u"QODBC";
    db.setUserName(odbc ? qtsql::odbcValue(settings.userName) : settings.userName);
    db.setPassword(odbc ? qtsql::odbcValue(settings.password) : settings.password);
    db.setConnectOptions(settings.connectOptions);
}

} // namespace

DatabaseConnection::DatabaseConnection()
    : m_name(uniqueConnectionName())
{
}

DatabaseConnection::~DatabaseConnection()
{
    close();
}

void DatabaseConnection::open(const QString &connectionString)
{
    close();
    auto secrets = std::make_unique<Secrets>();
    secrets->settings = qtsql::mapConnectionString(ConnectionString::parse(connectionString), qtsql::installedOdbcDrivers);
    const qtsql::SqlConnectionSettings &settings = secrets->settings;
    requireQtDriver(settings.driver);
    requireLocalFile(settings);
    m_secrets = std::move(secrets);
    QString failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(settings.driver, m_name);
        configure(db, settings);
        if (!db.open()) {
            failure = db.lastError().text();
        } else if (!settings.sessionSetup.isEmpty()) {
            QSqlQuery setup(db);
            if (!setup.exec(settings.sessionSetup))
                failure = setup.lastError().text();
        }
    }
    if (failure.isNull())
        return;
    const QString message = QStringLiteral("Cannot connect to %1: %2").arg(settings.server, withoutSecrets(failure.trimmed()));
    close();
    throw Error(message);
}

void DatabaseConnection::close()
{
    if (QSqlDatabase::contains(m_name)) {
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
    }
    m_secrets.reset();
}

bool DatabaseConnection::isOpen() const
{
    return QSqlDatabase::contains(m_name) && QSqlDatabase::database(m_name, false).isOpen();
}

QString DatabaseConnection::name() const
{
    return m_name;
}

QString DatabaseConnection::withoutSecrets(const QString &text) const
{
    return m_secrets ? qtsql::withoutSecrets(text, m_secrets->settings) : text;
}

DatabaseQuery::DatabaseQuery(DatabaseConnection &connection)
    : m_connection(connection)
{
}

void DatabaseQuery::setText(const QString &sql)
{
    m_text = sql;
}

QString DatabaseQuery::text() const
{
    return m_text;
}

// A static cursor: every row is read here, so moving never goes back to the server.
void DatabaseQuery::open()
{
    close();
    if (!m_connection.isOpen())
        throw Error(QStringLiteral("The database connection is not open."));
    QSqlQuery query(QSqlDatabase::database(m_connection.name(), false));
    query.setForwardOnly(true);
    if (!query.exec(m_text))
        throw Error(m_connection.withoutSecrets(query.lastError().text().trimmed()));
    const QSqlRecord record = query.record();
    for (int i = 0; i < record.count(); ++i)
        m_columns << record.fieldName(i);
    while (query.next()) {
        QList<QVariant> row;
        for (int i = 0; i < record.count(); ++i)
            row << query.value(i);
        m_rows << row;
    }
    if (query.lastError().isValid())
        throw Error(m_connection.withoutSecrets(query.lastError().text().trimmed()));
    m_open = true;
}

void DatabaseQuery::close()
{
    m_open = false;
    m_columns.clear();
    m_rows.clear();
    m_row = 0;
}

bool DatabaseQuery::isOpen() const
{
    return m_open;
}

void DatabaseQuery::first()
{
    m_row = 0;
}

void DatabaseQuery::next()
{
    if (m_row < m_rows.size())
        ++m_row;
}

bool DatabaseQuery::atEnd() const
{
    return m_row >= m_rows.size();
}

QString DatabaseQuery::fieldText(const QString &column) const
{
    const QVariant value = fieldValue(column);
    return value.isNull() ? QString() : value.toString();
}

int DatabaseQuery::fieldInteger(const QString &column) const
{
    const QVariant value = fieldValue(column);
    if (value.isNull())
        return 0;
    bool ok = false;
    const int number = value.toInt(&ok);
    if (!ok)
        throw Error(QStringLiteral("The value \"%1\" of the column %2 is not an integer.").arg(value.toString(), column));
    return number;
}

bool DatabaseQuery::locate(const QString &keyColumn, int value)
{
    const int column = columnIndex(keyColumn);
    for (qsizetype row = 0; row < m_rows.size(); ++row) {
        bool ok = false;
        if (m_rows.at(row).at(column).toInt(&ok) == value && ok) {
            m_row = row;
            return true;
        }
    }
    return false;
}

int DatabaseQuery::columnIndex(const QString &column) const
{
    if (!m_open)
        throw Error(QStringLiteral("The query is not open."));
    for (qsizetype i = 0; i < m_columns.size(); ++i) {
        if (m_columns.at(i).compare(column, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    throw Error(QStringLiteral("The query has no column %1.").arg(column));
}

QVariant DatabaseQuery::fieldValue(const QString &column) const
{
    const int index = columnIndex(column);
    return atEnd() ? QVariant() : m_rows.at(m_row).at(index);
}

} // namespace platform
