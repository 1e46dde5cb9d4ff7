// The code page is read once into a 256-entry table through iconv; conversions then
// never call iconv again, which keeps them cheap and free of iconv's state.
#include "platform/codepage.h"

#include <QHash>

#include <array>
#include <cerrno>
#include <iconv.h>

namespace platform {
namespace {

struct CodePage
{
    QString name;
    std::array<char16_t, 256> toUnicode{};
    QHash<char16_t, char> fromUnicode;
};

char16_t decodeByte(iconv_t cd, unsigned char byte)
{
    char in[1] = {static_cast<char>(byte)};
    char out[8] = {};
    char *inPtr = in;
    char *outPtr = out;
    size_t inLeft = 1;
    size_t outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || outLeft != sizeof out - 2)
        return byte; // undefined in this code page
    return static_cast<char16_t>(static_cast<unsigned char>(out[0]) | (static_cast<unsigned char>(out[1]) << 8));
}

CodePage loadCodePage()
{
    CodePage page;
    page.name = qEnvironmentVariable("TELLVARA_ANSI_CODEPAGE", QStringLiteral("CP1252"));
    iconv_t cd = iconv_open("UTF-16LE", page.name.toLatin1().constData());
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        page.name = QStringLiteral("CP1252");
        cd = iconv_open("UTF-16LE", "CP1252");
    }
    for (int b = 0; b < 256; ++b)
        page.toUnicode[b] = cd == reinterpret_cast<iconv_t>(-1) ? char16_t(b) : decodeByte(cd, static_cast<unsigned char>(b));
    if (cd != reinterpret_cast<iconv_t>(-1))
        iconv_close(cd);
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

} // namespace

QByteArray toAnsi(const QString &text)
{
    const CodePage &page = codePage();
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i; // one character outside the BMP: one "?"
        const auto it = page.fromUnicode.constFind(c);
        bytes.append(it != page.fromUnicode.cend() ? it.value() : '?');
    }
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

QString fromAnsi(const QByteArray &bytes)
{
    return fromAnsi(bytes.constData(), bytes.size());
}

QString ansiCodePageName()
{
    return codePage().name;
}

} // namespace platform
