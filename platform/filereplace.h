#pragma once
// Replacing a file as one step: at every moment the target's name holds either the
// complete old file or the complete new one, never a half-written file and never nothing.
//
// The new file is written elsewhere first (for instance in the temporary folder). Its
// data is flushed to the disk, it takes the permission bits of the file it replaces (or
// 0666 less the umask for a new file), and it is renamed over the target; the target's
// folder is flushed so the rename survives a crash. When the two lie on different file
// systems, the new file is first copied into a fresh file beside the target, which is
// then renamed the same way. A target that is a symbolic link keeps the link: the file
// it points to is replaced.
#include <QString>

namespace platform {

// On success `replacement` no longer exists. On failure the target is untouched,
// `replacement` is kept where it was, and *error holds the system's error text.
[[nodiscard]] bool replaceFile(const QString &replacement, const QString &target, QString *error);

} // namespace platform
