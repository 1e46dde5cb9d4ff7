// The code page is read once into a 256-entry table through iconv; conversions then
// never call iconv again, which keeps them cheap and free of iconv's state.
#include "platform/codepage.h"

#include "platform/error.h"

#include <QHash>

#include <array>
#include <cerrno>
#include <iconv.h>

namespace platform {
namespace {

const QString DefaultCodePage = QStringLiteral("CP1252");

struct CodePage
{
    QString name;
    QString error; // why the named code page was refused; "" when it is in use
    std::array<char16_t, 256> toUnicode{};
    QHash<char16_t, char> fromUnicode;
};

// One byte alone: a character, undefined (EILSEQ: a gap of a single-byte code page), or
// the start of a longer sequence (EINVAL, or not exactly one UTF-16 unit: not single-byte).
enum class ByteKind { Character, Undefined, PartOfLonger };

ByteKind decodeByte(iconv_t cd, unsigned char byte, char16_t &character)
{
    char in[1] = {static_cast<char>(byte)};
    char out[8] = {};
    char *inPtr = in;
    char *outPtr = out;
    size_t inLeft = 1;
    size_t outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    character = byte; // undefined bytes decode to the control character of that number
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1))
        return errno == EILSEQ ? ByteKind::Undefined : ByteKind::PartOfLonger;
    if (outLeft != sizeof out - 2)
        return ByteKind::PartOfLonger;
    character = static_cast<char16_t>(static_cast<unsigned char>(out[0]) | (static_cast<unsigned char>(out[1]) << 8));
    return ByteKind::Character;
}

// Fills the table; false when the code page is not single-byte.
bool readTable(const QString &name, CodePage &page)
{
    iconv_t cd = iconv_open("UTF-16LE", name.toLatin1().constData());
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    bool singleByte = true;
    for (int b = 0; b < 256; ++b)
        singleByte = decodeByte(cd, static_cast<unsigned char>(b), page.toUnicode[b]) != ByteKind::PartOfLonger
                     && singleByte;
    iconv_close(cd);
    return singleByte;
}

QString refusal(const QString &name)
{
    iconv_t cd = iconv_open("UTF-16LE", name.toLatin1().constData());
    if (cd == reinterpret_cast<iconv_t>(-1))
        return QStringLiteral("TELLVARA_ANSI_CODEPAGE names \"%1\", a code page this system does not know; "
                              "name a single-byte code page such as CP1252 or ISO-8859-15.")
            .arg(name);
    iconv_close(cd);
    return QStringLiteral("TELLVARA_ANSI_CODEPAGE names \"%1\", which is not a single-byte code page; "
                          "name one such as CP1252 or ISO-8859-15.")
        .arg(name);
}

CodePage loadCodePage()
{
    CodePage page;
    page.name = qEnvironmentVariable("TELLVARA_ANSI_CODEPAGE", DefaultCodePage);
    if (!readTable(page.name, page)) {
        page.error = refusal(page.name);
        page.name = DefaultCodePage;
        if (!readTable(page.name, page)) {
            for (int b = 0; b < 256; ++b)
                page.toUnicode[b] = char16_t(b);
        }
    }
    // Lowest byte wins where two bytes decode alike.
    for (int b = 255; b >= 0; --b)
        page.fromUnicode.insert(page.toUnicode[b], static_cast<char>(b));
    return page;
}

const CodePage &codePage()
{
    static const CodePage page = loadCodePage();
    return page;
}

// The text in the code page, "?" for each character it cannot hold; exact tells whether
// there was none.
QByteArray encode(const QString &text, bool &exact)
{
    const CodePage &page = codePage();
    QByteArray bytes;
    bytes.reserve(text.size());
    exact = true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i; // one character outside the BMP: one "?"
        const auto it = page.fromUnicode.constFind(c);
        exact = exact && it != page.fromUnicode.cend() && !QChar::isSurrogate(c);
        bytes.append(it != page.fromUnicode.cend() ? it.value() : '?');
    }
    return bytes;
}

} // namespace

QByteArray toAnsi(const QString &text)
{
    bool exact = false;
    return encode(text, exact);
}

QByteArray toAnsiExactly(const QString &text)
{
    bool exact = false;
    QByteArray bytes = encode(text, exact);
    if (!exact)
        throw Error(QStringLiteral("\"%1\" cannot be written in the code page %2.").arg(text, ansiCodePageName()));
    return bytes;
}

QString fromAnsi(const char *bytes, qsizetype length)
{
    const CodePage &page = codePage();
    QString text(length, Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype i = 0; i < length; ++i)
        out[i] = QChar(page.toUnicode[static_cast<unsigned char>(bytes[i])]);
    return text;
}

char toAnsiCharacter(char32_t character)
{
    if (character > 0xFFFF || QChar::isSurrogate(character))
        return '?';
    const CodePage &page = codePage();
    const auto it = page.fromUnicode.constFind(char16_t(character));
    return it != page.fromUnicode.cend() ? it.value() : '?';
}

char16_t fromAnsiCharacter(char byte)
{
    return codePage().toUnicode[static_cast<unsigned char>(byte)];
}

SecretBuffer toAnsiSecret(QStringView text)
{
    SecretBuffer bytes;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool pair = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        bytes.append(pair ? '?' : toAnsiCharacter(text[i].unicode()));
        i += pair ? 1 : 0;
    }
    return bytes;
}

QString fromAnsi(const QByteArray &bytes)
{
    return fromAnsi(bytes.constData(), bytes.size());
}

QString ansiCodePageName()
{
    return codePage().name;
}

void checkAnsiCodePage()
{
    if (!codePage().error.isEmpty())
        throw Error(codePage().error);
}

} // namespace platform
