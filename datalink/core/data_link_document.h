#pragma once
// A data-link file as the editor opens and saves it. An empty or missing file is a new
// data link; anything else must be a data-link file the INI reader understands, whose
// Provider line of the section oledb is the whole connection string.
#include "platform/connection_string.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace datalink {

struct DataLinkDocument
{
    QString path;
    platform::ConnectionString connection; // empty for a new data link
    bool isNew = true;
    bool exists = false; // a file of that name was there (possibly empty)
};

// Throws platform::Error naming the file when it cannot be read (a symbolic link, no
// regular file, over the reader's size limit) or is no data-link file, or when its text
// would not survive a save unchanged.
DataLinkDocument loadDataLink(const QString &path);
// The same from the file's bytes already read (nothing: no file of that name).
DataLinkDocument readDataLink(const QString &path, const std::optional<QByteArray> &bytes);

// Replaces the file in one step (creates it when it did not exist at loading), with the
// data-link file's mode; throws platform::Error naming the file and the reason, leaving
// the old file as it was.
void saveDataLink(const DataLinkDocument &document, const platform::ConnectionString &connection);

} // namespace datalink
