#pragma once
// The suite's process-wide path values and the default data link, found once at start-up
// by InitPaths. All are empty (NoLogin false) until then; every directory value ends in
// "/". The installation's key word is kept by the registry (suite/registry.h, InstallKey).
#include <QString>
#include <QStringList>

namespace suite {

// Fills the values from the current directory, the special folders, the per-installation
// setting DataProvider/DefaultDataProvider and the command line. arguments is the whole
// command line with the program first, as QCoreApplication::arguments() gives it: an
// argument containing ".UDL" (any case) names a data-link file, one containing "NOLOGIN=1"
// sets NoLogin. Throws Error "Unable to get Current path", "Unable to get Windows path"
// or "Unable to get System32 path"; the values not reached by then keep their contents.
// Returns true.
bool InitPaths(const QStringList &arguments);

QString CurrentPath();
QString WindowsPath();
QString System32Path();
QString DataLinkPath();
// The data-link file in use, absolute or relative to the current directory; it may not exist.
QString DefaultDataProviderFile();
// Its OLE DB connection string; "" when the file did not exist.
QString DefaultConnectionString();
// The data-link file the per-installation setting DataProvider/DefaultDataProvider names:
// the setting as it stands when that file exists, else the same name in DataLinkPath
// ("ERROR" there when nothing is set). Unlike DefaultDataProviderFile, no "Öppna" and no
// command line changes it.
QString ConfiguredDataProviderFile();
// The organisation editor's "Öppna" replaces both; the data providers dialog's OK
// empties the connection string.
void SetDefaultDataProviderFile(const QString &file);
void SetDefaultConnectionString(const QString &connectionString);
bool NoLogin();
// The suite's folder in the user's application data, or "" when it could not be made.
QString SuitePath();

// Empties every value, InstallKey included, as before InitPaths.
void ResetPaths();

// The platform's data-link folder: the common program files folder followed by
// "System/Ole DB/Data Links/"; "" when that folder cannot be named.
QString DataLinkFolder();

// The OLE DB connection string a data-link file holds: "Provider=" followed by the value
// of the key Provider in its section oledb.
QString ConnectionStringOf(const QString &dataLinkFile);

// The one-word registry key of a current directory: without its trailing "/", blanks, "/"
// and "\" become "_", colons go, and one "\" ends it. "/home/a b/" gives "_home_a_b\".
QString InstallKeyOf(const QString &currentPath);

} // namespace suite
