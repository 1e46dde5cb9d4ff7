#include "suite/paths.h"

#include "platform/filesystem.h"
#include "platform/special_folders.h"
#include "platform/error.h"
#include "suite/ini_reader.h"
#include "suite/registry.h"
#include "suite/special_folders.h"

#include <initializer_list>
#include <optional>

namespace suite {
namespace {

struct PathValues
{
    QString currentPath;
    QString windowsPath;
    QString system32Path;
    QString dataLinkPath;
    QString defaultDataProviderFile;
    QString defaultConnectionString;
    bool noLogin = false;
    QString suitePath;
};

PathValues &values()
{
    static PathValues paths;
    return paths;
}

QString requiredFolder(const QString &folder, const char *failure)
{
    if (folder.isEmpty())
        throw platform::Error(QString::fromLatin1(failure));
    return platform::withTrailingSlash(folder);
}

// The setting as it stands when that file exists, else the same name in the data-link folder.
QString configuredDataProvider(const QString &dataLinkPath)
{
    const QString setting = ReadSuiteSetting(QStringLiteral("DataProvider"), QStringLiteral("DefaultDataProvider"));
    return platform::fileExists(setting) ? setting : dataLinkPath + setting;
}

std::optional<QString> existingDataLink(const QString &argument, const PathValues &paths)
{
    for (const QString &candidate : {argument, paths.currentPath + argument, paths.dataLinkPath + argument}) {
        if (platform::fileExists(candidate))
            return candidate;
    }
    return std::nullopt;
}

void applyArguments(const QStringList &arguments, PathValues &paths)
{
    paths.noLogin = false;
    for (const QString &argument : arguments.mid(1)) {
        const QString upper = argument.toUpper();
        if (upper.contains(QStringLiteral(".UDL"))) {
            if (const std::optional<QString> file = existingDataLink(argument, paths))
                paths.defaultDataProviderFile = *file;
        } else if (upper.contains(QStringLiteral("NOLOGIN=1"))) {
            paths.noLogin = true;
        }
    }
}

// Nothing is reported when the folder cannot be named or made: the suite works without it.
QString suiteFolder()
{
    const QString appData = GetAppDataFolder();
    if (appData.isEmpty())
        return {};
    const QString folder = platform::withTrailingSlash(appData) + QStringLiteral("Tellvara/Tellvara Suite/");
    return platform::createDirectoryChain(folder) ? folder : QString();
}

} // namespace

bool InitPaths(const QStringList &arguments)
{
    PathValues &paths = values();
    paths.currentPath = requiredFolder(platform::currentDirectory(), "Unable to get Current path");
    SetInstallKey(InstallKeyOf(paths.currentPath));
    paths.windowsPath = requiredFolder(platform::specialFolder(platform::SpecialFolder::Windows), "Unable to get Windows path");
    paths.system32Path = requiredFolder(platform::specialFolder(platform::SpecialFolder::System), "Unable to get System32 path");
    paths.dataLinkPath = DataLinkFolder();
    paths.defaultConnectionString.clear();
    paths.defaultDataProviderFile = ConfiguredDataProviderFile();
    applyArguments(arguments, paths);
    if (platform::fileExists(paths.defaultDataProviderFile))
        paths.defaultConnectionString = ConnectionStringOf(paths.defaultDataProviderFile);
    paths.suitePath = suiteFolder();
    return true;
}

QString ConfiguredDataProviderFile() { return configuredDataProvider(values().dataLinkPath); }

QString CurrentPath() { return values().currentPath; }
QString WindowsPath() { return values().windowsPath; }
QString System32Path() { return values().system32Path; }
QString DataLinkPath() { return values().dataLinkPath; }
QString DefaultDataProviderFile() { return values().defaultDataProviderFile; }
QString DefaultConnectionString() { return values().defaultConnectionString; }
void SetDefaultDataProviderFile(const QString &file) { values().defaultDataProviderFile = file; }
void SetDefaultConnectionString(const QString &connectionString) { values().defaultConnectionString = connectionString; }
bool NoLogin() { return values().noLogin; }
QString SuitePath() { return values().suitePath; }

void ResetPaths()
{
    values() = PathValues{};
    SetInstallKey(QString());
}

QString DataLinkFolder()
{
    const QString commonFiles = platform::specialFolder(platform::SpecialFolder::CommonFiles);
    return commonFiles.isEmpty() ? QString() : commonFiles + QStringLiteral("System/Ole DB/Data Links/");
}

QString ConnectionStringOf(const QString &dataLinkFile)
{
    return QStringLiteral("Provider=") + ReadIniValue(dataLinkFile, QStringLiteral("oledb"), QStringLiteral("Provider"));
}

QString InstallKeyOf(const QString &currentPath)
{
    QString word = currentPath;
    // The root folder keeps its "/" so that the key word is never empty.
    if (word.size() > 1 && word.endsWith(u'/'))
        word.chop(1);
    word.replace(u' ', u'_');
    word.replace(u'/', u'_');
    word.replace(u'\\', u'_'); // the key separator would split the word
    word.remove(u':');
    return word + u'\\';
}

} // namespace suite
