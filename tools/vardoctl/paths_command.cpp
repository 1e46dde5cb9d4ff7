// vardoctl paths: the path values the program finds at start-up, one "Name=value" a line.
// Extra arguments are read as the program's own command line (a ".udl" file, NOLOGIN=1).
#include "answer.h"
#include "command.h"

#include "suite/paths.h"
#include "suite/registry.h"

#include <QCoreApplication>

#include <utility>

namespace vardoctl {
namespace {

int runPaths(const QStringList &args)
{
    suite::InitPaths(QStringList{QCoreApplication::applicationFilePath()} + args);
    printFields({
        {"CurrentPath", suite::CurrentPath()},
        {"InstallKey", suite::InstallKey()},
        {"WindowsPath", suite::WindowsPath()},
        {"System32Path", suite::System32Path()},
        {"DataLinkPath", suite::DataLinkPath()},
        {"DefaultDataProviderFile", suite::DefaultDataProviderFile()},
        {"DefaultConnectionString", suite::DefaultConnectionString()},
        {"NoLogin", suite::NoLogin()},
        {"SuitePath", suite::SuitePath()},
    });
    return ExitOk;
}

const CommandRegistration registration{{
    QStringLiteral("paths"),
    QStringLiteral("vardoctl paths [FILE.udl] [NOLOGIN=1]"),
    runPaths,
}};

} // namespace
} // namespace vardoctl
