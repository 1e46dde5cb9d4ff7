#include "platform/linux/registry_record_p.h"

#include <QtEndian>

#include <cstring>

namespace platform::registry {
namespace {

constexpr char Magic[4] = {'T', 'V', 'R', 'G'};
constexpr quint8 FormatVersion = 1;
constexpr quint8 StringType = 1;

constexpr qsizetype MagicOffset = 0;
constexpr qsizetype VersionOffset = 4;
constexpr qsizetype TypeOffset = 5;
constexpr qsizetype NameLengthOffset = 6;
constexpr qsizetype DataSizeOffset = 8;

void appendUtf16(QByteArray &out, const QChar *units, qsizetype count)
{
    const qsizetype at = out.size();
    out.resize(at + count * 2);
    qToLittleEndian<quint16>(units, count, out.data() + at);
}

QByteArray encode(const QString &name, const QString *text)
{
    const qsizetype dataBytes = text ? (text->size() + 1) * 2 : 0;
    QByteArray out(RecordHeaderSize, '\0');
    std::memcpy(out.data() + MagicOffset, Magic, sizeof Magic);
    out[VersionOffset] = char(FormatVersion);
    out[TypeOffset] = char(StringType);
    qToLittleEndian<quint16>(quint16(name.size()), out.data() + NameLengthOffset);
    qToLittleEndian<quint32>(quint32(dataBytes), out.data() + DataSizeOffset);
    out.reserve(RecordHeaderSize + name.size() * 2 + dataBytes);
    appendUtf16(out, name.constData(), name.size());
    if (text) {
        appendUtf16(out, text->constData(), text->size());
        out.append(2, '\0');
    }
    return out;
}

QString utf16Text(const char *bytes, qsizetype units)
{
    QString text(units, Qt::Uninitialized);
    qFromLittleEndian<quint16>(bytes, units, text.data());
    return text;
}

} // namespace

bool fitsRecord(const QString &name, const QString &text)
{
    return name.size() <= MaxRecordNameLength && (text.size() + 1) * 2 <= MaxRecordDataBytes;
}

QByteArray encodeRecord(const QString &name, const QString &text)
{
    return encode(name, &text);
}

QByteArray encodeNameRecord(const QString &name)
{
    return encode(name, nullptr);
}

std::optional<Record> decodeRecord(const QByteArray &file)
{
    if (file.size() < RecordHeaderSize || std::memcmp(file.constData() + MagicOffset, Magic, sizeof Magic) != 0
        || quint8(file.at(VersionOffset)) != FormatVersion || quint8(file.at(TypeOffset)) != StringType)
        return std::nullopt;
    const qsizetype nameUnits = qFromLittleEndian<quint16>(file.constData() + NameLengthOffset);
    const qsizetype dataBytes = qFromLittleEndian<quint32>(file.constData() + DataSizeOffset);
    if (dataBytes > MaxRecordDataBytes || dataBytes % 2 != 0
        || file.size() != RecordHeaderSize + nameUnits * 2 + dataBytes)
        return std::nullopt;
    const char *name = file.constData() + RecordHeaderSize;
    return Record{utf16Text(name, nameUnits), file.mid(RecordHeaderSize + nameUnits * 2)};
}

QString textOf(const QByteArray &data)
{
    QString text = utf16Text(data.constData(), data.size() / 2);
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    if (nul >= 0)
        text.truncate(nul);
    return text;
}

} // namespace platform::registry
