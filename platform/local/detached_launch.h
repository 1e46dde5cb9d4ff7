#pragma once
// Starts a program as a daemon that outlives its starter: a new session, a process group
// of its own (so a stop reaches its children too), the working directory "/", standard
// input from /dev/null, standard output and error appended to a file, default signal
// handling and no inherited file descriptors beyond those three.
#include <QByteArrayList>
#include <QString>
#include <QStringList>

namespace platform::local {

// command: the program (absolute path) and its arguments. environment: "NAME=value"
// entries added to (or replacing those of) this process's environment. Returns the
// daemon's pid once it runs the program; throws platform::Error naming the reason when the
// program cannot be run.
qint64 launchDetached(const QStringList &command, const QByteArrayList &environment, const QString &outputPath);

} // namespace platform::local
