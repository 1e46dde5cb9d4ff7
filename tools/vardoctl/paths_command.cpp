// vardoctl paths: the path values the program finds at start-up, one "Name=value" a line,
// passwords of the connection string masked.
// Extra arguments are read as the program's own command line (a ".udl" file, NOLOGIN=1).
#include "answer.h"
#include "command.h"

#include "platform/password_mask.h"
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
        {"DefaultConnectionString", platform::maskPasswords(suite::DefaultConnectionString())},
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
