#pragma once
// What the service reads from the machine-wide store at start: the settings the console
// writes (Port, Logging, Paths) and the organisation slots. Like the service it stands in
// for, it reads them once; the administrator restarts it to apply changes.
#include "suite/organisation_slot.h"

#include <QList>
#include <QString>

namespace service {

struct ServiceConfig
{
    int port = 0;
    bool logToSystemLog = true;   // "LogtoEventLogg"
    bool alwaysLogToFile = true;  // "AlwaysLogtoFile"
    QString pasisPath;
    QList<suite::OrganisationSlot> organisations;
    QString logFolder;            // $TELLVARA_ROOT/var/log/tellvara/
};

// Throws platform::Error when the log folder cannot be named (TELLVARA_ROOT names no folder).
ServiceConfig loadServiceConfig();

// Throws platform::Error unless the port can be listened on (1 to 65535).
quint16 listeningPort(int port);

} // namespace service
