#pragma once
// Writing a data-link file in the documented format that the data-link editor writes and
// ReadIniValue reads: UTF-16 little-endian with a byte-order mark, CR LF line ends, the
// section "[oledb]", the comment line, and one line with the whole connection string.
#include "platform/folder_file.h"

#include <QString>

namespace suite {

// The permission bits of a data-link file, whatever the umask: 0664, or 0660 when the
// connection string holds a password, so that only the owner and the folder's group
// (the administrators) read it.
unsigned DataLinkFileMode(const QString &connectionString);

// connectionString begins with "Provider=", is one line, and holds at most
// IniValueMaxLength characters after "Provider=" (what the readers keep). Replaces the
// file in one step, so a reader sees the old or the new file, never through a symbolic
// link (see platform/folder_file.h). Throws Error when it cannot.
// The bytes WriteDataLinkFile saves; throws Error as it does for a connection string it refuses.
QByteArray DataLinkFileBytes(const QString &connectionString);

void WriteDataLinkFile(const QString &path, const QString &connectionString,
                       platform::FileSaving saving = platform::FileSaving::ReplaceExisting);

} // namespace suite
