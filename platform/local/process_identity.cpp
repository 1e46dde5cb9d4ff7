#include "platform/local/process_identity.h"

#include <QFile>

namespace platform::local {
namespace {

// Fields of /proc/PID/stat after the command name, which is in parentheses and may itself
// hold blanks and parentheses: field 3 (state) is the first of them, field 22 (starttime)
// the twentieth.
constexpr int StateIndex = 0;
constexpr int StartTimeIndex = 19;

QList<QByteArray> fieldsAfterName(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return {};
    const QByteArray text = stat.readAll();
    const qsizetype close = text.lastIndexOf(')');
    if (close < 0)
        return {};
    return text.mid(close + 1).simplified().split(' ');
}

} // namespace

std::optional<quint64> processStartTime(qint64 pid)
{
    if (pid <= 0)
        return std::nullopt;
    const QList<QByteArray> fields = fieldsAfterName(pid);
    if (fields.size() <= StartTimeIndex)
        return std::nullopt;
    const QByteArray state = fields.at(StateIndex);
    if (state == "Z" || state == "X" || state == "x")
        return std::nullopt;
    bool ok = false;
    const quint64 start = fields.at(StartTimeIndex).toULongLong(&ok);
    return ok ? std::optional<quint64>(start) : std::nullopt;
}

} // namespace platform::local
