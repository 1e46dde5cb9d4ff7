#include "platform/linux/registry_names_p.h"

#include <QCryptographicHash>

namespace platform::registry {
namespace {

constexpr char Hex[] = "0123456789abcdef";
constexpr char DefaultValueEntry[] = "@";
constexpr char ShortenedPrefix = '~';

bool isPlain(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'-' || c == u'_' || c == u' ';
}

void appendEscaped(QByteArray &out, char16_t c)
{
    out.append('%');
    if (c > 0xFF) {
        out.append('u');
        out.append(Hex[(c >> 12) & 0xF]);
        out.append(Hex[(c >> 8) & 0xF]);
    }
    out.append(Hex[(c >> 4) & 0xF]);
    out.append(Hex[c & 0xF]);
}

QByteArray encodeFolded(const QString &folded)
{
    QByteArray out;
    out.reserve(folded.size());
    for (qsizetype i = 0; i < folded.size(); ++i) {
        const char16_t c = folded.at(i).unicode();
        if (c < 0x80) {
            if (isPlain(c))
                out.append(char(c));
            else
                appendEscaped(out, c);
        } else if (QChar::isHighSurrogate(c) && i + 1 < folded.size() && folded.at(i + 1).isLowSurrogate()) {
            out.append(QStringView(folded).mid(i, 2).toUtf8());
            ++i;
        } else if (QChar::isSurrogate(c)) {
            appendEscaped(out, c);
        } else {
            out.append(QStringView(folded).mid(i, 1).toUtf8());
        }
    }
    return out;
}

QByteArray shortened(const QString &folded)
{
    const QByteArray utf16(reinterpret_cast<const char *>(folded.utf16()), folded.size() * 2);
    return ShortenedPrefix + QCryptographicHash::hash(utf16, QCryptographicHash::Sha256).toHex();
}

QByteArray entryOf(const QString &name)
{
    if (name.isEmpty())
        return DefaultValueEntry;
    const QString folded = name.toCaseFolded();
    const QByteArray plain = encodeFolded(folded);
    return plain.size() > MaxPlainEntry ? shortened(folded) : plain;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// The number of the hex digits at entry[from, from + count), or -1.
int hexNumber(const QByteArray &entry, qsizetype from, int count)
{
    if (from + count > entry.size())
        return -1;
    int number = 0;
    for (int i = 0; i < count; ++i) {
        const int digit = hexDigit(entry.at(from + i));
        if (digit < 0)
            return -1;
        number = number * 16 + digit;
    }
    return number;
}

std::optional<QString> decode(const QByteArray &entry)
{
    QString name;
    QByteArray run; // plain bytes and UTF-8 since the last escape
    for (qsizetype i = 0; i < entry.size(); ++i) {
        if (entry.at(i) != '%') {
            run.append(entry.at(i));
            continue;
        }
        name += QString::fromUtf8(run);
        run.clear();
        const bool wide = i + 1 < entry.size() && entry.at(i + 1) == 'u';
        const int code = wide ? hexNumber(entry, i + 2, 4) : hexNumber(entry, i + 1, 2);
        if (code < 0)
            return std::nullopt;
        name += QChar(char16_t(code));
        i += wide ? 5 : 2;
    }
    return name + QString::fromUtf8(run);
}

} // namespace

std::optional<QStringList> splitKeyPath(const QString &path)
{
    QStringView rest(path);
    if (rest.endsWith(u'\\'))
        rest.chop(1);
    if (rest.isEmpty())
        return QStringList();
    QStringList names;
    for (QStringView name : rest.split(u'\\')) {
        if (name.isEmpty())
            return std::nullopt;
        names.append(name.toString());
    }
    return names;
}

QByteArray keyEntry(const QString &name)
{
    return entryOf(name);
}

QByteArray valueEntry(const QString &name)
{
    return entryOf(name) + ValueSuffix;
}

std::optional<QString> nameFromEntry(const QByteArray &entry)
{
    if (entry == DefaultValueEntry)
        return QString();
    if (entry.isEmpty() || entry.startsWith(ShortenedPrefix))
        return std::nullopt;
    const std::optional<QString> name = decode(entry);
    // Only our own spelling counts: "ABC" or "%2E" written by hand would name another entry.
    if (!name || entryOf(*name) != entry)
        return std::nullopt;
    return name;
}

EntryKind classifyEntry(const QByteArray &entry, FileType type)
{
    if (entry.startsWith('.')) {
        const bool ours = entry == KeyNameFile || entry.startsWith(TempPrefix);
        return ours && type == FileType::Regular ? EntryKind::StoreFile : EntryKind::Foreign;
    }
    if (type == FileType::Directory && !entry.contains('.'))
        return EntryKind::Key;
    const qsizetype stemLength = entry.size() - qsizetype(sizeof ValueSuffix - 1);
    if (type == FileType::Regular && stemLength > 0 && entry.endsWith(ValueSuffix)
        && !entry.left(stemLength).contains('.'))
        return EntryKind::Value;
    return EntryKind::Foreign;
}

} // namespace platform::registry
