#include "postgres_server.h"

#include "sqlite_file.h"
#include "test_env.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>

#include <algorithm>
#include <stdexcept>
#include <unistd.h>

namespace testenv {
namespace {

constexpr uid_t Nobody = 65534;
constexpr int ToolTimeoutMs = 120000;

QString serverBinDir()
{
    const QDir lib(QStringLiteral("/usr/lib/postgresql"));
    // Newest major version first.
    QStringList versions = lib.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    std::sort(versions.begin(), versions.end(), [](const QString &a, const QString &b) { return a.toInt() > b.toInt(); });
    for (const QString &v : versions) {
        const QString bin = lib.filePath(v + QStringLiteral("/bin"));
        if (QFile::exists(bin + QStringLiteral("/initdb")) && QFile::exists(bin + QStringLiteral("/pg_ctl")))
            return bin;
    }
    return {};
}

bool runningAsRoot()
{
    return geteuid() == 0;
}

int freeLoopbackPort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        throw std::runtime_error("no free port on 127.0.0.1");
    return probe.serverPort();
}

void run(const QString &program, const QStringList &arguments, const QString &workDir,
         const QProcessEnvironment &env)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.setWorkingDirectory(workDir);
    p.setProcessEnvironment(env);
    p.start(program, arguments);
    const bool finished = p.waitForFinished(ToolTimeoutMs);
    if (!finished)
        p.kill();
    if (!finished || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        throw std::runtime_error(QStringLiteral("%1 %2 failed: %3")
                                     .arg(program, arguments.join(u' '), QString::fromLocal8Bit(p.readAll()))
                                     .toStdString());
    }
}

} // namespace

PostgresServer::PostgresServer() = default;

PostgresServer::~PostgresServer()
{
    if (m_running) {
        try {
            runServerTool(QStringLiteral("pg_ctl"), {QStringLiteral("-D"), m_folder->path() + QStringLiteral("/data"),
                                                     QStringLiteral("-m"), QStringLiteral("immediate"),
                                                     QStringLiteral("-w"), QStringLiteral("stop")});
        } catch (const std::exception &) {
            // The folder goes anyway; a server left over has lost its files and ends.
        }
    }
}

QString PostgresServer::unavailableReason()
{
    if (serverBinDir().isEmpty())
        return QStringLiteral("no PostgreSQL server binaries (initdb, pg_ctl) under /usr/lib/postgresql; install postgresql");
    if (QStandardPaths::findExecutable(QStringLiteral("psql")).isEmpty())
        return QStringLiteral("no psql; install postgresql-client");
    if (runningAsRoot() && QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty())
        return QStringLiteral("running as root and no setpriv to run the server as nobody");
    return {};
}

// As root the server's folder lies outside the private root (which only root may
// enter) and belongs to nobody, who runs every server tool.
void PostgresServer::start()
{
    m_binDir = serverBinDir();
    m_folder = std::make_unique<QTemporaryDir>(
        (runningAsRoot() ? QStringLiteral("/tmp") : QDir::tempPath()) + QStringLiteral("/vardo-pg-XXXXXX"));
    if (!m_folder->isValid())
        throw std::runtime_error("cannot create the PostgreSQL folder");
    m_password = QStringLiteral("pw-%1").arg(QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0'));
    const QString folder = m_folder->path();
    const QString passwordFile = folder + QStringLiteral("/password");
    QFile file(passwordFile);
    if (!file.open(QIODevice::WriteOnly) || file.write(m_password.toUtf8() + '\n') <= 0)
        throw std::runtime_error("cannot write the PostgreSQL password file");
    file.close();
    if (runningAsRoot() && (chown(QFile::encodeName(folder).constData(), Nobody, Nobody) != 0
                            || chown(QFile::encodeName(passwordFile).constData(), Nobody, Nobody) != 0))
        throw std::runtime_error("cannot hand the PostgreSQL folder to nobody");
    runServerTool(QStringLiteral("initdb"),
                  {QStringLiteral("-D"), folder + QStringLiteral("/data"), QStringLiteral("-U"), user(),
                   QStringLiteral("--pwfile=") + passwordFile, QStringLiteral("--auth=scram-sha-256"),
                   QStringLiteral("-E"), QStringLiteral("UTF8"), QStringLiteral("--locale=C.UTF-8"),
                   QStringLiteral("--no-sync")});
    // A port found free can be taken before the server binds it: a few tries.
    for (int attempt = 0; attempt < 3 && !m_running; ++attempt)
        m_running = tryStart();
    if (!m_running)
        throw std::runtime_error("the PostgreSQL server did not start: " + testenv::readFile(folder + "/log").toStdString());
}

bool PostgresServer::tryStart()
{
    m_port = freeLoopbackPort();
    const QString folder = m_folder->path();
    const QString options = QStringLiteral("-c port=%1 -c listen_addresses=127.0.0.1 -c unix_socket_directories=%2 "
                                           "-c fsync=off -c max_connections=20")
                                .arg(m_port)
                                .arg(folder);
    try {
        runServerTool(QStringLiteral("pg_ctl"), {QStringLiteral("-D"), folder + QStringLiteral("/data"), QStringLiteral("-l"),
                                                 folder + QStringLiteral("/log"), QStringLiteral("-o"), options,
                                                 QStringLiteral("-w"), QStringLiteral("-t"), QStringLiteral("60"),
                                                 QStringLiteral("start")});
        return true;
    } catch (const std::exception &) {
        return false;
    }
}

void PostgresServer::runServerTool(const QString &tool, const QStringList &arguments) const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TMPDIR"), m_folder->path());
    env.insert(QStringLiteral("HOME"), m_folder->path());
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    const QString program = m_binDir + u'/' + tool;
    if (!runningAsRoot()) {
        run(program, arguments, m_folder->path(), env);
        return;
    }
    run(QStandardPaths::findExecutable(QStringLiteral("setpriv")),
        QStringList{QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"), QStringLiteral("--clear-groups"),
                    QStringLiteral("--")}
            + QStringList{program} + arguments,
        m_folder->path(), env);
}

void PostgresServer::runSql(const QString &database, const QString &sql) const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PGPASSWORD"), m_password);
    env.insert(QStringLiteral("PGCONNECT_TIMEOUT"), QStringLiteral("15"));
    run(QStandardPaths::findExecutable(QStringLiteral("psql")),
        {QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1"),
         QStringLiteral("-h"), host(), QStringLiteral("-p"), QString::number(m_port), QStringLiteral("-U"), user(),
         QStringLiteral("-d"), database, QStringLiteral("-c"), sql},
        m_folder->path(), env);
}

QString PostgresServer::createDatabaseWithTrklinik(const QStringList &rows, const QString &database)
{
    runSql(QStringLiteral("postgres"), QStringLiteral("CREATE DATABASE \"%1\"").arg(database));
    QString sql = QStringLiteral("CREATE TABLE TRKLINIK (ID serial PRIMARY KEY, ORGNR varchar(20));");
    for (const QString &row : rows)
        sql += QStringLiteral("INSERT INTO TRKLINIK (ORGNR) VALUES (%1);").arg(sqlText(row));
    runSql(database, sql);
    return connectionString(database);
}

QString PostgresServer::connectionString(const QString &database) const
{
    return QStringLiteral("Provider=PostgreSQL;Data Source=%1:%2;Location=%3;User ID=%4;Password=%5")
        .arg(host())
        .arg(m_port)
        .arg(database, user(), m_password);
}

} // namespace testenv
