#include "platform/odbc_catalog.h"

#include "platform/qtsql/odbc_driver_list.h"

namespace platform {

QStringList odbcDataSourceNames()
{
    return qtsql::installedOdbcDataSourceNames();
}

QStringList odbcDriverNames()
{
    QStringList names;
    for (const qtsql::OdbcDriver &driver : qtsql::installedOdbcDrivers())
        names << driver.name;
    return names;
}

} // namespace platform
