// vardoctl db query: the organisation numbers of a data link's practice database, read
// as the organisation editor's "Öppna" reads them.
#include "answer.h"
#include "command.h"

#include "editor/open_data_link.h"
#include "editor/trklinik_query.h"
#include "platform/error.h"
#include "suite/paths.h"

#include <QCoreApplication>

namespace vardoctl {
namespace {

const QString Usage = QStringLiteral(
    "vardoctl db query DATALINK\n"
    "  prints the organisation numbers of the data link's database, one a line; DATALINK is\n"
    "  a data-link file, or a name in the data-link folder when no such file is here");

int runDb(const QStringList &args)
{
    if (args.size() != 2 || args.first() != QLatin1String("query"))
        return usageError(Usage);
    suite::InitPaths({QCoreApplication::applicationFilePath()});
    printLines(editor::QueryOrganisationNumbers(editor::ExistingDataLinkFile(args.at(1))));
    return ExitOk;
}

const CommandRegistration registration{{QStringLiteral("db"), Usage, runDb}};

} // namespace
} // namespace vardoctl
