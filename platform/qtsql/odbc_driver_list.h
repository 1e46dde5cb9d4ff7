#pragma once
// unixODBC's list of configured drivers (odbcinst.ini, or the folder ODBCSYSINI names).
#include "platform/qtsql/provider_mapping.h"

namespace platform::qtsql {

// Empty when unixODBC cannot be asked.
QList<OdbcDriver> installedOdbcDrivers();

} // namespace platform::qtsql
