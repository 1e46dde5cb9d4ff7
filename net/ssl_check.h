#pragma once
// The start-up check for the TLS libraries of the secure client. A missing library never
// stops the program: the user is told once (per library and run) unless they asked, by
// answering No, never to be told again; that answer is kept as the per-installation
// setting "Errors"/"CannotConnectToSSL" = "1".
#include <QString>
#include <QStringList>

namespace net {

// The library files looked for, in this order.
QStringList SslLibraryFiles();

// Looks for each file in systemDir, then in currentDir (both ending in "/"), and asks
// about each one found in neither.
void CheckSslLibraries(const QString &systemDir, const QString &currentDir);

// The question for one missing file, built from translated phrases and the two folders.
QString MissingSslLibraryQuestion(const QString &fileName, const QString &systemDir,
                                  const QString &currentDir);

} // namespace net
