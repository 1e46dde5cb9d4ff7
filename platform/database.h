#pragma once
// Data access for the practice database: one connection opened from an OLE DB
// connection string ("Provider=..."; see connection_string.h) and read-only queries on
// it. The provider chooses the Qt SQL driver: SQLite, MSDASQL (ODBC), SQLOLEDB /
// SQLNCLI* / MSOLEDBSQL* (SQL Server through ODBC) and PostgreSQL*. No login prompt,
// read-committed, a connection never waits longer than 15 s. Every failure throws
// platform::Error whose text names the cause; a password never appears in a text.
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QList>
#include <memory>

namespace platform {

class DatabaseConnection
{
public:
    DatabaseConnection();
    ~DatabaseConnection();
    DatabaseConnection(const DatabaseConnection &) = delete;
    DatabaseConnection &operator=(const DatabaseConnection &) = delete;

    // Closes any open connection first, then opens one for the connection string.
    void open(const QString &connectionString);
    void close();
    bool isOpen() const;

    // The Qt SQL connection name, for DatabaseQuery.
    QString name() const;

    // The text with the open connection's password hidden, for a driver's message.
    QString withoutSecrets(const QString &text) const;

private:
    struct Secrets;
    QString m_name;
    std::unique_ptr<Secrets> m_secrets;
};

// A read-only query with a static cursor: opening runs it and keeps its rows.
class DatabaseQuery
{
public:
    explicit DatabaseQuery(DatabaseConnection &connection);

    void setText(const QString &sql);
    QString text() const;

    // Closes, then runs the text; throws Error with the driver's message.
    void open();
    void close();
    bool isOpen() const;

    void first();
    void next();
    bool atEnd() const;

    // Columns of the current row by name (without regard to letter case); throws Error
    // for an unknown column. Past the last row (and so in a result without rows) every
    // column reads as empty: "" and 0, the way a list filler that reads a row before
    // testing for the end expects.
    QString fieldText(const QString &column) const;
    int fieldInteger(const QString &column) const;

    // Moves to the first row whose key column equals value; false (and no move) when none.
    bool locate(const QString &keyColumn, int value);

private:
    int columnIndex(const QString &column) const;
    QVariant fieldValue(const QString &column) const;

    DatabaseConnection &m_connection;
    QString m_text;
    bool m_open = false;
    QStringList m_columns;
    QList<QList<QVariant>> m_rows;
    int m_row = 0;
};

} // namespace platform
