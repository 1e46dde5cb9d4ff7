#include "platform/qtsql/provider_mapping.h"

#include "platform/error.h"
#include "platform/password_mask.h"

#include <QRegularExpression>
#include <QUrl>

namespace platform::qtsql {
namespace {

using Pairs = QList<ConnectionProperty>;

// OLE DB properties that only the OLE DB layer understands; an ODBC driver must not see them.
const QStringList OleDbOnlyNames = {
    QStringLiteral("Provider"),          QStringLiteral("Extended Properties"),
    QStringLiteral("Persist Security Info"), QStringLiteral("Prompt"),
    QStringLiteral("Mode"),              QStringLiteral("Connect Timeout"),
    QStringLiteral("OLE DB Services"),   QStringLiteral("Locale Identifier"),
    QStringLiteral("Window Handle"),
};

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool isOneOf(const QString &name, const QStringList &names)
{
    return names.contains(name, Qt::CaseInsensitive);
}

qsizetype indexOf(const Pairs &pairs, const QString &name)
{
    for (qsizetype i = 0; i < pairs.size(); ++i) {
        if (sameName(pairs.at(i).name, name))
            return i;
    }
    return -1;
}

// The provider's name without a version suffix: "MSDASQL.1" is MSDASQL.
QString providerBase(const QString &provider)
{
    static const QRegularExpression version(QStringLiteral("\\.\\d+$"));
    return QString(provider).remove(version);
}

QString odbcString(const Pairs &pairs)
{
    QStringList parts;
    for (const ConnectionProperty &p : pairs)
        parts << p.name + u'=' + odbcValue(p.value);
    return parts.join(u';');
}

// Splits an ODBC connection string ("DSN=x;PWD={a;b}") into its pairs; a braced value
// ends at a single "}", "}}" stands for one.
Pairs odbcPairs(const QString &text)
{
    Pairs pairs;
    qsizetype pos = 0;
    while (pos < text.size()) {
        const qsizetype eq = text.indexOf(u'=', pos);
        const qsizetype semi = text.indexOf(u';', pos);
        if (eq < 0 || (semi >= 0 && semi < eq)) {
            if (!text.mid(pos, semi < 0 ? -1 : semi - pos).trimmed().isEmpty())
                throw Error(QStringLiteral("The Extended Properties hold a part without \"=\"."));
            pos = semi < 0 ? text.size() : semi + 1;
            continue;
        }
        ConnectionProperty p{text.mid(pos, eq - pos).trimmed(), {}};
        pos = eq + 1;
        while (pos < text.size() && text.at(pos).isSpace())
            ++pos;
        if (pos < text.size() && text.at(pos) == u'{') {
            for (++pos;; ++pos) {
                if (pos >= text.size())
                    throw Error(QStringLiteral("The Extended Properties hold an unclosed \"{\" in %1.").arg(p.name));
                if (text.at(pos) == u'}' && !(pos + 1 < text.size() && text.at(pos + 1) == u'}'))
                    break;
                if (text.at(pos) == u'}')
                    ++pos;
                p.value += text.at(pos);
            }
            const qsizetype end = text.indexOf(u';', pos);
            pos = end < 0 ? text.size() : end + 1;
        } else {
            const qsizetype end = text.indexOf(u';', pos);
            p.value = text.mid(pos, end < 0 ? -1 : end - pos).trimmed();
            pos = end < 0 ? text.size() : end + 1;
        }
        pairs << p;
    }
    return pairs;
}

// The credentials leave the ODBC pairs for the settings' own fields: Qt hands them to
// the driver, and the database name never carries a password into a message.
void takeCredentials(Pairs &pairs, SqlConnectionSettings &settings)
{
    for (qsizetype i = pairs.size() - 1; i >= 0; --i) {
        const ConnectionProperty &p = pairs.at(i);
        if (isOneOf(p.name, {QStringLiteral("UID"), QStringLiteral("User ID"), QStringLiteral("User")}))
            settings.userName = p.value;
        else if (isOneOf(p.name, {QStringLiteral("PWD"), QStringLiteral("Password")}))
            settings.password = p.value;
        else
            continue;
        pairs.removeAt(i);
    }
}

QString odbcOptions()
{
    return QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=%1;SQL_ATTR_CONNECTION_TIMEOUT=%1").arg(ConnectTimeoutSeconds);
}

// Qt's ODBC driver puts "DSN=" before a database name that names neither a Driver nor a
// Server, so such a string starts with the bare data source name.
QString qtOdbcDatabaseName(Pairs pairs)
{
    const qsizetype dsn = indexOf(pairs, QStringLiteral("DSN"));
    if (dsn < 0 || indexOf(pairs, QStringLiteral("Driver")) >= 0 || indexOf(pairs, QStringLiteral("Server")) >= 0)
        return odbcString(pairs);
    const QString name = odbcValue(pairs.takeAt(dsn).value);
    return pairs.isEmpty() ? name : name + u';' + odbcString(pairs);
}

void appendUnlessPresent(Pairs &pairs, const ConnectionProperty &p)
{
    if (indexOf(pairs, p.name) < 0)
        pairs << p;
}

SqlConnectionSettings mapSqlite(const ConnectionString &cs)
{
    SqlConnectionSettings s;
    s.localFile = cs.value(QStringLiteral("Data Source"));
    if (s.localFile.isEmpty())
        throw Error(QStringLiteral("The connection string names no database file (Data Source)."));
    s.driver = QStringLiteral("QSQLITE");
    // mode=rw: SQLite opens the file for reading and writing but never creates it.
    s.databaseName = QUrl::fromLocalFile(s.localFile).toString(QUrl::FullyEncoded) + QStringLiteral("?mode=rw");
    s.connectOptions = QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(ConnectTimeoutSeconds * 1000);
    s.server = QStringLiteral("the database file %1").arg(s.localFile);
    return s;
}

// MSDASQL: the OLE DB names it knows become ODBC names, everything else goes through as
// written; the Extended Properties are an ODBC connection string of their own.
SqlConnectionSettings mapOdbc(const ConnectionString &cs)
{
    SqlConnectionSettings s;
    Pairs pairs;
    for (const ConnectionProperty &p : cs.properties()) {
        if (isOneOf(p.name, OleDbOnlyNames))
            continue;
        if (sameName(p.name, QStringLiteral("Data Source")))
            appendUnlessPresent(pairs, {QStringLiteral("DSN"), p.value});
        else if (sameName(p.name, QStringLiteral("Initial Catalog")))
            appendUnlessPresent(pairs, {QStringLiteral("DATABASE"), p.value});
        else
            appendUnlessPresent(pairs, p);
    }
    for (const ConnectionProperty &p : odbcPairs(cs.value(QStringLiteral("Extended Properties"))))
        appendUnlessPresent(pairs, p);
    takeCredentials(pairs, s);
    const qsizetype dsn = indexOf(pairs, QStringLiteral("DSN"));
    const qsizetype driver = indexOf(pairs, QStringLiteral("Driver"));
    if (dsn < 0 && driver < 0)
        throw Error(QStringLiteral("The connection string names neither an ODBC data source (DSN or Data Source) nor a Driver."));
    s.driver = QStringLiteral("QODBC");
    s.databaseName = qtOdbcDatabaseName(pairs);
    s.connectOptions = odbcOptions();
    s.server = dsn >= 0 ? QStringLiteral("the ODBC data source %1").arg(pairs.at(dsn).value)
                        : QStringLiteral("the ODBC driver %1").arg(pairs.at(driver).value);
    return s;
}

QString freeTdsDriver(const OdbcDriverList &installedDrivers)
{
    for (const OdbcDriver &d : installedDrivers()) {
        if (d.library.contains(QStringLiteral("libtdsodbc"), Qt::CaseInsensitive))
            return d.name;
    }
    throw Error(QStringLiteral("No ODBC driver for SQL Server is configured: install the FreeTDS ODBC driver "
                               "(package tdsodbc) or name a driver with Driver= in the connection string."));
}

// "host", "host\instance" or "host,port"; the ODBC Server value keeps the form, which
// the SQL Server drivers read themselves.
void splitSqlServerSource(const QString &source, SqlConnectionSettings &s)
{
    const qsizetype comma = source.indexOf(u',');
    s.host = source.left(comma < 0 ? -1 : comma).section(u'\\', 0, 0).trimmed();
    if (comma < 0)
        return;
    bool ok = false;
    s.port = source.mid(comma + 1).trimmed().toInt(&ok);
    if (!ok || s.port <= 0 || s.port > 65535)
        throw Error(QStringLiteral("The Data Source %1 names no usable port after \",\".").arg(source));
}

SqlConnectionSettings mapSqlServer(const ConnectionString &cs, const OdbcDriverList &installedDrivers)
{
    SqlConnectionSettings s;
    const QString source = cs.value(QStringLiteral("Data Source")).trimmed();
    splitSqlServerSource(source.isEmpty() ? QStringLiteral("localhost") : source, s);
    QString driver = cs.value(QStringLiteral("Driver"));
    if (driver.isEmpty())
        driver = freeTdsDriver(installedDrivers);
    Pairs pairs{{QStringLiteral("Driver"), driver},
                {QStringLiteral("Server"), source.isEmpty() ? QStringLiteral("localhost") : source}};
    const QString catalog = cs.value(QStringLiteral("Initial Catalog"));
    if (!catalog.isEmpty())
        pairs << ConnectionProperty{QStringLiteral("Database"), catalog};
    if (sameName(cs.value(QStringLiteral("Integrated Security")), QStringLiteral("SSPI"))) {
        pairs << ConnectionProperty{QStringLiteral("Trusted_Connection"), QStringLiteral("yes")};
    } else {
        s.userName = cs.value(QStringLiteral("User ID"));
        s.password = cs.value(QStringLiteral("Password"));
    }
    s.driver = QStringLiteral("QODBC");
    s.databaseName = odbcString(pairs);
    s.connectOptions = odbcOptions();
    s.sessionSetup = QStringLiteral("SET TRANSACTION ISOLATION LEVEL READ COMMITTED");
    s.server = QStringLiteral("the SQL Server %1").arg(source.isEmpty() ? QStringLiteral("localhost") : source);
    return s;
}

// "host", "host:port", "[::1]:port".
void splitPostgresSource(const QString &source, SqlConnectionSettings &s)
{
    static const QRegularExpression form(QStringLiteral("^(?:\\[([^\\]]*)\\]|([^:]*))(?::(\\d+))?$"));
    const QRegularExpressionMatch m = form.match(source);
    if (!m.hasMatch())
        throw Error(QStringLiteral("The Data Source %1 is no host or host:port.").arg(source));
    s.host = m.captured(1).isEmpty() ? m.captured(2) : m.captured(1);
    if (m.hasCaptured(3)) {
        s.port = m.captured(3).toInt();
        if (s.port <= 0 || s.port > 65535)
            throw Error(QStringLiteral("The Data Source %1 names no usable port.").arg(source));
    }
}

SqlConnectionSettings mapPostgres(const ConnectionString &cs)
{
    SqlConnectionSettings s;
    const QString source = cs.value(QStringLiteral("Data Source")).trimmed();
    splitPostgresSource(source, s);
    s.databaseName = cs.value(QStringLiteral("Location"));
    if (s.databaseName.isEmpty())
        s.databaseName = cs.value(QStringLiteral("Initial Catalog"));
    s.userName = cs.value(QStringLiteral("User ID"));
    s.password = cs.value(QStringLiteral("Password"));
    s.driver = QStringLiteral("QPSQL");
    s.connectOptions = QStringLiteral("connect_timeout=%1").arg(ConnectTimeoutSeconds);
    s.sessionSetup = QStringLiteral("SET SESSION CHARACTERISTICS AS TRANSACTION ISOLATION LEVEL READ COMMITTED");
    s.server = QStringLiteral("the PostgreSQL server %1").arg(source.isEmpty() ? QStringLiteral("on the local socket") : source);
    return s;
}

} // namespace

SqlConnectionSettings mapConnectionString(const ConnectionString &connection, const OdbcDriverList &installedDrivers)
{
    const QString provider = connection.value(QStringLiteral("Provider")).trimmed();
    const QString base = providerBase(provider);
    if (provider.isEmpty())
        throw Error(QStringLiteral("The connection string names no Provider."));
    if (sameName(base, QStringLiteral("SQLite")))
        return mapSqlite(connection);
    if (sameName(base, QStringLiteral("MSDASQL")))
        return mapOdbc(connection);
    if (sameName(base, QStringLiteral("SQLOLEDB")) || base.startsWith(QStringLiteral("SQLNCLI"), Qt::CaseInsensitive)
        || base.startsWith(QStringLiteral("MSOLEDBSQL"), Qt::CaseInsensitive))
        return mapSqlServer(connection, installedDrivers);
    if (provider.startsWith(QStringLiteral("PostgreSQL"), Qt::CaseInsensitive))
        return mapPostgres(connection);
    throw Error(QStringLiteral("The data provider %1 is not supported here; use SQLite, MSDASQL (ODBC), "
                               "SQLOLEDB, SQLNCLI or MSOLEDBSQL (SQL Server through ODBC) or PostgreSQL.")
                    .arg(provider));
}

QString odbcValue(const QString &value)
{
    if (!value.contains(u';') && !value.startsWith(u'{') && value == value.trimmed())
        return value;
    return u'{' + QString(value).replace(u'}', QStringLiteral("}}")) + u'}';
}

QString withoutSecrets(QString text, const SqlConnectionSettings &settings)
{
    // A driver that echoes its connection string shows the password after PWD= or password=.
    text = maskPasswordsInMessage(text);
    // Very short passwords are left to the pattern above: replacing every "a" would make
    // the message unreadable without hiding anything.
    if (settings.password.size() >= 4)
        text.replace(settings.password, QString::fromUtf16(MaskedPassword));
    return text;
}

} // namespace platform::qtsql
