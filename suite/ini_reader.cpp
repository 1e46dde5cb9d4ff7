#include "suite/ini_reader.h"

#include "platform/codepage.h"
#include "platform/error.h"
#include "platform/folder_file.h"

#include <QStringDecoder>
#include <QStringTokenizer>

namespace suite {
namespace {

const QByteArray Utf16LeMark("\xFF\xFE", 2);
const QByteArray Utf8Mark("\xEF\xBB\xBF", 3);

std::optional<QString> decodeUtf16Le(QByteArrayView body)
{
    if (body.size() % 2 != 0)
        return std::nullopt; // a cut-off file: its last character is lost, and so is trust in it
    QString text(body.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const auto low = static_cast<unsigned char>(body[2 * i]);
        const auto high = static_cast<unsigned char>(body[2 * i + 1]);
        text[i] = QChar(static_cast<char16_t>(low | (high << 8)));
    }
    return text;
}

// The text when the bytes are valid UTF-8 throughout.
std::optional<QString> strictUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

bool isAscii(QByteArrayView bytes)
{
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

std::optional<QString> decodeBytes(const QByteArray &bytes)
{
    if (bytes.startsWith(Utf16LeMark))
        return decodeUtf16Le(QByteArrayView(bytes).sliced(Utf16LeMark.size()));
    // Editors on Linux write UTF-8; with its mark the first line would not match as ANSI.
    if (bytes.startsWith(Utf8Mark))
        return QString::fromUtf8(QByteArrayView(bytes).sliced(Utf8Mark.size()));
    // Without a mark, too: runs of ANSI bytes that form valid multi-byte UTF-8 ("Ã¥") are
    // practically never meant as text.
    if (!isAscii(bytes)) {
        if (std::optional<QString> text = strictUtf8(bytes))
            return text;
    }
    return platform::fromAnsi(bytes);
}

// "[name]" with blanks allowed around the name; nothing when the line is no header.
std::optional<QStringView> sectionName(QStringView line)
{
    if (!line.startsWith(u'['))
        return std::nullopt;
    const qsizetype end = line.lastIndexOf(u']');
    if (end < 0)
        return std::nullopt;
    return line.sliced(1, end - 1).trimmed();
}

// The first n characters, without a lone half of a surrogate pair at the cut.
QString leftWhole(const QString &text, qsizetype n)
{
    if (text.size() <= n)
        return text;
    return text.left(text.at(n - 1).isHighSurrogate() ? n - 1 : n);
}

} // namespace

std::optional<QString> DecodeIniText(const QByteArray &bytes)
{
    std::optional<QString> text = decodeBytes(bytes);
    // A NUL never occurs in a text file; UTF-16 without its mark shows up this way.
    if (text && text->contains(QChar(u'\0')))
        return std::nullopt;
    return text;
}

bool DecodesFaithfully(const QByteArray &bytes)
{
    return !bytes.startsWith(Utf8Mark) || strictUtf8(QByteArrayView(bytes).sliced(Utf8Mark.size())).has_value();
}

QString FindIniValue(const QString &text, const QString &section, const QString &key)
{
    bool inSection = false;
    // Splitting at LF alone is enough: trimming takes the CR of a CR LF line away.
    for (QStringView line : QStringTokenizer(text, u'\n', Qt::SkipEmptyParts)) {
        line = line.trimmed();
        if (const std::optional<QStringView> name = sectionName(line)) {
            inSection = name->compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (inSection && equals >= 0 && line.first(equals).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return line.sliced(equals + 1).trimmed().toString();
    }
    return {};
}

QString ReadIniValue(const QString &fileName, const QString &section, const QString &key)
{
    if (fileName.isEmpty())
        return {};
    std::optional<QByteArray> bytes;
    try {
        bytes = platform::readFileInFolder(fileName, IniFileMaxBytes);
    } catch (const platform::Error &) {
        return {}; // a file that cannot be read reads as one without the key
    }
    return bytes ? IniValueOf(*bytes, section, key) : QString();
}

QString IniValueOf(const QByteArray &bytes, const QString &section, const QString &key)
{
    const std::optional<QString> text = DecodeIniText(bytes);
    return text ? leftWhole(FindIniValue(*text, section, key), IniValueMaxLength) : QString();
}

} // namespace suite
