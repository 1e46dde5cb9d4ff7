#pragma once
// The command line of zlb: a command, an archive, names, and options anywhere among them.
#include "archive/zlbrecords.h"

#include <QString>
#include <QStringList>

namespace zlbtool {

struct Options
{
    QString command;
    QString archive;
    QStringList names;
    archive::TFileCompressionLevel level = archive::fcDefault;
    bool recurse = false;      // -r
    bool keepFolders = false;  // -p
    bool check = false;        // --check
    int threads = 0;           // -j N; 0: one per online processor
    QString destination = QStringLiteral("."); // -C DIR
};

// Thrown for a command line that does not parse; the tool prints the usage and exits 2.
struct UsageError
{
    QString message;
};

Options parseOptions(const QStringList &args);

QString usage();

} // namespace zlbtool
