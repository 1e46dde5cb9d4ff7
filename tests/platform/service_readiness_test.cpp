// A service reports readiness to whichever manager started it: systemd's notification
// socket and the local supervisor's ready file.
#include "platform/service_readiness.h"

#include "platform/local/local_service_names.h"
#include "test_env.h"

#include <gtest/gtest.h>

#include <QFile>

#include <cstring>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace platform;

namespace {

// A datagram socket standing in for systemd's notification socket.
class NotifySocket
{
public:
    explicit NotifySocket(const QByteArray &path)
    {
        m_fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        sockaddr_un address = {};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
        EXPECT_EQ(::bind(m_fd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    }
    ~NotifySocket() { ::close(m_fd); }
    QByteArray receive()
    {
        char buffer[256];
        const ssize_t n = ::recv(m_fd, buffer, sizeof buffer, 0);
        return n < 0 ? QByteArray() : QByteArray(buffer, n);
    }

private:
    int m_fd = -1;
};

} // namespace

TEST(ServiceReadiness, WithoutAManagerNothingHappensAndAllIsWell)
{
    qunsetenv("NOTIFY_SOCKET");
    qunsetenv(local::ReadyFileVariable);
    EXPECT_TRUE(reportServiceReady());
    EXPECT_TRUE(reportServiceStopping());
}

TEST(ServiceReadiness, TellsSystemdThroughTheNotificationSocket)
{
    const QByteArray path = (testenv::root() + "/notify").toUtf8();
    NotifySocket socket(path);
    qputenv("NOTIFY_SOCKET", path);
    EXPECT_TRUE(reportServiceReady());
    EXPECT_EQ(socket.receive(), QByteArray("READY=1"));
    EXPECT_TRUE(reportServiceStopping());
    EXPECT_EQ(socket.receive(), QByteArray("STOPPING=1"));
}

TEST(ServiceReadiness, WritesTheLocalSupervisorsReadyFileWithItsPid)
{
    const QString file = testenv::root() + "/trial.ready";
    qputenv(local::ReadyFileVariable, file.toUtf8());
    EXPECT_TRUE(reportServiceReady());
    EXPECT_EQ(testenv::readFile(file), QByteArray::number(getpid()) + '\n');
}

TEST(ServiceReadiness, ManagerThatCannotBeToldIsAFailure)
{
    qputenv("NOTIFY_SOCKET", (testenv::root() + "/nobody-listens").toUtf8());
    EXPECT_FALSE(reportServiceReady());
    qunsetenv("NOTIFY_SOCKET");
    qputenv(local::ReadyFileVariable, (testenv::root() + "/no/such/folder/trial.ready").toUtf8());
    EXPECT_FALSE(reportServiceReady());
}
