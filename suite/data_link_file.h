#pragma once
// Writing a data-link file in the documented format that the data-link editor writes and
// ReadIniValue reads: UTF-16 little-endian with a byte-order mark, CR LF line ends, the
// section "[oledb]", the comment line, and one line with the whole connection string.
#include <QString>

namespace suite {

// connectionString begins with "Provider=" and is one line. Replaces the file in one
// step, so a reader sees the old or the new file. Throws Error when it cannot.
void WriteDataLinkFile(const QString &path, const QString &connectionString);

} // namespace suite
