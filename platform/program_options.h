#pragma once
// The two options every program of the project answers before it does anything else, so
// they work without a display, a store or a service manager: "--help" prints the usage on
// standard output and "--version" the program's name and version; both end the program
// with exit status 0. A usage error is the program's own to detect; it prints the usage
// on standard error and ends with ExitUsage.
#include <QString>

#include <optional>

namespace platform {

inline constexpr int ExitUsage = 2;

// The version of the whole project, as the build system keeps it.
QString programVersion();

// When the first argument (after the program's name) is "--help" or "--version": prints
// the answer and gives the exit status; otherwise nothing.
std::optional<int> answerHelpOrVersion(int argc, char **argv, const QString &program, const QString &usage);

// Prints the usage on standard error after an optional line saying what was wrong, and
// gives ExitUsage.
int usageError(const QString &usage, const QString &problem = QString());

} // namespace platform
