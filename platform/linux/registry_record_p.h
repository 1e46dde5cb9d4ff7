#pragma once
// The file that holds one value of the file-tree registry store; a key's ".name" file
// is the same record with no data. All numbers are little-endian:
//
//   offset  size  field
//   0       4     magic "TVRG"
//   4       1     format version, 1
//   5       1     value type, 1 = string
//   6       2     name length in UTF-16 units
//   8       4     data size in bytes
//   12            the name as first written, UTF-16LE
//   12 + 2n       the data: the text in UTF-16LE and one NUL
//
// The file is exactly that long; anything else (another length, an odd data size, a
// foreign magic or version) is damaged and reads as a failure.
#include <QByteArray>
#include <QString>

#include <optional>

namespace platform::registry {

inline constexpr qsizetype RecordHeaderSize = 12;
inline constexpr qsizetype MaxRecordNameLength = 0xFFFF;
inline constexpr qsizetype MaxRecordDataBytes = 1024 * 1024;
inline constexpr qsizetype MaxRecordSize = RecordHeaderSize + 2 * MaxRecordNameLength + MaxRecordDataBytes;

struct Record
{
    QString name;
    QByteArray data;
};

// False when the name or the text is too long for a record.
bool fitsRecord(const QString &name, const QString &text);

// A record holding the text and its terminating NUL.
QByteArray encodeRecord(const QString &name, const QString &text);
QByteArray encodeNameRecord(const QString &name);

std::optional<Record> decodeRecord(const QByteArray &file);

// The text of string data, up to its first NUL.
QString textOf(const QByteArray &data);

} // namespace platform::registry
