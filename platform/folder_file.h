#pragma once
// Reading and saving a file in a folder that others may write to (the data-link folder is
// writable by the whole administrators' group), so that nothing they plant there leads a
// read or a write elsewhere or makes it hang.
//
// The folder itself is trusted (the caller chose it); its entry named by the path is
// not. Everything works from the folder's descriptor: the entry is never followed when
// it is a symbolic link, and anything but a regular file (a FIFO, a device, a folder) is
// refused before a byte is read. A read is bounded by the size the caller allows, checked
// on the opened file.
//
// A save writes the bytes into a new file that has no name while it is written (or, where
// the file system cannot make one, a fresh name of its own), with the mode given whatever
// the umask; its group is the folder's when the folder has the set-group-id bit, and it
// takes the folder's default access list. It is then put in place in one step, so a
// reader sees the whole old file or the whole new one, and the folder is flushed. The
// temporary file is never opened again by name; when the entry found in place afterwards
// is not the file written (someone swapped it), the save fails.
#include <QByteArray>
#include <QString>

#include <optional>

namespace platform {

// The bytes of a regular file of at most maxBytes; nothing when no entry of that name
// exists. Throws Error naming the file when it is a link or no regular file, is larger,
// or cannot be read.
std::optional<QByteArray> readFileInFolder(const QString &path, qint64 maxBytes);

enum class FileSaving {
    ReplaceExisting, // a regular file of that name is replaced, a missing one created
    NewOnly,         // an existing entry of any kind is an error
};

// Throws Error naming the file and the reason; an existing link or special file at the
// name is refused and left as it is. mode holds permission bits (e.g. 0660).
void saveFileInFolder(const QString &path, const QByteArray &bytes, unsigned mode, FileSaving saving);

} // namespace platform
