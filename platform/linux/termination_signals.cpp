#include "platform/termination_signals.h"

#include "platform/error.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace platform {
namespace {

constexpr std::array<int, 3> HandledSignals{SIGTERM, SIGINT, SIGHUP};

volatile sig_atomic_t writeEnd = -1;

void onSignal(int signalNumber)
{
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const ssize_t n = ::write(writeEnd, &byte, 1); // a full pipe already wakes the reader
    errno = savedErrno;
}

void setHandler(void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : HandledSignals)
        sigaction(sig, &action, nullptr);
}

} // namespace

struct TerminationSignals::Private
{
    int fds[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier;
};

TerminationSignals::TerminationSignals(std::function<void(int)> onRequest)
    : d(std::make_unique<Private>())
{
    if (pipe2(d->fds, O_CLOEXEC | O_NONBLOCK) != 0)
        throw platform::Error(QStringLiteral("Cannot create the signal pipe: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
    writeEnd = d->fds[1];
    d->notifier = std::make_unique<QSocketNotifier>(d->fds[0], QSocketNotifier::Read);
    QObject::connect(d->notifier.get(), &QSocketNotifier::activated, d->notifier.get(),
                     [fd = d->fds[0], onRequest = std::move(onRequest)] {
                         unsigned char byte = 0;
                         while (::read(fd, &byte, 1) == 1)
                             onRequest(byte);
                     });
    setHandler(onSignal);
}

TerminationSignals::~TerminationSignals()
{
    setHandler(SIG_DFL);
    writeEnd = -1;
    d->notifier.reset();
    ::close(d->fds[0]);
    ::close(d->fds[1]);
}

QString signalName(int signalNumber)
{
    const char *abbreviation = sigabbrev_np(signalNumber);
    return abbreviation ? QStringLiteral("SIG") + QLatin1String(abbreviation) : QString::number(signalNumber);
}

} // namespace platform
