#include "platform/machine_name.h"

#include <QFile>

#include <unistd.h>

namespace platform {
namespace {

QString hostName()
{
    char buffer[256] = {}; // Linux host names have at most 64 bytes
    if (gethostname(buffer, sizeof buffer - 1) != 0)
        return {};
    return QFile::decodeName(buffer);
}

} // namespace

QString machineName()
{
    QString name = qEnvironmentVariable("TELLVARA_MACHINE_NAME");
    if (name.isEmpty())
        name = hostName();
    if (name.isEmpty())
        name = QStringLiteral("localhost");
    return name;
}

} // namespace platform
