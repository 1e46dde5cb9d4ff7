#include "platform/linux/writer_temp_names_p.h"

#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <csignal>
#include <unistd.h>

namespace platform {

QByteArray writerTempName(const QByteArray &prefix)
{
    return prefix + QByteArray::number(getpid()) + '-' + QByteArray::number(QRandomGenerator::global()->generate64(), 16);
}

std::optional<bool> writerIsGone(const QByteArray &name, const QByteArray &prefix)
{
    if (!name.startsWith(prefix))
        return std::nullopt;
    const QByteArray rest = name.mid(prefix.size());
    const qsizetype dash = rest.indexOf('-');
    bool isNumber = false;
    const qint64 pid = dash > 0 ? rest.left(dash).toLongLong(&isNumber) : 0;
    if (!isNumber || pid <= 0 || pid > INT_MAX)
        return std::nullopt;
    return kill(pid_t(pid), 0) != 0 && errno == ESRCH;
}

} // namespace platform
