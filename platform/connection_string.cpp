#include "platform/connection_string.h"

#include "platform/error.h"

namespace platform {

namespace {

bool isQuote(QChar c)
{
    return c == u'"' || c == u'\'';
}

// Reads a quoted value starting at the opening quote; pos ends after the closing one.
QString readQuoted(const QString &text, qsizetype &pos, const QString &name)
{
    const QChar quote = text.at(pos++);
    QString value;
    while (pos < text.size()) {
        const QChar c = text.at(pos++);
        if (c != quote) {
            value += c;
            continue;
        }
        if (pos < text.size() && text.at(pos) == quote) {
            value += quote; // a doubled quote stands for one
            ++pos;
            continue;
        }
        return value;
    }
    // The value itself stays out of the message: it may be a password.
    throw Error(QStringLiteral("The connection string has an unterminated quote in the value of %1.").arg(name));
}

// Reads a name up to its "="; "==" inside a name stands for a literal "=". The text of a
// part without "=" stays out of the message: it may be the tail of a password that held
// an unquoted ";".
QString readName(const QString &text, qsizetype &pos, int part)
{
    QString name;
    while (pos < text.size()) {
        const QChar c = text.at(pos);
        if (c == u';')
            break;
        ++pos;
        if (c != u'=') {
            name += c;
            continue;
        }
        if (pos < text.size() && text.at(pos) == u'=') {
            name += c;
            ++pos;
            continue;
        }
        return name.trimmed();
    }
    throw Error(QStringLiteral("Part %1 of the connection string has no \"=\".").arg(part));
}

void skipBlanks(const QString &text, qsizetype &pos)
{
    while (pos < text.size() && text.at(pos).isSpace())
        ++pos;
}

// Reads the value after "=", quoted or up to the next ";"; pos ends on the ";" or the end.
QString readValue(const QString &text, qsizetype &pos, const QString &name)
{
    skipBlanks(text, pos);
    if (pos < text.size() && isQuote(text.at(pos))) {
        const QString value = readQuoted(text, pos, name);
        skipBlanks(text, pos);
        if (pos < text.size() && text.at(pos) != u';')
            throw Error(QStringLiteral("The connection string has text after the quoted value of %1.").arg(name));
        return value;
    }
    const qsizetype end = text.indexOf(u';', pos);
    const qsizetype stop = end < 0 ? text.size() : end;
    const QString value = text.mid(pos, stop - pos).trimmed();
    pos = stop;
    return value;
}

bool needsQuotes(const QString &value)
{
    if (value.isEmpty())
        return false;
    // A leading "=" would join the separator and read as a literal "=" of the name.
    return value.contains(u';') || isQuote(value.front()) || value.front() == u'=' || value.front().isSpace()
        || value.back().isSpace();
}

QString quoted(const QString &value)
{
    // Prefer the quote that the value does not hold, so nothing needs doubling.
    const QChar quote = value.contains(u'"') && !value.contains(u'\'') ? u'\'' : u'"';
    QString doubled = value;
    doubled.replace(quote, QString(2, quote));
    return quote + doubled + quote;
}

qsizetype indexOf(const QList<ConnectionProperty> &properties, const QString &name)
{
    for (qsizetype i = 0; i < properties.size(); ++i) {
        if (properties.at(i).name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

} // namespace

ConnectionString ConnectionString::parse(const QString &text)
{
    ConnectionString result;
    qsizetype pos = 0;
    int part = 0;
    while (pos < text.size()) {
        skipBlanks(text, pos);
        if (pos < text.size() && text.at(pos) == u';') {
            ++pos; // an empty pair
            continue;
        }
        if (pos >= text.size())
            break;
        const QString name = readName(text, pos, ++part);
        if (name.isEmpty())
            throw Error(QStringLiteral("The connection string has a value without a name."));
        const QString value = readValue(text, pos, name);
        result.m_properties.append({name, value});
        ++pos; // past the ";"
    }
    return result;
}

bool ConnectionString::contains(const QString &name) const
{
    return indexOf(m_properties, name) >= 0;
}

QString ConnectionString::value(const QString &name) const
{
    const qsizetype i = indexOf(m_properties, name);
    return i < 0 ? QString() : m_properties.at(i).value;
}

void ConnectionString::setValue(const QString &name, const QString &value)
{
    const qsizetype i = indexOf(m_properties, name);
    if (i < 0) {
        m_properties.append({name, value});
        return;
    }
    m_properties[i].value = value;
    // Later pairs of the same name would contradict the one just set.
    for (qsizetype j = m_properties.size() - 1; j > i; --j) {
        if (m_properties.at(j).name.compare(name, Qt::CaseInsensitive) == 0)
            m_properties.removeAt(j);
    }
}

void ConnectionString::remove(const QString &name)
{
    m_properties.removeIf([&](const ConnectionProperty &p) { return p.name.compare(name, Qt::CaseInsensitive) == 0; });
}

QString ConnectionString::toString() const
{
    QStringList pairs;
    for (const ConnectionProperty &p : m_properties) {
        QString name = p.name;
        name.replace(u'=', QStringLiteral("=="));
        pairs << name + u'=' + (needsQuotes(p.value) ? quoted(p.value) : p.value);
    }
    return pairs.join(u';');
}

} // namespace platform
