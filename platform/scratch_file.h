#pragma once
// A scratch file for data too big for memory: it has no name in any folder (or, where the
// file system cannot make such a file, loses its name as soon as it is open), so it
// vanishes when it is closed or the process ends, however it ends.
#include <QFile>
#include <QString>

#include <memory>

namespace platform {

// Opens a new, empty scratch file in `folder` for reading and writing; its fileName() is
// the folder's, for messages. Throws Error with the system's reason.
std::unique_ptr<QFile> openScratchFile(const QString &folder);

} // namespace platform
