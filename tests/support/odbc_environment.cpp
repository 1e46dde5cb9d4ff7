#include "odbc_environment.h"

#include "test_env.h"

#include <QFile>

namespace testenv {
namespace {

const QString SystemDriverList = QStringLiteral("/etc/odbcinst.ini");

QString driverListIn(const QString &folder)
{
    return folder + QStringLiteral("/odbcinst.ini");
}

// The value of key in [section] of a small INI text, "" when absent.
QString iniValue(const QString &path, const QString &section, const QString &key)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QString current;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(u'[') && line.endsWith(u']'))
            current = line.mid(1, line.size() - 2).trimmed();
        else if (current == section && line.section(u'=', 0, 0).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return line.section(u'=', 1).trimmed();
    }
    return {};
}

// unixODBC finds a driver named without a folder in the loader's path or its own.
bool libraryFound(const QString &library)
{
    if (library.isEmpty())
        return false;
    if (library.startsWith(u'/'))
        return QFile::exists(library);
    for (const QString &dir : {QStringLiteral("/usr/lib/x86_64-linux-gnu/odbc"), QStringLiteral("/usr/lib/x86_64-linux-gnu"),
                               QStringLiteral("/usr/lib/aarch64-linux-gnu/odbc"), QStringLiteral("/usr/lib/aarch64-linux-gnu"),
                               QStringLiteral("/usr/lib/odbc"), QStringLiteral("/usr/lib"), QStringLiteral("/usr/local/lib")}) {
        if (QFile::exists(dir + u'/' + library))
            return true;
    }
    return false;
}

void appendFile(const QString &path, const QByteArray &text)
{
    QByteArray bytes = QFile::exists(path) ? readFile(path) : QByteArray();
    writeFile(path, bytes + text);
}

} // namespace

OdbcEnvironment::OdbcEnvironment()
    : m_folder(freshDir(QStringLiteral("odbc")))
    , m_oldSysIni(qgetenv("ODBCSYSINI"))
    , m_oldIni(qgetenv("ODBCINI"))
    , m_hadSysIni(qEnvironmentVariableIsSet("ODBCSYSINI"))
    , m_hadIni(qEnvironmentVariableIsSet("ODBCINI"))
{
    writeFile(driverListIn(m_folder), QFile::exists(SystemDriverList) ? readFile(SystemDriverList) : QByteArray());
    writeFile(m_folder + QStringLiteral("/odbc.ini"), QByteArray());
    writeFile(m_folder + QStringLiteral("/user-odbc.ini"), QByteArray());
    qputenv("ODBCSYSINI", QFile::encodeName(m_folder));
    qputenv("ODBCINI", QFile::encodeName(m_folder + QStringLiteral("/user-odbc.ini")));
}

OdbcEnvironment::~OdbcEnvironment()
{
    if (m_hadSysIni)
        qputenv("ODBCSYSINI", m_oldSysIni);
    else
        qunsetenv("ODBCSYSINI");
    if (m_hadIni)
        qputenv("ODBCINI", m_oldIni);
    else
        qunsetenv("ODBCINI");
}

bool OdbcEnvironment::hasDriver(const QString &name) const
{
    return libraryFound(iniValue(driverListIn(m_folder), name, QStringLiteral("Driver")));
}

void OdbcEnvironment::setDrivers(const QList<QPair<QString, QString>> &drivers)
{
    QByteArray text;
    for (const auto &[name, library] : drivers)
        text += "[" + name.toUtf8() + "]\nDriver=" + library.toUtf8() + "\n\n";
    writeFile(driverListIn(m_folder), text);
}

void OdbcEnvironment::addDataSource(const QString &name, const QString &driver,
                                    const QList<QPair<QString, QString>> &attributes)
{
    QByteArray text = "[" + name.toUtf8() + "]\nDriver=" + driver.toUtf8() + "\n";
    for (const auto &[key, value] : attributes)
        text += key.toUtf8() + "=" + value.toUtf8() + "\n";
    appendFile(m_folder + QStringLiteral("/odbc.ini"), text + "\n");
}

} // namespace testenv
