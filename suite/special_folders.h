#pragma once
// The computer's name and the platform's special folders, by the folder numbers the
// suite's programs use.
#include <QString>

namespace suite {

// Folder numbers of the special folders known here.
inline constexpr int FolderAppData = 0x1A;            // the user's roaming application data
inline constexpr int FolderWindows = 0x24;
inline constexpr int FolderSystem = 0x25;
inline constexpr int FolderProgramFilesCommon = 0x2B; // home of the data-link folder

// The local computer's name: the host name, whole.
QString GetMachineName();

struct SpecialFolderPath
{
    QString path;       // without a trailing "/" ("/" itself stays "/")
    bool found = false; // true when path is not empty
};

// An unknown folder number, or a folder that cannot be named, gives "" and false.
SpecialFolderPath GetSpecialFolder(int folderNumber);

// The user's application data folder without a trailing "/", or "".
QString GetAppDataFolder();

} // namespace suite
