#include "platform/qtsql/odbc_driver_list.h"

#include <sql.h>
#include <sqlext.h>

namespace platform::qtsql {
namespace {

// The value of Driver= in the driver's attributes, which come as "name=value" strings
// one after the other, each ended by a NUL, the list by an empty one.
QString libraryOf(const SQLCHAR *attributes)
{
    const char *p = reinterpret_cast<const char *>(attributes);
    while (*p) {
        const QString attribute = QString::fromLocal8Bit(p);
        if (attribute.startsWith(QStringLiteral("Driver="), Qt::CaseInsensitive))
            return attribute.mid(7);
        p += qstrlen(p) + 1;
    }
    return {};
}

class Environment
{
public:
    Environment()
    {
        if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &m_handle)))
            m_handle = SQL_NULL_HENV;
        else
            SQLSetEnvAttr(m_handle, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    }
    ~Environment()
    {
        if (m_handle != SQL_NULL_HENV)
            SQLFreeHandle(SQL_HANDLE_ENV, m_handle);
    }
    Environment(const Environment &) = delete;
    Environment &operator=(const Environment &) = delete;

    SQLHENV handle() const { return m_handle; }

private:
    SQLHENV m_handle = SQL_NULL_HENV;
};

} // namespace

QList<OdbcDriver> installedOdbcDrivers()
{
    Environment env;
    QList<OdbcDriver> drivers;
    if (env.handle() == SQL_NULL_HENV)
        return drivers;
    SQLCHAR name[256];
    SQLCHAR attributes[4096];
    SQLSMALLINT nameLength = 0;
    SQLSMALLINT attributesLength = 0;
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    // Bounded: odbcinst.ini lists a handful of drivers, never thousands.
    for (int i = 0; i < 1000; ++i) {
        const SQLRETURN rc = SQLDrivers(env.handle(), direction, name, sizeof name, &nameLength, attributes,
                                        sizeof attributes, &attributesLength);
        if (!SQL_SUCCEEDED(rc))
            break;
        attributes[sizeof attributes - 1] = 0;
        attributes[sizeof attributes - 2] = 0;
        drivers << OdbcDriver{QString::fromLocal8Bit(reinterpret_cast<const char *>(name)), libraryOf(attributes)};
        direction = SQL_FETCH_NEXT;
    }
    return drivers;
}

QStringList installedOdbcDataSourceNames()
{
    Environment env;
    QStringList names;
    if (env.handle() == SQL_NULL_HENV)
        return names;
    SQLCHAR name[SQL_MAX_DSN_LENGTH + 1];
    SQLCHAR description[1024];
    SQLSMALLINT nameLength = 0;
    SQLSMALLINT descriptionLength = 0;
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    // Bounded: a machine has a handful of data sources, never thousands.
    for (int i = 0; i < 1000; ++i) {
        const SQLRETURN rc = SQLDataSources(env.handle(), direction, name, sizeof name, &nameLength, description,
                                            sizeof description, &descriptionLength);
        if (!SQL_SUCCEEDED(rc))
            break;
        const QString dataSource = QString::fromLocal8Bit(reinterpret_cast<const char *>(name));
        if (!names.contains(dataSource))
            names << dataSource;
        direction = SQL_FETCH_NEXT;
    }
    return names;
}

} // namespace platform::qtsql
