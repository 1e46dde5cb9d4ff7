#pragma once
// The file-system questions of the suite library, answered as the Windows calls they
// replace would answer them, with Linux names.
//
// Rules: names are case-exact, as Linux stores them, so the current directory already
// carries "the letter case on disk". Directory values end in "/". A file exists when the
// name, after following symbolic links, is a regular file: a directory, a FIFO or a device
// is not one, so nothing that reads an existing file can block on it. Relative names are
// taken from the current directory.
#include <QString>
#include <QStringList>

namespace platform {

// The process's current directory ending in "/", or "" when it cannot be determined
// (for example after the directory was removed).
QString currentDirectory();

// The directory text with one "/" at its end ("" stays "").
QString withTrailingSlash(const QString &directory);

bool fileExists(const QString &path);
bool directoryExists(const QString &path);

// Creates the directory with all missing parents; true when it exists afterwards.
bool createDirectoryChain(const QString &path);

// Names (without directory) of the entries of a directory whose names match a wildcard
// pattern ("*", "?") without regard to letter case, as the Windows directory search
// matches; "." and ".." are left out. Sorted by name, since Linux gives no stable order.
QStringList findEntries(const QString &directory, const QString &pattern);

} // namespace platform
