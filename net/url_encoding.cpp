#include "net/url_encoding.h"

#include "platform/hex_digit.h"

#include <string_view>

namespace net {
namespace {

bool mayStandRaw(char c)
{
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return true;
    static constexpr std::string_view rawPunctuation = "-._~!$&'()*+,;=:@/";
    return rawPunctuation.find(c) != std::string_view::npos;
}

// "/." or "/.." ending at the next "/" or at the end: a segment that HTTP libraries and
// servers resolve away (Qt does so in every request line).
bool beginsDotSegment(const QByteArray &utf8, qsizetype slash)
{
    qsizetype end = slash + 1;
    while (end < utf8.size() && end - slash <= 2 && utf8[end] == '.')
        ++end;
    const qsizetype dots = end - slash - 1;
    return (dots == 1 || dots == 2) && (end == utf8.size() || utf8[end] == '/');
}

} // namespace

QByteArray encodeRequestUrl(const QString &url)
{
    static constexpr char hexDigits[] = "0123456789ABCDEF";
    const QByteArray utf8 = url.toUtf8();
    QByteArray wire;
    wire.reserve(utf8.size());
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        const bool keepsDots = c == '/' && beginsDotSegment(utf8, i);
        if (mayStandRaw(c) && !keepsDots) {
            wire.append(c);
            continue;
        }
        const auto byte = static_cast<unsigned char>(c);
        wire.append('%');
        wire.append(hexDigits[byte >> 4]);
        wire.append(hexDigits[byte & 0x0F]);
    }
    return wire;
}

QString decodeRequestTarget(const QByteArray &target)
{
    QByteArray bytes;
    bytes.reserve(target.size());
    for (qsizetype i = 0; i < target.size(); ++i) {
        if (target[i] == '%' && i + 2 < target.size()) {
            const int high = platform::hexDigitValue(target[i + 1]);
            const int low = platform::hexDigitValue(target[i + 2]);
            if (high >= 0 && low >= 0) {
                bytes.append(static_cast<char>(high * 16 + low));
                i += 2;
                continue;
            }
        }
        bytes.append(target[i]);
    }
    return QString::fromUtf8(bytes);
}

} // namespace net
