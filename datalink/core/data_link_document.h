#pragma once
// A data-link file as the editor opens and saves it. An empty or missing file is a new
// data link; anything else must be a data-link file the INI reader understands, whose
// Provider line of the section oledb is the whole connection string.
#include "platform/connection_string.h"

#include <QString>

namespace datalink {

struct DataLinkDocument
{
    QString path;
    platform::ConnectionString connection; // empty for a new data link
    bool isNew = true;
};

// Throws platform::Error naming the file when it cannot be read or is no data-link file.
DataLinkDocument loadDataLink(const QString &path);

// Replaces the file in one step, keeping its permissions; throws platform::Error naming
// the file and the reason, leaving the old file as it was.
void saveDataLink(const QString &path, const platform::ConnectionString &connection);

} // namespace datalink
