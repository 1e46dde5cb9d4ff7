#pragma once
// A service definition of the local supervisor, in the unit-file form systemd reads, so
// one file can serve both: "[Section]" headers, "Key=Value" lines, "#" and ";" comments,
// a trailing "\" continuing a line. Only the [Service] keys the supervisor acts on are
// read; others are ignored, as systemd ignores unknown keys with a warning.
//
//   ExecStart=       the program and its arguments: words split at blanks, "..." and
//                    '...' quote, "\" escapes the next character, "%%" is a "%"; no other
//                    specifier, no prefix character and no variable expansion. The
//                    program must be an absolute path.
//   Type=            simple or exec (ready once the program runs) or notify (ready when
//                    the program reports it, see platform/service_readiness.h).
//   TimeoutStopSec=  grace between SIGTERM and SIGKILL: seconds, or a number with the
//                    unit ms, s or min; default 10 s.
#include <QString>
#include <QStringList>

namespace platform::local {

inline constexpr int DefaultStopTimeoutMs = 10000;

struct ServiceDefinition
{
    QStringList execStart;
    bool notifyReady = false;
    int stopTimeoutMs = DefaultStopTimeoutMs;
};

// Throws platform::Error naming the fault when the text is no usable definition.
ServiceDefinition parseServiceDefinition(const QString &text);

// The file that defines a service: $TELLVARA_ROOT/etc/tellvara/services/NAME.service;
// "" when TELLVARA_ROOT names no folder.
QString definitionPath(const QString &name);

// A definition template with its "@EXEC_START@" replaced by the quoted command.
QString fillDefinitionTemplate(const QString &templateText, const QStringList &command);

// The ExecStart word rules; splitting throws platform::Error on an open quote or a lone "%".
QStringList splitCommandLine(const QString &line);
QString quoteCommandLine(const QStringList &words);

} // namespace platform::local
