// vardoctl db query: the organisation numbers of a data link's practice database, read
// as the organisation editor's "Öppna" reads them.
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

// A file of that name, else the name in the data-link folder; never the dialog.
QString dataLinkFile(const QString &typed)
{
    const editor::DataLinkChoice choice = editor::ResolveDataLinkFile(typed, [] { return QString(); });
    if (choice.chosenInDialog)
        throw platform::Error(QStringLiteral("No data link %1, neither as a file nor in %2").arg(typed, suite::DataLinkPath()));
    return choice.file;
}

int runDb(const QStringList &args)
{
    if (args.size() != 2 || args.first() != QLatin1String("query"))
        return usageError(Usage);
    suite::InitPaths({QCoreApplication::applicationFilePath()});
    for (const QString &number : editor::QueryOrganisationNumbers(dataLinkFile(args.at(1))))
        out() << number << '\n';
    return ExitOk;
}

const CommandRegistration registration{{QStringLiteral("db"), Usage, runDb}};

} // namespace
} // namespace vardoctl
