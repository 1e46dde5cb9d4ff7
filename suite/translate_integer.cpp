#include "suite/translate_integer.h"

namespace suite::detail {
namespace {

int digitValue(QChar c, int base)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (base == 16 && u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (base == 16 && u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

bool isHexPrefix(QChar c)
{
    return c == u'$' || c == u'x' || c == u'X';
}

} // namespace

std::optional<qint32> readInteger(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
    int base = 10;
    if (i < text.size() && isHexPrefix(text[i])) {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        base = 16;
        i += 2;
    }
    if (i == text.size())
        return std::nullopt;
    const quint64 limit = base == 16 ? 0xFFFFFFFFu : negative ? 0x80000000u : 0x7FFFFFFFu;
    quint64 value = 0;
    for (; i < text.size(); ++i) {
        const int digit = digitValue(text[i], base);
        if (digit < 0)
            return std::nullopt;
        value = value * base + digit;
        if (value > limit)
            return std::nullopt;
    }
    const quint32 bits = negative ? 0u - quint32(value) : quint32(value);
    return static_cast<qint32>(bits);
}

} // namespace suite::detail
