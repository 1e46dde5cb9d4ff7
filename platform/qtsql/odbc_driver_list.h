#pragma once
// unixODBC's lists of configured drivers (odbcinst.ini, or the folder ODBCSYSINI names)
// and data sources (odbc.ini, system and user).
#include "platform/qtsql/provider_mapping.h"

#include <QStringList>

namespace platform::qtsql {

// Empty when unixODBC cannot be asked.
QList<OdbcDriver> installedOdbcDrivers();
// Each name once, in unixODBC's order; empty when unixODBC cannot be asked.
QStringList installedOdbcDataSourceNames();

} // namespace platform::qtsql
