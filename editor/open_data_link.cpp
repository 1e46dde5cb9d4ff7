#include "editor/open_data_link.h"

#include "platform/database.h"
#include "platform/error.h"
#include "platform/filesystem.h"
#include "suite/paths.h"

#include <QFileInfo>

namespace editor {

DataLinkChoice ResolveDataLinkFile(const QString &typed, const std::function<QString()> &selectDataProvider)
{
    if (!typed.isEmpty() && platform::fileExists(typed))
        return {typed, false};
    if (platform::fileExists(suite::DataLinkPath() + typed))
        return {suite::DataLinkPath() + typed, false};
    return {suite::DataLinkPath() + selectDataProvider(), true};
}

QString ExistingDataLinkFile(const QString &typed)
{
    const DataLinkChoice choice = ResolveDataLinkFile(typed, [] { return QString(); });
    if (choice.chosenInDialog)
        throw platform::Error(QStringLiteral("No data link %1, neither as a file nor in %2").arg(typed, suite::DataLinkPath()));
    return choice.file;
}

QString DataLinkToStore(const QString &shown)
{
    if (shown.isEmpty()) {
        const QString configured = suite::ConfiguredDataProviderFile();
        return platform::fileExists(configured) ? QFileInfo(configured).absoluteFilePath() : QString();
    }
    const DataLinkChoice choice = ResolveDataLinkFile(shown, [] { return QString(); });
    return choice.chosenInDialog ? shown : QFileInfo(choice.file).absoluteFilePath();
}

void OpenDataLink(const QString &file, platform::DatabaseConnection &database)
{
    suite::SetDefaultDataProviderFile(file);
    suite::SetDefaultConnectionString(suite::ConnectionStringOf(file));
    database.close();
    database.open(suite::DefaultConnectionString());
}

} // namespace editor
