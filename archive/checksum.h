#pragma once
// The format's checksum: the standard CRC-32 of zlib (reflected polynomial EDB88320,
// check value CBF43926 over "123456789").
#include <QFile>

namespace archive {

// Continues `crc` over the bytes.
quint32 crc32Update(quint32 crc, const char *data, qint64 size);

// The CRC-32 of `length` bytes of the file from `offset`, continuing `crc`. Throws
// platform::Error with `failure` when the file cannot be read that far. The file's position
// is left undefined.
quint32 crc32OfFileRange(QFile &file, qint64 offset, qint64 length, quint32 crc, const QString &failure);

} // namespace archive
