#include "platform/local/local_service_definition.h"

#include "platform/local/local_service_names.h"
#include "platform/special_folders.h"
#include "platform/error.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace platform::local {
namespace {

struct Entry
{
    QString section;
    QString key;
    QString value;
};

// Joins continued lines and drops comments and blank lines.
QStringList logicalLines(const QString &text)
{
    QStringList lines;
    QString pending;
    for (QString line : text.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QString trimmed = line.trimmed();
        if (pending.isEmpty() && (trimmed.startsWith(QLatin1Char('#')) || trimmed.startsWith(QLatin1Char(';'))))
            continue;
        if (trimmed.endsWith(QLatin1Char('\\'))) {
            pending += trimmed.chopped(1) + QLatin1Char(' ');
            continue;
        }
        pending += trimmed;
        if (!pending.trimmed().isEmpty())
            lines.append(pending.trimmed());
        pending.clear();
    }
    if (!pending.trimmed().isEmpty())
        lines.append(pending.trimmed());
    return lines;
}

QList<Entry> entries(const QString &text)
{
    QList<Entry> result;
    QString section;
    for (const QString &line : logicalLines(text)) {
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            section = line.mid(1, line.size() - 2);
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0)
            throw platform::Error(QStringLiteral("Line without \"=\" in the service definition: %1").arg(line));
        result.append({section, line.left(eq).trimmed(), line.mid(eq + 1).trimmed()});
    }
    return result;
}

int parseTimeoutMs(const QString &value)
{
    static const QRegularExpression form(QStringLiteral("^(\\d+(?:\\.\\d+)?)\\s*(ms|s|sec|min)?$"));
    const QRegularExpressionMatch m = form.match(value);
    if (!m.hasMatch())
        throw platform::Error(QStringLiteral("Unusable TimeoutStopSec in the service definition: %1").arg(value));
    const double number = m.captured(1).toDouble();
    const QString unit = m.captured(2);
    const double ms = unit == QLatin1String("ms") ? number : unit == QLatin1String("min") ? number * 60000 : number * 1000;
    constexpr double hourMs = 3600.0 * 1000;
    return static_cast<int>(qMin(ms, hourMs));
}

bool parseNotify(const QString &type)
{
    if (type == QLatin1String("notify"))
        return true;
    if (type == QLatin1String("simple") || type == QLatin1String("exec"))
        return false;
    throw platform::Error(QStringLiteral("Service type %1 is not supported here; use simple, exec or notify.").arg(type));
}

void applyEntry(ServiceDefinition &definition, const Entry &entry)
{
    if (entry.section != QLatin1String("Service"))
        return;
    if (entry.key == QLatin1String("ExecStart"))
        definition.execStart = splitCommandLine(entry.value); // an empty value resets, as in systemd
    else if (entry.key == QLatin1String("Type"))
        definition.notifyReady = parseNotify(entry.value);
    else if (entry.key == QLatin1String("TimeoutStopSec"))
        definition.stopTimeoutMs = parseTimeoutMs(entry.value);
}

void appendPercent(QString &word, const QString &line, qsizetype &i)
{
    if (i + 1 < line.size() && line.at(i + 1) == QLatin1Char('%')) {
        word += QLatin1Char('%');
        ++i;
        return;
    }
    throw platform::Error(QStringLiteral("Specifiers other than %% are not supported in ExecStart: %1").arg(line));
}

} // namespace

QStringList splitCommandLine(const QString &line)
{
    QStringList words;
    QString word;
    bool inWord = false;
    QChar quote;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (quote.isNull() && c.isSpace()) {
            if (inWord)
                words.append(word);
            word.clear();
            inWord = false;
            continue;
        }
        inWord = true;
        if (c == QLatin1Char('\\') && i + 1 < line.size())
            word += line.at(++i);
        else if (c == QLatin1Char('%'))
            appendPercent(word, line, i);
        else if (!quote.isNull() && c == quote)
            quote = QChar();
        else if (quote.isNull() && (c == QLatin1Char('"') || c == QLatin1Char('\'')))
            quote = c;
        else
            word += c;
    }
    if (!quote.isNull())
        throw platform::Error(QStringLiteral("Unclosed quote in ExecStart: %1").arg(line));
    if (inWord)
        words.append(word);
    return words;
}

QString quoteCommandLine(const QStringList &words)
{
    QStringList quoted;
    for (QString word : words) {
        word.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
        word.replace(QLatin1Char('"'), QLatin1String("\\\""));
        word.replace(QLatin1Char('%'), QLatin1String("%%"));
        quoted.append(QLatin1Char('"') + word + QLatin1Char('"'));
    }
    return quoted.join(QLatin1Char(' '));
}

QString definitionPath(const QString &name)
{
    const QString root = systemRoot();
    return root.isEmpty() ? QString() : root + DefinitionFolder + QLatin1Char('/') + name + DefinitionSuffix;
}

QString fillDefinitionTemplate(const QString &templateText, const QStringList &command)
{
    return QString(templateText).replace(QLatin1String("@EXEC_START@"), quoteCommandLine(command));
}

ServiceDefinition parseServiceDefinition(const QString &text)
{
    ServiceDefinition definition;
    for (const Entry &entry : entries(text))
        applyEntry(definition, entry);
    if (definition.execStart.isEmpty())
        throw platform::Error(QStringLiteral("The service definition has no ExecStart."));
    if (!QFileInfo(definition.execStart.first()).isAbsolute())
        throw platform::Error(QStringLiteral("ExecStart must name the program by its absolute path: %1")
                               .arg(definition.execStart.first()));
    return definition;
}

} // namespace platform::local
