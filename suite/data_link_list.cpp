#include "suite/data_link_list.h"

#include "suite/paths.h"

#include <QDir>

namespace suite {

QStringList ListDataLinkNamesIn(const QString &folder)
{
    if (folder.isEmpty())
        return {};
    // Hidden files count too: a data link named ".udl" (an empty name) is still one. Only
    // regular files: a link, a FIFO or a device planted in the folder is no data link.
    return QDir(folder).entryList({QStringLiteral("*.udl")}, QDir::Files | QDir::Hidden | QDir::NoSymLinks,
                                  QDir::Name | QDir::IgnoreCase);
}

QStringList ListDataLinkNames()
{
    return ListDataLinkNamesIn(DataLinkPath());
}

} // namespace suite
