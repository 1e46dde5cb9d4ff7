#pragma once
// The format's checksum: the standard CRC-32 of zlib (reflected polynomial EDB88320,
// check value CBF43926 over "123456789").
#include <QIODevice>

namespace archive {

// Continues `crc` over the bytes.
quint32 crc32Update(quint32 crc, const char *data, qint64 size);

// The CRC-32 of `length` bytes of the file (or any device that can seek) from `offset`,
// continuing `crc`. Throws platform::Error with `failure` when it cannot be read that far.
// The device's position is left undefined.
quint32 crc32OfFileRange(QIODevice &file, qint64 offset, qint64 length, quint32 crc, const QString &failure);

} // namespace archive
