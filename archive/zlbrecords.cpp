#include "archive/zlbrecords.h"

#include "platform/codepage.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace archive {
namespace {

void putInt(char *out, int offset, quint32 value)
{
    qToLittleEndian<quint32>(value, out + offset);
}

quint32 getInt(const char *in, int offset)
{
    return qFromLittleEndian<quint32>(in + offset);
}

template<size_t N>
void putBytes(char *out, int offset, const std::array<char, N> &bytes)
{
    std::memcpy(out + offset, bytes.data(), N);
}

template<size_t N>
void getBytes(const char *in, int offset, std::array<char, N> &bytes)
{
    std::memcpy(bytes.data(), in + offset, N);
}

} // namespace

int zlibLevel(TFileCompressionLevel level)
{
    switch (level) {
    case fcNone:
        return 0;
    case fcFastest:
        return 1;
    case fcMaximum:
        return 9;
    case fcDefault:
        break;
    }
    return -1;
}

void ShortString::read(const char *field)
{
    size_t length = Size;
    while (length > 0 && field[length - 1] == '\0')
        --length;
    m_bytes.assign(field, length);
}

void ShortString::write(char *field) const
{
    std::memcpy(field, m_bytes.data(), m_bytes.size());
    std::memset(field + m_bytes.size(), 0, Size - m_bytes.size());
}

void ShortString::overwrite(const char *bytes, size_t count)
{
    if (m_bytes.size() < count)
        m_bytes.resize(count);
    m_bytes.replace(0, count, bytes, count);
    while (!m_bytes.empty() && m_bytes.back() == '\0')
        m_bytes.pop_back();
}

QString shortStringText(const ShortString &field)
{
    const int length = static_cast<unsigned char>(field[0]);
    char text[layout::ShortStringSize];
    for (int i = 0; i < length; ++i)
        text[i] = field[static_cast<size_t>(i) + 1];
    return platform::fromAnsi(text, length);
}

void setShortString(ShortString &field, const QString &text)
{
    const QByteArray bytes = platform::toAnsi(text.left(layout::ShortStringMax)).left(layout::ShortStringMax);
    const QByteArray prefixed = char(bytes.size()) + bytes;
    field.overwrite(prefixed.constData(), static_cast<size_t>(prefixed.size()));
}

void writeArchiveRec(const TZLBArchiveRec &rec, char *out)
{
    using namespace layout;
    putInt(out, ArchiveCrc, rec.CRC);
    putInt(out, ArchiveFileCount, static_cast<quint32>(rec.FileCount));
    putInt(out, ArchiveVersion, static_cast<quint32>(rec.Version));
    putInt(out, ArchiveRegistrySize, static_cast<quint32>(rec.RegistrySize));
    putInt(out, ArchiveArchiveSize, static_cast<quint32>(rec.ArchiveSize));
    out[ArchiveCompressedRegistry] = static_cast<char>(rec.CompressedRegistry);
    putBytes(out, ArchiveReserved, rec.Reserved);
}

TZLBArchiveRec readArchiveRec(const char *in)
{
    using namespace layout;
    TZLBArchiveRec rec;
    rec.CRC = getInt(in, ArchiveCrc);
    rec.FileCount = static_cast<qint32>(getInt(in, ArchiveFileCount));
    rec.Version = static_cast<qint32>(getInt(in, ArchiveVersion));
    rec.RegistrySize = static_cast<qint32>(getInt(in, ArchiveRegistrySize));
    rec.ArchiveSize = static_cast<qint32>(getInt(in, ArchiveArchiveSize));
    rec.CompressedRegistry = static_cast<quint8>(in[ArchiveCompressedRegistry]);
    getBytes(in, ArchiveReserved, rec.Reserved);
    return rec;
}

void writeFileRec(const TZLBFileRec &rec, char *out)
{
    using namespace layout;
    rec.name.write(out + FileName);
    rec.path.write(out + FilePath);
    putInt(out, FileOsize, static_cast<quint32>(rec.osize));
    putInt(out, FileCsize, static_cast<quint32>(rec.csize));
    putInt(out, FileStart, static_cast<quint32>(rec.start));
    putInt(out, FileCrc, rec.CRC);
    out[FileStatus] = static_cast<char>(rec.Status);
    out[FileCompressionLevel] = static_cast<char>(rec.CompressionLevel);
    putBytes(out, FilePadding, rec.padding);
}

TZLBFileRec readFileRec(const char *in)
{
    using namespace layout;
    TZLBFileRec rec;
    rec.name.read(in + FileName);
    rec.path.read(in + FilePath);
    rec.osize = static_cast<qint32>(getInt(in, FileOsize));
    rec.csize = static_cast<qint32>(getInt(in, FileCsize));
    rec.start = static_cast<qint32>(getInt(in, FileStart));
    rec.CRC = getInt(in, FileCrc);
    rec.Status = static_cast<quint8>(in[FileStatus]);
    rec.CompressionLevel = static_cast<quint8>(in[FileCompressionLevel]);
    getBytes(in, FilePadding, rec.padding);
    return rec;
}

QString fullName(const TZLBFileRec &rec)
{
    return shortStringText(rec.path) + shortStringText(rec.name);
}

} // namespace archive
