#pragma once
// The two fixed records of a ZLB archive, read and written byte for byte: the 36-byte
// trailer `TZLBArchiveRec` at the end of the file and the 532-byte entry record
// `TZLBFileRec` of the archive registry. All integers are little-endian; every offset
// and size is a signed 32-bit number. See DESIGN.md for the whole layout.
#include <QString>

#include <array>
#include <string>

namespace archive {

enum TFileStatus : quint8 { fsCompressed = 0, fsStored = 1 };

enum TFileCompressionLevel : quint8 { fcNone = 0, fcFastest = 1, fcDefault = 2, fcMaximum = 3 };

// The zlib level of a compression level: 0, 1, -1 (zlib's default) and 9.
int zlibLevel(TFileCompressionLevel level);

// A length-prefixed 8-bit string field of 256 bytes: byte 0 holds the length n (0..255),
// bytes 1..n the characters in the ANSI code page; the bytes after them are not
// significant, but are kept. In memory only the bytes up to the last one that is not zero
// are held, so the registry of an archive of 200,000 short names takes a few MiB, not
// 100; the field reads and writes back whole, byte for byte.
class ShortString
{
public:
    static constexpr size_t Size = 256;

    char operator[](size_t index) const { return index < m_bytes.size() ? m_bytes[index] : '\0'; }
    static constexpr size_t size() { return Size; }

    // The whole field from, or to, the record's 256 bytes.
    void read(const char *field);
    void write(char *field) const;
    // Replaces the first `count` bytes; the ones after them stay as they were.
    void overwrite(const char *bytes, size_t count);

    bool operator==(const ShortString &) const = default;

private:
    std::string m_bytes;
};

QString shortStringText(const ShortString &field);
// Stores the text's first 255 characters, converted and cut to 255 bytes. Only the
// length byte and the new characters are written: the bytes after them stay as they were.
void setShortString(ShortString &field, const QString &text);

// The trailer. `CRC` is kept unsigned so it compares with zlib's checksum; its bits are
// the format's signed field.
struct TZLBArchiveRec
{
    quint32 CRC = 0;
    qint32 FileCount = 0;
    qint32 Version = 0;
    qint32 RegistrySize = 0;
    qint32 ArchiveSize = 0;
    quint8 CompressedRegistry = 0;
    std::array<char, 15> Reserved{};
};

// One entry record of the archive registry.
struct TZLBFileRec
{
    ShortString name;
    ShortString path;
    qint32 osize = 0;
    qint32 csize = 0;
    qint32 start = 0;
    quint32 CRC = 0;
    quint8 Status = fsCompressed;
    quint8 CompressionLevel = fcNone;
    std::array<char, 2> padding{};
};

namespace layout {
inline constexpr int ArchiveRecSize = 36;
inline constexpr int ArchiveCrc = 0;
inline constexpr int ArchiveFileCount = 4;
inline constexpr int ArchiveVersion = 8;
inline constexpr int ArchiveRegistrySize = 12;
inline constexpr int ArchiveArchiveSize = 16;
inline constexpr int ArchiveCompressedRegistry = 20;
inline constexpr int ArchiveReserved = 21;

inline constexpr int FileRecSize = 532;
inline constexpr int FileName = 0;
inline constexpr int FilePath = 256;
inline constexpr int FileOsize = 512;
inline constexpr int FileCsize = 516;
inline constexpr int FileStart = 520;
inline constexpr int FileCrc = 524;
inline constexpr int FileStatus = 528;
inline constexpr int FileCompressionLevel = 529;
inline constexpr int FilePadding = 530;

inline constexpr int ShortStringSize = 256;
inline constexpr int ShortStringMax = 255;
} // namespace layout

void writeArchiveRec(const TZLBArchiveRec &rec, char *out);
TZLBArchiveRec readArchiveRec(const char *in);

void writeFileRec(const TZLBFileRec &rec, char *out);
TZLBFileRec readFileRec(const char *in);

// The entry's full name inside the archive: `path` followed by `name`.
QString fullName(const TZLBFileRec &rec);

} // namespace archive
