#include "answer.h"

#include "command.h"

#include <QJsonDocument>

namespace vardoctl {
namespace {

bool &jsonSwitch()
{
    static bool on = false;
    return on;
}

} // namespace

bool jsonOutput()
{
    return jsonSwitch();
}

void setJsonOutput(bool on)
{
    jsonSwitch() = on;
}

QJsonObject objectOf(const Fields &fields)
{
    QJsonObject object;
    for (const auto &[name, value] : fields)
        object.insert(name, value);
    return object;
}

QString lineText(const QJsonValue &value)
{
    if (value.isBool())
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    if (value.isDouble())
        return QString::number(value.toInteger());
    return value.toString();
}

void printAnswer(const QJsonValue &answer, const std::function<QString()> &text)
{
    if (!jsonOutput()) {
        out() << text();
        return;
    }
    const QJsonDocument document = answer.isArray() ? QJsonDocument(answer.toArray()) : QJsonDocument(answer.toObject());
    out() << QString::fromUtf8(document.toJson(QJsonDocument::Compact)) << '\n';
}

QString fieldLines(const Fields &fields)
{
    QString text;
    for (const auto &[name, value] : fields)
        text += name + u'=' + lineText(value) + u'\n';
    return text;
}

void printFields(const Fields &fields)
{
    printAnswer(objectOf(fields), [&] { return fieldLines(fields); });
}

void printLines(const QStringList &items)
{
    printAnswer(QJsonArray::fromStringList(items), [&] {
        QString text;
        for (const QString &item : items)
            text += item + u'\n';
        return text;
    });
}

void printRows(const QList<Fields> &rows)
{
    QJsonArray array;
    for (const Fields &row : rows)
        array.append(objectOf(row));
    printAnswer(array, [&] {
        QString text;
        for (const Fields &row : rows) {
            QStringList values;
            for (const auto &field : row)
                values << lineText(field.second);
            text += values.join(u'\t') + u'\n';
        }
        return text;
    });
}

QByteArray errorDocument(const QString &message)
{
    return QJsonDocument(QJsonObject{{QStringLiteral("error"), message}}).toJson(QJsonDocument::Compact) + '\n';
}

} // namespace vardoctl
