#include "platform/odbc_catalog.h"

#include "platform/qtsql/odbc_driver_list.h"

#include <sql.h>
#include <sqlext.h>

#include <memory>

namespace platform {
namespace {

struct EnvironmentFree
{
    void operator()(void *handle) const { SQLFreeHandle(SQL_HANDLE_ENV, handle); }
};
using Environment = std::unique_ptr<void, EnvironmentFree>;

Environment odbcEnvironment()
{
    SQLHENV handle = SQL_NULL_HENV;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &handle)))
        return nullptr;
    SQLSetEnvAttr(handle, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    return Environment(handle);
}

} // namespace

QStringList odbcDataSourceNames()
{
    QStringList names;
    const Environment env = odbcEnvironment();
    if (!env)
        return names;
    SQLCHAR name[SQL_MAX_DSN_LENGTH + 1];
    SQLCHAR description[1024];
    SQLSMALLINT nameLength = 0;
    SQLSMALLINT descriptionLength = 0;
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    // Bounded: a machine has a handful of data sources, never thousands.
    for (int i = 0; i < 1000; ++i) {
        const SQLRETURN rc = SQLDataSources(env.get(), direction, name, sizeof name, &nameLength, description,
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

QStringList odbcDriverNames()
{
    QStringList names;
    for (const qtsql::OdbcDriver &driver : qtsql::installedOdbcDrivers())
        names << driver.name;
    return names;
}

} // namespace platform
