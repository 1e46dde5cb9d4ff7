#include "test_env.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <vector>

namespace testenv {
namespace {

// Every root made so far, the last one in use; the earlier ones stay until the process
// ends, as a server a test started may still be working in one.
std::vector<std::unique_ptr<QTemporaryDir>> &roots()
{
    static std::vector<std::unique_ptr<QTemporaryDir>> made;
    return made;
}

QTemporaryDir *rootDir()
{
    return roots().empty() ? nullptr : roots().back().get();
}

void setEnv(const char *name, const QString &value)
{
    qputenv(name, value.toLocal8Bit());
}

} // namespace

// isolate() runs before each test too (test_main), so a test program run whole behaves
// as its tests run one by one: root() is the running test's root.
QString root()
{
    return rootDir() ? rootDir()->path() : QString();
}

void isolate()
{
    // Read once: later roots go beside the first, not into the TMPDIR of the one before.
    static const QString temp = QDir::tempPath();
    roots().push_back(std::make_unique<QTemporaryDir>(temp + "/vardo-test-XXXXXX"));
    if (!rootDir()->isValid())
        throw std::runtime_error("cannot create the test root");
    const QString r = rootDir()->path();
    for (const char *sub : {"system", "home", "home/.config", "home/.local/share", "home/.cache", "tmp", "runtime"})
        QDir().mkpath(r + "/" + sub);
    QFile::setPermissions(r + "/runtime", QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    setEnv("TELLVARA_ROOT", r + "/system");
    setEnv("HOME", r + "/home");
    setEnv("XDG_CONFIG_HOME", r + "/home/.config");
    setEnv("XDG_DATA_HOME", r + "/home/.local/share");
    setEnv("XDG_CACHE_HOME", r + "/home/.cache");
    setEnv("XDG_RUNTIME_DIR", r + "/runtime");
    setEnv("TMPDIR", r + "/tmp");
    setEnv("TELLVARA_MACHINE_NAME", "localhost");
    // No test may reach the desktop's real session bus or service manager.
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    qunsetenv("DBUS_SYSTEM_BUS_ADDRESS");
    if (!qEnvironmentVariableIsSet("TELLVARA_SERVICE_MANAGER"))
        setEnv("TELLVARA_SERVICE_MANAGER", "local");
}

QString freshDir(const QString &name)
{
    const QString path = root() + "/fresh/" + name;
    QDir(path).removeRecursively();
    QDir().mkpath(path);
    return path;
}

QString binDir()
{
    return qEnvironmentVariable("VARDO_BIN_DIR");
}

QString sourceDir()
{
    return qEnvironmentVariable("VARDO_SOURCE_DIR");
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        throw std::runtime_error(("cannot write " + path).toStdString());
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error(("cannot read " + path).toStdString());
    return f.readAll();
}

} // namespace testenv
