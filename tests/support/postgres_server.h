#pragma once
// A PostgreSQL server of the test's own: initdb and pg_ctl in a temporary folder, a free
// port on 127.0.0.1, unix sockets in that folder, password logins only. As root the
// server runs as "nobody" (postgres refuses root). Stopped and removed by the destructor.
#include <QString>
#include <QStringList>

#include <memory>

class QTemporaryDir;

namespace testenv {

class PostgresServer
{
public:
    PostgresServer();
    ~PostgresServer();
    PostgresServer(const PostgresServer &) = delete;
    PostgresServer &operator=(const PostgresServer &) = delete;

    // Why no server can run here (no server binaries, root without setpriv), "" when one can;
    // for GTEST_SKIP.
    static QString unavailableReason();

    // Throws std::runtime_error with the server's log when it does not come up.
    void start();

    QString host() const { return QStringLiteral("127.0.0.1"); }
    int port() const { return m_port; }
    QString user() const { return QStringLiteral("vardo"); }
    QString password() const { return m_password; }

    // Creates the database with the table TRKLINIK (ORGNR varchar) holding the rows in
    // this order, and returns its OLE DB connection string.
    QString createDatabaseWithTrklinik(const QStringList &rows, const QString &database = QStringLiteral("praktik"));

    // Runs SQL statements on a database with psql; throws with psql's output on failure.
    void runSql(const QString &database, const QString &sql) const;

    QString connectionString(const QString &database) const;

private:
    void runServerTool(const QString &tool, const QStringList &arguments) const;
    bool tryStart();

    std::unique_ptr<QTemporaryDir> m_folder;
    QString m_binDir;
    QString m_password;
    int m_port = 0;
    bool m_running = false;
};

} // namespace testenv
