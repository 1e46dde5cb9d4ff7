#pragma once
// Names of temporary files that carry the id of the process writing them, so a later
// writer can tell a file still being written from one left behind by a process that is
// gone (killed, crashed, powered off between naming the file and renaming it).
#include <QByteArray>

#include <optional>

namespace platform {

// `prefix`, this process's id, "-" and a random number.
QByteArray writerTempName(const QByteArray &prefix);

// For a name made by writerTempName with this prefix: whether its writer is gone. Another
// account's live process answers "not permitted", so only a process that no longer
// exists counts as gone. Nothing when the name carries no writer.
std::optional<bool> writerIsGone(const QByteArray &name, const QByteArray &prefix);

} // namespace platform
