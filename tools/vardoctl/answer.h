#pragma once
// The answer of a vardoctl command, built once and printed in the form asked for: the
// text lines vardoctl has always printed, or one JSON document ("vardoctl --json ...").
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>

#include <functional>
#include <utility>

namespace vardoctl {

// Named values in the order the text shows them; the names are the JSON keys.
using Fields = QList<std::pair<QString, QJsonValue>>;

bool jsonOutput();
void setJsonOutput(bool on);

QJsonObject objectOf(const Fields &fields);
// A value as a line shows it: text as it is, numbers in decimal, true/false.
QString lineText(const QJsonValue &value);

// Prints the answer: its text form, or the JSON document itself.
void printAnswer(const QJsonValue &answer, const std::function<QString()> &text);
// "Name=value" a line, or one JSON object.
void printFields(const Fields &fields);
QString fieldLines(const Fields &fields);
// One line per item, or a JSON array.
void printLines(const QStringList &items);
// Each row's values joined by tabs, a row a line, or a JSON array of objects.
void printRows(const QList<Fields> &rows);

// The reason of a failure as a JSON document: {"error": "..."}.
QByteArray errorDocument(const QString &message);

} // namespace vardoctl
