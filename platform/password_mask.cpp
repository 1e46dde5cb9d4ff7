#include "platform/password_mask.h"

#include <QList>
#include <QRegularExpression>

#include <optional>

namespace platform {
namespace {

// One name=value part of a connection string as positions in its text.
struct Part
{
    qsizetype start = 0;      // first character of the name
    QString name;             // trimmed, "==" read as "="
    bool hasEquals = false;
    qsizetype valueStart = 0; // the value as written, quotes or braces included
    qsizetype valueEnd = 0;
};

bool isBlank(QChar c)
{
    return c.isSpace();
}

// Past a value that opens at pos: to its closing character (doubled, it stands for
// itself), or the end of the text when it never closes.
qsizetype pastCloser(const QString &text, qsizetype pos, QChar close)
{
    ++pos;
    while (pos < text.size()) {
        if (text.at(pos) != close) {
            ++pos;
        } else if (pos + 1 < text.size() && text.at(pos + 1) == close) {
            pos += 2;
        } else {
            return pos + 1;
        }
    }
    return pos;
}

// Past an enclosed value and whatever follows it up to the ";".
qsizetype endOfEnclosed(const QString &text, qsizetype pos, QChar close)
{
    const qsizetype semicolon = text.indexOf(u';', pastCloser(text, pos, close));
    return semicolon < 0 ? text.size() : semicolon;
}

QChar closerOf(QChar open)
{
    if (open == u'{')
        return u'}';
    return open == u'"' || open == u'\'' ? open : QChar();
}

QList<Part> partsOf(const QString &text)
{
    QList<Part> parts;
    qsizetype pos = 0;
    while (pos < text.size()) {
        if (isBlank(text.at(pos)) || text.at(pos) == u';') {
            ++pos;
            continue;
        }
        Part part;
        part.start = pos;
        while (pos < text.size() && text.at(pos) != u';') {
            const QChar c = text.at(pos++);
            if (c != u'=') {
                part.name += c;
            } else if (pos < text.size() && text.at(pos) == u'=') {
                part.name += c;
                ++pos;
            } else {
                part.hasEquals = true;
                break;
            }
        }
        part.name = part.name.trimmed();
        if (part.hasEquals) {
            while (pos < text.size() && isBlank(text.at(pos)))
                ++pos;
            part.valueStart = pos;
            const QChar close = pos < text.size() ? closerOf(text.at(pos)) : QChar();
            if (!close.isNull()) {
                pos = endOfEnclosed(text, pos, close);
            } else {
                const qsizetype semicolon = text.indexOf(u';', pos);
                pos = semicolon < 0 ? text.size() : semicolon;
            }
        }
        part.valueEnd = pos;
        parts.append(part);
    }
    return parts;
}

bool isPasswordName(const QString &name)
{
    return name.compare(QLatin1String("PWD"), Qt::CaseInsensitive) == 0
        || name.endsWith(QLatin1String("Password"), Qt::CaseInsensitive);
}

// A value in quotes or braces: the text inside, the doubled closer read as one. One that
// never closes (a cut string) runs to the end, and its text is taken as it stands.
struct Enclosed
{
    QChar open;
    QString inner;
    bool closed;
};

std::optional<Enclosed> enclosedValue(QStringView value)
{
    value = value.trimmed();
    if (value.isEmpty() || closerOf(value.front()).isNull())
        return std::nullopt;
    const QChar close = closerOf(value.front());
    if (value.size() < 2 || value.back() != close)
        return Enclosed{value.front(), value.sliced(1).toString(), false};
    QString inner = value.sliced(1, value.size() - 2).toString();
    inner.replace(QString(2, close), QString(close));
    return Enclosed{value.front(), inner, true};
}

QString enclose(const Enclosed &value, const QString &inner)
{
    if (!value.closed)
        return value.open + inner;
    const QChar close = closerOf(value.open);
    return value.open + QString(inner).replace(close, QString(2, close)) + close;
}

} // namespace

QString maskPasswords(const QString &connectionString)
{
    const QString &text = connectionString;
    QString result;
    qsizetype copied = 0;
    for (const Part &part : partsOf(text)) {
        if (!part.hasEquals) {
            result += text.mid(copied, part.start - copied) + QString::fromUtf16(MaskedPassword);
            copied = part.valueEnd;
            continue;
        }
        const QStringView value = QStringView(text).sliced(part.valueStart, part.valueEnd - part.valueStart);
        QString replacement;
        if (isPasswordName(part.name)) {
            if (value.trimmed().isEmpty())
                continue;
            replacement = QString::fromUtf16(MaskedPassword);
        } else if (const std::optional<Enclosed> enclosed = enclosedValue(value);
                   enclosed && enclosed->inner.contains(u'=')) {
            // A connection string inside a value ("Extended Properties") has its own passwords.
            const QString inner = maskPasswords(enclosed->inner);
            if (inner == enclosed->inner)
                continue;
            replacement = enclose(*enclosed, inner);
        } else {
            continue;
        }
        result += text.mid(copied, part.valueStart - copied) + replacement;
        copied = part.valueEnd;
    }
    return result + text.mid(copied);
}

QString maskPasswordsInMessage(const QString &text)
{
    static const QRegularExpression key(QStringLiteral("\\b(PWD|\\w*Password)\\s*=\\s*"),
                                        QRegularExpression::CaseInsensitiveOption);
    QString result;
    qsizetype copied = 0;
    for (QRegularExpressionMatchIterator it = key.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const qsizetype start = match.capturedEnd();
        if (start < copied)
            continue; // inside a value already hidden
        const QChar close = start < text.size() ? closerOf(text.at(start)) : QChar();
        qsizetype end = start;
        if (!close.isNull()) {
            end = pastCloser(text, start, close);
        } else {
            while (end < text.size() && text.at(end) != u';' && !text.at(end).isSpace())
                ++end;
        }
        if (end == start)
            continue;
        result += text.mid(copied, start - copied) + QString::fromUtf16(MaskedPassword);
        copied = end;
    }
    return result + text.mid(copied);
}

bool holdsPassword(const QString &connectionString)
{
    for (const Part &part : partsOf(connectionString)) {
        const QStringView value =
            QStringView(connectionString).sliced(part.valueStart, part.valueEnd - part.valueStart);
        if (!part.hasEquals)
            continue;
        if (isPasswordName(part.name) && !value.trimmed().isEmpty())
            return true;
        if (const std::optional<Enclosed> enclosed = enclosedValue(value); enclosed && holdsPassword(enclosed->inner))
            return true;
    }
    return false;
}

} // namespace platform
