// Double fork: the intermediate child starts a new session and exits at once, so the
// daemon is re-parented to init (or the nearest subreaper) and never becomes a zombie of
// its starter. Between fork and exec only async-signal-safe calls are made, because the
// starter is a threaded Qt program; everything the children need is prepared before.
#include "platform/local/detached_launch.h"

#include "platform/error.h"

#include <QFile>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace platform::local {
namespace {

QString systemError(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

// A list of C strings that stays valid (and unmoved) until it is destroyed.
struct CStrings
{
    QByteArrayList storage;
    std::vector<char *> pointers;

    explicit CStrings(QByteArrayList list)
        : storage(std::move(list))
    {
        for (QByteArray &s : storage)
            pointers.push_back(s.data());
        pointers.push_back(nullptr);
    }
};

QByteArray variableName(const QByteArray &entry)
{
    return entry.left(entry.indexOf('='));
}

QByteArrayList mergedEnvironment(const QByteArrayList &extra)
{
    QByteArrayList names;
    for (const QByteArray &e : extra)
        names.append(variableName(e));
    QByteArrayList merged;
    for (char **e = environ; *e; ++e) {
        const QByteArray entry(*e);
        if (!names.contains(variableName(entry)))
            merged.append(entry);
    }
    return merged + extra;
}

// File descriptors closed when the launch returns, however it returns.
class Descriptors
{
public:
    ~Descriptors()
    {
        for (int fd : m_fds)
            if (fd >= 0)
                ::close(fd);
    }
    int keep(int fd, const QString &what)
    {
        if (fd < 0)
            throw platform::Error(QStringLiteral("Cannot open %1: %2").arg(what, systemError(errno)));
        m_fds.push_back(fd);
        return fd;
    }
    void close(int &fd)
    {
        for (int &kept : m_fds)
            if (kept == fd)
                kept = -1;
        ::close(fd);
        fd = -1;
    }

private:
    std::vector<int> m_fds;
};

struct Pipe
{
    int read = -1;
    int write = -1;
};

Pipe openPipe(Descriptors &fds)
{
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0)
        throw platform::Error(QStringLiteral("Cannot create a pipe: %1").arg(systemError(errno)));
    return {fds.keep(ends[0], QStringLiteral("a pipe")), fds.keep(ends[1], QStringLiteral("a pipe"))};
}

struct ChildSetup
{
    const char *program;
    char *const *argv;
    char *const *envp;
    int input;
    int output;
    int execErrorPipe;
    int maxFd;
};

void writeInt(int fd, int value)
{
    [[maybe_unused]] const ssize_t n = ::write(fd, &value, sizeof value);
}

void resetSignals()
{
    struct sigaction dfl = {};
    dfl.sa_handler = SIG_DFL;
    for (int sig = 1; sig < NSIG; ++sig)
        sigaction(sig, &dfl, nullptr);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
}

void closeOtherDescriptors(const ChildSetup &s)
{
    // Everything above 2 goes, except the pipe that reports a failed exec (close-on-exec).
    const unsigned keep = static_cast<unsigned>(s.execErrorPipe);
    if (close_range(3, keep - 1, 0) == 0 && close_range(keep + 1, ~0U, 0) == 0)
        return;
    for (int fd = 3; fd <= s.maxFd; ++fd)
        if (fd != s.execErrorPipe)
            ::close(fd);
}

[[noreturn]] void runDaemon(const ChildSetup &s)
{
    setpgid(0, 0);
    resetSignals();
    if (dup2(s.input, 0) < 0 || dup2(s.output, 1) < 0 || dup2(s.output, 2) < 0 || chdir("/") != 0) {
        writeInt(s.execErrorPipe, errno);
        _exit(127);
    }
    closeOtherDescriptors(s);
    execve(s.program, s.argv, s.envp);
    writeInt(s.execErrorPipe, errno);
    _exit(127);
}

[[noreturn]] void runIntermediate(const ChildSetup &s, int pidPipe)
{
    setsid();
    const pid_t daemon = fork();
    if (daemon == 0)
        runDaemon(s);
    writeInt(pidPipe, daemon < 0 ? -errno : daemon);
    _exit(0);
}

int readInt(int fd, bool &got)
{
    int value = 0;
    ssize_t n;
    do
        n = ::read(fd, &value, sizeof value);
    while (n < 0 && errno == EINTR);
    got = n == sizeof value;
    return value;
}

void reapIntermediate(pid_t child)
{
    while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
}

} // namespace

qint64 launchDetached(const QStringList &command, const QByteArrayList &environment, const QString &outputPath)
{
    if (command.isEmpty())
        throw platform::Error(QStringLiteral("No program to start."));
    QByteArrayList args;
    for (const QString &word : command)
        args.append(QFile::encodeName(word));
    const CStrings argv(args);
    const CStrings envp(mergedEnvironment(environment));

    Descriptors fds;
    const int input = fds.keep(::open("/dev/null", O_RDONLY | O_CLOEXEC), QStringLiteral("/dev/null"));
    const int output = fds.keep(::open(QFile::encodeName(outputPath).constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644),
                                outputPath);
    Pipe pidPipe = openPipe(fds);
    Pipe execPipe = openPipe(fds);
    const long openMax = sysconf(_SC_OPEN_MAX);
    const ChildSetup setup{argv.pointers[0], argv.pointers.data(), envp.pointers.data(), input, output, execPipe.write,
                           static_cast<int>(openMax > 0 && openMax < 65536 ? openMax : 65536)};

    const pid_t child = fork();
    if (child < 0)
        throw platform::Error(QStringLiteral("Cannot start %1: %2").arg(command.first(), systemError(errno)));
    if (child == 0)
        runIntermediate(setup, pidPipe.write);
    fds.close(pidPipe.write);
    fds.close(execPipe.write);
    reapIntermediate(child);

    bool got = false;
    const int daemon = readInt(pidPipe.read, got);
    if (!got || daemon < 0)
        throw platform::Error(QStringLiteral("Cannot start %1: %2").arg(command.first(), systemError(got ? -daemon : EAGAIN)));
    // End of file here means the program was executed: the pipe closed on exec.
    const int execError = readInt(execPipe.read, got);
    if (got)
        throw platform::Error(QStringLiteral("Cannot start %1: %2").arg(command.first(), systemError(execError)));
    return daemon;
}

} // namespace platform::local
