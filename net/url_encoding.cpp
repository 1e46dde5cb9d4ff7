#include "net/url_encoding.h"

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

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace

QByteArray encodeRequestUrl(const QString &url)
{
    static constexpr char hexDigits[] = "0123456789ABCDEF";
    const QByteArray utf8 = url.toUtf8();
    QByteArray wire;
    wire.reserve(utf8.size());
    for (const char c : utf8) {
        if (mayStandRaw(c)) {
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
            const int high = hexValue(target[i + 1]);
            const int low = hexValue(target[i + 2]);
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
