#pragma once
// CRC-32 (the zlib polynomial) by carry-less multiplication: four 128-bit lanes folded
// in parallel, then a Barrett reduction. About four times zlib's table-driven crc32 on
// x86-64 processors with PCLMULQDQ, where the whole-file check of an archive of any
// size otherwise costs more than reading it.
#include <QtGlobal>

namespace archive::detail {

// True when this processor can run crc32Clmul.
bool clmulAvailable();

// The smallest piece crc32Clmul takes; it takes lengths that are multiples of 16.
inline constexpr qint64 ClmulMinimum = 64;
inline constexpr qint64 ClmulBlock = 16;

// Continues the pre-inverted register `crc` over `length` bytes (length >= 64, a
// multiple of 16) and returns the register, still inverted.
quint32 crc32Clmul(quint32 crc, const unsigned char *data, qint64 length);

} // namespace archive::detail
