#include "platform/service_readiness.h"

#include "platform/local/local_service_names.h"

#include <QByteArray>
#include <QFile>
#include <QSaveFile>

#include <cstring>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform {
namespace {

// The sd_notify(3) protocol: one datagram to the socket named in NOTIFY_SOCKET; a leading
// "@" names a socket in the abstract namespace.
bool notifySystemd(const QByteArray &message)
{
    const QByteArray path = qgetenv("NOTIFY_SOCKET");
    sockaddr_un address = {};
    if (path.isEmpty())
        return true;
    if (static_cast<size_t>(path.size()) >= sizeof address.sun_path)
        return false;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), static_cast<size_t>(path.size()));
    if (address.sun_path[0] == '@')
        address.sun_path[0] = '\0';
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + static_cast<size_t>(path.size()));
    const ssize_t sent = ::sendto(fd, message.constData(), static_cast<size_t>(message.size()), MSG_NOSIGNAL,
                                  reinterpret_cast<const sockaddr *>(&address), length);
    ::close(fd);
    return sent == message.size();
}

bool writeReadyFile()
{
    const QString path = qEnvironmentVariable(local::ReadyFileVariable);
    if (path.isEmpty())
        return true;
    const QByteArray pid = QByteArray::number(::getpid()) + '\n';
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(pid) == pid.size() && file.commit();
}

} // namespace

bool reportServiceReady()
{
    const bool written = writeReadyFile();
    return notifySystemd("READY=1") && written;
}

bool reportServiceStopping()
{
    return notifySystemd("STOPPING=1");
}

} // namespace platform
