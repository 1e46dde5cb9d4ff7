#include "suite/special_folders.h"

#include "platform/machine_name.h"
#include "platform/special_folders.h"

#include <optional>

namespace suite {
namespace {

std::optional<platform::SpecialFolder> platformFolder(int folderNumber)
{
    switch (folderNumber) {
    case FolderAppData:
        return platform::SpecialFolder::AppData;
    case FolderWindows:
        return platform::SpecialFolder::Windows;
    case FolderSystem:
        return platform::SpecialFolder::System;
    case FolderProgramFilesCommon:
        return platform::SpecialFolder::CommonFiles;
    default:
        return std::nullopt;
    }
}

QString withoutTrailingSlash(QString path)
{
    if (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    return path;
}

} // namespace

QString GetMachineName()
{
    return platform::machineName();
}

SpecialFolderPath GetSpecialFolder(int folderNumber)
{
    SpecialFolderPath result;
    if (const std::optional<platform::SpecialFolder> folder = platformFolder(folderNumber))
        result.path = withoutTrailingSlash(platform::specialFolder(*folder));
    result.found = !result.path.isEmpty();
    return result;
}

QString GetAppDataFolder()
{
    const SpecialFolderPath folder = GetSpecialFolder(FolderAppData);
    return folder.found ? folder.path : QString();
}

} // namespace suite
