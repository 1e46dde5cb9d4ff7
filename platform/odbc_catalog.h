#pragma once
// What unixODBC has configured: the names of its data sources (the user's odbc.ini and
// the system's) and of its drivers (odbcinst.ini), as a data-link editor offers them.
// Empty lists when unixODBC cannot be asked. ODBCSYSINI and ODBCINI move the files.
#include <QStringList>

namespace platform {

QStringList odbcDataSourceNames();
QStringList odbcDriverNames();

} // namespace platform
