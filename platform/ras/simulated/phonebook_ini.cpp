#include "platform/ras/simulated/phonebook_ini_p.h"

#include "platform/hex_digit.h"

#include <QByteArray>

namespace platform::ras::ini {
namespace {

constexpr char32_t Replacement = 0xFFFD;

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && (isBlank(s.front()) || s.front() == '\r'))
        s.remove_prefix(1);
    while (!s.empty() && (isBlank(s.back()) || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// One UTF-8 sequence from s at i; a byte that starts none reads as U+FFFD.
char32_t nextUtf8(std::string_view s, std::size_t &i)
{
    const auto lead = static_cast<unsigned char>(s[i++]);
    if (lead < 0x80)
        return lead;
    const int extra = lead >= 0xF0 && lead < 0xF8 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 && lead < 0xE0 ? 1 : -1;
    if (extra < 0 || i + std::size_t(extra) > s.size())
        return Replacement;
    char32_t c = lead & (0x3F >> extra);
    for (int k = 0; k < extra; ++k) {
        const auto next = static_cast<unsigned char>(s[i]);
        if ((next & 0xC0) != 0x80)
            return Replacement;
        c = (c << 6) | (next & 0x3F);
        ++i;
    }
    return c;
}

// Section names and keys: %XX and %UXXXX stand for characters, "\" for "/".
QString unescapeKey(std::string_view key)
{
    QString name;
    std::size_t i = 0;
    while (i < key.size()) {
        const char c = key[i];
        const std::size_t digits = c == '%' && i + 1 < key.size() && key[i + 1] == 'U' ? 4 : 2;
        const std::size_t start = c == '%' ? i + 1 + (digits == 4 ? 1 : 0) : 0;
        char32_t code = 0;
        bool escaped = c == '%' && start + digits <= key.size();
        for (std::size_t k = 0; escaped && k < digits; ++k) {
            const int v = platform::hexDigitValue(key[start + k]);
            escaped = v >= 0;
            code = code * 16 + char32_t(std::max(v, 0));
        }
        if (escaped) {
            name.append(QChar(char16_t(code)));
            i = start + digits;
        } else if (c == '\\') {
            name.append(QLatin1Char('/'));
            ++i;
        } else {
            const char32_t u = nextUtf8(key, i);
            name.append(QString::fromUcs4(&u, 1));
        }
    }
    return name;
}

struct Line
{
    std::size_t begin;
    std::size_t end; // past the line's newline
    std::string_view text;
};

template<typename Each>
void forEachLine(std::string_view text, Each each)
{
    std::size_t begin = 0;
    while (begin < text.size()) {
        const std::size_t newline = text.find('\n', begin);
        const std::size_t end = newline == std::string_view::npos ? text.size() : newline + 1;
        each(Line{begin, end, trimmed(text.substr(begin, end - begin - (newline == std::string_view::npos ? 0 : 1)))});
        begin = end;
    }
}

bool isSectionHeader(std::string_view line)
{
    return line.size() >= 2 && line.front() == '[' && line.find(']') != std::string_view::npos;
}

const QString General = QStringLiteral("General");

Section sectionOf(const Line &line)
{
    const std::string_view raw = line.text.substr(1, line.text.find(']') - 1);
    if (raw == "General")
        return Section{General, line.begin, line.end, true};
    return Section{raw == "%General" ? General : unescapeKey(raw), line.begin, line.end, false};
}

char32_t escapedCharacter(std::string_view raw, std::size_t &i)
{
    const char c = raw[i++];
    switch (c) {
    case 'a': return '\a';
    case 'b': return '\b';
    case 'f': return '\f';
    case 'n': return '\n';
    case 'r': return '\r';
    case 't': return '\t';
    case 'v': return '\v';
    case 'x': {
        char32_t code = 0;
        for (int v; i < raw.size() && (v = platform::hexDigitValue(raw[i])) >= 0; ++i)
            code = (code << 4) | char32_t(v);
        return code <= 0x10FFFF ? code : Replacement;
    }
    default:
        if (c >= '0' && c <= '7') {
            char32_t code = char32_t(c - '0');
            for (; i < raw.size() && raw[i] >= '0' && raw[i] <= '7'; ++i)
                code = (code << 3) | char32_t(raw[i] - '0');
            return code <= 0x10FFFF ? code : Replacement;
        }
        return char32_t(static_cast<unsigned char>(c)); // '"', '\\', '?', '\'' and the rest
    }
}

void appendUtf8(SecretBuffer &out, char32_t c)
{
    if (c < 0x80) {
        out.append(char(c));
    } else if (c < 0x800) {
        out.append(char(0xC0 | (c >> 6)));
        out.append(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.append(char(0xE0 | (c >> 12)));
        out.append(char(0x80 | ((c >> 6) & 0x3F)));
        out.append(char(0x80 | (c & 0x3F)));
    } else {
        out.append(char(0xF0 | (c >> 18)));
        out.append(char(0x80 | ((c >> 12) & 0x3F)));
        out.append(char(0x80 | ((c >> 6) & 0x3F)));
        out.append(char(0x80 | (c & 0x3F)));
    }
}

void appendHex(SecretBuffer &out, unsigned value, int digits)
{
    static const char hex[] = "0123456789ABCDEF";
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
        out.append(hex[(value >> shift) & 0xF]);
}

} // namespace

QList<Section> sections(std::string_view text)
{
    QList<Section> found;
    forEachLine(text, [&](const Line &line) {
        if (isSectionHeader(line.text))
            found.append(sectionOf(line));
        else if (!found.isEmpty())
            found.last().end = line.end;
    });
    return found;
}

std::optional<std::string_view> rawValue(std::string_view text, const QString &name, std::string_view key)
{
    std::optional<std::string_view> value;
    for (const Section &section : sections(text)) {
        if (section.topLevel || section.name != name)
            continue;
        forEachLine(text.substr(section.begin, section.end - section.begin), [&](const Line &line) {
            const std::size_t equals = line.text.find('=');
            if (equals != std::string_view::npos && !isSectionHeader(line.text)
                && unescapeKey(trimmed(line.text.substr(0, equals))) == QLatin1String(key.data(), qsizetype(key.size())))
                value = trimmed(line.text.substr(equals + 1));
        });
    }
    return value;
}

// A quote opens and closes a quoted run; outside one, ";" starts a comment and blanks at
// the end are dropped. A text that begins with "@@" stands for one beginning with "@".
void unescapeValue(std::string_view raw, const std::function<void(char32_t)> &each)
{
    bool quoted = false;
    std::size_t pendingBlanks = 0;
    bool heldAt = false; // a first "@", which a second one would make the escape "@@"
    bool started = false;
    const auto start = [&](bool doubledAt) {
        if (heldAt && !doubledAt)
            each('@');
        started = true;
    };
    const auto put = [&](char32_t c) {
        if (!started && !heldAt && c == '@') {
            heldAt = true;
            return;
        }
        if (!started)
            start(c == '@');
        for (; pendingBlanks > 0; --pendingBlanks)
            each(' ');
        each(c);
    };
    std::size_t i = 0;
    while (i < raw.size()) {
        const char c = raw[i];
        if (c == '"') {
            quoted = !quoted;
            ++i;
        } else if (c == '\\' && i + 1 < raw.size()) {
            ++i;
            put(escapedCharacter(raw, i));
        } else if (!quoted && c == ';') {
            break;
        } else if (!quoted && isBlank(c)) {
            if (!started && heldAt)
                start(false);
            pendingBlanks += started ? 1 : 0;
            ++i;
        } else {
            put(nextUtf8(raw, i));
        }
    }
    if (!started)
        start(false);
}

QString valueText(std::string_view raw)
{
    QString text;
    unescapeValue(raw, [&](char32_t c) { text.append(QString::fromUcs4(&c, 1)); });
    return text;
}

void appendSectionHeader(SecretBuffer &out, QStringView name)
{
    if (name == General) {
        out.append("[%General]\n", 11);
        return;
    }
    out.append('[');
    for (const QChar qc : name) {
        const char16_t c = qc.unicode();
        if (c == '/') {
            out.append('\\');
        } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-'
                   || c == '.') {
            out.append(char(c));
        } else if (c <= 0xFF) {
            out.append('%');
            appendHex(out, c, 2);
        } else {
            out.append("%U", 2);
            appendHex(out, c, 4);
        }
    }
    out.append("]\n", 2);
}

// As QSettings writes a text: C escapes for controls, quotes and backslashes, a hex
// escape followed by a hex digit escaped too, quotes around the whole when needed.
void appendKeyValue(SecretBuffer &out, std::string_view key, QStringView value)
{
    SecretBuffer body;
    bool needsQuotes = false;
    bool escapeNextIfHex = false;
    if (value.startsWith(u'@'))
        body.append('@');
    for (qsizetype i = 0; i < value.size(); ++i) {
        char32_t c = value[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < value.size() && value[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(value[i].unicode(), value[i + 1].unicode());
            ++i;
        }
        needsQuotes = needsQuotes || c == ';' || c == ',' || c == '=';
        if (escapeNextIfHex && c < 0x80 && platform::hexDigitValue(char(c)) >= 0) {
            body.append("\\x", 2);
            appendHex(body, unsigned(c), 2);
            continue;
        }
        escapeNextIfHex = false;
        static constexpr std::string_view controls = "\a\b\f\n\r\t\v";
        static constexpr std::string_view letters = "abfnrtv";
        if (const std::size_t k = c < 0x80 ? controls.find(char(c)) : std::string_view::npos;
            k != std::string_view::npos) {
            body.append('\\');
            body.append(letters[k]);
        } else if (c == '"' || c == '\\') {
            body.append('\\');
            body.append(char(c));
        } else if (c <= 0x1F) {
            body.append("\\x", 2);
            appendHex(body, unsigned(c), 2);
            escapeNextIfHex = true;
        } else {
            appendUtf8(body, c);
        }
    }
    const std::string_view text = body.view();
    needsQuotes = needsQuotes || (!text.empty() && (text.front() == ' ' || text.back() == ' '));
    out.append(key.data(), key.size());
    out.append('=');
    if (needsQuotes)
        out.append('"');
    out.append(text.data(), text.size());
    if (needsQuotes)
        out.append('"');
    out.append('\n');
}

} // namespace platform::ras::ini
