#include "sqlite_file.h"

#include <QProcess>
#include <QStandardPaths>

#include <stdexcept>

namespace testenv {

QString sqlText(const QString &value)
{
    return u'\'' + QString(value).replace(u'\'', QStringLiteral("''")) + u'\'';
}

void runSqlite(const QString &path, const QString &sql)
{
    const QString sqlite3 = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (sqlite3.isEmpty())
        throw std::runtime_error("no sqlite3 program; install sqlite3");
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(sqlite3, {QStringLiteral("-bail"), path, sql});
    const bool finished = p.waitForFinished(60000);
    if (!finished)
        p.kill();
    if (!finished || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        throw std::runtime_error("sqlite3 failed: " + p.readAll().toStdString());
}

QString createSqliteTrklinik(const QString &path, const QStringList &rows)
{
    QString sql = QStringLiteral("CREATE TABLE TRKLINIK (ID INTEGER PRIMARY KEY, ORGNR TEXT);");
    for (const QString &row : rows)
        sql += QStringLiteral("INSERT INTO TRKLINIK (ORGNR) VALUES (%1);").arg(sqlText(row));
    runSqlite(path, sql);
    return path;
}

} // namespace testenv
