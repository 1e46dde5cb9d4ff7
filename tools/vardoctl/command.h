#pragma once
// A vardoctl command: "vardoctl NAME ARGS...". Exit codes: 0 success, 1 the operation
// failed (message on stderr), 2 usage error (short usage on stderr).
#include "platform/program_options.h"

#include <QStringList>
#include <QTextStream>

namespace vardoctl {

inline constexpr int ExitOk = 0;
inline constexpr int ExitFailed = 1;
inline constexpr int ExitUsage = platform::ExitUsage;

struct Command
{
    QString name;
    QString usage;                             // one or more lines: "vardoctl NAME ..."
    int (*run)(const QStringList &args);       // args after the command name
};

// Registers a command at static initialisation; used as
// "static const vardoctl::CommandRegistration reg{{...}};" in the command's file.
struct CommandRegistration
{
    explicit CommandRegistration(Command command);
};

QTextStream &out();
QTextStream &err();

// Prints the command's usage to stderr and returns ExitUsage.
int usageError(const Command &command);
int usageError(const QString &usage);

} // namespace vardoctl
