#pragma once
// The data-link files of the data-link folder, as the data providers dialog lists them.
#include <QString>
#include <QStringList>

namespace suite {

// The names (no folder) of every "*.udl" regular file (no symbolic link) in DataLinkPath(), sorted by name without
// regard to letter case so the order is stable; the extension is matched in any case.
// An empty list when the folder is missing or unreadable.
QStringList ListDataLinkNames();

// The same for any folder.
QStringList ListDataLinkNamesIn(const QString &folder);

} // namespace suite
