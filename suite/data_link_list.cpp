#include "suite/data_link_list.h"

#include "suite/paths.h"

#include <QDir>

namespace suite {

QStringList ListDataLinkNamesIn(const QString &folder)
{
    if (folder.isEmpty())
        return {};
    // Hidden files count too: a data link named ".udl" (an empty name) is still one.
    return QDir(folder).entryList({QStringLiteral("*.udl")},
                                  QDir::Files | QDir::Hidden | QDir::System,
                                  QDir::Name | QDir::IgnoreCase);
}

QStringList ListDataLinkNames()
{
    return ListDataLinkNamesIn(DataLinkPath());
}

} // namespace suite
